#pragma once
// The per-user settings of the wizard under HKEY_CURRENT_USER
// "software\<company>\<application>\<section>", read once at start-up and
// written the moment a choice changes.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace orvello {

inline constexpr const wchar_t* kSettingsSection = L"SetupMode";
inline constexpr const wchar_t* kValueSetupMode = L"SetupMode";
inline constexpr const wchar_t* kValueSetupPortType = L"SetupPortType";
inline constexpr const wchar_t* kValueSetupPrinter = L"SetupPrinter";
inline constexpr const wchar_t* kValueManufacturer = L"Manufacturer";
inline constexpr const wchar_t* kValueUpgradePrinter = L"UpgradePrinter";
inline constexpr const wchar_t* kValueDeletePrinter = L"DeletePrinter";

class ProfileSettings {
 public:
  explicit ProfileSettings(platform::IRegistry& registry) : registry_(registry) {}

  void SetRegistryKey(std::wstring company, std::wstring application);

  int32_t ReadInt(const std::wstring& section, const std::wstring& value, int32_t fallback) const;
  std::wstring ReadString(const std::wstring& section, const std::wstring& value,
                          const std::wstring& fallback) const;
  bool WriteInt(const std::wstring& section, const std::wstring& value, int32_t number);
  // A missing text (nullopt) deletes the value.
  bool WriteString(const std::wstring& section, const std::wstring& value,
                   const std::optional<std::wstring>& text);

  // "software\QOVA\Orvello\SetupMode" for the section "SetupMode".
  std::wstring SectionPath(const std::wstring& section) const;

 private:
  platform::IRegistry& registry_;
  std::wstring company_;
  std::wstring application_;
};

}  // namespace orvello
