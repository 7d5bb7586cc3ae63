#pragma once
// The install and upgrade runs as the wizard starts them on the UI thread:
// staging, the busy dialog whose worker does the engine's work, and what
// follows once the dialog has closed.
#include <string>
#include <vector>

namespace orvello {

class CApp;
class IEngineOperations;

// What the install and upgrade runs need from the wizard shell.
class ISetupRunUi {
 public:
  virtual ~ISetupRunUi() = default;
  // Shows the loading dialog modally (its `succeeded` set to 0 first); its worker runs `engine`.
  // Answers `succeeded` once the dialog has closed.
  virtual int RunLoadingDialog(IEngineOperations& engine) = 0;
  // After a successful install: the end page shows its three printer buttons and keeps the name.
  virtual void ShowInstalledPrinter(const std::wstring& printerName) = 0;
};

// UI thread. Stages the selected model's package and runs the loading dialog; when
// the worker succeeded, names the new printer, makes it the default when
// asked and shows it on the end page. True when succeeded.
bool RunSetupInstall(CApp& app, ISetupRunUi& ui, bool setDefaultChoice);

// UI thread. Stages the current manufacturer's package and upgrades the
// driver of each printer of `upgradeSelection` (the upgrade page's checked
// printers, in the order they were checked) while the dialog is shown.
void RunUpgrade(CApp& app, ISetupRunUi& ui, const std::vector<std::wstring>& upgradeSelection);
// The same with no printer chosen: staging and the dialog, nothing upgraded.
void RunUpgrade(CApp& app, ISetupRunUi& ui);

}  // namespace orvello
