#pragma once
// Zero-filled byte blocks from a pool, for short-lived conversion buffers.
// Requests up to 4095 bytes are served from blocks of 1024, 2048 or 4096
// bytes; a released block of 1024 or 2048 bytes goes back on the free list
// for the next request it fits. Larger blocks, and every block of 4096
// bytes or more, are freed on release.
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string_view>

#include "platform/code_pages.h"

namespace orvello {

class CMemBlock {
 public:
  explicit CMemBlock(std::unique_ptr<uint8_t[]> data, size_t capacity, size_t length)
      : data_(std::move(data)), capacity_(capacity), length_(length) {}
  CMemBlock(const CMemBlock&) = delete;
  CMemBlock& operator=(const CMemBlock&) = delete;

  uint8_t* data() { return data_.get(); }
  const uint8_t* data() const { return data_.get(); }
  size_t capacity() const { return capacity_; }
  // Bytes the current holder asked for.
  size_t length() const { return length_; }
  void SetLength(size_t length) { length_ = length; }
  void Clear();  // zero-fills the whole capacity

 private:
  std::unique_ptr<uint8_t[]> data_;
  size_t capacity_;
  size_t length_;
};

// A block handed out by a pool. Dropping it instead of releasing it frees
// it; it never returns to the pool that way.
using MemBlockPtr = std::unique_ptr<CMemBlock>;

class CMemBlockPool {
 public:
  // Largest request served from the pooled size classes.
  static constexpr size_t kLargestPooledRequest = 4095;
  // Blocks of this capacity or more are freed on release.
  static constexpr size_t kFreeOnReleaseCapacity = 4096;

  CMemBlockPool() = default;
  CMemBlockPool(const CMemBlockPool&) = delete;
  CMemBlockPool& operator=(const CMemBlockPool&) = delete;

  // The pool shared by the whole program; its blocks are freed at exit.
  static CMemBlockPool& Process();

  // Null when memory runs out.
  MemBlockPtr AcquireBlock(size_t size);
  void ReleaseBlock(MemBlockPtr block);

  // Capacity a fresh block for `size` bytes gets.
  static size_t CapacityFor(size_t size);
  size_t FreeCount();

 private:
  std::mutex lock_;
  std::list<MemBlockPtr> free_;
};

// The program-wide pool.
MemBlockPtr AcquireBlock(size_t size);
void ReleaseBlock(MemBlockPtr block);

// Converts wide text to one code page, keeping its buffer between calls so
// that repeated conversions of short texts do not allocate.
class CNarrowConverter {
 public:
  CNarrowConverter(platform::ICodePages& codePages, uint32_t codePage = platform::kCodePageAnsi,
                   CMemBlockPool& pool = CMemBlockPool::Process())
      : codePages_(codePages), codePage_(codePage), pool_(pool) {}
  ~CNarrowConverter();
  CNarrowConverter(const CNarrowConverter&) = delete;
  CNarrowConverter& operator=(const CNarrowConverter&) = delete;

  uint32_t codePage() const { return codePage_; }
  // The block the last conversion wrote into (null before the first one).
  const CMemBlock* block() const { return block_.get(); }

 private:
  friend std::string_view NarrowText(CNarrowConverter& converter, std::wstring_view wide);

  platform::ICodePages& codePages_;
  uint32_t codePage_;
  CMemBlockPool& pool_;
  MemBlockPtr block_;
};

// The text in the converter's code page, NUL-terminated in the converter's
// block and valid until its next conversion; empty when no block could be had.
std::string_view NarrowText(CNarrowConverter& converter, std::wstring_view wide);

}  // namespace orvello
