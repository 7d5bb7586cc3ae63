#include "platform/win32/win32_registry.h"

#include "platform/win32/handles.h"

namespace orvello::win32 {

using platform::RegistryRoot;
using platform::RegistryType;
using platform::RegistryValue;
using platform::Result;
using platform::Status;

namespace {

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

Status FromCode(LSTATUS code) { return code == ERROR_SUCCESS ? Status::Ok() : Status::Fail(static_cast<uint32_t>(code)); }

}  // namespace

Status Win32Registry::CreateKey(RegistryRoot root, const std::wstring& path) {
  UniqueRegistryKey key;
  return FromCode(::RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                                    nullptr, key.put(), nullptr));
}

bool Win32Registry::KeyExists(RegistryRoot root, const std::wstring& path) {
  UniqueRegistryKey key;
  return ::RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

Result<RegistryValue> Win32Registry::QueryValue(RegistryRoot root, const std::wstring& path, const std::wstring& name) {
  using R = Result<RegistryValue>;
  UniqueRegistryKey key;
  LSTATUS code = ::RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_QUERY_VALUE, key.put());
  if (code != ERROR_SUCCESS) return R::Fail(static_cast<uint32_t>(code));
  RegistryValue value;
  DWORD type = REG_NONE;
  DWORD size = 0;
  code = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
  // The value can grow between the two calls; ask again until it fits.
  while (code == ERROR_SUCCESS || code == ERROR_MORE_DATA) {
    value.data.resize(size);
    code = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, value.data.empty() ? nullptr : value.data.data(),
                              &size);
    if (code == ERROR_SUCCESS) {
      value.data.resize(size);
      value.type = static_cast<RegistryType>(type);
      return R::Ok(std::move(value));
    }
  }
  return R::Fail(static_cast<uint32_t>(code));
}

Status Win32Registry::SetValue(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                               const RegistryValue& value) {
  UniqueRegistryKey key;
  LSTATUS code = ::RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                   nullptr, key.put(), nullptr);
  if (code != ERROR_SUCCESS) return FromCode(code);
  return FromCode(::RegSetValueExW(key.get(), name.c_str(), 0, static_cast<DWORD>(value.type),
                                   value.data.empty() ? nullptr : value.data.data(),
                                   static_cast<DWORD>(value.data.size())));
}

Status Win32Registry::DeleteValue(RegistryRoot root, const std::wstring& path, const std::wstring& name) {
  UniqueRegistryKey key;
  LSTATUS code = ::RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_SET_VALUE, key.put());
  if (code != ERROR_SUCCESS) return FromCode(code);
  return FromCode(::RegDeleteValueW(key.get(), name.c_str()));
}

Status Win32Registry::DeleteKey(RegistryRoot root, const std::wstring& path) {
  return FromCode(::RegDeleteKeyW(RootKey(root), path.c_str()));
}

}  // namespace orvello::win32
