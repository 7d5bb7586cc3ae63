#include "engine/driver_install.h"

#include <array>
#include <utility>

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "engine/ports_monitors.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "shell/message_log.h"
#include "system/devcon.h"
#include "system/driver_file_names.h"
#include "system/error_text.h"
#include "system/printer_connection.h"
#include "system/system_facts.h"
#include "system/text.h"

namespace orvello {

namespace {

constexpr char kUploadExport[] = "UploadPrinterDriverPackageW";
constexpr char kInstallExport[] = "InstallPrinterDriverFromPackageW";
constexpr char kDeletePackageExport[] = "DeletePrinterDriverPackageW";
// A driver-store function that winspool names but does not let us call
// counts as not implemented.
constexpr uint32_t kNotImplemented = 0x80004001;
// What a package deletion counts as when winspool has no such function.
constexpr uint32_t kDeleteUnavailable = 1;

bool Failed(uint32_t hresult) { return (hresult & 0x80000000u) != 0; }

bool HasDriverStore(const DriverInstallJob& job) {
  return IsWindows6OrLater(job.platform.system, 2) && job.spoolerLib && job.spoolerLib->HasExport(kUploadExport) &&
         job.spoolerLib->HasExport(kInstallExport);
}

std::wstring ManufacturerFolder(platform::Platform& platform, const std::wstring& mode) {
  return WorkingFolder(platform.system, platform.session) + L"Drivers\\" + mode + L"\\";
}

std::wstring StagedInfPath(platform::Platform& platform, const std::wstring& mode, int32_t newFileNames) {
  return ManufacturerFolder(platform, mode) + InfFileName(mode, newFileNames);
}

void ReportDriverStoreFailure(platform::ISystemFacts& system, uint32_t hresult) {
  // The HRESULT goes into the description only; the code position shows 0.
  LogMessageColored(kColourRed, Translate(msg::kDriverInstallationFailed).c_str(), 0,
                    HResultText(system, hresult).c_str());
}

bool InstallFromDriverStore(const DriverInstallJob& job, const std::wstring& mode, const std::wstring& modelName) {
  platform::Platform& platform = job.platform;
  const std::wstring environment = EnvironmentName(platform.system);
  auto upload =
      platform.spooler.UploadPrinterDriverPackage(StagedInfPath(platform, mode, job.newFileNames), environment,
                                                  platform::kUpdpSilentUpload | platform::kUpdpUploadAlways);
  uint32_t hresult = upload ? upload->hresult : kNotImplemented;
  if (Failed(hresult)) {
    ReportDriverStoreFailure(platform.system, hresult);
    return false;
  }
  auto installed = platform.spooler.InstallPrinterDriverFromPackage(upload->driverStoreInfPath, modelName, environment,
                                                                    platform::kIpdfpCopyAllFiles);
  hresult = installed.value_or(kNotImplemented);
  if (Failed(hresult)) {
    ReportDriverStoreFailure(platform.system, hresult);
    return false;
  }
  LogMessageColored(kColourBlue, Translate(msg::kDriverInstalled).c_str(), modelName.c_str());
  return true;
}

struct StagedFile {
  std::wstring folder;  // ends with a backslash
  std::wstring name;
};

std::vector<StagedFile> LegacyFiles(platform::Platform& platform, const std::wstring& modelName,
                                    const std::wstring& mode, int32_t newFileNames) {
  const std::wstring modeFolder = ManufacturerFolder(platform, mode);
  const std::wstring arch = ArchitectureFolder(platform.system) + L"\\";
  const std::wstring archFolder = modeFolder + arch;
  if (newFileNames == 1) {
    return {{archFolder, UniDllName(mode, newFileNames)},
            {archFolder, UiDllName(mode, newFileNames)},
            {modeFolder, InfFileName(mode, newFileNames)},
            {modeFolder, modelName + L".dat"}};
  }
  const std::wstring unidrvFolder = WorkingFolder(platform.system, platform.session) + L"Drivers\\unidrv\\" + arch;
  return {{unidrvFolder, L"UNIDRV.dll"},    {unidrvFolder, L"UNIDRVUI.DLL"}, {unidrvFolder, L"UNIRES.DLL"},
          {unidrvFolder, L"STDNAMES.gpd"},  {archFolder, mode + L"Res.dll"}, {archFolder, mode + L"UNI.dll"},
          {archFolder, mode + L"UI.dll"},   {modeFolder, mode + L".inf"},    {modeFolder, mode + L".ini"},
          {modeFolder, modelName + L".gpd"}};
}

std::wstring LanguageMonitorFor(const DriverInstallJob& job, const std::wstring& mode, const std::wstring& modelName) {
  DriverRef driver = FindDriver(mode, modelName, job.catalogue);
  if (!driver || !DriverLanguageMonitor(driver)) return L"";
  return InstallLanguageMonitor(job.platform, driver);
}

std::wstring DriverStoreInfPath(platform::ISpooler& spooler, const std::wstring& driverName) {
  auto info = InstalledDriverInfo8(spooler, driverName);
  return info ? info->infPath : std::wstring();
}

void ReportUpgradeFailure(platform::ISystemFacts& system, const std::wstring& printerName, uint32_t error) {
  LogMessageColored(kColourRed, Translate(msg::kUpgradeDriverFailed).c_str(), printerName.c_str(),
                    static_cast<int>(error), SystemErrorText(system, error).c_str());
}

void DeleteReplacedPackage(const DriverInstallJob& job, const std::wstring& oldInfPath) {
  platform::Platform& platform = job.platform;
  std::optional<uint32_t> result;
  if (job.spoolerLib && job.spoolerLib->HasExport(kDeletePackageExport)) {
    result = platform.spooler.DeletePrinterDriverPackage(oldInfPath, L"");
  }
  uint32_t code = result.value_or(kDeleteUnavailable);
  if (code == 0) return;
  // Not a pack text: this line reads the same in every language.
  LogMessageColored(kColourRed, L"Remove driver package failed. %s. message=%s", oldInfPath.c_str(),
                    HResultText(platform.system, code).c_str());
}

void UpgradePrinterDriver(const DriverInstallJob& job, const std::wstring& manufacturer,
                          const std::wstring& printerName) {
  platform::Platform& platform = job.platform;
  PrinterConnection printer(platform);
  uint32_t error = 0;
  if (!OpenPrinterConnection(printer, printerName, &error)) {
    ReportUpgradeFailure(platform.system, printerName, error);
    return;
  }
  auto info = printer.handle()->GetPrinter2();
  if (!info) {
    ReportUpgradeFailure(platform.system, printerName, info.error);
    return;
  }
  const std::wstring driverName = info.value.driverName;
  const std::wstring oldInfPath = DriverStoreInfPath(platform.spooler, driverName);

  if (!FindDriver(manufacturer, driverName, job.catalogue)) {
    LogMessageColored(kColourRed, Translate(msg::kUpgradeDriverPackageMissing).c_str(), printerName.c_str());
    return;
  }
  if (!InstallDriver(job, manufacturer, driverName)) {
    LogMessageColored(kColourRed, Translate(msg::kUpgradeDriverFailed).c_str(), printerName.c_str(), 0,
                      SystemErrorText(platform.system, -1).c_str());
    return;
  }
  const std::wstring newInfPath = DriverStoreInfPath(platform.spooler, driverName);
  // A driver of the legacy way has no package; the same package again
  // replaces nothing.
  if (!oldInfPath.empty() && oldInfPath != newInfPath && IsWindows6OrLater(platform.system, 0)) {
    DeleteReplacedPackage(job, oldInfPath);
  }
  LogMessageColored(kColourBlue, Translate(msg::kDriverUpgraded).c_str(), printerName.c_str());
}

}  // namespace

DriverInstallJob DriverInstallJobOf(CApp& app) {
  return DriverInstallJob{app.platform(), app.catalogue.doc, app.spoolerLib.get(), app.newFileNames};
}

bool IsWindows6OrLater(platform::ISystemFacts& system, uint32_t minor) { return system.VersionAtLeast(6, minor, 0); }

std::wstring HResultText(platform::ISystemFacts& system, uint32_t hresult) {
  static constexpr std::array<std::pair<uint32_t, const wchar_t*>, 13> kNames = {{
      {0x00000000, L"S_OK"},
      {0x00000001, L"S_FALSE"},
      {0x8000000A, L"E_PENDING"},
      {0x80004001, L"E_NOTIMPL"},
      {0x80004002, L"E_NOINTERFACE"},
      {0x80004003, L"E_POINTER"},
      {0x80004004, L"E_ABORT"},
      {0x80004005, L"E_FAIL"},
      {0x8000FFFF, L"E_UNEXPECTED"},
      {0x80070005, L"E_ACCESSDENIED"},
      {0x80070006, L"E_HANDLE"},
      {0x8007000E, L"E_OUTOFMEMORY"},
      {0x80070057, L"E_INVALIDARG"},
  }};
  for (const auto& [value, name] : kNames) {
    if (value == hresult) return FormatText(L"0x%x - %s", hresult, name);
  }
  return FormatText(L"0x%x : %s", hresult, SystemErrorText(system, hresult).c_str());
}

std::optional<platform::DriverInfo> InstalledDriverInfo8(platform::ISpooler& spooler, const std::wstring& driverName) {
  // The program's own environment, as the spooler takes a null one.
  auto drivers = spooler.EnumPrinterDrivers(L"", 8);
  if (!drivers) return std::nullopt;
  for (platform::DriverInfo& d : drivers.value) {
    if (EqualsIgnoreCase(d.name, driverName)) return std::move(d);
  }
  return std::nullopt;
}

bool InstallByDeviceConsole(platform::Platform& platform, const PrinterDevice& selected, int32_t newFileNames) {
  const std::wstring mode = ManufacturerModeOf(selected.driver);
  const std::wstring arguments = L" /r update \"" + StagedInfPath(platform, mode, newFileNames) + L"\" \"" +
                                 DriverUsbName(selected.driver) + L"\"";
  const wchar_t* model = selected.model.c_str();
  switch (RunDevcon(platform, arguments)) {
    case 0:
      LogMessageColored(kColourBlue, Translate(msg::kDriverInstalled).c_str(), model);
      return true;
    case 1:
      LogMessageColored(kColourRed, Translate(msg::kDriverInstalledRestartNeeded).c_str(), model);
      return true;
    case 2: {
      // The setup log moved with Windows Vista.
      const wchar_t* message =
          IsVistaOrLater(platform.system) ? msg::kDriverInstallFailedSeeDevLog : msg::kDriverInstallFailedSeeLog;
      LogMessageColored(kColourRed, Translate(message).c_str(), model);
      return false;
    }
    case 3:
      LogMessageColored(kColourRed, Translate(msg::kDriverInstallParameterError).c_str(), model);
      return false;
    default:  // including a tool that did not start
      LogMessageColored(kColourRed, Translate(msg::kUnknownError).c_str(), model);
      return false;
  }
}

bool InstallByDeviceConsole(CApp& app) {
  return InstallByDeviceConsole(app.platform(), app.selected, app.newFileNames);
}

bool InstallDriver(const DriverInstallJob& job, const std::wstring& mode, const std::wstring& modelName) {
  if (!HasDriverStore(job)) return InstallDriverLegacy(job, modelName, mode);
  return InstallFromDriverStore(job, mode, modelName);
}

platform::DriverInfo3 LegacyDriverInfo(platform::ISystemFacts& system, const std::wstring& modelName,
                                       const std::wstring& mode, int32_t newFileNames,
                                       const std::wstring& monitorName) {
  platform::DriverInfo3 info;
  info.version = 3;
  info.name = modelName;
  info.environment = EnvironmentName(system);
  if (newFileNames == 1) {
    info.driverPath = UniDllName(mode, newFileNames);
    info.dataFile = modelName + L".dat";
    info.configFile = UiDllName(mode, newFileNames);
    info.dependentFiles = {info.driverPath, info.configFile, info.dataFile};
  } else {
    info.driverPath = L"unidrv.DLL";
    info.dataFile = modelName + L".gpd";
    info.configFile = L"unidrvui.dll";
    info.dependentFiles = {mode + L"Res.dll", mode + L".ini", mode + L"UNI.dll",
                           mode + L"UI.dll",  info.dataFile,  L"STDNAMES.GPD"};
  }
  info.monitorName = monitorName;
  info.defaultDataType = L"RAW";
  return info;
}

bool InstallDriverLegacy(const DriverInstallJob& job, const std::wstring& modelName, const std::wstring& mode) {
  platform::Platform& platform = job.platform;
  const std::wstring driverDirectory = DriverDirectory(platform.system, platform.spooler, platform.session);
  // A file that is missing here is reported; the spooler then names
  // whatever the driver lacks.
  for (const StagedFile& file : LegacyFiles(platform, modelName, mode, job.newFileNames)) {
    const std::wstring source = file.folder + file.name;
    platform::Status copied = platform.files.CopyFile(source, driverDirectory + file.name, false);
    if (!copied) {
      LogMessageColored(kColourRed, Translate(msg::kWriteFileFailed).c_str(), source.c_str(),
                        static_cast<int>(copied.error), SystemErrorText(platform.system, copied.error).c_str());
    }
  }
  const std::wstring monitorName = LanguageMonitorFor(job, mode, modelName);
  platform::Status added = platform.spooler.AddPrinterDriver3(
      LegacyDriverInfo(platform.system, modelName, mode, job.newFileNames, monitorName));
  if (!added) {
    LogMessageColored(kColourRed, Translate(msg::kDriverInstallationFailed).c_str(), static_cast<int>(added.error),
                      SystemErrorText(platform.system, added.error).c_str());
    return false;
  }
  LogMessageColored(kColourBlue, Translate(msg::kDriverInstalled).c_str(), modelName.c_str());
  return true;
}

void UpgradePrinterDrivers(const DriverInstallJob& job, const std::wstring& manufacturer,
                           const std::vector<std::wstring>& printerNames) {
  for (const std::wstring& printerName : printerNames) UpgradePrinterDriver(job, manufacturer, printerName);
}

}  // namespace orvello
