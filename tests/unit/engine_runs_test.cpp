// The install and upgrade runs on the fake machine: staging from a small
// package, the worker's dispatch to the engine (run in place of the busy
// dialog's thread), and what the run does once the dialog has closed.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "engine/setup_runs.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "payload/package.h"
#include "platform/fake/fake_machine.h"
#include "shell/message_log.h"
#include "support/recording_log.h"
#include "support/zip_builder.h"
#include "system/text.h"
#include "system/worker_threads.h"
#include "support/unused_app_host.h"

namespace orvello {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;
using Names = std::vector<std::wstring>;
using test::RecordingLog;

constexpr wchar_t kWork[] = L"C:\\Program Files (x86)\\DudezPrinterDriver\\";

constexpr char kCatalogue[] = R"(<Drivers><Manufacturers>
  <Manufacturer mode="Acme">
    <Driver name="Acme LP-60" usbname="USBPRINT\Acme_LP60" comment="Sixty"/>
  </Manufacturer>
  <Manufacturer mode="Lumatrix">
    <Driver name="Lumatrix A6" usbname="USBPRINT\LUMATRIX_A6B36A"/>
  </Manufacturer>
</Manufacturers></Drivers>)";

std::string Inf(const std::string& mode, const std::string& model) {
  return "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\nProvider=" + mode +
         "\r\nDriverVer=01/02/2024,1.0.0.1\r\n[Manufacturer]\r\n" + mode + "=" + mode + ",NTamd64\r\n[" + mode +
         ".NTamd64]\r\n\"" + model + "\"=Model,USBPRINT\\" + mode + "\r\n[Model]\r\nDriverFile=" + mode +
         "UniNew.dll\r\nConfigFile=" + mode + "UiNew.dll\r\nDataFile=" + model +
         ".dat\r\n[SourceDisksFiles.amd64]\r\n" + mode + "UniNew.dll = 1,amd64\r\n" + mode + "UiNew.dll = 1,amd64\r\n" +
         model + ".dat = 1\r\n";
}

Entries Package() {
  Entries entries = {{"Drivers/devcon32.exe", "d32"},
                     {"Drivers/devcon64.exe", "d64"},
                     {"Drivers/devconARM64.exe", "darm"},
                     {"Drivers/devconXP32.exe", "dxp"}};
  for (const auto& [mode, model] :
       {std::pair<std::string, std::string>{"Acme", "Acme LP-60"}, {"Lumatrix", "Lumatrix A6"}}) {
    const std::string folder = "Drivers/" + mode + "/";
    entries.push_back({folder + mode + "New.inf", Inf(mode, model)});
    entries.push_back({folder + mode + "New.cat", "cat"});
    entries.push_back({folder + "amd64/" + mode + "UniNew.dll", "uni"});
    entries.push_back({folder + "amd64/" + mode + "UiNew.dll", "ui"});
    entries.push_back({folder + model + ".dat", "{}"});
  }
  return entries;
}

// The shell's part: the busy dialog's worker runs in place, and the end
// page's printer buttons are recorded.
class SynchronousUi : public ISetupRunUi, public IOperationDialog {
 public:
  explicit SynchronousUi(CApp& app) : app_(app) {}

  int RunLoadingDialog(IEngineOperations& engine) override {
    succeeded_ = 0;
    ++dialogs;
    CThreadOperation(app_.platform(), ChoiceOf(app_), engine, *this).Run();
    return succeeded_;
  }
  void ShowInstalledPrinter(const std::wstring& printerName) override { shown.push_back(printerName); }
  void SetSucceeded(int value) override { succeeded_ = value; }
  void PostClose() override { ++closes; }

  int dialogs = 0;
  int closes = 0;
  Names shown;

 private:
  CApp& app_;
  int succeeded_ = 0;
};

class Runs : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentMessageLog(&log_);
    zip_ = test::BuildZip(Package());
    archive_ = PackageArchive::Open(zip_);
    ASSERT_NE(archive_, nullptr);
    SetCurrentPackage(archive_.get());
    NewApp();
  }
  void TearDown() override {
    app_.reset();
    SetCurrentPackage(nullptr);
    SetCurrentMessageLog(nullptr);
  }

  void NewApp() {
    app_.reset();
    machine_ = std::make_unique<fake::FakeMachine>();
    app_ = std::make_unique<CApp>(machine_->platform(), host_);
    ASSERT_TRUE(app_->catalogue.doc.load_string(kCatalogue));
    auto spooler = machine_->system.LoadSystemLibrary(L"WinSpool.drv");
    ASSERT_TRUE(spooler.ok());
    app_->spoolerLib = std::move(spooler.value);
    ui_ = std::make_unique<SynchronousUi>(*app_);
    log_.lines.clear();
  }

  void Select(const std::wstring& mode, const std::wstring& model, int32_t portType, const std::wstring& port) {
    app_->setupMode = kModeInstall;
    app_->setupPortType = portType;
    app_->selected.driver = FindDriver(mode, model, app_->catalogue.doc);
    app_->selected.model = model;
    app_->selected.printerName = L"Shipping";
    app_->selected.portName = port;
    app_->selected.ipAddress = L"192.168.1.50";
  }

  size_t Count(const std::wstring& text, uint32_t colour) {
    size_t n = 0;
    for (const auto& line : log_.lines) n += (line.first == text && line.second == colour) ? 1 : 0;
    return n;
  }

  std::wstring Completed() { return Translate(msg::kInstallationCompleted); }

  std::vector<uint8_t> zip_;
  std::unique_ptr<PackageArchive> archive_;
  test::UnusedAppHost host_;
  std::unique_ptr<fake::FakeMachine> machine_;
  std::unique_ptr<CApp> app_;
  std::unique_ptr<SynchronousUi> ui_;
  RecordingLog log_;
};

TEST_F(Runs, InstallRunShowsThePrinterOnlyWhenTheWorkerSucceeded) {
  struct Case {
    const char* label;
    int32_t portType;
    std::wstring port;
    std::optional<uint32_t> devconExit;  // the device console's answer for USB
    bool succeeded;
  };
  const std::vector<Case> cases = {
      {"parallel port", kPortParallel, L"LPT1:", std::nullopt, true},
      {"serial port", kPortSerial, L"COM2:", std::nullopt, true},
      {"custom port that does not exist", kPortCustom, L"NOPE:", std::nullopt, false},
      {"network", kPortNetwork, L"IP_192.168.1.50", std::nullopt, true},
      {"USB installed by the device console", kPortUsb, L"USB001", 0u, true},
      {"USB, device console failed", kPortUsb, L"USB001", 2u, false},
      {"Bluetooth adapter, device console needs a restart", kPortBluetoothAdapter, L"USB001", 1u, true},
      {"Bluetooth", kPortBluetooth, L"COM5", std::nullopt, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    NewApp();
    if (c.devconExit) {
      machine_->processes.ScriptProgram(std::wstring(kWork) + L"Drivers\\devcon64.exe",
                                        fake::FakeProgram::Exits(*c.devconExit));
    }
    Select(L"Acme", L"Acme LP-60", c.portType, c.port);

    EXPECT_EQ(RunSetupInstall(*app_, *ui_, false), c.succeeded);

    EXPECT_EQ(ui_->dialogs, 1);
    EXPECT_EQ(ui_->closes, 1);
    // The package was staged before the dialog.
    EXPECT_TRUE(machine_->files.Exists(std::wstring(kWork) + L"Drivers\\Acme\\AcmeNew.inf"));
    if (!c.succeeded) {
      EXPECT_TRUE(ui_->shown.empty());
      EXPECT_EQ(Count(Completed(), kColourBlue), 0u);
      continue;
    }
    EXPECT_EQ(ui_->shown, Names{L"Shipping"});
    ASSERT_FALSE(log_.lines.empty());
    EXPECT_EQ(log_.lines.back(), std::make_pair(Completed(), kColourBlue));
    EXPECT_EQ(Count(Completed(), kColourBlue), 1u);
    if (!c.devconExit) {
      // The printer was made under the chosen name with the model's driver.
      const fake::FakePrinter* printer = machine_->spooler.FindPrinter(L"Shipping");
      ASSERT_NE(printer, nullptr);
      EXPECT_EQ(printer->info.driverName, L"Acme LP-60");
      EXPECT_EQ(app_->selected.model, L"Shipping");
    }
  }
}

TEST_F(Runs, BluetoothInstallationSaysItIsNotAvailable) {
  Select(L"Acme", L"Acme LP-60", kPortBluetooth, L"COM5");
  EXPECT_FALSE(RunSetupInstall(*app_, *ui_, true));
  EXPECT_EQ(log_.Red(), Names{Translate(msg::kBluetoothInstallUnavailable)});
  EXPECT_TRUE(machine_->spooler.state().drivers.empty());
  EXPECT_EQ(machine_->spooler.FindPrinter(L"Shipping"), nullptr);
}

TEST_F(Runs, InstallRunMakesTheNewPrinterTheDefaultWhenAsked) {
  for (bool setDefault : {false, true}) {
    SCOPED_TRACE(setDefault);
    NewApp();
    Select(L"Acme", L"Acme LP-60", kPortParallel, L"LPT1:");
    ASSERT_TRUE(RunSetupInstall(*app_, *ui_, setDefault));
    auto defaultPrinter = machine_->spooler.GetDefaultPrinter();
    EXPECT_EQ(defaultPrinter.ok() && defaultPrinter.value == L"Shipping", setDefault);
    EXPECT_EQ(Count(Translate(msg::kDefaultPrinterSet), kColourBlue), setDefault ? 1u : 0u);
  }
}

TEST_F(Runs, PlugAndPlayPrinterGetsTheChosenName) {
  // Plug and Play names the printer after the model; the run renames it.
  machine_->processes.ScriptProgram(std::wstring(kWork) + L"Drivers\\devcon64.exe", fake::FakeProgram::Exits(0));
  platform::DriverInfo driver;
  driver.level = 3;
  driver.name = L"Acme LP-60";
  driver.environment = platform::kEnvironmentX64;
  machine_->spooler.AddDriverDirectly(driver);
  platform::PrinterInfo2 info;
  info.printerName = L"Acme LP-60";
  info.portName = L"LPT1:";  // a USB port of the real thing
  info.driverName = L"Acme LP-60";
  info.printProcessor = L"WinPrint";
  info.dataType = L"RAW";
  machine_->spooler.AddPrinterDirectly(info);
  Select(L"Acme", L"Acme LP-60", kPortUsb, L"USB001");

  ASSERT_TRUE(RunSetupInstall(*app_, *ui_, false));

  EXPECT_EQ(machine_->spooler.FindPrinter(L"Acme LP-60"), nullptr);
  EXPECT_NE(machine_->spooler.FindPrinter(L"Shipping"), nullptr);
}

TEST_F(Runs, LumatrixModelsTakeTheLegacyWayEvenWithADriverStore) {
  Select(L"Lumatrix", L"Lumatrix A6", kPortSerial, L"COM1:");

  ASSERT_TRUE(RunSetupInstall(*app_, *ui_, false));

  EXPECT_TRUE(machine_->spooler.state().driverStore.empty());
  const fake::FakeDriver* driver = machine_->spooler.FindDriver(platform::kEnvironmentX64, L"Lumatrix A6");
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(driver->record.infPath, L"");
  EXPECT_TRUE(machine_->files.Exists(L"C:\\Windows\\system32\\spool\\drivers\\x64\\LumatrixUniNew.dll"));
}

TEST_F(Runs, UpgradeRunStagesTheManufacturersPackageAndUpgradesTheChosenPrinters) {
  app_->setupMode = kModeUpgrade;
  app_->profile.name = L"Acme";
  platform::PrinterInfo2 info;
  info.printerName = L"Shipping";
  info.portName = L"LPT1:";
  info.driverName = L"Acme LP-60";
  info.printProcessor = L"WinPrint";
  info.dataType = L"RAW";
  machine_->spooler.AddPrinterDirectly(info);

  RunUpgrade(*app_, *ui_, {L"Shipping"});

  EXPECT_EQ(ui_->dialogs, 1);
  EXPECT_TRUE(ui_->shown.empty());
  EXPECT_TRUE(machine_->files.Exists(std::wstring(kWork) + L"Drivers\\Acme\\amd64\\AcmeUniNew.dll"));
  EXPECT_EQ(log_.Red(), Names{});
  EXPECT_EQ(Count(FormatText(Translate(msg::kDriverUpgraded).c_str(), L"Shipping"), kColourBlue), 1u);
  EXPECT_NE(machine_->spooler.FindDriver(platform::kEnvironmentX64, L"Acme LP-60"), nullptr);
}

TEST_F(Runs, UpgradeRunWithoutPrintersOnlyStages) {
  app_->setupMode = kModeUpgrade;
  app_->profile.name = L"Acme";
  RunUpgrade(*app_, *ui_);
  EXPECT_EQ(ui_->dialogs, 1);
  EXPECT_TRUE(machine_->spooler.state().drivers.empty());
  EXPECT_TRUE(machine_->files.Exists(std::wstring(kWork) + L"Drivers\\Acme\\AcmeNew.inf"));
}

}  // namespace
}  // namespace orvello
