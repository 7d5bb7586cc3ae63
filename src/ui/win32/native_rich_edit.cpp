#include "ui/win32/native_rich_edit.h"

#include <richedit.h>

#include <string>

#include "ui/win32/win32_backend.h"

namespace orvello::ui::win32 {

namespace {

// WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY
constexpr DWORD kLogStyle = 0x40200844;

struct RichEditLibrary {
  HMODULE module = nullptr;
  RichEditLibrary() {
    wchar_t path[MAX_PATH];
    UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n + 16 >= MAX_PATH) return;
    std::wstring full(path, n);
    full += L"\\Riched20.dll";
    module = LoadLibraryW(full.c_str());
  }
  ~RichEditLibrary() {
    if (module) FreeLibrary(module);
  }
};

void AppendRun(HWND edit, const TextRun& run) {
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR | CFM_BOLD | CFM_UNDERLINE;
  format.crTextColor = run.color.ToColorRef();
  CHARRANGE end{-1, -1};
  SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
  SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(run.text.c_str()));
}

void ShowAll(HWND edit, const RichEdit& model) {
  SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
  CHARRANGE all{0, -1};
  SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  for (const TextRun& run : model.Runs()) AppendRun(edit, run);
  SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit, nullptr, TRUE);
  SendMessageW(edit, WM_VSCROLL, SB_BOTTOM, 0);
}

}  // namespace

bool LoadRichEditLibrary() {
  static RichEditLibrary library;
  return library.module != nullptr;
}

HWND CreateRichEditWindow(NativeFrame& frame, RichEdit& edit, int id) {
  if (!LoadRichEditLibrary()) return nullptr;
  HWND hwnd = CreateWindowExW(0, L"RichEdit20W", L"", kLogStyle, 0, 0, 0, 0, frame.hwnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), frame.backend->Instance(), nullptr);
  if (!hwnd) return nullptr;
  SendMessageW(hwnd, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(edit.BkColor() ? edit.BkColor()->ToColorRef() : RGB(255, 255, 255)));
  // No line limit of its own: the message log clears itself.
  SendMessageW(hwnd, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
  ShowAll(hwnd, edit);
  return hwnd;
}

void UpdateRichEdit(NativeFrame& frame, RichEdit& edit, NativeControl& native, Change what) {
  switch (what) {
    case Change::kAppend:
      if (const TextRun* run = edit.LastRun()) {
        AppendRun(native.hwnd, *run);
        SendMessageW(native.hwnd, WM_VSCROLL, SB_BOTTOM, 0);
      }
      return;
    case Change::kText:
      ShowAll(native.hwnd, edit);
      return;
    case Change::kStyle:
      SendMessageW(native.hwnd, EM_SETBKGNDCOLOR, 0,
                   static_cast<LPARAM>(edit.BkColor() ? edit.BkColor()->ToColorRef() : RGB(255, 255, 255)));
      return;
    default:
      return;
  }
}

}  // namespace orvello::ui::win32
