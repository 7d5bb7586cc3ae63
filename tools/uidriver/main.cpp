// orvello_uidriver: drives Orvello's windows from outside the process, the
// way a user would, for the end-to-end tests.
//
//   orvello_uidriver wait <title> <timeout ms>   exit 0 when a top-level window with that title exists
//   orvello_uidriver count <title>               prints how many top-level windows have that title
//   orvello_uidriver close <title>               posts WM_CLOSE to the window
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct CountRequest {
  const wchar_t* title;
  int count;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM param) {
  auto* request = reinterpret_cast<CountRequest*>(param);
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  if (std::wcscmp(text, request->title) == 0 && IsWindowVisible(window)) ++request->count;
  return TRUE;
}

int CountWindows(const wchar_t* title) {
  CountRequest request{title, 0};
  EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&request));
  return request.count;
}

int Usage() {
  std::fwprintf(stderr, L"usage: orvello_uidriver wait <title> <ms> | count <title> | close <title>\n");
  return 3;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  std::wstring command = argv[1];
  const wchar_t* title = argv[2];
  if (command == L"wait") {
    DWORD timeout = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 10000;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
      if (FindWindowW(nullptr, title)) return 0;
      Sleep(100);
    }
    return 1;
  }
  if (command == L"count") {
    std::wprintf(L"%d\n", CountWindows(title));
    return 0;
  }
  if (command == L"close") {
    HWND window = FindWindowW(nullptr, title);
    if (!window) return 1;
    return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 2;
  }
  return Usage();
}
