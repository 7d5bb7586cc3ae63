#pragma once
// The installation engine behind the operation worker's dispatch, working
// on the application's wizard state.
#include <string>
#include <vector>

#include "system/worker_threads.h"

namespace orvello {

class CApp;

class EngineOperations final : public IEngineOperations {
 public:
  explicit EngineOperations(CApp& app) : app_(app) {}

  // The printers an upgrade works through, in the order they were chosen
  // on the upgrade page.
  void SetUpgradeSelection(std::vector<std::wstring> printerNames) { upgradeSelection_ = std::move(printerNames); }

  bool InstallNetworkPrinter() override;
  // Pairing and the Bluetooth serial port are not part of this build: the
  // run says so in red and installs nothing.
  bool InstallBluetoothPrinter() override;
  bool InstallByDeviceConsole() override;
  DriverRef SelectedDriver() override;
  bool InstallDriverForPort(bool lumatrixFamily) override;
  bool AddPrinterForModel() override;
  void UpgradePrinterDrivers() override;
  // Removing printers, drivers and stale devices is not part of this
  // build yet: these three leave everything in place.
  void DeleteSelectedPrinters(std::vector<std::wstring>& portsToDelete) override;
  void DeleteSelectedDrivers() override;
  void RemoveStaleUsbPrintDevices() override;
  void DeletePortIfStandardTcpIp(const std::wstring& portName) override;

 private:
  CApp& app_;
  std::vector<std::wstring> upgradeSelection_;
};

}  // namespace orvello
