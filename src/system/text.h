#pragma once
// Text conversions and comparisons shared by every module. Program text is
// UTF-16 on Windows (wchar_t); on Linux wchar_t holds UTF-32 and the same
// code works on code points.
#include <cstdarg>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvello {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// UTF-16LE bytes, as Windows stores REG_SZ data, printer data and the log.
std::vector<uint8_t> WideToUtf16Bytes(std::wstring_view wide, bool withTerminator);
// Reads UTF-16LE bytes up to the first NUL character (or the end).
std::wstring Utf16BytesToWide(std::span<const uint8_t> bytes);

// Letter-case folding as the Windows file system and registry compare
// names: simple upper-case mapping per character.
wchar_t FoldCase(wchar_t c);
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);
bool StartsWithIgnoreCase(std::wstring_view text, std::wstring_view prefix);
bool ContainsIgnoreCase(std::wstring_view text, std::wstring_view part);
std::wstring ToUpper(std::wstring_view text);
std::wstring ToLower(std::wstring_view text);

// printf-style formatting of wide text with the Windows meaning of %s
// (a wide string) on every platform. Supports %d %i %u %x %X %s %c %%
// with flags, width and precision, and the l / ll / h length modifiers.
std::wstring FormatText(const wchar_t* format, ...);
std::wstring FormatTextV(const wchar_t* format, va_list args);

}  // namespace orvello
