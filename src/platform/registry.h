#pragma once
// Registry access, in the shape of RegCreateKeyExW / RegSetValueExW /
// RegQueryValueExW: keys are addressed by a root and a backslash path.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/result.h"

namespace orvello::platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

enum class RegistryType : uint32_t { None = 0, String = 1, ExpandString = 2, Binary = 3, Dword = 4, MultiString = 7 };

struct RegistryValue {
  RegistryType type = RegistryType::None;
  std::vector<uint8_t> data;  // raw bytes as RegQueryValueExW returns them
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Creates every missing level of the path (RegCreateKeyExW).
  virtual Status CreateKey(RegistryRoot root, const std::wstring& path) = 0;
  virtual bool KeyExists(RegistryRoot root, const std::wstring& path) = 0;
  // Opens an existing key only; fails with 2 when any level is missing.
  virtual Result<RegistryValue> QueryValue(RegistryRoot root, const std::wstring& path,
                                           const std::wstring& name) = 0;
  // Creates the key when missing, then writes the value.
  virtual Status SetValue(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                          const RegistryValue& value) = 0;
  virtual Status DeleteValue(RegistryRoot root, const std::wstring& path, const std::wstring& name) = 0;
  // Deletes a key that has no subkeys (RegDeleteKeyW).
  virtual Status DeleteKey(RegistryRoot root, const std::wstring& path) = 0;
};

}  // namespace orvello::platform
