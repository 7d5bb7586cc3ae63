#pragma once
// Code pages of a test machine: the ANSI code page can be chosen; 1252 and
// UTF-8 convert as Windows does. Windows' best-fit mapping (e.g. U+0100 to
// 'A' in 1252) is not reproduced: such characters become '?' here.
#include "platform/code_pages.h"

namespace orvello::fake {

class FakeCodePages : public platform::ICodePages {
 public:
  void SetAnsiCodePage(uint32_t codePage) { ansi_ = codePage; }

  uint32_t AnsiCodePage() override { return ansi_; }
  std::string WideToMultiByte(uint32_t codePage, std::wstring_view wide) override;
  std::wstring MultiByteToWide(uint32_t codePage, std::string_view narrow) override;

 private:
  uint32_t Resolve(uint32_t codePage) const { return codePage == platform::kCodePageAnsi ? ansi_ : codePage; }

  uint32_t ansi_ = platform::kCodePageLatin1;
};

}  // namespace orvello::fake
