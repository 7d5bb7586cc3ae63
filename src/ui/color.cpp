#include "ui/color.h"

namespace orvello::ui {

std::optional<Color> ParseColor(std::wstring_view text) {
  if (text.starts_with(L"#"))
    text.remove_prefix(1);
  else if (text.starts_with(L"0x") || text.starts_with(L"0X"))
    text.remove_prefix(2);
  else
    return std::nullopt;
  if (text.size() != 6 && text.size() != 8) return std::nullopt;
  uint32_t value = 0;
  for (wchar_t c : text) {
    uint32_t digit;
    if (c >= L'0' && c <= L'9')
      digit = c - L'0';
    else if (c >= L'a' && c <= L'f')
      digit = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F')
      digit = c - L'A' + 10;
    else
      return std::nullopt;
    value = (value << 4) | digit;
  }
  if (text.size() == 6) value |= 0xFF000000u;
  return Color{value};
}

}  // namespace orvello::ui
