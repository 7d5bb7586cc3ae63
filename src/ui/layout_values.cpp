#include "ui/layout_values.h"

#include <vector>

#include "system/text.h"

namespace orvello::ui {

namespace {

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
  return text;
}

std::optional<std::vector<int>> ParseList(std::wstring_view text) {
  std::vector<int> values;
  while (true) {
    size_t comma = text.find(L',');
    std::optional<int> value = ParseLayoutInt(text.substr(0, comma));
    if (!value) return std::nullopt;
    values.push_back(*value);
    if (comma == std::wstring_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return values;
}

}  // namespace

std::optional<int> ParseLayoutInt(std::wstring_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return negative ? -value : value;
}

std::optional<bool> ParseLayoutBool(std::wstring_view text) {
  text = Trim(text);
  if (EqualsIgnoreCase(text, L"true") || text == L"1") return true;
  if (EqualsIgnoreCase(text, L"false") || text == L"0") return false;
  return std::nullopt;
}

std::optional<Size> ParseLayoutSize(std::wstring_view text) {
  auto values = ParseList(text);
  if (!values || values->size() != 2) return std::nullopt;
  return Size{(*values)[0], (*values)[1]};
}

std::optional<Rect> ParseLayoutRect(std::wstring_view text) {
  auto values = ParseList(text);
  if (!values) return std::nullopt;
  if (values->size() == 1) return Rect{(*values)[0], (*values)[0], (*values)[0], (*values)[0]};
  if (values->size() != 4) return std::nullopt;
  return Rect{(*values)[0], (*values)[1], (*values)[2], (*values)[3]};
}

}  // namespace orvello::ui
