#pragma once
// IRegistry over the advapi32 registry calls.
#include "platform/registry.h"

namespace orvello::win32 {

class Win32Registry : public platform::IRegistry {
 public:
  platform::Status CreateKey(platform::RegistryRoot root, const std::wstring& path) override;
  bool KeyExists(platform::RegistryRoot root, const std::wstring& path) override;
  platform::Result<platform::RegistryValue> QueryValue(platform::RegistryRoot root, const std::wstring& path,
                                                       const std::wstring& name) override;
  platform::Status SetValue(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name,
                            const platform::RegistryValue& value) override;
  platform::Status DeleteValue(platform::RegistryRoot root, const std::wstring& path,
                               const std::wstring& name) override;
  platform::Status DeleteKey(platform::RegistryRoot root, const std::wstring& path) override;
};

}  // namespace orvello::win32
