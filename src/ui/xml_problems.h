#pragma once
// The bytes of one layout file with what the loader needs to report a
// problem in it: "form_main.xml(12): unknown control class "Buton"".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_document;
}

namespace orvello::ui {

class XmlSource {
 public:
  explicit XmlSource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  // Parses the bytes (UTF-8, a byte-order mark allowed); a failure adds a
  // problem with the parser's reason and line.
  bool Parse(pugi::xml_document& doc, std::wstring_view file, std::vector<std::wstring>& problems) const;
  // "file(line): message"; an offset outside the text gives "file: message".
  std::wstring Describe(std::wstring_view file, std::ptrdiff_t offset, std::wstring_view message) const;

 private:
  int LineAt(std::ptrdiff_t offset) const;

  std::vector<uint8_t> bytes_;
};

}  // namespace orvello::ui
