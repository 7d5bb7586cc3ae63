#pragma once
// The manufacturer the wizard works for. Filled from the catalogue root at
// start-up and replaced by a profile element when the user picks a
// manufacturer; `name` is the key of every catalogue lookup.
#include <array>
#include <cstdint>
#include <string>

namespace orvello {

struct ManufacturerProfile {
  std::wstring name;
  std::wstring productName;
  std::wstring productEnName;
  std::wstring companyName;
  std::wstring companyEnName;
  std::wstring webSite;
  std::wstring email;
  std::wstring tel;
  std::wstring logoFile;
  std::wstring manufacturer;
  std::wstring setupPackageName;
  std::array<int32_t, 4> version{};
  std::wstring time;
  bool disable = false;
  std::wstring remark;
  int32_t defaultSetupPortType = 0;

  bool operator==(const ManufacturerProfile&) const = default;
};

}  // namespace orvello
