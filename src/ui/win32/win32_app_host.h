#pragma once
// The Win32 side of the application base: common controls, COM, rich edit,
// the toolkit's Win32 backend, the main window and the message loop.
#include <windows.h>

#include <memory>
#include <string>

#include "app/app_host.h"
#include "platform/platform.h"

namespace orvello {
class CMainFrame;
}

namespace orvello::win32 {

class Win32AppHost : public IAppHost {
 public:
  Win32AppHost(HINSTANCE instance, platform::Platform& platform);
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

 private:
  HINSTANCE instance_;
  platform::Platform& platform_;
  HMODULE richEdit_ = nullptr;
  std::unique_ptr<CMainFrame> frame_;
  bool backendInstalled_ = false;
  bool comInitialized_ = false;
  bool oleInitialized_ = false;
};

}  // namespace orvello::win32
