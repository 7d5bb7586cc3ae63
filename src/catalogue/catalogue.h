#pragma once
// Lookups in the driver catalogue (resource XML 131):
//   Drivers -> Manufacturers -> Manufacturer[mode] -> Driver[name, ...]
// Manufacturer keys (`mode`) and model names are compared exactly. The name
// "QovaPrt" (any letter case) stands for all manufacturers at once.
// Every lookup degrades to "none", "" or the attribute's default; an
// unloaded document is simply empty.
#include <pugixml.hpp>

#include <string>
#include <string_view>

#include "catalogue/driver_ref.h"
#include "catalogue/manufacturer_profile.h"

namespace orvello {

inline constexpr std::wstring_view kAllManufacturers = L"QovaPrt";
// The manufacturer that holds the base models; a model whose parent names
// no manufacturer inherits from it.
inline constexpr std::wstring_view kNativeManufacturer = L"Native";

bool IsAllManufacturers(std::wstring_view manufacturer);

// Fills name, product and company texts, web site, e-mail, telephone and
// version from the root attributes. The other fields keep their values.
// False when the document has no `Drivers` root (the fields are then
// cleared as if every attribute were missing).
bool LoadCatalogueHeader(const pugi::xml_document& catalogue, ManufacturerProfile& profile);

// Walking the drivers of one manufacturer, or of all of them for "QovaPrt".
// The all-manufacturers walk stops at the first manufacturer that has no
// driver. At the end NextDriver returns false and leaves `ref` at none.
DriverRef FirstDriver(std::wstring_view manufacturer, const pugi::xml_document& catalogue);
bool NextDriver(std::wstring_view manufacturer, DriverRef& ref, const pugi::xml_document& catalogue);

// The model's own `name` (never inherited); "" when absent.
std::wstring DriverName(const DriverRef& ref);

// The `Driver` named `name` in the first manufacturer whose `mode` is `mode`.
DriverRef FindDriver(std::wstring_view mode, std::wstring_view name, const pugi::xml_document& catalogue);

// The base model named by `parent` in the manufacturer named by
// `parentmanufacturer` ("Native" when absent), or none.
DriverRef ParentDriver(const DriverRef& ref);

// The attribute of the model or of its nearest ancestor that has it; a null
// attribute when none has it. A parent chain that comes back to a model
// already visited ends there.
pugi::xml_attribute InheritedAttribute(const DriverRef& ref, const char* attributeName);

// Inherited attributes with their defaults.
std::wstring DriverUsbName(const DriverRef& ref);       // "" = none
bool DriverBtAdapter(const DriverRef& ref);             // default false
bool DriverBluetoothDriver(const DriverRef& ref);       // default true
bool DriverUdp(const DriverRef& ref);                   // default false
std::wstring DriverCustomName(const DriverRef& ref);    // "" = none
std::wstring DriverComment(const DriverRef& ref);       // "" = none
bool DriverLanguageMonitor(const DriverRef& ref);       // default false

// The first driver of the walk whose inherited `usbname` equals `hardwareId`
// exactly (letter case significant).
DriverRef FindDriverByUsbName(std::wstring_view manufacturer, std::wstring_view hardwareId,
                              const pugi::xml_document& catalogue);

}  // namespace orvello
