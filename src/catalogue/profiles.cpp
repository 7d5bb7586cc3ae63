#include "catalogue/profiles.h"

#include "catalogue/value_syntax.h"
#include "system/text.h"

namespace orvello {

pugi::xml_node FindProfileByName(pugi::xml_document& profiles, std::wstring_view name) {
  pugi::xml_node list = profiles.child("Manufacturers");
  if (!list) list = profiles.append_child("Manufacturers");
  for (pugi::xml_node m = list.child("Manufacturer"); m; m = m.next_sibling("Manufacturer")) {
    if (EqualsIgnoreCase(Utf8ToWide(m.child("Name").text().get()), name)) return m;
  }
  return {};
}

void ParseProfile(pugi::xml_node element, ManufacturerProfile& profile) {
  // xml_text is the first text or CDATA child; "" when the child is missing.
  auto raw = [&element](const char* child) { return element.child(child).text().get(); };
  auto text = [&raw](const char* child) { return Utf8ToWide(raw(child)); };
  auto number = [&raw](const char* child) { return ParseIntegerText(raw(child)); };

  profile.name = text("Name");
  profile.productName = text("ProductName");
  profile.productEnName = text("ProductEnName");
  profile.companyName = text("CompanyName");
  profile.companyEnName = text("CompanyEnName");
  profile.webSite = text("WebSite");
  profile.email = text("Email");
  profile.tel = text("Tel");
  profile.logoFile = text("LogoFile");
  profile.manufacturer = text("Manufacturer");
  profile.setupPackageName = text("SetupPackageName");
  profile.version = {number("V0"), number("V1"), number("V2"), number("V3")};
  profile.time = text("Time");
  profile.disable = ParseBooleanText(raw("Disable"), false);
  profile.remark = text("Remark");
  profile.defaultSetupPortType = number("DefaultSetupPortType");
}

}  // namespace orvello
