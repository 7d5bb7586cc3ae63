#include "catalogue/catalogue.h"
#include "catalogue/value_syntax.h"
#include "system/text.h"

namespace orvello {

bool LoadCatalogueHeader(const pugi::xml_document& catalogue, ManufacturerProfile& profile) {
  pugi::xml_node root = catalogue.child("Drivers");
  auto text = [&root](const char* name) { return Utf8ToWide(root.attribute(name).value()); };

  profile.name = text("model");
  profile.productName = text("product");
  profile.productEnName = text("product_en");
  profile.companyName = text("company");
  profile.companyEnName = text("company_en");
  profile.webSite = text("website");
  profile.email = text("email");
  profile.tel = text("tel");
  static const char* const kVersion[] = {"version0", "version1", "version2", "version3"};
  for (size_t i = 0; i < profile.version.size(); ++i) {
    profile.version[i] = ParseIntegerText(root.attribute(kVersion[i]).value());
  }
  return !root.empty();
}

}  // namespace orvello
