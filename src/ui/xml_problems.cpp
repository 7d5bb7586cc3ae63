#include "ui/xml_problems.h"

#include <pugixml.hpp>

#include "system/text.h"

namespace orvello::ui {

bool XmlSource::Parse(pugi::xml_document& doc, std::wstring_view file, std::vector<std::wstring>& problems) const {
  if (bytes_.empty()) {
    problems.push_back(std::wstring(file) + L": the layout file is empty");
    return false;
  }
  pugi::xml_parse_result parsed =
      doc.load_buffer(bytes_.data(), bytes_.size(), pugi::parse_default, pugi::encoding_auto);
  if (!parsed) {
    problems.push_back(Describe(file, parsed.offset, L"malformed XML: " + Utf8ToWide(parsed.description())));
    return false;
  }
  if (!doc.document_element()) {
    problems.push_back(std::wstring(file) + L": no root element");
    return false;
  }
  return true;
}

std::wstring XmlSource::Describe(std::wstring_view file, std::ptrdiff_t offset, std::wstring_view message) const {
  std::wstring text(file);
  int line = LineAt(offset);
  if (line > 0) text += L"(" + std::to_wstring(line) + L")";
  text += L": ";
  text += message;
  return text;
}

int XmlSource::LineAt(std::ptrdiff_t offset) const {
  if (offset < 0 || static_cast<size_t>(offset) > bytes_.size()) return 0;
  int line = 1;
  for (std::ptrdiff_t i = 0; i < offset; ++i)
    if (bytes_[static_cast<size_t>(i)] == '\n') ++line;
  return line;
}

}  // namespace orvello::ui
