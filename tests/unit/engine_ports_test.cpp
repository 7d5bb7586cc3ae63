// The network printer's TCP/IP port, port deletion, the language monitor and
// the Spooler restart, on the fake machine.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/debug_mode.h"
#include "catalogue/catalogue.h"
#include "engine/ports_monitors.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "platform/fake/fake_machine.h"
#include "shell/message_log.h"
#include "system/text.h"
#include "support/recording_log.h"

namespace orvello {
namespace {

using Lines = std::vector<std::pair<std::wstring, uint32_t>>;
using Names = std::vector<std::wstring>;
using platform::ServiceState;

using test::RecordingLog;

constexpr char kCatalogue[] = R"(<Drivers><Manufacturers>
  <Manufacturer mode="Acme"><Driver name="Acme LP-40" comment="Label printer"/></Manufacturer>
</Manufacturers></Drivers>)";

constexpr wchar_t kMonitor[] = L"Acme Language Monitor";
constexpr wchar_t kStagedFolder[] = L"C:\\Program Files (x86)\\DudezPrinterDriver\\Drivers\\Acme\\amd64";
constexpr wchar_t kStagedDll[] = L"C:\\Program Files (x86)\\DudezPrinterDriver\\Drivers\\Acme\\amd64\\AcmeLM.dll";
constexpr wchar_t kSystemDll[] = L"C:\\Windows\\System32\\AcmeLM.dll";
constexpr wchar_t kTcpObject[] = L",XcvMonitor Standard TCP/IP Port";

platform::DriverInfo DriverRecord(const std::wstring& name, const std::wstring& environment,
                                  const std::wstring& monitor) {
  platform::DriverInfo d;
  d.level = 3;
  d.version = 3;
  d.name = name;
  d.environment = environment;
  d.monitorName = monitor;
  return d;
}

std::wstring Text(uint32_t code) {
  static fake::FakeSystemFacts system;
  return system.ErrorText(code);
}
std::pair<std::wstring, uint32_t> Failed(const std::wstring& what, uint32_t code) {
  return {FormatText(Translate(msg::kOpenObjectFailed).c_str(), what.c_str(), static_cast<int>(code), Text(code).c_str()), kColourRed};
}
std::pair<std::wstring, uint32_t> Coded(const wchar_t* message, uint32_t code) {
  return {FormatText(Translate(message).c_str(), static_cast<int>(code), Text(code).c_str()), kColourRed};
}

// One fake machine with the catalogue's driver installed for the server.
struct Rig {
  Rig() {
    catalogue.load_string(kCatalogue);
    machine.spooler.AddDriverDirectly(DriverRecord(L"Acme LP-40", platform::kEnvironmentX64, L""));
  }
  platform::Platform& platform() { return machine.platform(); }
  DriverRef Driver() { return FindDriver(L"Acme", L"Acme LP-40", catalogue); }

  PrinterDevice NetworkPrinter(const std::wstring& ip) {
    PrinterDevice d;
    d.driver = Driver();
    d.model = L"Acme LP-40";
    d.printerName = L"Warehouse";
    d.portName = L"IP_" + ip;
    d.ipAddress = ip;
    return d;
  }
  void AddPrinter(const std::wstring& name, const std::wstring& port) {
    platform::PrinterInfo2 info;
    info.printerName = name;
    info.portName = port;
    info.driverName = L"Acme LP-40";
    machine.spooler.AddPrinterDirectly(info);
  }
  std::optional<std::wstring> PortMonitor(const std::wstring& name) {
    for (const auto& p : machine.spooler.EnumPorts2().value) {
      if (EqualsIgnoreCase(p.portName, name)) return p.monitorName;
    }
    return std::nullopt;
  }
  void AddTcpPort(const std::wstring& name) {
    machine.spooler.state().ports.push_back(
        platform::PortInfo2{name, L"TCPMON.DLL", L"Standard TCP/IP Port", platform::kPortTypeWrite});
  }
  std::optional<platform::MonitorInfo2> Monitor(const std::wstring& name) {
    for (const auto& m : machine.spooler.EnumMonitors2().value) {
      if (m.name == name) return m;
    }
    return std::nullopt;
  }
  void InstallMonitor(bool busy) {
    machine.spooler.state().monitors.push_back(
        fake::FakeMonitor{platform::MonitorInfo2{kMonitor, platform::kEnvironmentX64, L"OldLM.dll"}, busy});
  }

  pugi::xml_document catalogue;
  fake::FakeMachine machine;
};

class Ports : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentMessageLog(&log_); }
  void TearDown() override {
    SetCurrentMessageLog(nullptr);
    debugMode = 0;
  }
  RecordingLog log_;
};

struct NetworkCase {
  const char* label;
  std::wstring ip;
  bool portExists;
  bool tcpMonitorInstalled;
  bool driverInstalls;
  bool printerNameTaken;
  bool succeeds;
  Names driverCalls;  // "mode|model"
  bool portAfter;     // the TCP/IP port exists afterwards
  bool printerAfter;  // "Warehouse" is on that port afterwards
  Lines log;
};

TEST_F(Ports, NetworkInstallMakesPortDriverAndPrinterOrUndoesThePort) {
  const Names driverCalled = {L"Acme|Acme LP-40"};
  const std::vector<NetworkCase> cases = {
      {"all three", L"10.0.0.5", false, true, true, false, true, driverCalled, true, true,
       {{FormatText(Translate(msg::kPrinterAdded).c_str(), L"Warehouse"), kColourBlue}}},
      // A second run for the same address stops before any driver work.
      {"port exists", L"10.0.0.5", true, true, true, false, false, {}, true, false,
       {Failed(L"AddPort dwStatus ", 183)}},
      {"monitor refuses an empty address", L"", false, true, true, false, false, {}, false, false,
       {Failed(L"AddPort dwStatus ", 87)}},
      {"no TCP/IP monitor", L"10.0.0.5", false, false, true, false, false, {}, false, false,
       {Failed(kTcpObject, 1796)}},
      // The driver step reports its own failure; the new port goes again.
      {"driver fails", L"10.0.0.5", false, true, false, false, false, driverCalled, false, false, {}},
      // Port and driver stay when only the printer cannot be made.
      {"printer name taken", L"10.0.0.5", false, true, true, true, false, driverCalled, true, false,
       {{FormatText(Translate(msg::kAddPrinterFailed).c_str(), L"Warehouse", 1802, Text(1802).c_str()), kColourRed}}},
  };
  for (const NetworkCase& c : cases) {
    SCOPED_TRACE(c.label);
    Rig rig;
    log_.lines.clear();
    rig.machine.spooler.SetStandardTcpIpMonitorInstalled(c.tcpMonitorInstalled);
    PrinterDevice selected = rig.NetworkPrinter(c.ip);
    if (c.portExists) rig.AddTcpPort(selected.portName);
    if (c.printerNameTaken) rig.AddPrinter(L"Warehouse", L"FILE:");
    Names driverCalls;
    auto installDriver = [&](const std::wstring& mode, const std::wstring& model) {
      driverCalls.push_back(mode + L"|" + model);
      return c.driverInstalls;
    };

    EXPECT_EQ(InstallNetworkPrinter(rig.platform(), selected, installDriver), c.succeeds);

    EXPECT_EQ(driverCalls, c.driverCalls);
    EXPECT_EQ(log_.lines, c.log);
    std::optional<std::wstring> monitor = rig.PortMonitor(selected.portName);
    EXPECT_EQ(monitor.has_value(), c.portAfter);
    if (monitor) EXPECT_EQ(*monitor, L"TCPMON.DLL");
    const fake::FakePrinter* printer = rig.machine.spooler.FindPrinter(L"Warehouse");
    EXPECT_EQ(printer && printer->info.portName == selected.portName, c.printerAfter);
    EXPECT_EQ(selected.model, c.printerAfter ? L"Warehouse" : L"Acme LP-40");
    EXPECT_EQ(rig.machine.spooler.OpenHandleCount(), 0u);
  }
}

struct DeleteCase {
  const char* label;
  std::wstring asked;
  bool ifStandardTcpIp;  // through DeletePortIfStandardTcpIp
  bool inUse;
  bool result;
  bool portStays;
  Lines log;
};

TEST_F(Ports, DeletingTcpIpPortsOnlyTouchesThatMonitorsPorts) {
  debugMode = 1;
  const std::wstring name = L"IP_10.0.0.7";
  const std::wstring deleteText = L"Delete Port: IP_10.0.0.7. ";
  const std::vector<DeleteCase> cases = {
      {"deleted, told in debug mode", name, false, false, true, false, {{deleteText, kColourBlack}}},
      {"found ignoring case", L"ip_10.0.0.7", true, false, true, false,
       {{L"Delete Port: ip_10.0.0.7. ", kColourBlack}}},
      {"a local port is left alone", L"COM1:", true, false, false, true, {}},
      {"an unknown port is left alone", L"IP_10.9.9.9", true, false, false, true, {}},
      {"an unknown port asked for directly", L"IP_10.9.9.9", false, false, false, true,
       {Failed(L"Delete Port: IP_10.9.9.9. ", 1796)}},
      {"port in use", name, true, true, false, true, {Failed(deleteText, 170)}},
  };
  for (const DeleteCase& c : cases) {
    SCOPED_TRACE(c.label);
    Rig rig;
    rig.AddTcpPort(name);
    if (c.inUse) rig.AddPrinter(L"Dock", name);
    log_.lines.clear();

    bool result = c.ifStandardTcpIp ? DeletePortIfStandardTcpIp(rig.platform(), c.asked)
                                    : DeleteStandardTcpIpPort(rig.platform(), c.asked);

    EXPECT_EQ(result, c.result);
    EXPECT_EQ(rig.PortMonitor(name).has_value(), c.portStays);
    EXPECT_TRUE(rig.PortMonitor(L"COM1:").has_value());
    EXPECT_EQ(log_.lines, c.log);
    EXPECT_EQ(rig.machine.spooler.OpenHandleCount(), 0u);
  }
}

TEST_F(Ports, DeletingWithoutTheTcpIpMonitorIsReported) {
  Rig rig;
  rig.AddTcpPort(L"IP_10.0.0.7");
  rig.machine.spooler.SetStandardTcpIpMonitorInstalled(false);
  EXPECT_FALSE(DeleteStandardTcpIpPort(rig.platform(), L"IP_10.0.0.7"));
  EXPECT_EQ(log_.lines, Lines{Failed(kTcpObject, 1796)});
}

struct MonitorCase {
  const char* label;
  bool staged;                         // the package's DLL is in the working folder
  std::optional<std::wstring> usedBy;  // environment of a driver that names the monitor
  bool installed;                      // the monitor exists before, with "OldLM.dll"
  bool busy;
  bool spoolerReachable;
  bool redirectionExported;
  std::wstring result;
  std::wstring dllAfter;  // the monitor's DLL afterwards ("" when none)
  bool copied;            // the DLL is in the system folder afterwards
  Names serviceRequests;
  Names redirection;
  Lines log;
};

TEST_F(Ports, LanguageMonitorIsReusedOrInstalledAndRedirectionComesBack) {
  const std::wstring x86 = platform::kEnvironmentX86;
  const std::wstring x64 = platform::kEnvironmentX64;
  const Names offOn = {L"off", L"on"};
  const Names restart = {L"Stop Spooler", L"Start Spooler"};
  const std::vector<MonitorCase> cases = {
      {"installed fresh", true, std::nullopt, false, false, true, true, kMonitor, L"AcmeLM.dll", true, {}, offOn, {}},
      // A driver of the program's own environment names it: no copy, no re-registration.
      {"reused", false, x86, true, false, true, true, kMonitor, L"OldLM.dll", false, {}, offOn, {}},
      // Only the program's own environment is asked, so an x64 driver does not keep it.
      {"named by an x64 driver only", true, x64, true, false, true, true, kMonitor, L"AcmeLM.dll", true, {}, offOn,
       {}},
      {"unused, replaced", true, std::nullopt, true, false, true, true, kMonitor, L"AcmeLM.dll", true, {}, offOn, {}},
      {"without the redirection switch", true, std::nullopt, false, false, true, false, kMonitor, L"AcmeLM.dll", true,
       {}, {}, {}},
      {"staged DLL missing", false, std::nullopt, false, false, true, true, L"", L"", false, {}, offOn,
       {{FormatText(Translate(msg::kWriteFileFailed).c_str(), kStagedDll, 2, Text(2).c_str()), kColourRed},
        Coded(msg::kAddMonitorFailed, 2)}},
      // Still held after the restart: the copy goes ahead and the add fails.
      {"busy after a restart", true, std::nullopt, true, true, true, true, L"", L"OldLM.dll", true, restart, offOn,
       {Coded(msg::kAddMonitorFailed, 3006)}},
      {"in use but the Spooler out of reach", true, x86, true, false, false, true, L"", L"OldLM.dll", true, {}, offOn,
       {Coded(msg::kAddMonitorFailed, 3006)}},
  };
  for (const MonitorCase& c : cases) {
    SCOPED_TRACE(c.label);
    Rig rig;
    log_.lines.clear();
    // Staging made the folder, with or without the DLL in it.
    ASSERT_TRUE(rig.machine.files.AddDirectory(kStagedFolder).ok());
    if (c.staged) ASSERT_TRUE(rig.machine.files.AddFile(kStagedDll, "monitor").ok());
    if (c.usedBy) rig.machine.spooler.AddDriverDirectly(DriverRecord(L"Acme LP-20", *c.usedBy, kMonitor));
    if (c.installed) rig.InstallMonitor(c.busy);
    if (!c.spoolerReachable) rig.machine.services.SetOpenError(L"Spooler", 5);
    rig.machine.system.SetFsRedirectionExported(c.redirectionExported);

    EXPECT_EQ(InstallLanguageMonitor(rig.platform(), rig.Driver()), c.result);

    EXPECT_EQ(log_.lines, c.log);
    std::optional<platform::MonitorInfo2> monitor = rig.Monitor(kMonitor);
    EXPECT_EQ(monitor ? monitor->dllName : L"", c.dllAfter);
    if (monitor && c.dllAfter == L"AcmeLM.dll") EXPECT_EQ(monitor->environment, x64);
    EXPECT_EQ(rig.machine.files.FileText(kSystemDll), c.copied ? std::optional<std::string>("monitor") : std::nullopt);
    EXPECT_EQ(rig.machine.services.Requests(), c.serviceRequests);
    EXPECT_EQ(rig.machine.system.FsRedirectionCalls(), c.redirection);
    EXPECT_TRUE(rig.machine.system.FsRedirectionEnabled());
  }
}

struct UnusedCase {
  const char* label;
  std::optional<std::wstring> usedBy;  // the monitor name a driver of the program's environment carries
  bool installed;
  bool busy;
  int result;
  bool stays;
  Names serviceRequests;
};

TEST_F(Ports, DeleteMonitorIfUnusedKeepsWhatDriversNameAndRestartsForABusyOne) {
  const std::vector<UnusedCase> cases = {
      {"named by a driver", std::wstring(kMonitor), true, false, 2, true, {}},
      {"named with other letter case", std::wstring(L"acme language monitor"), true, false, 1, false, {}},
      {"unused", std::nullopt, true, false, 1, false, {}},
      {"not installed", std::nullopt, false, false, 1, false, {}},
      {"busy", std::nullopt, true, true, 0, true, {L"Stop Spooler", L"Start Spooler"}},
  };
  for (const UnusedCase& c : cases) {
    SCOPED_TRACE(c.label);
    Rig rig;
    log_.lines.clear();
    if (c.usedBy) {
      rig.machine.spooler.AddDriverDirectly(DriverRecord(L"Acme LP-20", platform::kEnvironmentX86, *c.usedBy));
    }
    if (c.installed) rig.InstallMonitor(c.busy);

    EXPECT_EQ(DeleteMonitorIfUnused(rig.platform(), kMonitor), c.result);

    EXPECT_EQ(rig.Monitor(kMonitor).has_value(), c.stays);
    EXPECT_EQ(rig.machine.services.Requests(), c.serviceRequests);
    EXPECT_TRUE(log_.lines.empty());
  }
}

struct RestartCase {
  const char* label;
  int pendingQueries;  // queries that still show the pending state after each request
  std::optional<uint32_t> openError;
  std::optional<uint32_t> startError;
  bool diesAfterStart;
  bool alreadyStopped;
  bool result;
  uint64_t sleptMs;
  Names requests;
  Lines log;
};

TEST_F(Ports, RestartSpoolerWaitsASecondThenPollsUpTo36Times) {
  const Names both = {L"Stop Spooler", L"Start Spooler"};
  const Names stopOnly = {L"Stop Spooler"};
  const std::vector<RestartCase> cases = {
      {"settles at once", 0, std::nullopt, std::nullopt, false, false, true, 2000, both, {}},
      {"three pending answers each way", 3, std::nullopt, std::nullopt, false, false, true, 8000, both, {}},
      {"35 pending answers: the 36th query sees it", 35, std::nullopt, std::nullopt, false, false, true, 72000, both,
       {}},
      {"never stops", 36, std::nullopt, std::nullopt, false, false, false, 37000, stopOnly,
       {Coded(msg::kStopSpoolerFailed, 1053)}},
      {"cannot be opened", 0, 5u, std::nullopt, false, false, false, 0, {}, {Coded(msg::kOpenSpoolerFailed, 5)}},
      {"stop refused", 0, std::nullopt, std::nullopt, false, true, false, 0, stopOnly,
       {Coded(msg::kStopSpoolerFailed, 1062)}},
      {"start refused", 0, std::nullopt, 1058u, false, false, false, 1000, both,
       {Coded(msg::kRestartSpoolerFailed, 1058)}},
      {"stops again while starting", 0, std::nullopt, std::nullopt, true, false, false, 38000, both,
       {Coded(msg::kRestartSpoolerFailed, 1053)}},
  };
  for (const RestartCase& c : cases) {
    SCOPED_TRACE(c.label);
    Rig rig;
    log_.lines.clear();
    auto& services = rig.machine.services;
    if (c.alreadyStopped) services.SetState(L"Spooler", ServiceState::Stopped);
    services.SetPendingQueries(c.pendingQueries);
    services.SetOpenError(L"Spooler", c.openError);
    services.SetStartError(L"Spooler", c.startError);
    services.SetDiesAfterStart(L"Spooler", c.diesAfterStart);

    EXPECT_EQ(RestartSpooler(rig.platform()), c.result);

    EXPECT_EQ(rig.machine.system.SleptMilliseconds(), c.sleptMs);
    EXPECT_EQ(services.Requests(), c.requests);
    EXPECT_EQ(log_.lines, c.log);
  }
}

}  // namespace
}  // namespace orvello
