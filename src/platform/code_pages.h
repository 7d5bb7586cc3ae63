#pragma once
// Conversions between program text (UTF-16) and 8-bit code pages, in the
// shape of WideCharToMultiByte / MultiByteToWideChar with no flags: text the
// code page cannot hold becomes its default character ('?').
#include <cstdint>
#include <string>
#include <string_view>

namespace orvello::platform {

inline constexpr uint32_t kCodePageAnsi = 0;      // CP_ACP: the system's ANSI code page
inline constexpr uint32_t kCodePageLatin1 = 1252;  // Western European (Windows)
inline constexpr uint32_t kCodePageUtf8 = 65001;   // CP_UTF8

class ICodePages {
 public:
  virtual ~ICodePages() = default;
  // GetACP: the code page kCodePageAnsi stands for.
  virtual uint32_t AnsiCodePage() = 0;
  // Empty when the code page is not installed or the text is empty.
  virtual std::string WideToMultiByte(uint32_t codePage, std::wstring_view wide) = 0;
  virtual std::wstring MultiByteToWide(uint32_t codePage, std::string_view narrow) = 0;
};

}  // namespace orvello::platform
