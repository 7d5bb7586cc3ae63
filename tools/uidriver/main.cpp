// orvello_uidriver: drives Orvello's windows from outside the process, the
// way a user would, for the end-to-end tests. Windows are named by their
// window class ("MainFrame", "DlgAbout", ...) or, for wait/count/close, by
// their title; controls by their toolkit name (ui/win32/control_names.h).
//
//   wait <title> <timeout ms>               a top-level window with that title exists
//   wait-class <class> <timeout ms>          a visible window of that class exists
//   wait-gone <class> <timeout ms>           no visible window of that class is left
//   count <title>                            prints how many visible windows have that title
//   close <title>                            posts WM_CLOSE to the window
//   list <class>                             one line per named control: name kind visible enabled text
//   find <class> <name>                      the control exists
//   visible <class> <name>                   the control is shown
//   enabled <class> <name>                   the control and its window take input
//   click <class> <name>                     a click on a button, option or check box
//   settext <class> <name> <text>            types the text into an edit box (replaces it)
//   gettext <class> <name>                   prints the control's text
//   key <class> <vk> [ctrl]                  a key press in the window (vk decimal or 0x..)
//   select-row <class> <grid> <row> [col]    a click on a grid cell (row 1 is the first data row)
//   check-row <class> <grid> <row>           a click on the row's check box
//   checked <class> <name> [row]             the option / check box is selected, or a grid row's box ticked
//   rows <class> <grid>                      prints the number of data rows
//   cell <class> <grid> <row> <col>          prints a cell's text
//   select-item <class> <combo> <index>      chooses a combo item
//
// Exit codes: 0 done / true, 1 not found / false, 2 bad arguments.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "ui/win32/control_names.h"

namespace {

using orvello::ui::win32::ControlKindOf;
using orvello::ui::win32::ControlNameOf;
using orvello::ui::win32::kActionMessageName;
using orvello::ui::win32::kKindNames;
using orvello::ui::win32::PackUiAction;
using orvello::ui::win32::UiAction;

constexpr int kOk = 0;
constexpr int kNo = 1;
constexpr int kBadArguments = 2;
constexpr UINT kSendLimitMs = 5000;

void Print(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
  utf8 += '\n';
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

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

HWND VisibleWindowOfClass(const wchar_t* className) {
  for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w; w = FindWindowExW(nullptr, w, className, nullptr))
    if (IsWindowVisible(w)) return w;
  return nullptr;
}

struct Named {
  HWND hwnd;
  std::wstring name;
};

BOOL CALLBACK CollectNamed(HWND child, LPARAM param) {
  std::wstring name = ControlNameOf(child);
  if (!name.empty()) reinterpret_cast<std::vector<Named>*>(param)->push_back({child, name});
  return TRUE;
}

std::vector<Named> NamedControls(HWND top) {
  std::vector<Named> controls;
  EnumChildWindows(top, &CollectNamed, reinterpret_cast<LPARAM>(&controls));
  return controls;
}

// Names ignore letter case, as the toolkit's lookup does; the first in
// creation order wins.
HWND FindControl(HWND top, const wchar_t* name) {
  for (const Named& control : NamedControls(top))
    if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, control.name.c_str(), -1, name, -1) == CSTR_EQUAL)
      return control.hwnd;
  return nullptr;
}

std::wstring TextOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendLimitMs, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      kSendLimitMs, &copied);
  text.resize(copied);
  return text;
}

std::wstring KindName(HWND hwnd) {
  int kind = ControlKindOf(hwnd);
  if (kind < 0 || kind >= static_cast<int>(std::size(kKindNames))) return L"?";
  return kKindNames[kind];
}

bool ParseInt(const wchar_t* text, int& value) {
  wchar_t* end = nullptr;
  long parsed = std::wcstol(text, &end, 0);
  if (!end || *end != 0 || end == text) return false;
  value = static_cast<int>(parsed);
  return true;
}

UINT ActionMessage() { return RegisterWindowMessageW(kActionMessageName); }

LRESULT SendAction(HWND top, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(top, ActionMessage(), wParam, lParam, SMTO_ABORTIFHUNG, kSendLimitMs, &result)) return 0;
  return static_cast<LRESULT>(result);
}

// User actions may open a modal dialog, so they are posted: the driver
// does not wait for the dialog to end.
bool PostAction(HWND top, WPARAM wParam, LPARAM lParam) {
  return PostMessageW(top, ActionMessage(), wParam, lParam) != FALSE;
}

int Usage() {
  std::fwprintf(stderr,
                L"usage: orvello_uidriver wait|wait-class|wait-gone|count|close|list|find|visible|enabled|click|"
                L"settext|gettext|key|select-row|check-row|checked|rows|cell|select-item ...\n");
  return kBadArguments;
}

template <typename F>
bool WaitFor(DWORD timeout, F condition) {
  DWORD start = GetTickCount();
  while (true) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeout) return false;
    Sleep(100);
  }
}

int ControlCommand(const std::wstring& command, HWND top, int argc, wchar_t** argv) {
  if (command == L"list") {
    for (const Named& control : NamedControls(top)) {
      Print(control.name + L"\t" + KindName(control.hwnd) + L"\t" + (IsWindowVisible(control.hwnd) ? L"1" : L"0") +
            L"\t" + (IsWindowEnabled(control.hwnd) ? L"1" : L"0") + L"\t" + TextOf(control.hwnd));
    }
    return kOk;
  }
  if (argc < 4) return kBadArguments;
  HWND control = FindControl(top, argv[3]);
  if (command == L"find") return control ? kOk : kNo;
  if (!control) {
    std::fwprintf(stderr, L"no control %ls\n", argv[3]);
    return kNo;
  }
  if (command == L"visible") return IsWindowVisible(control) ? kOk : kNo;
  // A window waiting for its modal dialog takes no input, whatever its controls say.
  bool usable = IsWindowVisible(control) && IsWindowEnabled(control) && IsWindowEnabled(top);
  if (command == L"enabled") return IsWindowEnabled(control) && IsWindowEnabled(top) ? kOk : kNo;
  if (command == L"gettext") {
    Print(TextOf(control));
    return kOk;
  }
  if (command == L"click") {
    if (!usable) return kNo;
    return PostMessageW(control, BM_CLICK, 0, 0) ? kOk : kNo;
  }
  if (command == L"settext") {
    if (argc < 5) return kBadArguments;
    if (!usable) return kNo;
    // An edit box tells its window of WM_SETTEXT with EN_CHANGE, as of typing.
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]), SMTO_ABORTIFHUNG,
                               kSendLimitMs, &result) && result
               ? kOk
               : kNo;
  }
  if (command == L"rows") {
    DWORD_PTR count = 0;
    SendMessageTimeoutW(control, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kSendLimitMs, &count);
    Print(std::to_wstring(count));
    return kOk;
  }
  auto controlParam = reinterpret_cast<WPARAM>(control);
  if (command == L"checked" && argc == 4) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendLimitMs, &state);
    return state == BST_CHECKED ? kOk : kNo;
  }
  int row = 0, column = 0;
  if (command == L"select-item") {
    if (argc < 5 || !ParseInt(argv[4], row)) return kBadArguments;
    return PostAction(top, controlParam, PackUiAction(UiAction::kSelectItem, row)) ? kOk : kNo;
  }
  if (argc < 5 || !ParseInt(argv[4], row)) return kBadArguments;
  if (command == L"select-row") {
    column = 1;
    if (argc > 5 && !ParseInt(argv[5], column)) return kBadArguments;
    return PostAction(top, controlParam, PackUiAction(UiAction::kClickRow, row, column)) ? kOk : kNo;
  }
  if (command == L"check-row") return PostAction(top, controlParam, PackUiAction(UiAction::kCheckRow, row)) ? kOk : kNo;
  if (command == L"checked") return SendAction(top, controlParam, PackUiAction(UiAction::kRowChecked, row)) ? kOk : kNo;
  if (command == L"cell") {
    if (argc < 6 || !ParseInt(argv[5], column)) return kBadArguments;
    auto atom = static_cast<ATOM>(SendAction(top, controlParam, PackUiAction(UiAction::kCellText, row, column)));
    if (!atom) return kNo;
    wchar_t text[256] = {};
    UINT n = GlobalGetAtomNameW(atom, text, 256);
    GlobalDeleteAtom(atom);
    Print(n > 0 ? std::wstring(text + 1, n - 1) : std::wstring());
    return kOk;
  }
  return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  std::wstring command = argv[1];
  const wchar_t* target = argv[2];
  auto timeoutArg = [&](DWORD fallback) {
    int value = 0;
    return argc > 3 && ParseInt(argv[3], value) ? static_cast<DWORD>(value) : fallback;
  };
  if (command == L"wait") return WaitFor(timeoutArg(10000), [&] { return FindWindowW(nullptr, target) != nullptr; }) ? kOk : kNo;
  if (command == L"wait-class")
    return WaitFor(timeoutArg(10000), [&] { return VisibleWindowOfClass(target) != nullptr; }) ? kOk : kNo;
  if (command == L"wait-gone")
    return WaitFor(timeoutArg(10000), [&] { return VisibleWindowOfClass(target) == nullptr; }) ? kOk : kNo;
  if (command == L"count") {
    CountRequest request{target, 0};
    EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&request));
    std::wprintf(L"%d\n", request.count);
    return kOk;
  }
  if (command == L"close") {
    HWND window = FindWindowW(nullptr, target);
    if (!window) return kNo;
    return PostMessageW(window, WM_CLOSE, 0, 0) ? kOk : kNo;
  }
  HWND top = VisibleWindowOfClass(target);
  if (command == L"key") {
    int key = 0;
    if (argc < 4 || !ParseInt(argv[3], key)) return kBadArguments;
    if (!top) return kNo;
    bool ctrl = argc > 4 && std::wcscmp(argv[4], L"ctrl") == 0;
    return PostAction(top, static_cast<WPARAM>(key), PackUiAction(UiAction::kKeyDown, ctrl ? 1 : 0)) ? kOk : kNo;
  }
  static const wchar_t* const kControlCommands[] = {L"list",  L"find",       L"visible",   L"enabled",   L"click",
                                                    L"settext", L"gettext",  L"select-row", L"check-row", L"checked",
                                                    L"rows",  L"cell",       L"select-item"};
  bool known = false;
  for (const wchar_t* name : kControlCommands) known = known || command == name;
  if (!known) return Usage();
  if (!top) {
    std::fwprintf(stderr, L"no window of class %ls\n", target);
    return kNo;
  }
  return ControlCommand(command, top, argc, argv);
}
