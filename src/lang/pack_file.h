#pragma once
// The two kinds of file in a language pack, both UTF-8 XML under a root
// element `Language`: the message table (`String` elements, id = the
// program's Chinese message, text = its translation) and a layout's texts
// (`Text` elements, id = a control's resource id).
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

namespace orvello {

using MessageTable = std::map<std::wstring, std::wstring, std::less<>>;

// An absent attribute leaves the control's own text or tooltip in place.
struct LayoutText {
  std::optional<std::wstring> text;
  std::optional<std::wstring> tooltip;

  bool operator==(const LayoutText&) const = default;
};

// Keyed by the `resourceid` of the control in the layout.
using LayoutTextMap = std::map<int, LayoutText>;

// Entries with an empty id are skipped; a later duplicate id replaces an
// earlier one. Bytes that are not such a document give an empty table.
MessageTable ParseMessageTable(std::span<const uint8_t> xml);

// Entries whose id is not a decimal number are skipped; a later duplicate
// replaces an earlier one.
LayoutTextMap ParseLayoutTexts(std::span<const uint8_t> xml);

// "form_main.xml" -> "form_main.lng"; any folder part of the name is dropped
// because the pack keeps its files flat.
std::wstring LayoutTextFileName(std::wstring_view layoutFileName);

}  // namespace orvello
