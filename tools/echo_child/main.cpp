// echo_child <exit code> <text...>
// Writes the text words, separated by single spaces and followed by "\r\n",
// to standard output in the ANSI code page, and exits with the code. The
// tests start it as a child process to see command lines, inherited pipes
// and exit codes arrive as Windows delivers them.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 255;
  unsigned long code = std::wcstoul(argv[1], nullptr, 10);
  std::wstring text;
  for (int i = 2; i < argc; ++i) {
    if (i > 2) text += L' ';
    text += argv[i];
  }
  text += L"\r\n";
  int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  // WriteFile leaves nothing in a buffer. FlushFileBuffers is not called:
  // on a pipe it would wait for the reader, and a parent that reads only
  // after the child has ended would never see it end.
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (out && out != INVALID_HANDLE_VALUE)
    ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  return static_cast<int>(code);
}
