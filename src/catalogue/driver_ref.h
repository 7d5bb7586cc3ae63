#pragma once
// A handle of one catalogue `Driver` element. The document pointer tells
// which catalogue the element belongs to, so that parent models are looked
// up in the same one. A null element means "no driver".
#include <pugixml.hpp>

namespace orvello {

struct DriverRef {
  pugi::xml_node node;
  const pugi::xml_document* document = nullptr;

  bool IsNone() const { return node.empty(); }
  explicit operator bool() const { return !node.empty(); }
  bool operator==(const DriverRef& other) const { return node == other.node; }
};

}  // namespace orvello
