#pragma once
// An in-memory registry with the two roots the program uses. Key and value
// names compare without regard to letter case and keep the case they were
// created with; errors are the ones RegOpenKeyExW / RegQueryValueExW /
// RegDeleteKeyW report.
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace orvello::fake {

class FakeRegistry : public platform::IRegistry {
 public:
  FakeRegistry();
  ~FakeRegistry() override;

  platform::Status CreateKey(platform::RegistryRoot root, const std::wstring& path) override;
  bool KeyExists(platform::RegistryRoot root, const std::wstring& path) override;
  platform::Result<platform::RegistryValue> QueryValue(platform::RegistryRoot root, const std::wstring& path,
                                                       const std::wstring& name) override;
  platform::Status SetValue(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name,
                            const platform::RegistryValue& value) override;
  platform::Status DeleteValue(platform::RegistryRoot root, const std::wstring& path,
                               const std::wstring& name) override;
  platform::Status DeleteKey(platform::RegistryRoot root, const std::wstring& path) override;

  // Test knobs and views.
  // Every later write below this key (or to the key itself) fails with `error`,
  // e.g. 5 for a key whose ACL denies writing; nullopt lifts it.
  void SetWriteError(platform::RegistryRoot root, const std::wstring& path, std::optional<uint32_t> error);
  // Value names of a key in creation order; empty when the key is missing.
  std::vector<std::wstring> ValueNames(platform::RegistryRoot root, const std::wstring& path);
  std::vector<std::wstring> SubkeyNames(platform::RegistryRoot root, const std::wstring& path);

 private:
  struct Key;
  Key* Find(platform::RegistryRoot root, const std::wstring& path);
  platform::Status WriteAllowed(platform::RegistryRoot root, const std::wstring& path);

  std::mutex mutex_;
  std::unique_ptr<Key> currentUser_;
  std::unique_ptr<Key> localMachine_;
  struct WriteBlock {
    platform::RegistryRoot root;
    std::vector<std::wstring> levels;
    uint32_t error;
  };
  std::vector<WriteBlock> writeBlocks_;
};

}  // namespace orvello::fake
