#pragma once
// The program's resources on a test machine: tests register the bytes of a
// (type, id) pair, or make its LoadResource fail. Type names compare without
// regard to letter case, as FindResourceW's do.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/resources.h"

namespace orvello::fake {

class FakeResources : public platform::IResources {
 public:
  platform::ResourceBytes Find(uint32_t id, const std::wstring& type) override;

  // Replacing a resource invalidates the bytes handed out for it before.
  void Add(const std::wstring& type, uint32_t id, std::vector<uint8_t> bytes);
  void Add(const std::wstring& type, uint32_t id, std::string_view bytes);
  void AddLoadFailure(const std::wstring& type, uint32_t id);
  void Remove(const std::wstring& type, uint32_t id);

 private:
  struct Entry {
    bool loadFails = false;
    std::vector<uint8_t> bytes;
  };
  std::mutex mutex_;
  std::map<std::pair<std::wstring, uint32_t>, Entry> entries_;  // upper-case type
};

}  // namespace orvello::fake
