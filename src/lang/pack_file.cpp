#include "lang/pack_file.h"

#include <pugixml.hpp>

#include <string_view>

#include "system/text.h"

namespace orvello {

namespace {

// The packs are plain UTF-8; auto-detection also accepts a byte-order mark.
bool LoadPack(std::span<const uint8_t> xml, pugi::xml_document& doc) {
  if (xml.empty()) return false;
  return static_cast<bool>(doc.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_auto));
}

std::optional<std::wstring> OptionalAttribute(const pugi::xml_node& node, const char* name) {
  pugi::xml_attribute attribute = node.attribute(name);
  if (!attribute) return std::nullopt;
  return Utf8ToWide(attribute.value());
}

// Resource ids are plain decimal numbers; anything else matches no control.
std::optional<int> ParseResourceId(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

MessageTable ParseMessageTable(std::span<const uint8_t> xml) {
  MessageTable table;
  pugi::xml_document doc;
  if (!LoadPack(xml, doc)) return table;
  for (pugi::xml_node entry : doc.child("Language").children("String")) {
    const char* id = entry.attribute("id").value();
    if (*id == '\0') continue;
    table.insert_or_assign(Utf8ToWide(id), Utf8ToWide(entry.attribute("text").value()));
  }
  return table;
}

LayoutTextMap ParseLayoutTexts(std::span<const uint8_t> xml) {
  LayoutTextMap texts;
  pugi::xml_document doc;
  if (!LoadPack(xml, doc)) return texts;
  for (pugi::xml_node entry : doc.child("Language").children("Text")) {
    std::optional<int> id = ParseResourceId(entry.attribute("id").value());
    if (!id) continue;
    texts.insert_or_assign(*id, LayoutText{OptionalAttribute(entry, "text"), OptionalAttribute(entry, "tooltip")});
  }
  return texts;
}

std::wstring LayoutTextFileName(std::wstring_view layoutFileName) {
  size_t slash = layoutFileName.find_last_of(L"\\/");
  std::wstring_view name = slash == std::wstring_view::npos ? layoutFileName : layoutFileName.substr(slash + 1);
  size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring_view::npos) name = name.substr(0, dot);
  std::wstring out(name);
  out += L".lng";
  return out;
}

}  // namespace orvello
