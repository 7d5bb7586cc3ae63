#pragma once
// The ports and monitors an installation needs: the Standard TCP/IP port of
// a network printer (made and removed through the standard TCP/IP port
// monitor's configuration object), the manufacturer's language monitor, and
// the Spooler restart that frees a monitor still held by the spooler. Every
// failure is written to the message log in red.
#include <functional>
#include <string>

#include "catalogue/driver_ref.h"
#include "devices/printer_device.h"
#include "platform/platform.h"

namespace orvello {

class CApp;

// The driver step of an installation: installs the catalogue model `model`
// of the manufacturer `mode`; true when it is installed.
using InstallDriverStep = std::function<bool(const std::wstring& mode, const std::wstring& model)>;

// The `mode` of the catalogue manufacturer that holds the driver; "" for none.
std::wstring ManufacturerModeOf(const DriverRef& driver);

// The raw TCP port `selected.portName` on `selected.ipAddress`:9100, then
// the driver, then the printer (AddPrinterForModel). A driver that fails
// takes the new port away again. True when all three were made.
bool InstallNetworkPrinter(platform::Platform& platform, PrinterDevice& selected,
                           const InstallDriverStep& installDriver);
bool InstallNetworkPrinter(CApp& app, const InstallDriverStep& installDriver);

bool DeleteStandardTcpIpPort(platform::Platform& platform, const std::wstring& portName);
// True only when the port exists, belongs to "TCPMON.DLL" and was deleted;
// anything else is silent.
bool DeletePortIfStandardTcpIp(platform::Platform& platform, const std::wstring& portName);

// Makes "{mode} Language Monitor" available for the driver's manufacturer:
// kept as it is while an installed driver uses it, otherwise its DLL is
// copied from the staged package into the system folder and the monitor
// added. The monitor name for DRIVER_INFO_3, or "" when there is none.
std::wstring InstallLanguageMonitor(platform::Platform& platform, const DriverRef& driver);

// 2: an installed driver still names the monitor (nothing deleted);
// 1: deleted, or not installed at all; 0: it could not be deleted, even
// after a Spooler restart.
int DeleteMonitorIfUnused(platform::Platform& platform, const std::wstring& monitorName);

// Stops and starts the "Spooler" service, waiting for each state; failures
// are reported. The waits go through ISystemFacts::Sleep.
bool RestartSpooler(platform::Platform& platform);

}  // namespace orvello
