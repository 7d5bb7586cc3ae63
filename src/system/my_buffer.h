#pragma once
// A growable, zero-filled byte buffer for calls that fill memory the caller
// provides (receive buffers, query results). Growing zero-fills the whole
// capacity, so a call that writes fewer bytes than it was given leaves
// zeros behind, never stale data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orvello {

class CMyBuffer {
 public:
  static constexpr size_t kInitialCapacity = 1024;

  CMyBuffer() : storage_(kInitialCapacity, 0) {}

  // n <= 0: zero-fill and size 0. Otherwise the capacity becomes at least n,
  // all of it is zero-filled, and the size is n.
  void Grow(int64_t n);

  size_t size() const { return size_; }
  size_t capacity() const { return storage_.size(); }
  uint8_t* data() { return storage_.data(); }
  const uint8_t* data() const { return storage_.data(); }
  // The bytes in use.
  std::span<uint8_t> bytes() { return {storage_.data(), size_}; }
  std::span<const uint8_t> bytes() const { return {storage_.data(), size_}; }

  // The size a query reported it needs.
  uint32_t needed = 0;

 private:
  size_t size_ = 0;
  std::vector<uint8_t> storage_;
};

}  // namespace orvello
