#include "shell/catalogue_version.h"

#include "catalogue/catalogue.h"
#include "system/text.h"

namespace orvello {

std::wstring CatalogueVersionText(const XmlDocument& catalogue) {
  ManufacturerProfile header;
  if (!LoadCatalogueHeader(catalogue.doc, header)) return L"";
  const auto& v = header.version;
  return FormatText(L"%d.%d.%d.%d", v[0], v[1], v[2], v[3]);
}

}  // namespace orvello
