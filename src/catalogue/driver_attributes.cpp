#include <algorithm>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/value_syntax.h"
#include "system/text.h"

namespace orvello {

pugi::xml_attribute InheritedAttribute(const DriverRef& ref, const char* attributeName) {
  if (!ref) return {};
  if (pugi::xml_attribute own = ref.node.attribute(attributeName)) return own;

  // The catalogue is data: a parent chain may loop back on itself, so the
  // models seen so far are remembered and a repeat ends the chain.
  std::vector<pugi::xml_node> visited{ref.node};
  for (DriverRef current = ParentDriver(ref); current; current = ParentDriver(current)) {
    if (std::find(visited.begin(), visited.end(), current.node) != visited.end()) break;
    if (pugi::xml_attribute a = current.node.attribute(attributeName)) return a;
    visited.push_back(current.node);
  }
  return {};
}

namespace {

std::wstring InheritedText(const DriverRef& ref, const char* attributeName) {
  return Utf8ToWide(InheritedAttribute(ref, attributeName).value());
}

bool InheritedBoolean(const DriverRef& ref, const char* attributeName, bool whenMissing) {
  return ParseBooleanText(InheritedAttribute(ref, attributeName).value(), whenMissing);
}

}  // namespace

std::wstring DriverUsbName(const DriverRef& ref) { return InheritedText(ref, "usbname"); }
bool DriverBtAdapter(const DriverRef& ref) { return InheritedBoolean(ref, "btadapter", false); }
bool DriverBluetoothDriver(const DriverRef& ref) { return InheritedBoolean(ref, "bluetoothdriver", true); }
bool DriverUdp(const DriverRef& ref) { return InheritedBoolean(ref, "udp", false); }
std::wstring DriverCustomName(const DriverRef& ref) { return InheritedText(ref, "customname"); }
std::wstring DriverComment(const DriverRef& ref) { return InheritedText(ref, "comment"); }
bool DriverLanguageMonitor(const DriverRef& ref) { return InheritedBoolean(ref, "languagemonitor", false); }

}  // namespace orvello
