#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "system/printer_actions.h"
#include "system/printer_connection.h"
#include "system/system_facts.h"
#include "system/worker_threads.h"

namespace orvello {
namespace {

using namespace std::chrono_literals;
using platform::DevMode;
using platform::IPrinterHandle;
using platform::PrinterInfo2;
using platform::Result;
using platform::Status;

// What the code under test did with the printer handles it opened.
struct HandleCalls {
  std::vector<uint32_t> openAccess;  // every OpenPrinter, failed ones too
  std::vector<std::wstring> calls;   // "SetPrinter2", "SetPrinter7(2)", "DocumentProperties(mode)"
  std::vector<PrinterInfo2> setPrinter2;
  std::vector<uintptr_t> documentOwners;
  std::optional<uint32_t> documentPropertiesError;  // DocumentProperties with a buffer fails so
};

// Passes every call to the fake printer and notes the ones these tests watch.
class WatchedHandle : public IPrinterHandle {
 public:
  WatchedHandle(std::unique_ptr<IPrinterHandle> inner, HandleCalls& calls) : inner_(std::move(inner)), calls_(calls) {}

  Result<platform::PrinterInfo> GetPrinter(uint32_t level) override { return inner_->GetPrinter(level); }
  Result<PrinterInfo2> GetPrinter2() override { return inner_->GetPrinter2(); }
  Status SetPrinter2(const PrinterInfo2& info) override {
    calls_.calls.push_back(L"SetPrinter2");
    calls_.setPrinter2.push_back(info);
    return inner_->SetPrinter2(info);
  }
  Status SetPrinter7(uint32_t action) override {
    calls_.calls.push_back(L"SetPrinter7(" + std::to_wstring(action) + L")");
    return inner_->SetPrinter7(action);
  }
  Status ControlPrinter(uint32_t command) override { return inner_->ControlPrinter(command); }
  Status DeletePrinter() override { return inner_->DeletePrinter(); }
  Result<platform::DriverInfo> GetPrinterDriver(const std::wstring& environment, uint32_t level) override {
    return inner_->GetPrinterDriver(environment, level);
  }
  Result<platform::PrinterDataValue> GetPrinterDataEx(const std::wstring& key, const std::wstring& value,
                                                      uint32_t bufferSize, uint32_t* needed) override {
    return inner_->GetPrinterDataEx(key, value, bufferSize, needed);
  }
  Status SetPrinterDataEx(const std::wstring& key, const std::wstring& value, uint32_t type,
                          const std::vector<uint8_t>& data) override {
    return inner_->SetPrinterDataEx(key, value, type, data);
  }
  Result<int32_t> DocumentProperties(uintptr_t owner, const std::wstring& printerName, DevMode* out, const DevMode* in,
                                     uint32_t mode) override {
    calls_.calls.push_back(L"DocumentProperties(" + std::to_wstring(mode) + L")");
    calls_.documentOwners.push_back(owner);
    if (mode != 0 && calls_.documentPropertiesError) return Result<int32_t>{-1, *calls_.documentPropertiesError};
    return inner_->DocumentProperties(owner, printerName, out, in, mode);
  }
  Result<uint32_t> XcvData(const std::wstring& command, const std::vector<uint8_t>& input,
                           std::vector<uint8_t>* output, uint32_t outputSize) override {
    return inner_->XcvData(command, input, output, outputSize);
  }
  Result<std::vector<platform::FormInfo1>> EnumForms1() override { return inner_->EnumForms1(); }
  Result<platform::FormInfo1> GetForm1(const std::wstring& name) override { return inner_->GetForm1(name); }
  Status DeleteForm(const std::wstring& name) override { return inner_->DeleteForm(name); }

 private:
  std::unique_ptr<IPrinterHandle> inner_;
  HandleCalls& calls_;
};

class WatchedSpooler : public fake::FakeSpooler {
 public:
  using FakeSpooler::FakeSpooler;
  Result<std::unique_ptr<IPrinterHandle>> OpenPrinter(const std::wstring& name, uint32_t access) override {
    watched.openAccess.push_back(access);
    auto opened = FakeSpooler::OpenPrinter(name, access);
    if (!opened) return opened;
    return Result<std::unique_ptr<IPrinterHandle>>::Ok(
        std::make_unique<WatchedHandle>(std::move(opened.value), watched));
  }
  HandleCalls watched;
};

constexpr const wchar_t* kPrinter = L"Label 1";
constexpr const wchar_t* kDriver = L"TessarEx T80";

class PrinterTest : public ::testing::Test {
 protected:
  PrinterTest()
      : spooler(m.files),
        p{m.registry, m.files, m.services, m.processes, m.system, m.resources,
          m.debug,    m.session, spooler,   m.devices,   m.bluetooth, m.network, m.codePages} {}

  void SetUp() override {
    platform::DriverInfo driver;
    driver.level = 3;
    driver.name = kDriver;
    driver.environment = platform::kEnvironmentX64;
    spooler.AddDriverDirectly(driver);
    PrinterInfo2 info;
    info.printerName = kPrinter;
    info.driverName = kDriver;
    info.portName = L"USB001";
    spooler.state().ports.push_back({L"USB001", L"USB Monitor", L"Virtual printer port for USB", 1});
    spooler.AddPrinterDirectly(info);
    m.system.SetErrorText(1801, L"The printer name is invalid.\r\n");
  }
  void TearDown() override { EXPECT_TRUE(WaitForWorkerThreads(10s)); }

  // What the printer keeps (everything here runs on the test's thread).
  DevMode StoredDevMode() { return spooler.FindPrinter(kPrinter)->info.devMode.value_or(DevMode{}); }

  fake::FakeMachine m;
  WatchedSpooler spooler;
  platform::Platform p;
};

TEST_F(PrinterTest, OpensWithFullAccessFirst) {
  PrinterConnection c(p);
  ASSERT_TRUE(OpenPrinterConnection(c, kPrinter));
  EXPECT_TRUE(c.handle());
  EXPECT_TRUE(c.owned());
  EXPECT_EQ(spooler.watched.openAccess, (std::vector<uint32_t>{0xF000C}));
}

TEST_F(PrinterTest, FallsBackToUseAccess) {
  spooler.FindPrinter(kPrinter)->allAccessDenied = true;
  PrinterConnection c(p);
  ASSERT_TRUE(OpenPrinterConnection(c, kPrinter));
  EXPECT_TRUE(c.owned());
  EXPECT_EQ(spooler.watched.openAccess, (std::vector<uint32_t>{0xF000C, 8}));
  EXPECT_TRUE(m.debug.Lines().empty());
}

TEST_F(PrinterTest, FailureGoesToTheDebugOutputOnly) {
  PrinterConnection c(p);
  EXPECT_FALSE(OpenPrinterConnection(c, L"No such printer"));
  EXPECT_FALSE(c.handle());
  EXPECT_FALSE(c.owned());
  EXPECT_EQ(spooler.watched.openAccess, (std::vector<uint32_t>{0xF000C, 8}));
  EXPECT_EQ(m.debug.Lines(),
            (std::vector<std::wstring>{L"OpenPrinter(No such printer) error = 1801, The printer name is invalid.\r\n"}));
  EXPECT_TRUE(m.session.MessageBoxes().empty());
}

TEST_F(PrinterTest, OwnedHandlesAreClosedOnReopenAndAtTheEnd) {
  {
    PrinterConnection c(p);
    ASSERT_TRUE(OpenPrinterConnection(c, kPrinter));
    ASSERT_TRUE(OpenPrinterConnection(c, kPrinter));
    EXPECT_EQ(spooler.OpenHandleCount(), 1u);
    // A failed re-open still lets go of the old handle.
    EXPECT_FALSE(OpenPrinterConnection(c, L"No such printer"));
    EXPECT_EQ(spooler.OpenHandleCount(), 0u);
    ASSERT_TRUE(OpenPrinterConnection(c, kPrinter));
  }
  EXPECT_EQ(spooler.OpenHandleCount(), 0u);
}

TEST_F(PrinterTest, BorrowedHandlesStayOpen) {
  auto handle = spooler.OpenPrinter(kPrinter, platform::kPrinterAccessUse);
  ASSERT_TRUE(handle);
  {
    PrinterConnection c(p);
    c.Borrow(*handle.value);
    EXPECT_FALSE(c.owned());
    EXPECT_EQ(GetPrinterInfo2(c)->printerName, kPrinter);
  }
  EXPECT_EQ(spooler.OpenHandleCount(), 1u);
}

TEST_F(PrinterTest, ReadsPrinterInfoAndDevMode) {
  PrinterConnection c(p);
  EXPECT_FALSE(GetPrinterInfo2(c));
  EXPECT_FALSE(GetPrinterDevMode(c));
  ASSERT_TRUE(OpenPrinterConnection(c, kPrinter));
  std::optional<PrinterInfo2> info = GetPrinterInfo2(c);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->portName, L"USB001");
  EXPECT_EQ(info->driverName, kDriver);

  std::optional<DevMode> devMode = GetPrinterDevMode(c);
  ASSERT_TRUE(devMode);
  EXPECT_EQ(devMode->bytes, fake::MakeDefaultDevMode(kPrinter, 1, L"Letter").bytes);
  // Asked for the size first, then for the settings, without a window.
  EXPECT_EQ(spooler.watched.calls, (std::vector<std::wstring>{L"DocumentProperties(0)", L"DocumentProperties(2)"}));
  EXPECT_EQ(spooler.watched.documentOwners, (std::vector<uintptr_t>{0, 0}));
}

TEST_F(PrinterTest, DevModeFailureGoesToTheDebugOutput) {
  m.system.SetErrorText(5, L"Access is denied.\r\n");
  spooler.watched.documentPropertiesError = 5;
  PrinterConnection c(p);
  ASSERT_TRUE(OpenPrinterConnection(c, kPrinter));
  EXPECT_FALSE(GetPrinterDevMode(c));
  EXPECT_EQ(m.debug.Lines(), (std::vector<std::wstring>{L"DocumentPropertiesGet error = 5, Access is denied.\r\n"}));
}

DevMode Edited() {
  DevMode d = fake::MakeDefaultDevMode(kPrinter, 9, L"A4");
  d.bytes.back() ^= 0x5A;
  return d;
}

TEST_F(PrinterTest, CancelledPreferencesChangeNothing) {
  m.session.SetOwnerWindow(0x1234);
  std::optional<DevMode> shown;
  spooler.state().preferencesDialog = [&](const std::wstring&, const DevMode& d) -> std::optional<DevMode> {
    shown = d;
    return std::nullopt;
  };
  const DevMode before = StoredDevMode();

  ShowPrintingPreferences(p, kPrinter);

  ASSERT_TRUE(shown);  // the dialog was up
  EXPECT_EQ(spooler.watched.calls, (std::vector<std::wstring>{L"DocumentProperties(0)", L"DocumentProperties(2)",
                                                              L"DocumentProperties(1073741902)"}));
  EXPECT_EQ(StoredDevMode().bytes, before.bytes);
}

TEST_F(PrinterTest, ConfirmedPreferencesAreSavedAndPublished) {
  m.session.SetOwnerWindow(0x1234);
  std::optional<DevMode> shown;
  spooler.state().preferencesDialog = [&](const std::wstring&, const DevMode& d) -> std::optional<DevMode> {
    shown = d;
    return Edited();
  };
  spooler.state().directoryServiceAvailable = true;

  ShowPrintingPreferences(p, kPrinter);

  // The dialog shows the printer's current settings, over the main window.
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->bytes, fake::MakeDefaultDevMode(kPrinter, 1, L"Letter").bytes);
  EXPECT_EQ(spooler.watched.documentOwners.back(), 0x1234u);
  EXPECT_EQ(spooler.watched.calls,
            (std::vector<std::wstring>{L"DocumentProperties(0)", L"DocumentProperties(2)",
                                       L"DocumentProperties(1073741902)", L"SetPrinter2", L"SetPrinter7(2)"}));
  ASSERT_EQ(spooler.watched.setPrinter2.size(), 1u);
  EXPECT_EQ(spooler.watched.setPrinter2[0].printerName, kPrinter);
  EXPECT_EQ(StoredDevMode().bytes, Edited().bytes);
  EXPECT_TRUE(m.debug.Lines().empty());
}

TEST_F(PrinterTest, FailedSaveIsWrittenToTheDebugOutputAndThePublishingStillFollows) {
  spooler.state().preferencesDialog = [](const std::wstring&, const DevMode&) -> std::optional<DevMode> {
    return Edited();
  };
  // The printer's port went away meanwhile: SetPrinter level 2 refuses.
  spooler.state().ports.clear();
  m.system.SetErrorText(1796, L"The specified port is unknown.\r\n");

  ShowPrintingPreferences(p, kPrinter);

  EXPECT_EQ(spooler.watched.calls.back(), L"SetPrinter7(2)");
  EXPECT_EQ(m.debug.Lines(),
            (std::vector<std::wstring>{L"SetPrinter level = 2, error = 1796, The specified port is unknown.\r\n"}));
}

TEST_F(PrinterTest, PrinterActionsDoNothingForAMissingPrinter) {
  bool dialogShown = false;
  spooler.state().preferencesDialog = [&](const std::wstring&, const DevMode&) -> std::optional<DevMode> {
    dialogShown = true;
    return std::nullopt;
  };
  m.processes.AddProgram(L"C:\\Windows\\system32\\rundll32.exe", fake::FakeProgram::Exits(0));
  for (auto action : {&PrintTestPage, &ShowPrintingPreferences, &ShowPrinterProperties}) {
    action(p, L"Gone");
  }
  ASSERT_TRUE(WaitForWorkerThreads(10s));
  EXPECT_FALSE(dialogShown);
  EXPECT_TRUE(m.processes.Started().empty());
  EXPECT_TRUE(m.session.PrinterCommands().empty());
}

TEST_F(PrinterTest, TestPageRunsTheSystemsRundll32ByItsFullPath) {
  m.processes.AddProgram(L"C:\\Windows\\system32\\rundll32.exe", fake::FakeProgram::Exits(0));
  // A planted copy in the program's folder, which a bare name would find first.
  m.processes.AddProgram(L"C:\\Tools\\rundll32.exe", fake::FakeProgram::Exits(0));

  PrintTestPage(p, kPrinter);
  ASSERT_TRUE(WaitForWorkerThreads(10s));

  auto started = m.processes.Started();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].commandLine,
            L"\"C:\\Windows\\system32\\rundll32.exe\" printui.dll,PrintUIEntry /k /q /n \"Label 1\"");
  EXPECT_EQ(started[0].program, L"C:\\Windows\\system32\\rundll32.exe");
  EXPECT_TRUE(started[0].hidden);
  EXPECT_FALSE(started[0].inheritHandles);
}

TEST_F(PrinterTest, PropertiesOpenThroughTheShellWithTheFullPrinterName) {
  m.system.SetComputerName(L"DESK-7");
  ShowPrinterProperties(p, kPrinter);
  auto commands = m.session.PrinterCommands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].action, platform::kPrintActionProperties);
  EXPECT_EQ(commands[0].printerName, L"\\\\DESK-7\\Label 1");
}

class FailingDirectorySpooler : public fake::FakeSpooler {
 public:
  using FakeSpooler::FakeSpooler;
  Result<std::wstring> GetPrinterDriverDirectory(const std::wstring&) override {
    return Result<std::wstring>::Fail(platform::err::kAccessDenied);
  }
};

TEST(DriverDirectoryTest, IsTheSpoolersDirectoryForThisEnvironment) {
  using Machine = fake::FakeSystemFacts::Machine;
  struct Case {
    Machine machine;
    const wchar_t* expected;
  };
  for (const Case& c : {Case{Machine::X86, L"C:\\Windows\\system32\\spool\\drivers\\w32x86\\"},
                        Case{Machine::X64, L"C:\\Windows\\system32\\spool\\drivers\\x64\\"},
                        Case{Machine::Arm64, L"C:\\Windows\\system32\\spool\\drivers\\arm64\\"}}) {
    fake::FakeMachine m;
    m.system.SetMachine(c.machine);
    EXPECT_EQ(DriverDirectory(m.system, m.spooler, m.session), c.expected);
    EXPECT_TRUE(m.session.MessageBoxes().empty());
  }
}

TEST(DriverDirectoryTest, FailureShowsTheErrorBoxAndAnswersEmpty) {
  fake::FakeMachine m;
  FailingDirectorySpooler spooler(m.files);
  EXPECT_EQ(DriverDirectory(m.system, spooler, m.session), L"");
  auto boxes = m.session.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"GetPrinterDriverDirectory failed");
  EXPECT_EQ(boxes[0].title, L"Error");
}

}  // namespace
}  // namespace orvello
