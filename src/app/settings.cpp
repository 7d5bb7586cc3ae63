#include "app/settings.h"

#include <cstring>

#include "system/text.h"

namespace orvello {

using platform::RegistryRoot;
using platform::RegistryType;
using platform::RegistryValue;

void ProfileSettings::SetRegistryKey(std::wstring company, std::wstring application) {
  company_ = std::move(company);
  application_ = std::move(application);
}

std::wstring ProfileSettings::SectionPath(const std::wstring& section) const {
  return L"software\\" + company_ + L"\\" + application_ + L"\\" + section;
}

int32_t ProfileSettings::ReadInt(const std::wstring& section, const std::wstring& value, int32_t fallback) const {
  auto read = registry_.QueryValue(RegistryRoot::CurrentUser, SectionPath(section), value);
  if (!read || read.value.type != RegistryType::Dword || read.value.data.size() != 4) return fallback;
  uint32_t v = 0;
  std::memcpy(&v, read.value.data.data(), 4);  // REG_DWORD is little-endian, as is every target
  return static_cast<int32_t>(v);
}

std::wstring ProfileSettings::ReadString(const std::wstring& section, const std::wstring& value,
                                         const std::wstring& fallback) const {
  auto read = registry_.QueryValue(RegistryRoot::CurrentUser, SectionPath(section), value);
  if (!read) return fallback;
  if (read.value.type != RegistryType::String && read.value.type != RegistryType::ExpandString) return fallback;
  return Utf16BytesToWide(read.value.data);
}

bool ProfileSettings::WriteInt(const std::wstring& section, const std::wstring& value, int32_t number) {
  RegistryValue v;
  v.type = RegistryType::Dword;
  v.data.resize(4);
  uint32_t raw = static_cast<uint32_t>(number);
  std::memcpy(v.data.data(), &raw, 4);
  return registry_.SetValue(RegistryRoot::CurrentUser, SectionPath(section), value, v).ok();
}

bool ProfileSettings::WriteString(const std::wstring& section, const std::wstring& value,
                                  const std::optional<std::wstring>& text) {
  if (!text) return registry_.DeleteValue(RegistryRoot::CurrentUser, SectionPath(section), value).ok();
  RegistryValue v;
  v.type = RegistryType::String;
  v.data = WideToUtf16Bytes(*text, true);
  return registry_.SetValue(RegistryRoot::CurrentUser, SectionPath(section), value, v).ok();
}

}  // namespace orvello
