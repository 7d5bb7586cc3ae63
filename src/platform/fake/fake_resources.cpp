#include "platform/fake/fake_resources.h"

#include "system/text.h"

namespace orvello::fake {

using platform::ResourceBytes;
using platform::ResourceLookup;

ResourceBytes FakeResources::Find(uint32_t id, const std::wstring& type) {
  std::lock_guard lock(mutex_);
  auto it = entries_.find({ToUpper(type), id});
  if (it == entries_.end()) return {ResourceLookup::NotFound, {}};
  if (it->second.loadFails) return {ResourceLookup::LoadFailed, {}};
  return {ResourceLookup::Found, std::span<const uint8_t>(it->second.bytes)};
}

void FakeResources::Add(const std::wstring& type, uint32_t id, std::vector<uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  entries_[{ToUpper(type), id}] = Entry{false, std::move(bytes)};
}

void FakeResources::Add(const std::wstring& type, uint32_t id, std::string_view bytes) {
  Add(type, id, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

void FakeResources::AddLoadFailure(const std::wstring& type, uint32_t id) {
  std::lock_guard lock(mutex_);
  entries_[{ToUpper(type), id}] = Entry{true, {}};
}

void FakeResources::Remove(const std::wstring& type, uint32_t id) {
  std::lock_guard lock(mutex_);
  entries_.erase({ToUpper(type), id});
}

}  // namespace orvello::fake
