#pragma once
// ICodePages over WideCharToMultiByte / MultiByteToWideChar.
#include "platform/code_pages.h"

namespace orvello::win32 {

class Win32CodePages : public platform::ICodePages {
 public:
  uint32_t AnsiCodePage() override;
  std::string WideToMultiByte(uint32_t codePage, std::wstring_view wide) override;
  std::wstring MultiByteToWide(uint32_t codePage, std::string_view narrow) override;
};

}  // namespace orvello::win32
