#include "system/text.h"

#include <cwchar>
#include <cwctype>

namespace orvello {

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendWide(std::wstring& out, uint32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (cp >> 10));
      out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(cp);
}

// Reads one code point of wide text, joining UTF-16 surrogate pairs.
uint32_t NextCodePoint(std::wstring_view text, size_t& i) {
  uint32_t c = static_cast<uint32_t>(text[i++]);
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0xD800 && c < 0xDC00 && i < text.size()) {
      uint32_t low = static_cast<uint32_t>(text[i]);
      if (low >= 0xDC00 && low < 0xE000) {
        ++i;
        return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      }
    }
  }
  return c;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view s) {
  std::wstring out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    auto b = static_cast<unsigned char>(s[i]);
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    if (b < 0x80) {
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      len = 2;
      cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3;
      cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4;
      cp = b & 0x07;
    } else {
      ++i;
      AppendWide(out, 0xFFFD);
      continue;
    }
    if (i + len > s.size()) {
      AppendWide(out, 0xFFFD);
      break;
    }
    bool valid = true;
    for (size_t k = 1; k < len; ++k) {
      auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!valid) {
      AppendWide(out, 0xFFFD);
      ++i;
      continue;
    }
    AppendWide(out, cp);
    i += len;
  }
  return out;
}

std::string WideToUtf8(std::wstring_view w) {
  std::string out;
  out.reserve(w.size());
  for (size_t i = 0; i < w.size();) AppendUtf8(out, NextCodePoint(w, i));
  return out;
}

std::vector<uint8_t> WideToUtf16Bytes(std::wstring_view w, bool withTerminator) {
  std::vector<uint8_t> out;
  out.reserve((w.size() + 1) * 2);
  auto put = [&](uint32_t unit) {
    out.push_back(static_cast<uint8_t>(unit & 0xFF));
    out.push_back(static_cast<uint8_t>(unit >> 8));
  };
  for (size_t i = 0; i < w.size();) {
    uint32_t cp = NextCodePoint(w, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(0xD800 + (cp >> 10));
      put(0xDC00 + (cp & 0x3FF));
    } else {
      put(cp);
    }
  }
  if (withTerminator) put(0);
  return out;
}

std::wstring Utf16BytesToWide(std::span<const uint8_t> bytes) {
  std::wstring out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    uint32_t unit = bytes[i] | (bytes[i + 1] << 8);
    if (unit == 0) break;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      uint32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendWide(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendWide(out, unit);
  }
  return out;
}

wchar_t FoldCase(wchar_t c) {
  if (c < 0x80) return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
  return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

bool StartsWithIgnoreCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsIgnoreCase(std::wstring_view text, std::wstring_view part) {
  if (part.empty()) return true;
  if (part.size() > text.size()) return false;
  for (size_t i = 0; i + part.size() <= text.size(); ++i)
    if (EqualsIgnoreCase(text.substr(i, part.size()), part)) return true;
  return false;
}

std::wstring ToUpper(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) c = FoldCase(c);
  return out;
}

std::wstring ToLower(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) {
    if (c < 0x80)
      c = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
    else
      c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  }
  return out;
}

std::wstring FormatTextV(const wchar_t* format, va_list args) {
  std::wstring out;
  if (!format) return out;
  const wchar_t* p = format;
  wchar_t piece[512];
  while (*p) {
    if (*p != L'%') {
      out += *p++;
      continue;
    }
    if (p[1] == L'%') {
      out += L'%';
      p += 2;
      continue;
    }
    // Collect one conversion: flags, width, precision, length, type.
    std::wstring conversion = L"%";
    ++p;
    while (*p && std::wcschr(L"-+ #0", *p)) conversion += *p++;
    if (*p == L'*') {
      conversion += std::to_wstring(va_arg(args, int));
      ++p;
    }
    while (*p >= L'0' && *p <= L'9') conversion += *p++;
    if (*p == L'.') {
      conversion += *p++;
      if (*p == L'*') {
        conversion += std::to_wstring(va_arg(args, int));
        ++p;
      }
      while (*p >= L'0' && *p <= L'9') conversion += *p++;
    }
    int longs = 0;
    bool half = false;
    while (*p == L'l' || *p == L'h' || *p == L'I' || *p == L'z') {
      if (*p == L'l') ++longs;
      if (*p == L'h') half = true;
      if (*p == L'z' || *p == L'I') longs = sizeof(size_t) == 8 ? 2 : 0;
      ++p;
    }
    wchar_t type = *p ? *p++ : L'\0';
    int n = -1;
    switch (type) {
      case L'd':
      case L'i':
      case L'u':
      case L'x':
      case L'X':
      case L'o':
        if (longs >= 2) {
          conversion += L"ll";
          conversion += type;
          n = std::swprintf(piece, 512, conversion.c_str(), va_arg(args, long long));
        } else if (longs == 1) {
          conversion += L"l";
          conversion += type;
          n = std::swprintf(piece, 512, conversion.c_str(), va_arg(args, long));
        } else {
          conversion += type;
          int v = va_arg(args, int);
          if (half) v = (type == L'd' || type == L'i') ? static_cast<short>(v) : static_cast<unsigned short>(v);
          n = std::swprintf(piece, 512, conversion.c_str(), v);
        }
        break;
      case L'c':
      case L'C':
        conversion += L"lc";
        n = std::swprintf(piece, 512, conversion.c_str(), static_cast<wint_t>(va_arg(args, int)));
        break;
      case L'f':
      case L'g':
      case L'e':
        conversion += type;
        n = std::swprintf(piece, 512, conversion.c_str(), va_arg(args, double));
        break;
      case L'p':
        conversion += type;
        n = std::swprintf(piece, 512, conversion.c_str(), va_arg(args, void*));
        break;
      case L's':
      case L'S': {
        const wchar_t* s = va_arg(args, const wchar_t*);
        std::wstring text = s ? s : L"(null)";
        // Width and precision apply to the whole text, which may be long.
        size_t dot = conversion.find(L'.');
        if (dot != std::wstring::npos) {
          size_t prec = static_cast<size_t>(std::wcstol(conversion.c_str() + dot + 1, nullptr, 10));
          if (text.size() > prec) text.resize(prec);
        }
        bool left = conversion.find(L'-') != std::wstring::npos;
        size_t widthStart = conversion.find_first_of(L"123456789");
        size_t width = (widthStart != std::wstring::npos && (dot == std::wstring::npos || widthStart < dot))
                           ? static_cast<size_t>(std::wcstol(conversion.c_str() + widthStart, nullptr, 10))
                           : 0;
        if (text.size() < width) {
          std::wstring pad(width - text.size(), L' ');
          text = left ? text + pad : pad + text;
        }
        out += text;
        continue;
      }
      default:
        out += conversion;
        if (type) out += type;
        continue;
    }
    if (n > 0) out.append(piece, static_cast<size_t>(n));
  }
  return out;
}

std::wstring FormatText(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring out = FormatTextV(format, args);
  va_end(args);
  return out;
}

}  // namespace orvello
