#pragma once
// Loading the catalogue (XML 131) and profile (XML 132) resources.
#include <cstdint>

#include "catalogue/xml_document.h"
#include "platform/platform.h"

namespace orvello {

inline constexpr uint32_t kCatalogueResourceId = 131;
inline constexpr uint32_t kProfilesResourceId = 132;
inline constexpr uint32_t kPackageResourceId = 129;
inline constexpr const wchar_t* kXmlResourceType = L"XML";
inline constexpr const wchar_t* kPackageResourceType = L"ZIPRES";

// Parses resource "XML" id into the document once. A missing resource
// leaves the document unloaded silently; load problems only reach the
// debugger output. A malformed document keeps what was parsed and still
// counts as loaded.
void LoadXmlResource(platform::IResources& resources, platform::IDebugOutput& debug, uint32_t id,
                     XmlDocument& document);

}  // namespace orvello
