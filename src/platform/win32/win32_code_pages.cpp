#include "platform/win32/win32_code_pages.h"

#include <windows.h>

namespace orvello::win32 {

uint32_t Win32CodePages::AnsiCodePage() { return GetACP(); }

std::string Win32CodePages::WideToMultiByte(uint32_t codePage, std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int needed = WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<size_t>(needed), '\0');
  const int written = WideCharToMultiByte(codePage, 0, wide.data(), length, out.data(), needed, nullptr, nullptr);
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}

std::wstring Win32CodePages::MultiByteToWide(uint32_t codePage, std::string_view narrow) {
  if (narrow.empty()) return {};
  const int length = static_cast<int>(narrow.size());
  const int needed = MultiByteToWideChar(codePage, 0, narrow.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring out(static_cast<size_t>(needed), L'\0');
  const int written = MultiByteToWideChar(codePage, 0, narrow.data(), length, out.data(), needed);
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}

}  // namespace orvello::win32
