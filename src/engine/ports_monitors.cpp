#include "engine/ports_monitors.h"

#include <algorithm>

#include "app/app.h"
#include "app/debug_mode.h"
#include "catalogue/catalogue.h"
#include "engine/printers.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "shell/message_log.h"
#include "system/error_text.h"
#include "system/spooler_service.h"
#include "system/system_facts.h"
#include "system/text.h"

namespace orvello {

namespace {

constexpr wchar_t kTcpMonitorPortOwner[] = L"TCPMON.DLL";  // PORT_INFO_2 pMonitorName of its ports
// Always this folder: with the redirection off it is the native system
// folder also for this 32-bit program on 64-bit Windows.
constexpr wchar_t kMonitorDllFolder[] = L"c:\\Windows\\System32\\";
constexpr uint32_t kRawPortNumber = 9100;
constexpr uint32_t kProtocolRaw = 1;

void ReportFailure(platform::Platform& platform, const std::wstring& what, uint32_t error) {
  LogMessageColored(kColourRed, Translate(msg::kOpenObjectFailed).c_str(), what.c_str(), static_cast<int>(error),
                    SystemErrorText(platform.system, error).c_str());
}

void ReportCodedFailure(platform::Platform& platform, const wchar_t* message, uint32_t error) {
  LogMessageColored(kColourRed, Translate(message).c_str(), static_cast<int>(error),
                    SystemErrorText(platform.system, error).c_str());
}

// The 32-bit file-system redirection is off while this lives, and always
// switched back on afterwards. Systems without the switch skip both.
class FsRedirectionOff {
 public:
  explicit FsRedirectionOff(platform::ISystemFacts& system) : system_(system) {
    system_.EnableWow64FsRedirection(false);
  }
  ~FsRedirectionOff() { system_.EnableWow64FsRedirection(true); }
  FsRedirectionOff(const FsRedirectionOff&) = delete;
  FsRedirectionOff& operator=(const FsRedirectionOff&) = delete;

 private:
  platform::ISystemFacts& system_;
};

}  // namespace

std::wstring ManufacturerModeOf(const DriverRef& driver) {
  if (!driver) return L"";
  return Utf8ToWide(driver.node.parent().attribute("mode").value());
}

bool InstallNetworkPrinter(platform::Platform& platform, PrinterDevice& selected,
                           const InstallDriverStep& installDriver) {
  {
    auto monitor = platform.spooler.OpenPrinter(platform::kXcvStandardTcpIpMonitor, platform::kServerAccessAdminister);
    if (!monitor) {
      ReportFailure(platform, platform::kXcvStandardTcpIpMonitor, monitor.error);
      return false;
    }
    platform::TcpPortData1 port;
    port.portName = selected.portName;
    port.version = 1;
    port.protocol = kProtocolRaw;
    port.hostAddress = selected.ipAddress;
    port.doubleSpool = 1;
    port.ipAddress = selected.ipAddress;
    port.portNumber = kRawPortNumber;
    auto status = monitor.value->XcvData(platform::kXcvAddPort, platform::EncodePortData1(port), nullptr, 0);
    if (!status) {
      ReportFailure(platform, L"AddPort", status.error);
      return false;
    }
    if (status.value != platform::err::kSuccess) {
      // For example a port of that name exists already.
      ReportFailure(platform, L"AddPort dwStatus ", status.value);
      return false;
    }
  }
  if (!installDriver(ManufacturerModeOf(selected.driver), selected.model)) {
    DeleteStandardTcpIpPort(platform, selected.portName);
    return false;
  }
  return AddPrinterForModel(platform, selected);
}

bool InstallNetworkPrinter(CApp& app, const InstallDriverStep& installDriver) {
  return InstallNetworkPrinter(app.platform(), app.selected, installDriver);
}

bool DeleteStandardTcpIpPort(platform::Platform& platform, const std::wstring& portName) {
  auto monitor = platform.spooler.OpenPrinter(platform::kXcvStandardTcpIpMonitor, platform::kServerAccessAdminister);
  if (!monitor) {
    ReportFailure(platform, platform::kXcvStandardTcpIpMonitor, monitor.error);
    return false;
  }
  std::wstring what = FormatText(L"Delete Port: %s. ", portName.c_str());
  auto status = monitor.value->XcvData(platform::kXcvDeletePort, platform::EncodeDeletePortData1(portName), nullptr, 0);
  if (!status) {
    ReportFailure(platform, what, status.error);
    return false;
  }
  if (status.value != platform::err::kSuccess) {
    ReportFailure(platform, what, status.value);
    return false;
  }
  monitor.value.reset();
  if (debugMode) LogMessage(L"%s", what.c_str());
  return true;
}

bool DeletePortIfStandardTcpIp(platform::Platform& platform, const std::wstring& portName) {
  auto ports = platform.spooler.EnumPorts2();
  if (!ports) return false;
  auto port = std::find_if(ports.value.begin(), ports.value.end(),
                           [&](const platform::PortInfo2& p) { return EqualsIgnoreCase(p.portName, portName); });
  if (port == ports.value.end() || !EqualsIgnoreCase(port->monitorName, kTcpMonitorPortOwner)) return false;
  return DeleteStandardTcpIpPort(platform, portName);
}

std::wstring InstallLanguageMonitor(platform::Platform& platform, const DriverRef& driver) {
  FsRedirectionOff redirectionOff(platform.system);
  std::wstring mode = ManufacturerModeOf(driver);
  std::wstring monitorName = mode + L" Language Monitor";
  std::wstring dllName = mode + L"LM.dll";

  if (DeleteMonitorIfUnused(platform, monitorName) == 2) {
    // The spooler holds the monitor for a driver that uses it: it stays as
    // it is unless the Spooler service is out of reach.
    if (platform.services.Query(kSpoolerService)) return monitorName;
  }

  std::wstring source = WorkingFolder(platform.system, platform.session) + L"Drivers\\" + mode + L"\\" +
                        ArchitectureFolder(platform.system) + L"\\" + dllName;
  platform::Status copied = platform.files.CopyFile(source, kMonitorDllFolder + dllName, false);
  uint32_t error = copied.error;
  if (!copied) {
    LogMessageColored(kColourRed, Translate(msg::kWriteFileFailed).c_str(), source.c_str(), static_cast<int>(error),
                      SystemErrorText(platform.system, error).c_str());
  } else {
    platform::Status added =
        platform.spooler.AddMonitor2(platform::MonitorInfo2{monitorName, EnvironmentName(platform.system), dllName});
    if (added) return monitorName;
    error = added.error;
  }
  ReportCodedFailure(platform, msg::kAddMonitorFailed, error);
  return L"";
}

int DeleteMonitorIfUnused(platform::Platform& platform, const std::wstring& monitorName) {
  // The program's own environment, as the spooler takes a null one.
  auto drivers = platform.spooler.EnumPrinterDrivers(L"", 3);
  if (drivers) {
    for (const platform::DriverInfo& d : drivers.value) {
      if (d.monitorName == monitorName) return 2;
    }
  }
  std::wstring environment = EnvironmentName(platform.system);
  platform::Status deleted = platform.spooler.DeleteMonitor(environment, monitorName);
  if (deleted || deleted.error == platform::err::kUnknownPrintMonitor) return 1;
  // The spooler may still hold the monitor's DLL; a restart lets it go.
  RestartSpooler(platform);
  return platform.spooler.DeleteMonitor(environment, monitorName) ? 1 : 0;
}

bool RestartSpooler(platform::Platform& platform) {
  auto opened = platform.services.Query(kSpoolerService);
  if (!opened) {
    ReportCodedFailure(platform, msg::kOpenSpoolerFailed, opened.error);
    return false;
  }
  platform::Status stopped = platform.services.Stop(kSpoolerService);
  if (stopped) stopped = WaitForServiceState(platform, platform::ServiceState::Stopped);
  if (!stopped) {
    ReportCodedFailure(platform, msg::kStopSpoolerFailed, stopped.error);
    return false;
  }
  platform::Status started = platform.services.Start(kSpoolerService);
  if (started) started = WaitForServiceState(platform, platform::ServiceState::Running);
  if (!started) {
    ReportCodedFailure(platform, msg::kRestartSpoolerFailed, started.error);
    return false;
  }
  return true;
}

}  // namespace orvello
