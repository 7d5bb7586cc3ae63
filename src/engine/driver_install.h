#pragma once
// Installing the printer driver of a catalogue model and upgrading the
// drivers of printers that exist already. Three ways exist: the device
// console tool for Plug and Play printers (USB, the Bluetooth adapter), the
// driver store on Windows 8 and later, and the older way of copying the
// files into the spooler's driver directory and adding the driver from
// them. Every outcome is written to the message log.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "devices/printer_device.h"
#include "platform/platform.h"

namespace orvello {

class CApp;

// What a driver installation reads besides the system itself.
struct DriverInstallJob {
  platform::Platform& platform;
  const pugi::xml_document& catalogue;
  // The spooler client library loaded at start-up, where the driver-store
  // functions are looked up; null when it could not be loaded.
  platform::ILibrary* spoolerLib;
  int32_t newFileNames;  // the package's file-name style, set by staging
};
DriverInstallJob DriverInstallJobOf(CApp& app);

// Windows 6.`minor` or later: major, minor and service pack each compared
// as greater or equal (0: Vista and later, 2: Windows 8 and later).
bool IsWindows6OrLater(platform::ISystemFacts& system, uint32_t minor);

// "0x%x - NAME" for the common HRESULTs, otherwise "0x%x : " and the
// system's text for the number.
std::wstring HResultText(platform::ISystemFacts& system, uint32_t hresult);

// The DRIVER_INFO_8 of the installed driver of this name (any letter case)
// in the program's own environment; nullopt when there is none.
std::optional<platform::DriverInfo> InstalledDriverInfo8(platform::ISpooler& spooler, const std::wstring& driverName);

// Lets the device console tool update the connected printer's driver from
// the staged INF; Plug and Play then makes the printer. True when the tool
// answered 0 or 1 (1: the system wants a restart, which is reported).
bool InstallByDeviceConsole(platform::Platform& platform, const PrinterDevice& selected, int32_t newFileNames);
bool InstallByDeviceConsole(CApp& app);

// The driver-store way when the system and winspool offer it, otherwise
// InstallDriverLegacy. Once the driver store was chosen its failure is
// final: the two ways never both run for one model.
bool InstallDriver(const DriverInstallJob& job, const std::wstring& mode, const std::wstring& modelName);

// Copies the staged driver files into the spooler's driver directory (a
// file that cannot be copied is reported and the next one follows), makes
// the manufacturer's language monitor available when the model asks for
// one, and adds the driver at level 3.
bool InstallDriverLegacy(const DriverInstallJob& job, const std::wstring& modelName, const std::wstring& mode);

// The DRIVER_INFO_3 that InstallDriverLegacy adds: bare file names, which
// the spooler finds in its driver directory.
platform::DriverInfo3 LegacyDriverInfo(platform::ISystemFacts& system, const std::wstring& modelName,
                                       const std::wstring& mode, int32_t newFileNames, const std::wstring& monitorName);

// Installs the driver of `manufacturer`'s package again for each printer, in
// order; each printer is reported on its own. A driver-store package that
// the new one replaced is deleted from the store.
void UpgradePrinterDrivers(const DriverInstallJob& job, const std::wstring& manufacturer,
                           const std::vector<std::wstring>& printerNames);

}  // namespace orvello
