#pragma once
// The manufacturer profiles (resource XML 132):
//   Manufacturers -> Manufacturer -> Name, CompanyName, ..., V0..V3, Time,
//                                    Disable, DefaultSetupPortType
#include <pugixml.hpp>

#include <string_view>

#include "catalogue/manufacturer_profile.h"

namespace orvello {

// The first `Manufacturer` whose `Name` text equals `name` ignoring letter
// case, or a null node. A document without a `Manufacturers` element gets
// an empty one first, which is why the document is taken mutable.
pugi::xml_node FindProfileByName(pugi::xml_document& profiles, std::wstring_view name);

// Replaces every field of `profile` from the element's children; a missing
// child reads as "", 0 or false.
void ParseProfile(pugi::xml_node element, ManufacturerProfile& profile);

}  // namespace orvello
