#include "console.h"

#include <windows.h>

namespace orvello::devcon {
namespace {

int Length(const wchar_t* text) {
  int n = 0;
  while (text[n]) ++n;
  return n;
}

void WriteCount(const wchar_t* text, int length) {
  if (length <= 0) return;
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (!out || out == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (::GetConsoleMode(out, &mode)) {
    ::WriteConsoleW(out, text, static_cast<DWORD>(length), &written, nullptr);
    return;
  }
  int size = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  HANDLE heap = ::GetProcessHeap();
  char* bytes = static_cast<char*>(::HeapAlloc(heap, 0, static_cast<SIZE_T>(size)));
  if (!bytes) return;
  ::WideCharToMultiByte(CP_ACP, 0, text, length, bytes, size, nullptr, nullptr);
  // No FlushFileBuffers: on a pipe it would wait for the reader.
  ::WriteFile(out, bytes, static_cast<DWORD>(size), &written, nullptr);
  ::HeapFree(heap, 0, bytes);
}

// The system's text for a Win32 error, or for a SetupAPI error through its
// HRESULT form, which is the one the message table knows. Null when none;
// the caller frees it with LocalFree.
wchar_t* SystemText(unsigned long code) {
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  wchar_t* text = nullptr;
  if (::FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr)) return text;
  if ((code & 0xE0000000ul) == 0xE0000000ul) {
    unsigned long hr = 0x800F0000ul | (code & 0xFFFFul);
    if (::FormatMessageW(flags, nullptr, hr, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr)) return text;
  }
  return nullptr;
}

}  // namespace

void Write(const wchar_t* text) { WriteCount(text, Length(text)); }

void WriteLine(const wchar_t* text) {
  Write(text);
  Write(L"\r\n");
}

void WriteHex(unsigned long value) {
  wchar_t digits[11] = {L'0', L'x'};
  for (int i = 0; i < 8; ++i) digits[9 - i] = L"0123456789ABCDEF"[(value >> (4 * i)) & 0xF];
  digits[10] = 0;
  Write(digits);
}

void WriteErrorLine(const wchar_t* what, unsigned long code) {
  Write(what);
  Write(L": error ");
  WriteHex(code);
  wchar_t* text = SystemText(code);
  if (text) {
    // System texts end with a line break of their own.
    int n = Length(text);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ')) text[--n] = 0;
    Write(L": ");
    Write(text);
    ::LocalFree(text);
  }
  Write(L"\r\n");
}

}  // namespace orvello::devcon
