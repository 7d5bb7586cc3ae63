#pragma once
// The toolkit on the Win32 desktop: each toolkit window becomes a skinned
// top-level window (no native caption; the layout's `caption` rectangle
// drags it) and each control of a native kind a common control placed at
// its layout rectangle times the DPI scale. Containers are not native:
// the top-level window paints their colours and the backend shows and
// hides the native controls below them (tab pages).
//
// The UI thread's post queue, timers and the Enter / Escape / Tab keys go
// through a hidden message-only window of the UI thread.
#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <utility>

#include "ui/backend.h"
#include "ui/window.h"
#include "ui/win32/skin_images.h"

namespace orvello::ui::win32 {

class Win32Backend : public ui::IBackend {
 public:
  // Installs itself (the calling thread becomes the UI thread). A scale of
  // 0 takes the screen's; tests give their own.
  explicit Win32Backend(HINSTANCE instance, double scale = 0);
  // Destroys the windows still open and uninstalls itself.
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  static Win32Backend* Current();

  HINSTANCE Instance() const { return instance_; }
  double Scale() const { return scale_; }
  SkinImages& Images() { return images_; }
  UINT ActionMessage() const { return actionMessage_; }
  // The registered message a second copy of the program broadcasts: a
  // toolkit window without owner that receives it comes forward.
  void SetActivationMessage(UINT message) { activationMessage_ = message; }
  UINT ActivationMessage() const { return activationMessage_; }
  // The helper window exists: posted work and timers can run.
  bool IsReady() const { return helper_ != nullptr; }

  // The native windows of a toolkit window and of one of its controls;
  // null when there is none.
  static HWND WindowHandleOf(const Window& window);
  static HWND ControlHandleOf(const Control& control);

  // Handles every message already queued for the UI thread (posted work,
  // layouts, timers that are due), then returns: for tests.
  void ProcessPendingMessages();

  // A key the user pressed in one of the toolkit's windows: Tab, Enter and
  // Escape act on the window; every other key is offered to its routing.
  // True when the key was used up.
  bool TranslateKey(const MSG& message);
  // The key with Ctrl held, whatever the keyboard says (outside drivers).
  void PressKey(Window& window, int virtualKey, bool withControl);

  // IBackend
  bool CreateNativeWindow(Window& window) override;
  void DestroyNativeWindow(Window& window) override;
  void WindowChanged(Window& window) override;
  void ControlChanged(Window& window, Control& control, Change what, int item) override;
  void LayoutRequested(Window& window) override;
  void StartTimer(Window& window, uint32_t key, uint32_t intervalMs) override;
  void StopTimer(Window& window, uint32_t key) override;
  void ShowMenu(Window& window, Menu& menu, Point at) override;
  void RunModalLoop(Window& window) override;
  int RunMessageLoop() override;
  void QuitMessageLoop(int exitCode) override;
  void WakeUp() override;
  bool IsKeyDown(int virtualKey) override;

 private:
  static LRESULT CALLBACK HelperProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Dispatch(MSG& message);

  struct TimerTarget {
    WindowHandle window;
    uint32_t key;
  };

  HINSTANCE instance_;
  double scale_;
  GdiplusSession gdiplus_;
  SkinImages images_;
  HWND helper_ = nullptr;
  UINT actionMessage_ = 0;
  UINT activationMessage_ = 0;
  std::atomic<bool> wakePending_{false};
  std::map<std::pair<const Window*, uint32_t>, UINT_PTR> timerIds_;
  std::map<UINT_PTR, TimerTarget> timers_;
  UINT_PTR nextTimerId_ = 1;
  int forcedControl_ = 0;  // > 0 while a driven key with Ctrl is routed
};

// For the application host: installs the process-wide Win32 backend of the
// toolkit on the calling thread (idempotent); false when its helper window
// could not be made.
bool InstallWin32Backend(HINSTANCE instance);
// Destroys the windows still open and uninstalls the backend.
void UninstallWin32Backend();

}  // namespace orvello::ui::win32
