// Installing a model's driver on the fake machine: the device console's
// exit codes, the driver store against the copy-and-add way, the
// DRIVER_INFO_3 of both package styles, and upgrading installed printers.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "engine/driver_install.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "platform/fake/fake_machine.h"
#include "shell/message_log.h"
#include "support/recording_log.h"
#include "system/devcon.h"
#include "system/text.h"

namespace orvello {
namespace {

using Lines = std::vector<std::pair<std::wstring, uint32_t>>;
using Names = std::vector<std::wstring>;
using Machine = fake::FakeSystemFacts::Machine;
using test::RecordingLog;

constexpr wchar_t kWork[] = L"C:\\Program Files (x86)\\DudezPrinterDriver\\";
constexpr wchar_t kMode[] = L"Acme";
constexpr wchar_t kSpoolerLibrary[] = L"WinSpool.drv";

constexpr char kCatalogue[] = R"(<Drivers><Manufacturers>
  <Manufacturer mode="Acme">
    <Driver name="Acme LP-40" usbname="USBPRINT\Acme_LP40" languagemonitor="Yes"/>
    <Driver name="Acme LP-60" usbname="USBPRINT\Acme_LP60" languagemonitor="no"/>
    <Driver name="Acme LP-80" usbname="USBPRINT\Acme_LP80"/>
    <Driver name="Acme LP-90" parent="Acme LP-40" parentmanufacturer="Acme"/>
  </Manufacturer>
</Manufacturers></Drivers>)";

// The staged INF; `driverVer` changes the package the driver store makes of it.
std::string Inf(const std::string& driverVer = "01/02/2024,1.0.0.1") {
  std::string models;
  std::string sections;
  for (const char* m : {"LP-40", "LP-60", "LP-80", "LP-90"}) {
    models += std::string("\"Acme ") + m + "\"=" + m + ",USBPRINT\\Acme_" + m + "\r\n";
    sections += std::string("[") + m + "]\r\nDriverFile=AcmeUniNew.dll\r\nConfigFile=AcmeUiNew.dll\r\nDataFile=Acme " +
                m + ".dat\r\nCopyFiles=AcmeFiles\r\n";
  }
  return "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\nProvider=Acme\r\nDriverVer=" + driverVer +
         "\r\n[Manufacturer]\r\nAcme=Acme,NTamd64,NTx86\r\n[Acme.NTamd64]\r\n" + models + "[Acme.NTx86]\r\n" + models +
         sections + "[AcmeFiles]\r\nAcmeUniNew.dll\r\nAcmeUiNew.dll\r\n";
}

std::wstring FileNameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

Names FileNames(const std::vector<std::wstring>& paths) {
  Names names;
  for (const auto& p : paths) names.push_back(FileNameOf(p));
  return names;
}

class DriverInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(catalogue_.load_string(kCatalogue));
    SetCurrentMessageLog(&log_);
    LoadSpoolerLibrary();
  }
  void TearDown() override { SetCurrentMessageLog(nullptr); }

  fake::FakeMachine& m() { return *machine_; }

  // A new machine for the next case of a table.
  void Reset() {
    spoolerLib_.reset();
    machine_ = std::make_unique<fake::FakeMachine>();
    LoadSpoolerLibrary();
  }

  void LoadSpoolerLibrary() {
    auto loaded = m().system.LoadSystemLibrary(kSpoolerLibrary);
    ASSERT_TRUE(loaded.ok());
    spoolerLib_ = std::move(loaded.value);
  }

  // winspool without one of its driver-store functions: the library and
  // the spooler agree, as on a real system.
  void RemoveDriverStoreExport(const std::string& name) {
    m().system.RemoveExport(kSpoolerLibrary, name);
    auto& exports = m().spooler.state().driverStoreExports;
    if (name == "UploadPrinterDriverPackageW") exports.upload = false;
    if (name == "InstallPrinterDriverFromPackageW") exports.install = false;
    if (name == "DeletePrinterDriverPackageW") exports.deletePackage = false;
  }

  // 32-bit Windows: the program's environment is the spooler's own, so the
  // null environment of the driver queries sees the drivers it installs.
  void Use32BitWindows() {
    m().system.SetMachine(Machine::X86);
    m().spooler.state().serverEnvironment = platform::kEnvironmentX86;
  }

  std::wstring Arch() { return m().system.IsWow64Process() == true ? L"amd64" : L"i386"; }
  std::wstring ModeFolder() { return std::wstring(kWork) + L"Drivers\\" + kMode + L"\\"; }
  std::wstring DriverDirectory() {
    auto dir = m().spooler.GetPrinterDriverDirectory(m().system.IsWow64Process() == true ? platform::kEnvironmentX64
                                                                                         : platform::kEnvironmentX86);
    return dir.value + L"\\";
  }

  // What staging leaves for a new-style package.
  void StageNewStyle(const std::string& inf = Inf()) {
    const std::wstring arch = ModeFolder() + Arch() + L"\\";
    m().files.AddFile(arch + L"AcmeUniNew.dll", "uni");
    m().files.AddFile(arch + L"AcmeUiNew.dll", "ui");
    m().files.AddFile(arch + L"AcmeLM.dll", "lm");
    m().files.AddFile(ModeFolder() + L"AcmeNew.inf", inf);
    for (const wchar_t* model : {L"LP-40", L"LP-60", L"LP-80", L"LP-90"}) {
      m().files.AddFile(ModeFolder() + L"Acme " + model + L".dat", "{}");
    }
  }

  // What staging leaves for an old-style package.
  void StageOldStyle(const std::wstring& model) {
    const std::wstring unidrv = std::wstring(kWork) + L"Drivers\\unidrv\\" + Arch() + L"\\";
    for (const wchar_t* f : {L"UNIDRV.dll", L"UNIDRVUI.DLL", L"UNIRES.DLL", L"STDNAMES.gpd"}) {
      m().files.AddFile(unidrv + f, "sys");
    }
    const std::wstring arch = ModeFolder() + Arch() + L"\\";
    for (const wchar_t* f : {L"AcmeRes.dll", L"AcmeUNI.dll", L"AcmeUI.dll", L"AcmeLM.dll"}) {
      m().files.AddFile(arch + f, "old");
    }
    m().files.AddFile(ModeFolder() + L"Acme.inf", "[Version]");
    m().files.AddFile(ModeFolder() + L"Acme.ini", "[Acme]");
    m().files.AddFile(ModeFolder() + model + L".gpd", "*GPD");
  }

  DriverInstallJob Job() { return DriverInstallJob{m().platform(), catalogue_, spoolerLib_.get(), newFileNames_}; }

  const platform::DriverInfo* Installed(const std::wstring& name) {
    for (const auto& d : m().spooler.state().drivers) {
      if (EqualsIgnoreCase(d.record.name, name)) return &d.record;
    }
    return nullptr;
  }

  fake::FakePrinter& AddPrinter(const std::wstring& name, const std::wstring& driver) {
    platform::PrinterInfo2 info;
    info.printerName = name;
    info.portName = L"LPT1:";
    info.driverName = driver;
    info.printProcessor = L"WinPrint";
    info.dataType = L"RAW";
    info.attributes = platform::kPrinterAttributeLocal;
    return m().spooler.AddPrinterDirectly(info);
  }

  std::wstring Text(const wchar_t* key, const std::wstring& arg) {
    return FormatText(Translate(key).c_str(), arg.c_str());
  }
  std::wstring CodedText(const wchar_t* key, uint32_t code, const std::wstring& description) {
    return FormatText(Translate(key).c_str(), static_cast<int>(code), description.c_str());
  }

  pugi::xml_document catalogue_;
  std::unique_ptr<fake::FakeMachine> machine_ = std::make_unique<fake::FakeMachine>();
  RecordingLog log_;
  std::unique_ptr<platform::ILibrary> spoolerLib_;
  int32_t newFileNames_ = 1;
};

// ---------------------------------------------------------------------------
// Small answers

TEST_F(DriverInstall, HResultTextNamesTheCommonValuesAndAsksTheSystemForTheRest) {
  m().system.SetErrorText(0x80070002, L"The system cannot find the file specified.\r\n");
  struct Case {
    uint32_t hresult;
    std::wstring text;
  };
  const std::vector<Case> cases = {
      {0x0, L"0x0 - S_OK"},
      {0x1, L"0x1 - S_FALSE"},
      {0x8000000A, L"0x8000000a - E_PENDING"},
      {0x80004001, L"0x80004001 - E_NOTIMPL"},
      {0x80004002, L"0x80004002 - E_NOINTERFACE"},
      {0x80004003, L"0x80004003 - E_POINTER"},
      {0x80004004, L"0x80004004 - E_ABORT"},
      {0x80004005, L"0x80004005 - E_FAIL"},
      {0x8000FFFF, L"0x8000ffff - E_UNEXPECTED"},
      {0x80070005, L"0x80070005 - E_ACCESSDENIED"},
      {0x80070006, L"0x80070006 - E_HANDLE"},
      {0x8007000E, L"0x8007000e - E_OUTOFMEMORY"},
      {0x80070057, L"0x80070057 - E_INVALIDARG"},
      {0x80070002, L"0x80070002 : The system cannot find the file specified.\r\n"},
      {0x2, L"0x2 : " + m().system.ErrorText(2)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HResultText(m().system, c.hresult), c.text) << std::hex << c.hresult;
  }
}

TEST_F(DriverInstall, Windows6OrLaterComparesMajorMinorAndServicePack) {
  struct Case {
    platform::OsVersion version;
    bool vistaOrLater;  // minor 0
    bool eightOrLater;  // minor 2
  };
  const std::vector<Case> cases = {
      {{5, 1, 2600, 3}, false, false},  // XP SP3
      {{6, 0, 6002, 2}, true, false},   // Vista SP2
      {{6, 1, 7601, 1}, true, false},   // 7 SP1
      {{6, 2, 9200, 0}, true, true},    // 8
      {{6, 3, 9600, 0}, true, true},    // 8.1
      {{10, 0, 19045, 0}, true, true},  // 10: minor 0 below 2, major decides
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.version.major << "." << c.version.minor);
    m().system.SetVersion(c.version);
    EXPECT_EQ(IsWindows6OrLater(m().system, 0), c.vistaOrLater);
    EXPECT_EQ(IsWindows6OrLater(m().system, 2), c.eightOrLater);
  }
}

TEST_F(DriverInstall, InstalledDriverInfo8LooksInTheProgramsOwnEnvironmentIgnoringCase) {
  platform::DriverInfo own;
  own.level = 8;
  own.name = L"Acme LP-40";
  own.environment = platform::kEnvironmentX86;
  own.infPath = L"C:\\Windows\\System32\\DriverStore\\FileRepository\\acmenew.inf_x86_1\\acmenew.inf";
  m().spooler.AddDriverDirectly(own);
  platform::DriverInfo native = own;
  native.name = L"Acme LP-60";
  native.environment = platform::kEnvironmentX64;
  m().spooler.AddDriverDirectly(native);

  auto found = InstalledDriverInfo8(m().spooler, L"ACME lp-40");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->level, 8u);
  EXPECT_EQ(found->name, L"Acme LP-40");
  EXPECT_EQ(found->infPath, own.infPath);
  // A null environment is the 32-bit program's own, also on 64-bit Windows.
  EXPECT_FALSE(InstalledDriverInfo8(m().spooler, L"Acme LP-60").has_value());
  EXPECT_FALSE(InstalledDriverInfo8(m().spooler, L"Acme LP-4").has_value());
}

// ---------------------------------------------------------------------------
// The device console

TEST_F(DriverInstall, DeviceConsoleExitCodesDecideTheOutcomeAndTheMessage) {
  struct Case {
    const char* label;
    std::optional<uint32_t> exitCode;  // nullopt: the tool is not there
    platform::OsVersion version;
    bool installed;
    const wchar_t* message;
    uint32_t colour;
  };
  const platform::OsVersion win10{10, 0, 19045, 0};
  const platform::OsVersion xp{5, 1, 2600, 3};
  const std::vector<Case> cases = {
      {"0 installed", 0u, win10, true, msg::kDriverInstalled, kColourBlue},
      {"1 needs a restart", 1u, win10, true, msg::kDriverInstalledRestartNeeded, kColourRed},
      {"2 on Vista and later", 2u, win10, false, msg::kDriverInstallFailedSeeDevLog, kColourRed},
      {"2 before Vista", 2u, xp, false, msg::kDriverInstallFailedSeeLog, kColourRed},
      {"3 parameter error", 3u, win10, false, msg::kDriverInstallParameterError, kColourRed},
      {"4 unknown", 4u, win10, false, msg::kUnknownError, kColourRed},
      {"negative unknown", 0xFFFFFFFFu, win10, false, msg::kUnknownError, kColourRed},
      {"tool missing", std::nullopt, win10, false, msg::kUnknownError, kColourRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fake::FakeMachine machine;
    RecordingLog log;
    SetCurrentMessageLog(&log);
    machine.system.SetVersion(c.version);
    const std::wstring tool = std::wstring(kWork) + L"Drivers\\" + DevconToolName(machine.system);
    if (c.exitCode) machine.processes.AddProgram(tool, fake::FakeProgram::Exits(*c.exitCode));
    PrinterDevice selected;
    selected.driver = FindDriver(kMode, L"Acme LP-40", catalogue_);
    selected.model = L"Acme LP-40";

    EXPECT_EQ(InstallByDeviceConsole(machine.platform(), selected, 1), c.installed);

    EXPECT_EQ(log.lines, (Lines{{Text(c.message, L"Acme LP-40"), c.colour}}));
    auto started = machine.processes.Started();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].commandLine,
              L"\"" + tool + L"\" /r update \"" + kWork + L"Drivers\\Acme\\AcmeNew.inf\" \"USBPRINT\\Acme_LP40\"");
    EXPECT_TRUE(started[0].hidden);
  }
  SetCurrentMessageLog(&log_);
}

TEST_F(DriverInstall, DeviceConsoleUsesTheOldStyleInfName) {
  const std::wstring tool = std::wstring(kWork) + L"Drivers\\devcon64.exe";
  m().processes.AddProgram(tool, fake::FakeProgram::Exits(0));
  PrinterDevice selected;
  selected.driver = FindDriver(kMode, L"Acme LP-60", catalogue_);
  selected.model = L"Acme LP-60";
  EXPECT_TRUE(InstallByDeviceConsole(m().platform(), selected, 0));
  ASSERT_EQ(m().processes.Started().size(), 1u);
  EXPECT_EQ(m().processes.Started()[0].commandLine,
            L"\"" + tool + L"\" /r update \"" + kWork + L"Drivers\\Acme\\Acme.inf\" \"USBPRINT\\Acme_LP60\"");
}

// ---------------------------------------------------------------------------
// Driver store or copy-and-add

TEST_F(DriverInstall, DriverStoreOnWindows8AndLaterOtherwiseTheLegacyWay) {
  struct Case {
    const char* label;
    platform::OsVersion version;
    const char* missingExport;  // nullptr: all there
    bool noSpoolerLibrary;
    bool driverStore;
  };
  const std::vector<Case> cases = {
      {"Windows 10", {10, 0, 19045, 0}, nullptr, false, true},
      {"Windows 8", {6, 2, 9200, 0}, nullptr, false, true},
      {"Windows 7", {6, 1, 7601, 1}, nullptr, false, false},
      {"Windows XP", {5, 1, 2600, 3}, nullptr, false, false},
      {"no upload", {10, 0, 19045, 0}, "UploadPrinterDriverPackageW", false, false},
      {"no install", {10, 0, 19045, 0}, "InstallPrinterDriverFromPackageW", false, false},
      // The package deletion is not needed to install.
      {"no package deletion", {10, 0, 19045, 0}, "DeletePrinterDriverPackageW", false, true},
      {"no spooler library", {10, 0, 19045, 0}, nullptr, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Reset();
    log_.lines.clear();
    m().system.SetVersion(c.version);
    if (c.missingExport) RemoveDriverStoreExport(c.missingExport);
    if (c.noSpoolerLibrary) spoolerLib_.reset();
    StageNewStyle();

    EXPECT_TRUE(InstallDriver(Job(), kMode, L"Acme LP-60"));

    EXPECT_EQ(log_.lines, (Lines{{Text(msg::kDriverInstalled, L"Acme LP-60"), kColourBlue}}));
    const platform::DriverInfo* driver = Installed(L"Acme LP-60");
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(driver->environment, platform::kEnvironmentX64);
    EXPECT_EQ(m().spooler.state().driverStore.size(), c.driverStore ? 1u : 0u);
    EXPECT_EQ(driver->infPath.empty(), !c.driverStore);
    // Only the legacy way copies into the driver directory itself.
    EXPECT_EQ(m().files.Exists(DriverDirectory() + L"AcmeUniNew.dll"), !c.driverStore);
  }
}

TEST_F(DriverInstall, DriverStoreFailuresAreFinalAndShowTheHresultOnlyInTheDescription) {
  struct Case {
    const char* label;
    bool stageInf;
    std::wstring model;
    uint32_t hresult;
  };
  const std::vector<Case> cases = {
      // Nothing staged: not even the folder is there (HRESULT_FROM_WIN32(3)).
      {"upload: no staged INF", false, L"Acme LP-60", 0x80070003},
      {"install: model not in the INF", true, L"Acme LP-99", platform::hr::kUnknownPrinterDriver},
  };
  m().system.SetErrorText(0x80070003, L"path not found\r\n");
  m().system.SetErrorText(platform::hr::kUnknownPrinterDriver, L"unknown driver\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    log_.lines.clear();
    if (c.stageInf) StageNewStyle();

    EXPECT_FALSE(InstallDriver(Job(), kMode, c.model));

    EXPECT_EQ(log_.lines,
              (Lines{{CodedText(msg::kDriverInstallationFailed, 0, HResultText(m().system, c.hresult)), kColourRed}}));
    EXPECT_TRUE(m().spooler.state().drivers.empty());
    EXPECT_FALSE(m().files.Exists(DriverDirectory() + L"AcmeUniNew.dll"));
  }
}

// ---------------------------------------------------------------------------
// The legacy way

TEST_F(DriverInstall, LegacyDriverInfo3OfBothPackageStyles) {
  struct Case {
    const char* label;
    int32_t newFileNames;
    std::wstring model;
    std::wstring driverPath, dataFile, configFile;
    Names dependentFiles;
  };
  const std::vector<Case> cases = {
      {"new style",
       1,
       L"Acme LP-60",
       L"AcmeUniNew.dll",
       L"Acme LP-60.dat",
       L"AcmeUiNew.dll",
       {L"AcmeUniNew.dll", L"AcmeUiNew.dll", L"Acme LP-60.dat"}},
      {"old style",
       0,
       L"Acme LP-60",
       L"unidrv.DLL",
       L"Acme LP-60.gpd",
       L"unidrvui.dll",
       {L"AcmeRes.dll", L"Acme.ini", L"AcmeUNI.dll", L"AcmeUI.dll", L"Acme LP-60.gpd", L"STDNAMES.GPD"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Reset();
    log_.lines.clear();
    newFileNames_ = c.newFileNames;
    if (c.newFileNames == 1) {
      StageNewStyle();
    } else {
      StageOldStyle(c.model);
    }

    EXPECT_TRUE(InstallDriverLegacy(Job(), c.model, kMode));

    EXPECT_EQ(log_.lines, (Lines{{Text(msg::kDriverInstalled, c.model), kColourBlue}}));
    const platform::DriverInfo* driver = Installed(c.model);
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(driver->version, 3u);
    EXPECT_EQ(driver->name, c.model);
    EXPECT_EQ(driver->environment, platform::kEnvironmentX64);
    EXPECT_TRUE(EqualsIgnoreCase(FileNameOf(driver->driverPath), c.driverPath)) << WideToUtf8(driver->driverPath);
    EXPECT_EQ(FileNameOf(driver->dataFile), c.dataFile);
    EXPECT_TRUE(EqualsIgnoreCase(FileNameOf(driver->configFile), c.configFile)) << WideToUtf8(driver->configFile);
    EXPECT_EQ(driver->helpFile, L"");
    EXPECT_EQ(FileNames(driver->dependentFiles), c.dependentFiles);
    EXPECT_EQ(driver->monitorName, L"");
    EXPECT_EQ(driver->defaultDataType, L"RAW");

    // The record the spooler was given, with its exact spellings.
    platform::DriverInfo3 info = LegacyDriverInfo(m().system, c.model, kMode, c.newFileNames, L"");
    EXPECT_EQ(info.driverPath, c.driverPath);
    EXPECT_EQ(info.configFile, c.configFile);
    EXPECT_EQ(info.dependentFiles, c.dependentFiles);
  }
}

TEST_F(DriverInstall, LegacyWayCopiesTheStagedFilesIntoTheDriverDirectory) {
  struct Case {
    const char* label;
    Machine machine;
    int32_t newFileNames;
    Names copied;
  };
  const std::vector<Case> cases = {
      {"new style on x64", Machine::X64, 1, {L"AcmeUniNew.dll", L"AcmeUiNew.dll", L"AcmeNew.inf", L"Acme LP-60.dat"}},
      {"old style on x86",
       Machine::X86,
       0,
       {L"UNIDRV.dll", L"UNIDRVUI.DLL", L"UNIRES.DLL", L"STDNAMES.gpd", L"AcmeRes.dll", L"AcmeUNI.dll", L"AcmeUI.dll",
        L"Acme.inf", L"Acme.ini", L"Acme LP-60.gpd"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Reset();
    m().system.SetMachine(c.machine);
    newFileNames_ = c.newFileNames;
    if (c.newFileNames == 1) {
      StageNewStyle();
    } else {
      StageOldStyle(L"Acme LP-60");
    }

    ASSERT_TRUE(InstallDriverLegacy(Job(), L"Acme LP-60", kMode));

    Names present;
    for (const auto& path : m().files.ListTree(DriverDirectory())) {
      if (!m().files.IsDirectory(path) && path.find(L"\\3\\") == std::wstring::npos) {
        present.push_back(FileNameOf(path));
      }
    }
    Names expected = c.copied;
    std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return ToLower(a) < ToLower(b); });
    std::sort(present.begin(), present.end(), [](const auto& a, const auto& b) { return ToLower(a) < ToLower(b); });
    EXPECT_EQ(present, expected);
    EXPECT_EQ(m().files.FileText(DriverDirectory() + c.copied[0]),
              m().files.FileText(std::wstring(kWork) + L"Drivers\\" + (c.newFileNames == 1 ? L"Acme\\" : L"unidrv\\") +
                                 Arch() + L"\\" + c.copied[0]));
  }
}

TEST_F(DriverInstall, LanguageMonitorOnlyWhenTheCatalogueAsksForIt) {
  struct Case {
    std::wstring model;
    std::wstring monitor;
  };
  const std::vector<Case> cases = {
      {L"Acme LP-40", L"Acme Language Monitor"},  // "Yes"
      {L"Acme LP-90", L"Acme Language Monitor"},  // inherited from LP-40
      {L"Acme LP-60", L""},                       // "no"
      {L"Acme LP-80", L""},                       // no attribute
      {L"Acme Unknown", L""},                     // not in the catalogue
  };
  StageNewStyle();
  m().files.AddFile(ModeFolder() + L"Acme Unknown.dat", "{}");
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.model));
    ASSERT_TRUE(InstallDriverLegacy(Job(), c.model, kMode));
    const platform::DriverInfo* driver = Installed(c.model);
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(driver->monitorName, c.monitor);
  }
  EXPECT_TRUE(m().files.Exists(L"C:\\Windows\\System32\\AcmeLM.dll"));
}

TEST_F(DriverInstall, LegacyWayGoesOnAfterAFailedCopyAndTheSpoolerNamesWhatIsMissing) {
  StageNewStyle();
  const std::wstring dat = ModeFolder() + L"Acme LP-60.dat";
  m().files.DeleteFile(dat);

  EXPECT_FALSE(InstallDriverLegacy(Job(), L"Acme LP-60", kMode));

  EXPECT_EQ(
      log_.lines,
      (Lines{{FormatText(Translate(msg::kWriteFileFailed).c_str(), dat.c_str(), 2, m().system.ErrorText(2).c_str()),
              kColourRed},
             {CodedText(msg::kDriverInstallationFailed, 2, m().system.ErrorText(2)), kColourRed}}));
  // The copies after the failed one were still made.
  EXPECT_TRUE(m().files.Exists(DriverDirectory() + L"AcmeNew.inf"));
  EXPECT_EQ(Installed(L"Acme LP-60"), nullptr);
}

// ---------------------------------------------------------------------------
// Upgrades

class DriverUpgrade : public DriverInstall {
 protected:
  void SetUp() override {
    DriverInstall::SetUp();
    Use32BitWindows();
  }

  void Upgrade(const Names& printers) { UpgradePrinterDrivers(Job(), kMode, printers); }

  size_t StoreSize() { return m().spooler.state().driverStore.size(); }
  std::wstring InfPathOf(const std::wstring& driver) {
    const platform::DriverInfo* d = Installed(driver);
    return d ? d->infPath : L"<none>";
  }
};

TEST_F(DriverUpgrade, ReplacedDriverStorePackageIsDeleted) {
  StageNewStyle();
  ASSERT_TRUE(InstallDriver(Job(), kMode, L"Acme LP-60"));
  const std::wstring oldPath = InfPathOf(L"Acme LP-60");
  AddPrinter(L"Shipping", L"Acme LP-60");
  StageNewStyle(Inf("03/04/2025,2.0.0.0"));
  log_.lines.clear();

  Upgrade({L"Shipping"});

  EXPECT_EQ(log_.lines, (Lines{{Text(msg::kDriverInstalled, L"Acme LP-60"), kColourBlue},
                               {Text(msg::kDriverUpgraded, L"Shipping"), kColourBlue}}));
  EXPECT_NE(InfPathOf(L"Acme LP-60"), oldPath);
  ASSERT_EQ(StoreSize(), 1u);
  EXPECT_EQ(m().spooler.state().driverStore[0].storeInfPath, InfPathOf(L"Acme LP-60"));
}

TEST_F(DriverUpgrade, NothingIsDeletedWhenThereIsNoOldPackageOrTheSameOneCameBack) {
  struct Case {
    const char* label;
    bool firstByDriverStore;  // false: the printer's driver came the legacy way
    platform::OsVersion version;
    size_t storeAfter;
  };
  const std::vector<Case> cases = {
      {"legacy driver upgraded into the store", false, {10, 0, 19045, 0}, 1},
      {"same package again", true, {10, 0, 19045, 0}, 1},
      {"Windows 7: legacy both times", false, {6, 1, 7601, 1}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Reset();
    Use32BitWindows();
    m().system.SetVersion(c.version);
    StageNewStyle();
    if (c.firstByDriverStore) {
      ASSERT_TRUE(InstallDriver(Job(), kMode, L"Acme LP-60"));
    } else {
      ASSERT_TRUE(InstallDriverLegacy(Job(), L"Acme LP-60", kMode));
    }
    AddPrinter(L"Shipping", L"Acme LP-60");
    log_.lines.clear();

    Upgrade({L"Shipping"});

    EXPECT_EQ(log_.lines, (Lines{{Text(msg::kDriverInstalled, L"Acme LP-60"), kColourBlue},
                                 {Text(msg::kDriverUpgraded, L"Shipping"), kColourBlue}}));
    EXPECT_EQ(StoreSize(), c.storeAfter);
  }
}

TEST_F(DriverUpgrade, PackageDeletionThatCannotHappenIsReportedInPlainText) {
  struct Case {
    const char* label;
    bool deleteExported;
    bool oldPackageStillUsed;
    uint32_t result;
  };
  const std::vector<Case> cases = {
      {"no DeletePrinterDriverPackageW", false, false, 1},
      {"another driver still uses it", true, true, platform::hr::kDriverPackageInUse},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Reset();
    Use32BitWindows();
    StageNewStyle();
    ASSERT_TRUE(InstallDriver(Job(), kMode, L"Acme LP-60"));
    if (c.oldPackageStillUsed) {
      ASSERT_TRUE(InstallDriver(Job(), kMode, L"Acme LP-80"));
    }
    const std::wstring oldPath = InfPathOf(L"Acme LP-60");
    AddPrinter(L"Shipping", L"Acme LP-60");
    if (!c.deleteExported) RemoveDriverStoreExport("DeletePrinterDriverPackageW");
    StageNewStyle(Inf("03/04/2025,2.0.0.0"));
    log_.lines.clear();

    Upgrade({L"Shipping"});

    EXPECT_EQ(log_.lines,
              (Lines{{Text(msg::kDriverInstalled, L"Acme LP-60"), kColourBlue},
                     {L"Remove driver package failed. " + oldPath + L". message=" + HResultText(m().system, c.result),
                      kColourRed},
                     {Text(msg::kDriverUpgraded, L"Shipping"), kColourBlue}}));
    EXPECT_EQ(StoreSize(), 2u);
  }
}

TEST_F(DriverUpgrade, EachPrinterIsReportedOnItsOwnAndTheNextOneFollows) {
  StageNewStyle();
  AddPrinter(L"Foreign", L"Other Vendor 1");
  AddPrinter(L"Not in INF", L"Acme LP-99");
  AddPrinter(L"Good", L"Acme LP-80");
  // In the catalogue but not in the package's INF: the install fails.
  pugi::xml_node acme = catalogue_.child("Drivers").child("Manufacturers").child("Manufacturer");
  acme.append_child("Driver").append_attribute("name") = "Acme LP-99";
  m().system.SetLastError(5);
  m().system.SetErrorText(platform::hr::kUnknownPrinterDriver, L"unknown driver\r\n");

  Upgrade({L"Nobody", L"Foreign", L"Not in INF", L"Good"});

  EXPECT_EQ(
      log_.lines,
      (Lines{
          {FormatText(Translate(msg::kUpgradeDriverFailed).c_str(), L"Nobody", 1801,
                      m().system.ErrorText(1801).c_str()),
           kColourRed},
          {Text(msg::kUpgradeDriverPackageMissing, L"Foreign"), kColourRed},
          {CodedText(msg::kDriverInstallationFailed, 0, HResultText(m().system, platform::hr::kUnknownPrinterDriver)),
           kColourRed},
          {FormatText(Translate(msg::kUpgradeDriverFailed).c_str(), L"Not in INF", 0, m().system.ErrorText(5).c_str()),
           kColourRed},
          {Text(msg::kDriverInstalled, L"Acme LP-80"), kColourBlue},
          {Text(msg::kDriverUpgraded, L"Good"), kColourBlue}}));
  EXPECT_EQ(m().spooler.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace orvello
