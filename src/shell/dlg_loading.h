#pragma once
// The busy dialog of an installation, upgrade or removal. While it is shown
// modally, the operation worker does the run and closes it when done.
#include <atomic>

#include "system/worker_threads.h"
#include "ui/window.h"

namespace orvello {

class CApp;

class CDlgLoading : public ui::Window, public IOperationDialog {
 public:
  static constexpr const wchar_t* kClassName = L"DlgLoading";
  static constexpr const wchar_t* kLayout = L"DlgLoading.xml";

  CDlgLoading(CApp& app, IEngineOperations& engine);

  // IOperationDialog (any thread)
  void SetSucceeded(int value) override { succeeded_ = value; }
  void PostClose() override;

  int succeeded() const { return succeeded_; }

 protected:
  void InitWindow() override;
  void Notify(ui::Notification& notification) override;
  bool HandleMessage(uint32_t message, ui::WParam wParam, ui::LParam lParam) override;

 private:
  CApp& app_;
  IEngineOperations& engine_;
  std::atomic<int> succeeded_{0};
  std::atomic<bool> closeRequested_{false};
  ui::WindowHandle handle_;
};

// Creates the dialog with `succeeded` 0, shows it modally over `owner` and
// answers `succeeded` once the worker has closed it (0 when the dialog
// could not be created).
int RunLoadingDialog(CApp& app, ui::Window* owner, IEngineOperations& engine);

}  // namespace orvello
