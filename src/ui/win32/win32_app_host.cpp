#include "ui/win32/win32_app_host.h"

#include <commctrl.h>
#include <ole2.h>

namespace orvello::win32 {

namespace {

constexpr wchar_t kMainFrameClass[] = L"MainFrame";
constexpr int kFrameWidth = 560;
constexpr int kFrameHeight = 400;

int ScaleForDpi(int value) {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return MulDiv(value, dpi, 96);
}

}  // namespace

Win32AppHost::Win32AppHost(HINSTANCE instance) : instance_(instance) {}

Win32AppHost::~Win32AppHost() {
  DestroyMainFrame();
  if (richEdit_) FreeLibrary(richEdit_);
}

bool Win32AppHost::InitializeFramework() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  return InitCommonControlsEx(&controls) != FALSE;
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

void Win32AppHost::RegisterControlTypes() {}

void Win32AppHost::SetActivationMessage(uint32_t message) { activationMessage_ = message; }

bool Win32AppHost::CreateMainFrame(CApp&, const std::wstring& title) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32AppHost::WindowProc;
  wc.hInstance = instance_;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kMainFrameClass;
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  int width = ScaleForDpi(kFrameWidth);
  int height = ScaleForDpi(kFrameHeight);
  mainWindow_ = CreateWindowExW(0, kMainFrameClass, title.c_str(), WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, 0, width,
                                height, nullptr, nullptr, instance_, this);
  if (!mainWindow_) return false;

  // Centre on the work area of the window's monitor.
  MONITORINFO monitor{sizeof monitor};
  if (GetMonitorInfoW(MonitorFromWindow(mainWindow_, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    int x = work.left + ((work.right - work.left) - width) / 2;
    int y = work.top + ((work.bottom - work.top) - height) / 2;
    SetWindowPos(mainWindow_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return true;
}

void Win32AppHost::DestroyMainFrame() {
  if (mainWindow_ && IsWindow(mainWindow_)) DestroyWindow(mainWindow_);
  mainWindow_ = nullptr;
}

int Win32AppHost::RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void Win32AppHost::BringForward() {
  ShowWindow(mainWindow_, SW_SHOW);
  SendMessageW(mainWindow_, WM_SYSCOMMAND, SC_RESTORE, 0);
  SetForegroundWindow(mainWindow_);
}

LRESULT CALLBACK Win32AppHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32AppHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self) return self->HandleMessage(window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32AppHost::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (activationMessage_ != 0 && message == activationMessage_) {
    BringForward();
    return 0;
  }
  switch (message) {
    case WM_DESTROY:
      if (window == mainWindow_) {
        mainWindow_ = nullptr;
        PostQuitMessage(0);
      }
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace orvello::win32
