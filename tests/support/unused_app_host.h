#pragma once
// An application host for tests that build the application object but not
// its windows: nothing of the toolkit side is used, and start-up would fail.
#include <string>

#include "app/app_host.h"

namespace orvello::test {

class UnusedAppHost : public IAppHost {
 public:
  bool InitializeFramework() override { return false; }
  bool InitializeCom() override { return false; }
  void UninitializeCom() override {}
  bool LoadRichEdit() override { return false; }
  void RegisterControlTypes() override {}
  void SetActivationMessage(uint32_t) override {}
  bool CreateMainFrame(CApp&, const std::wstring&) override { return false; }
  void DestroyMainFrame() override {}
  int RunMessageLoop() override { return 0; }
};

}  // namespace orvello::test
