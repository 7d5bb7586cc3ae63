#include "catalogue/value_syntax.h"

#include <limits>

namespace orvello {

bool ParseBooleanText(std::string_view text, bool whenEmpty) {
  if (text.empty()) return whenEmpty;
  switch (text.front()) {
    case '1':
    case 'T':
    case 't':
    case 'Y':
    case 'y':
      return true;
    default:
      return false;
  }
}

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int32_t ParseIntegerText(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;

  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }

  // The magnitude is accumulated in 64 bits and clamped as soon as it leaves
  // the 32-bit range, so arbitrarily long digit runs cannot overflow it.
  constexpr uint64_t kLimit = uint64_t{1} << 31;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    int digit = base == 16 ? HexDigitValue(text[i])
                           : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) break;
    magnitude = magnitude * base + static_cast<unsigned>(digit);
    if (magnitude > kLimit) magnitude = kLimit + 1;
  }

  if (negative) {
    if (magnitude >= kLimit) return std::numeric_limits<int32_t>::min();
    return -static_cast<int32_t>(magnitude);
  }
  if (magnitude >= kLimit) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(magnitude);
}

}  // namespace orvello
