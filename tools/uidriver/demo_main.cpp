// orvello_uidemo: one window of the real skin on the Win32 backend, with a
// form that writes down every notification it receives.
//   orvello_uidemo <skin folder> <layout file> <window class> [page] [notification log] [sample]
// The page is selected in the window's first tab layout; the log gets one
// line "type sender" per notification. "sample" puts three rows into every
// grid (the second ticked, the third in red) to look at.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "system/text.h"
#include "ui/containers.h"
#include "ui/form.h"
#include "ui/grid.h"
#include "ui/frame_window.h"
#include "ui/skin.h"
#include "ui/toolkit.h"
#include "ui/win32/win32_backend.h"

namespace {

std::optional<std::vector<uint8_t>> ReadFromFolder(const std::wstring& folder, std::wstring_view path) {
  std::wstring full = folder + L"\\" + std::wstring(path);
  HANDLE file = CreateFileW(full.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<uint8_t> bytes(GetFileSize(file, nullptr));
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

class LoggingForm : public orvello::ui::CUIForm {
 public:
  explicit LoggingForm(std::wstring path) : path_(std::move(path)) {}
  void Notify(orvello::ui::Notification& msg) override {
    if (path_.empty()) return;
    std::string line = orvello::WideToUtf8(msg.type + L" " + msg.SenderName()) + "\n";
    HANDLE file = CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
  }

 private:
  std::wstring path_;
};

orvello::ui::TabLayout* FirstTabLayout(orvello::ui::Window& window) {
  orvello::ui::TabLayout* found = nullptr;
  window.Manager().ForEachControl([&](orvello::ui::Control& control) {
    if (!found) found = dynamic_cast<orvello::ui::TabLayout*>(&control);
  });
  return found;
}

void FillSampleRows(orvello::ui::Window& window) {
  window.Manager().ForEachControl([](orvello::ui::Control& control) {
    auto* grid = dynamic_cast<orvello::ui::Grid*>(&control);
    if (!grid) return;
    if (grid->IsVirtual()) grid->SetVirtualRowCount(3);
    for (int i = 1; i <= 3; ++i) {
      int row = grid->IsVirtual() ? i : grid->AddRow();
      for (size_t column = 0; column < grid->ColumnCount(); ++column)
        if (!grid->Column(static_cast<int>(column))->checkBox)
          grid->SetCellText(row, static_cast<int>(column), L"LP-" + std::to_wstring(100 * i) + L" " + std::to_wstring(column));
    }
    grid->SetCheck(2, true);
    grid->SetCellTextColor(3, 1, orvello::ui::Color{0xFFFF0000});
    grid->SelectRow(1);
  });
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 4) return 2;
  std::wstring folder = argv[1];
  orvello::ui::SetSkinReader([folder](std::wstring_view path) { return ReadFromFolder(folder, path); });
  if (!orvello::ui::win32::InstallWin32Backend(instance)) return 1;
  int code = 1;
  {
    orvello::ui::CUIFrameWndBase window;
    LoggingForm form(argc > 5 ? argv[5] : L"");
    window.RegisterForm(&form);
    orvello::ui::LoadResult result = window.Create(argv[2], argv[3]);
    for (const std::wstring& problem : result.problems) OutputDebugStringW(problem.c_str());
    if (result.created) {
      if (argc > 4 && *argv[4])
        if (orvello::ui::TabLayout* tabs = FirstTabLayout(window)) tabs->SelectItem(argv[4]);
      if (argc > 6 && std::wstring(argv[6]) == L"sample") FillSampleRows(window);
      window.Show();
      code = orvello::ui::RunMessageLoop();
    }
  }
  orvello::ui::win32::UninstallWin32Backend();
  LocalFree(argv);
  return code;
}
