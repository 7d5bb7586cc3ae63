#include "engine/engine_operations.h"

#include "app/app.h"
#include "engine/driver_install.h"
#include "engine/ports_monitors.h"
#include "engine/printers.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "shell/message_log.h"

namespace orvello {

bool EngineOperations::InstallNetworkPrinter() {
  return orvello::InstallNetworkPrinter(app_, [this](const std::wstring& mode, const std::wstring& model) {
    return InstallDriver(DriverInstallJobOf(app_), mode, model);
  });
}

bool EngineOperations::InstallBluetoothPrinter() {
  LogMessageColored(kColourRed, Translate(msg::kBluetoothInstallUnavailable).c_str());
  return false;
}

bool EngineOperations::InstallByDeviceConsole() { return orvello::InstallByDeviceConsole(app_); }

DriverRef EngineOperations::SelectedDriver() { return app_.selected.driver; }

bool EngineOperations::InstallDriverForPort(bool lumatrixFamily) {
  const std::wstring mode = ManufacturerModeOf(app_.selected.driver);
  const DriverInstallJob job = DriverInstallJobOf(app_);
  // The Lumatrix family's package is not made for the driver store.
  if (lumatrixFamily) return InstallDriverLegacy(job, app_.selected.model, mode);
  return InstallDriver(job, mode, app_.selected.model);
}

bool EngineOperations::AddPrinterForModel() { return orvello::AddPrinterForModel(app_); }

void EngineOperations::UpgradePrinterDrivers() {
  orvello::UpgradePrinterDrivers(DriverInstallJobOf(app_), app_.profile.name, upgradeSelection_);
}

void EngineOperations::DeleteSelectedPrinters(std::vector<std::wstring>&) {}

void EngineOperations::DeleteSelectedDrivers() {}

void EngineOperations::RemoveStaleUsbPrintDevices() {}

void EngineOperations::DeletePortIfStandardTcpIp(const std::wstring& portName) {
  orvello::DeletePortIfStandardTcpIp(app_.platform(), portName);
}

}  // namespace orvello
