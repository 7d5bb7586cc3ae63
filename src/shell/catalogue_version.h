#pragma once
// The package version as the main window and the about dialog show it.
#include <string>

#include "catalogue/xml_document.h"

namespace orvello {

// "%d.%d.%d.%d" from the catalogue's version0 ... version3; "" when the
// catalogue has no header.
std::wstring CatalogueVersionText(const XmlDocument& catalogue);

}  // namespace orvello
