#pragma once
// Resources of the program's own module (FindResourceW, LoadResource,
// SizeofResource, LockResource). The bytes stay valid while the module lives.
#include <cstdint>
#include <span>
#include <string>

namespace orvello::platform {

enum class ResourceLookup { NotFound, LoadFailed, Found };

struct ResourceBytes {
  ResourceLookup lookup = ResourceLookup::NotFound;
  std::span<const uint8_t> bytes;  // empty for a resource of size 0
};

class IResources {
 public:
  virtual ~IResources() = default;
  virtual ResourceBytes Find(uint32_t id, const std::wstring& type) = 0;
};

}  // namespace orvello::platform
