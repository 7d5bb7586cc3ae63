#include "platform/fake/fake_code_pages.h"

#include "system/text.h"

namespace orvello::fake {

namespace {

// Bytes 0x80..0x9F of code page 1252. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows does.
constexpr char16_t kLatin1High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char Latin1Byte(uint32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (kLatin1High[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

wchar_t Latin1Char(unsigned char b) {
  if (b >= 0x80 && b < 0xA0) return static_cast<wchar_t>(kLatin1High[b - 0x80]);
  return static_cast<wchar_t>(b);
}

// One character of a single-byte code page stands for a whole code point:
// a UTF-16 surrogate pair becomes one '?', not two.
template <class Put>
void ForEachCodePoint(std::wstring_view wide, Put put) {
  for (size_t i = 0; i < wide.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(wide[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size()) {
        uint32_t low = static_cast<uint32_t>(wide[i + 1]);
        if (low >= 0xDC00 && low < 0xE000) {
          ++i;
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
      }
    }
    put(c);
  }
}

}  // namespace

std::string FakeCodePages::WideToMultiByte(uint32_t codePage, std::wstring_view wide) {
  switch (Resolve(codePage)) {
    case platform::kCodePageUtf8:
      return WideToUtf8(wide);
    case platform::kCodePageLatin1: {
      std::string out;
      out.reserve(wide.size());
      ForEachCodePoint(wide, [&](uint32_t c) { out += Latin1Byte(c); });
      return out;
    }
    default:
      return {};  // not installed: the call fails with ERROR_INVALID_PARAMETER
  }
}

std::wstring FakeCodePages::MultiByteToWide(uint32_t codePage, std::string_view narrow) {
  switch (Resolve(codePage)) {
    case platform::kCodePageUtf8:
      return Utf8ToWide(narrow);
    case platform::kCodePageLatin1: {
      std::wstring out;
      out.reserve(narrow.size());
      for (char b : narrow) out += Latin1Char(static_cast<unsigned char>(b));
      return out;
    }
    default:
      return {};
  }
}

}  // namespace orvello::fake
