#include <string>

#include "catalogue/catalogue.h"
#include "system/text.h"

namespace orvello {

namespace {

pugi::xml_node ManufacturersOf(pugi::xml_node root) {
  return root.child("Drivers").child("Manufacturers");
}

pugi::xml_node FindManufacturer(pugi::xml_node root, std::string_view mode) {
  for (pugi::xml_node m = ManufacturersOf(root).child("Manufacturer"); m;
       m = m.next_sibling("Manufacturer")) {
    if (mode == m.attribute("mode").value()) return m;
  }
  return {};
}

// Both names are UTF-8 and compared byte for byte, which for well-formed
// text is the same as comparing the program's wide strings exactly.
pugi::xml_node FindDriverNode(pugi::xml_node root, std::string_view mode, std::string_view name) {
  pugi::xml_node manufacturer = FindManufacturer(root, mode);
  for (pugi::xml_node d = manufacturer.child("Driver"); d; d = d.next_sibling("Driver")) {
    if (name == d.attribute("name").value()) return d;
  }
  return {};
}

bool Advance(DriverRef& ref, bool allManufacturers) {
  if (!ref) return false;
  if (pugi::xml_node next = ref.node.next_sibling("Driver")) {
    ref.node = next;
    return true;
  }
  if (allManufacturers) {
    // Only the directly following manufacturer is tried: one without any
    // driver ends the walk even if later ones have drivers.
    pugi::xml_node first = ref.node.parent().next_sibling("Manufacturer").child("Driver");
    if (first) {
      ref.node = first;
      return true;
    }
  }
  ref = {};
  return false;
}

}  // namespace

bool IsAllManufacturers(std::wstring_view manufacturer) {
  return EqualsIgnoreCase(manufacturer, kAllManufacturers);
}

DriverRef FirstDriver(std::wstring_view manufacturer, const pugi::xml_document& catalogue) {
  pugi::xml_node m = IsAllManufacturers(manufacturer)
                         ? ManufacturersOf(catalogue).child("Manufacturer")
                         : FindManufacturer(catalogue, WideToUtf8(manufacturer));
  pugi::xml_node d = m.child("Driver");
  if (!d) return {};
  return {d, &catalogue};
}

bool NextDriver(std::wstring_view manufacturer, DriverRef& ref, const pugi::xml_document& catalogue) {
  return Advance(ref, IsAllManufacturers(manufacturer));
}

std::wstring DriverName(const DriverRef& ref) {
  return Utf8ToWide(ref.node.attribute("name").value());
}

DriverRef FindDriver(std::wstring_view mode, std::wstring_view name, const pugi::xml_document& catalogue) {
  pugi::xml_node d = FindDriverNode(catalogue, WideToUtf8(mode), WideToUtf8(name));
  if (!d) return {};
  return {d, &catalogue};
}

DriverRef ParentDriver(const DriverRef& ref) {
  if (!ref) return {};
  const char* parent = ref.node.attribute("parent").value();
  if (*parent == '\0') return {};
  pugi::xml_attribute manufacturerAttr = ref.node.attribute("parentmanufacturer");
  static const std::string kNative = WideToUtf8(kNativeManufacturer);
  std::string_view manufacturer = manufacturerAttr ? std::string_view(manufacturerAttr.value()) : kNative;

  pugi::xml_node root = ref.document ? pugi::xml_node(*ref.document) : ref.node.root();
  pugi::xml_node d = FindDriverNode(root, manufacturer, parent);
  if (!d) return {};
  return {d, ref.document};
}

DriverRef FindDriverByUsbName(std::wstring_view manufacturer, std::wstring_view hardwareId,
                              const pugi::xml_document& catalogue) {
  const std::string id = WideToUtf8(hardwareId);
  const bool all = IsAllManufacturers(manufacturer);
  for (DriverRef d = FirstDriver(manufacturer, catalogue); d; Advance(d, all)) {
    // An empty id matches the first model without a USB id, like any other
    // exact comparison of two texts.
    if (id == InheritedAttribute(d, "usbname").value()) return d;
  }
  return {};
}

}  // namespace orvello
