#pragma once
// The page every run ends on: the title of the run, the message log the
// engine reports into, Home and Close, and after a successful installation
// the new printer's preferences, properties and test page.
#include <string>

#include "engine/setup_runs.h"
#include "forms/wizard_form.h"

namespace orvello {

class CFormSetupEnd : public CWizardForm, public ISetupRunUi {
 public:
  using CWizardForm::CWizardForm;

  void OnClick(ui::Notification& msg) override;

  // Prepares the page for a run titled `title`: the log is emptied, the
  // printer buttons are hidden and the page is shown.
  void PrepareRun(const std::wstring& title);
  void StartInstallation();

  // ISetupRunUi: the loading dialog over the main window.
  int RunLoadingDialog(IEngineOperations& engine) override;
  void ShowInstalledPrinter(const std::wstring& printerName) override;

  const std::wstring& endPrinterName() const { return endPrinterName_; }

 private:
  void ShowPrinterButtons(bool show);

  std::wstring endPrinterName_;
};

}  // namespace orvello
