#pragma once
// The Win32 side of the application base: common controls, COM, rich edit,
// the main window and the message loop.
#include <windows.h>

#include <string>

#include "app/app_host.h"

namespace orvello::win32 {

class Win32AppHost : public IAppHost {
 public:
  explicit Win32AppHost(HINSTANCE instance);
  ~Win32AppHost() override;

  bool InitializeFramework() override;
  bool InitializeCom() override;
  void UninitializeCom() override;
  bool LoadRichEdit() override;
  void RegisterControlTypes() override;
  void SetActivationMessage(uint32_t message) override;
  bool CreateMainFrame(CApp& app, const std::wstring& title) override;
  void DestroyMainFrame() override;
  int RunMessageLoop() override;

  HWND mainWindow() const { return mainWindow_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void BringForward();

  HINSTANCE instance_;
  HMODULE richEdit_ = nullptr;
  HWND mainWindow_ = nullptr;
  UINT activationMessage_ = 0;
  bool comInitialized_ = false;
  bool oleInitialized_ = false;
};

}  // namespace orvello::win32
