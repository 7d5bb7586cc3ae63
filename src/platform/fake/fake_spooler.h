#pragma once
// An in-memory print spooler with the rules and error codes of Windows'
// local print provider: printers, drivers per environment (names compared
// without regard to letter case), ports and monitors, the server's forms,
// printer data, the default printer, the driver directories in the fake
// file system, the local and the standard TCP/IP port monitors'
// configuration commands (XcvData) and the driver store.
//
// A new spooler runs on 64-bit Windows for a 32-bit program: the server's
// environment is "Windows x64" and a null environment means the program's
// own, "Windows NT x86". It has the ports COM1: to COM4:, FILE: and LPT1: to
// LPT3: ("Local Port" of the "Local Monitor"), the monitors "Local Port" and
// "Standard TCP/IP Port", the built-in forms, no drivers, no printers and
// every driver-store call.
//
// AddPrinter leaves the default printer as it is; deleting the default
// printer leaves none (GetDefaultPrinter then fails with 2).
//
// Drivers are added from files: AddPrinterDriver finds each file in the
// environment's driver directory ("C:\Windows\system32\spool\drivers\" plus
// "w32x86", "x64" or "arm64") and copies it into the version folder "3\"
// below it; the records then name the copies by full path.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/spooler.h"

namespace orvello::fake {

class FakeFiles;

// Orders names the way the spooler compares them: ignoring letter case.
struct NoCaseLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const;
};

// One paper a driver reports through DeviceCapabilities.
struct FakePaper {
  uint16_t id = 0;
  std::wstring name;
  int32_t width = 0, length = 0;  // tenths of a millimetre
};

struct FakeDriver {
  platform::DriverInfo record;  // every level's members; environment spelled canonically
  std::vector<FakePaper> papers;
  std::optional<platform::DevMode> defaultDevMode;  // when absent a plain DEVMODEW is made up
};

struct FakePrinter {
  uint64_t id = 0;
  platform::PrinterInfo2 info;
  // key -> value name -> value; "DsSpooler" gets "printerName", "driverName"
  // and "portName" from the printer itself on every read.
  std::map<std::wstring, std::map<std::wstring, platform::PrinterDataValue, NoCaseLess>, NoCaseLess> data;
  bool connection = false;       // listed for PRINTER_ENUM_CONNECTIONS, not LOCAL
  bool allAccessDenied = false;  // OpenPrinter with PRINTER_ALL_ACCESS fails with 5
  bool published = false;
  std::wstring objectGuid;
};

struct FakeMonitor {
  platform::MonitorInfo2 info;
  bool busy = false;  // DeleteMonitor fails with 3008 while set
};

// A package in the driver store.
struct FakeDriverPackage {
  std::wstring storeInfPath;
  std::wstring environment;
  std::vector<uint8_t> infBytes;
};

class FakeSpooler : public platform::ISpooler {
 public:
  explicit FakeSpooler(FakeFiles& files);
  ~FakeSpooler() override;
  FakeSpooler(const FakeSpooler&) = delete;
  FakeSpooler& operator=(const FakeSpooler&) = delete;

  platform::Result<std::unique_ptr<platform::IPrinterHandle>> OpenPrinter(const std::wstring& name,
                                                                          uint32_t access) override;
  platform::Result<std::vector<platform::PrinterInfo2>> EnumPrinters2(uint32_t flags) override;
  platform::Result<std::vector<platform::PortInfo2>> EnumPorts2() override;
  platform::Result<std::vector<platform::MonitorInfo2>> EnumMonitors2() override;
  platform::Result<std::vector<platform::DriverInfo>> EnumPrinterDrivers(const std::wstring& environment,
                                                                         uint32_t level) override;
  platform::Status AddPrinterDriver3(const platform::DriverInfo3& info) override;
  platform::Status AddPrinterDriverEx3(const platform::DriverInfo3& info, uint32_t flags) override;
  platform::Status DeletePrinterDriverEx(const std::wstring& environment, const std::wstring& driverName,
                                         uint32_t deleteFlags, uint32_t versionFlag) override;
  platform::Result<std::wstring> GetPrinterDriverDirectory(const std::wstring& environment) override;
  platform::DriverStoreExports DriverStore() override;
  std::optional<platform::DriverPackageUpload> UploadPrinterDriverPackage(const std::wstring& infPath,
                                                                          const std::wstring& environment,
                                                                          uint32_t flags) override;
  std::optional<uint32_t> InstallPrinterDriverFromPackage(const std::wstring& driverStoreInfPath,
                                                           const std::wstring& driverName,
                                                           const std::wstring& environment,
                                                           uint32_t flags) override;
  std::optional<uint32_t> DeletePrinterDriverPackage(const std::wstring& driverStoreInfPath,
                                                      const std::wstring& environment) override;
  platform::Result<std::unique_ptr<platform::IPrinterHandle>> AddPrinter2(const platform::PrinterInfo2& info) override;
  platform::Status SetDefaultPrinter(const std::wstring& name) override;
  platform::Result<std::wstring> GetDefaultPrinter() override;
  platform::Status AddMonitor2(const platform::MonitorInfo2& info) override;
  platform::Status DeleteMonitor(const std::wstring& environment, const std::wstring& name) override;
  platform::Status AddPort(uintptr_t ownerWindow, const std::wstring& monitorName) override;
  platform::Status ConfigurePort(uintptr_t ownerWindow, const std::wstring& portName) override;
  platform::Status DeletePort(uintptr_t ownerWindow, const std::wstring& portName) override;
  platform::Result<std::vector<std::wstring>> DevicePaperNames(const std::wstring& printerName,
                                                               const std::wstring& portName) override;
  platform::Result<std::vector<uint16_t>> DevicePapers(const std::wstring& printerName,
                                                       const std::wstring& portName) override;
  platform::Result<std::vector<platform::PaperSize>> DevicePaperSizes(const std::wstring& printerName,
                                                                      const std::wstring& portName) override;

  // Everything the spooler holds. Tests arrange and inspect it directly;
  // while code under test runs on other threads, hold `mutex` for that
  // (the helper methods below take it themselves, so not around them).
  struct State {
    std::mutex mutex;
    FakeFiles* files = nullptr;
    std::wstring serverEnvironment = platform::kEnvironmentX64;
    std::wstring processEnvironment = platform::kEnvironmentX86;
    std::deque<FakePrinter> printers;  // a deque: references stay valid while others are added
    std::deque<FakeDriver> drivers;
    std::vector<platform::PortInfo2> ports;
    std::vector<FakeMonitor> monitors;
    std::vector<platform::FormInfo1> forms;
    std::vector<FakeDriverPackage> driverStore;
    platform::DriverStoreExports driverStoreExports{true, true, true};
    std::wstring defaultPrinter;
    bool directoryServiceAvailable = false;  // without it PRINTER_INFO_7 fails with 124
    uint64_t nextPrinterId = 1;
    size_t openHandles = 0;
    // The monitors' own dialogs. AddPort: the name the user enters, nullopt
    // for Cancel (1223); none set means Cancel. ConfigurePort: false for
    // Cancel. DocumentProperties with DM_IN_PROMPT: the settings the user
    // confirmed, nullopt for Cancel; none set means Cancel.
    std::function<std::optional<std::wstring>(const std::wstring& monitorName)> addPortDialog;
    std::function<bool(const std::wstring& portName)> configurePortDialog;
    std::function<std::optional<platform::DevMode>(const std::wstring& printerName, const platform::DevMode& shown)>
        preferencesDialog;
  };
  State& state() { return *state_; }

  // Arranging.
  // Adds or removes the "Standard TCP/IP Port" monitor; without it
  // OpenPrinter(",XcvMonitor Standard TCP/IP Port") fails with 1796.
  void SetStandardTcpIpMonitorInstalled(bool installed);
  // A printer that exists without AddPrinter's checks, e.g. one that Plug
  // and Play created.
  FakePrinter& AddPrinterDirectly(const platform::PrinterInfo2& info);
  // A driver record without files, for the environment in the record.
  FakeDriver& AddDriverDirectly(const platform::DriverInfo& record);
  // Inspecting.
  FakePrinter* FindPrinter(const std::wstring& name);
  FakeDriver* FindDriver(const std::wstring& environment, const std::wstring& name);
  size_t OpenHandleCount() const;

 private:
  std::shared_ptr<State> state_;
};

// The DEVMODEW of a driver without one of its own: 220 bytes, the device
// name, portrait, the paper, 300 dpi, one copy.
platform::DevMode MakeDefaultDevMode(const std::wstring& deviceName, uint16_t paperSize, const std::wstring& formName);

}  // namespace orvello::fake
