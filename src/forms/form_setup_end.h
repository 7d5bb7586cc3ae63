#pragma once
// The page every run ends on: the title of the run, the message log the
// engine reports into, Home and Close, and after a successful installation
// the new printer's preferences, properties and test page.
#include <functional>
#include <string>

#include "engine/setup_runs.h"
#include "forms/wizard_form.h"

namespace orvello {

class CFormSetupEnd : public CWizardForm, public ISetupRunUi {
 public:
  // Shows the busy dialog while the worker runs the engine; answers its
  // `succeeded`. The program's is the loading dialog over the main window.
  using LoadingDialog = std::function<int(IEngineOperations&)>;

  using CWizardForm::CWizardForm;

  void OnClick(ui::Notification& msg) override;

  // Prepares the page for a run titled `title`: the log is emptied, the
  // printer buttons are hidden and the page is shown.
  void PrepareRun(const std::wstring& title);
  void StartInstallation();

  // ISetupRunUi
  int RunLoadingDialog(IEngineOperations& engine) override;
  void ShowInstalledPrinter(const std::wstring& printerName) override;

  const std::wstring& endPrinterName() const { return endPrinterName_; }
  // Replaces the loading dialog (tests run the worker differently).
  void SetLoadingDialog(LoadingDialog dialog) { loadingDialog_ = std::move(dialog); }

 private:
  void ShowPrinterButtons(bool show);

  std::wstring endPrinterName_;
  LoadingDialog loadingDialog_;
};

}  // namespace orvello
