#include "log/mem_block.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace orvello {

namespace {

MemBlockPtr NewBlock(size_t capacity, size_t length) {
  try {
    // Value-initialised: the data starts zero-filled.
    auto data = std::make_unique<uint8_t[]>(capacity);
    return std::make_unique<CMemBlock>(std::move(data), capacity, length);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

void CMemBlock::Clear() {
  if (capacity_) std::memset(data_.get(), 0, capacity_);
}

CMemBlockPool& CMemBlockPool::Process() {
  static CMemBlockPool pool;
  return pool;
}

size_t CMemBlockPool::CapacityFor(size_t size) {
  if (size > kLargestPooledRequest) return size;
  size_t capacity = 1024;
  while (capacity < size) capacity *= 2;
  return capacity;
}

MemBlockPtr CMemBlockPool::AcquireBlock(size_t size) {
  if (size <= kLargestPooledRequest) {
    std::lock_guard lock(lock_);
    auto fit = std::find_if(free_.begin(), free_.end(), [&](const MemBlockPtr& b) { return b->capacity() >= size; });
    if (fit != free_.end()) {
      MemBlockPtr block = std::move(*fit);
      free_.erase(fit);
      block->SetLength(size);
      return block;
    }
  }
  return NewBlock(CapacityFor(size), size);
}

void CMemBlockPool::ReleaseBlock(MemBlockPtr block) {
  if (!block || block->capacity() >= kFreeOnReleaseCapacity) return;
  block->Clear();
  block->SetLength(0);
  std::lock_guard lock(lock_);
  free_.push_back(std::move(block));
}

size_t CMemBlockPool::FreeCount() {
  std::lock_guard lock(lock_);
  return free_.size();
}

MemBlockPtr AcquireBlock(size_t size) { return CMemBlockPool::Process().AcquireBlock(size); }

void ReleaseBlock(MemBlockPtr block) { CMemBlockPool::Process().ReleaseBlock(std::move(block)); }

CNarrowConverter::~CNarrowConverter() { pool_.ReleaseBlock(std::move(block_)); }

std::string_view NarrowText(CNarrowConverter& converter, std::wstring_view wide) {
  const std::string narrow = converter.codePages_.WideToMultiByte(converter.codePage_, wide);
  // As WideCharToMultiByte counts it for a NUL-terminated source: the
  // terminator included. One byte more is asked for on top.
  const size_t needed = narrow.size() + 1;
  CMemBlockPool& pool = converter.pool_;
  MemBlockPtr& block = converter.block_;
  if (block && block->capacity() < needed + 1) pool.ReleaseBlock(std::move(block));
  if (!block) {
    block = pool.AcquireBlock(needed + 1);
    if (!block) return {};
  } else {
    block->Clear();
    block->SetLength(needed + 1);
  }
  std::memcpy(block->data(), narrow.data(), narrow.size());
  return std::string_view(reinterpret_cast<const char*>(block->data()), narrow.size());
}

}  // namespace orvello
