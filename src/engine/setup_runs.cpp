#include "engine/setup_runs.h"

#include "app/app.h"
#include "engine/engine_operations.h"
#include "engine/ports_monitors.h"
#include "engine/printers.h"
#include "engine/staging.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "shell/message_log.h"

namespace orvello {

bool RunSetupInstall(CApp& app, ISetupRunUi& ui, bool setDefaultChoice) {
  StageDriverPackage(app, ManufacturerModeOf(app.selected.driver));
  EngineOperations engine(app);
  if (ui.RunLoadingDialog(engine) != 1) return false;
  ApplyInstalledPrinterSettings(app, setDefaultChoice);
  ui.ShowInstalledPrinter(app.selected.printerName);
  LogMessageColored(kColourBlue, Translate(msg::kInstallationCompleted).c_str());
  return true;
}

void RunUpgrade(CApp& app, ISetupRunUi& ui, const std::vector<std::wstring>& upgradeSelection) {
  StageDriverPackage(app, app.profile.name);
  EngineOperations engine(app);
  engine.SetUpgradeSelection(upgradeSelection);
  ui.RunLoadingDialog(engine);
}

void RunUpgrade(CApp& app, ISetupRunUi& ui) { RunUpgrade(app, ui, {}); }

}  // namespace orvello
