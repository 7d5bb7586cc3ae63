#include "ui/win32/win32_app_host.h"

#include <commctrl.h>
#include <ole2.h>

#include "shell/main_frame.h"
#include "shell/msg_wnd2.h"
#include "ui/toolkit.h"
#include "ui/win32/win32_backend.h"

namespace orvello::win32 {

Win32AppHost::Win32AppHost(HINSTANCE instance, platform::Platform& platform)
    : instance_(instance), platform_(platform) {}

Win32AppHost::~Win32AppHost() {
  DestroyMainFrame();
  if (backendInstalled_) ui::win32::UninstallWin32Backend();
  if (richEdit_) FreeLibrary(richEdit_);
}

bool Win32AppHost::InitializeFramework() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&controls)) return false;
  backendInstalled_ = ui::win32::InstallWin32Backend(instance_);
  return backendInstalled_;
}

bool Win32AppHost::InitializeCom() {
  if (FAILED(CoInitialize(nullptr))) return false;
  comInitialized_ = true;
  if (FAILED(OleInitialize(nullptr))) return false;
  oleInitialized_ = true;
  return true;
}

void Win32AppHost::UninitializeCom() {
  if (oleInitialized_) OleUninitialize();
  if (comInitialized_) CoUninitialize();
  oleInitialized_ = comInitialized_ = false;
}

bool Win32AppHost::LoadRichEdit() {
  if (richEdit_) return true;
  wchar_t path[MAX_PATH];
  UINT n = GetSystemDirectoryW(path, MAX_PATH);
  if (n == 0 || n + 16 >= MAX_PATH) return false;
  lstrcatW(path, L"\\Riched20.dll");
  richEdit_ = LoadLibraryW(path);
  return richEdit_ != nullptr;
}

void Win32AppHost::RegisterControlTypes() { RegisterProgramControls(platform_.system); }

void Win32AppHost::SetActivationMessage(uint32_t message) {
  if (auto* backend = ui::win32::Win32Backend::Current()) backend->SetActivationMessage(message);
}

bool Win32AppHost::CreateMainFrame(CApp& app, const std::wstring& title) {
  frame_ = CreateMainFrameWindow(app, title);
  if (!frame_) return false;
  // Message boxes of the program belong to the main window from now on.
  platform_.session.SetOwnerWindow(reinterpret_cast<uintptr_t>(ui::win32::Win32Backend::WindowHandleOf(*frame_)));
  return true;
}

void Win32AppHost::DestroyMainFrame() {
  if (!frame_) return;
  platform_.session.SetOwnerWindow(0);
  frame_.reset();
}

int Win32AppHost::RunMessageLoop() { return ui::RunMessageLoop(); }

}  // namespace orvello::win32
