#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <pugixml.hpp>

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "platform/fake/fake_code_pages.h"
#include "platform/fake/fake_machine.h"
#include "system/devcon.h"
#include "system/output_pipe.h"
#include "system/text.h"
#include "system/worker_threads.h"
#include "system_test_support.h"
#include "support/unused_app_host.h"

namespace orvello {
namespace {

using namespace std::chrono_literals;

// The base model carries the hardware id; the models of other
// manufacturers inherit it through `parent`.
constexpr const char* kCatalogue = R"(<Drivers><Manufacturers>
  <Manufacturer mode="Native">
    <Driver name="A6" usbname="USBPRINT\Lumatrix_A6B36A"/>
    <Driver name="Plain" usbname="USBPRINT\TessarEx_T80"/>
  </Manufacturer>
  <Manufacturer mode="Acme">
    <Driver name="Acme A6 lower" parent="A6" usbname="usbprint\lumatrix_a6b36a"/>
    <Driver name="Acme A8" usbname="USBPRINT\LUMATRIX_A877EB"/>
    <Driver name="Acme A7" usbname="USBPRINT\Lumatrix_A773AB"/>
    <Driver name="Acme A6 inherited" parent="A6"/>
    <Driver name="Acme near" usbname="USBPRINT\Lumatrix_A6B36"/>
    <Driver name="Acme plain" parent="Plain"/>
    <Driver name="Acme none"/>
  </Manufacturer>
</Manufacturers></Drivers>)";

struct Outcomes {
  bool install = true;        // every Install* and InstallDriverForPort
  bool addPrinter = true;
  std::vector<std::wstring> ports;  // what DeleteSelectedPrinters collects
};

// Records the engine calls and the dialog calls in one sequence.
class Recorder : public IEngineOperations, public IOperationDialog {
 public:
  Recorder(fake::FakeMachine& machine, DriverRef selected, Outcomes outcomes)
      : machine_(machine), selected_(selected), outcomes_(std::move(outcomes)) {}

  bool InstallNetworkPrinter() override { return Note(L"InstallNetworkPrinter", outcomes_.install); }
  bool InstallBluetoothPrinter() override { return Note(L"InstallBluetoothPrinter", outcomes_.install); }
  bool InstallByDeviceConsole() override { return Note(L"InstallByDeviceConsole", outcomes_.install); }
  DriverRef SelectedDriver() override { return selected_; }
  bool InstallDriverForPort(bool family) override {
    return Note(family ? L"InstallDriverForPort(family)" : L"InstallDriverForPort(general)", outcomes_.install);
  }
  bool AddPrinterForModel() override { return Note(L"AddPrinterForModel", outcomes_.addPrinter); }
  void UpgradePrinterDrivers() override { Note(L"UpgradePrinterDrivers"); }
  void DeleteSelectedPrinters(std::vector<std::wstring>& ports) override {
    Note(L"DeleteSelectedPrinters");
    ports.insert(ports.end(), outcomes_.ports.begin(), outcomes_.ports.end());
  }
  void DeleteSelectedDrivers() override { Note(L"DeleteSelectedDrivers"); }
  void RemoveStaleUsbPrintDevices() override { Note(L"RemoveStaleUsbPrintDevices"); }
  void DeletePortIfStandardTcpIp(const std::wstring& port) override { Note(L"DeletePort(" + port + L")"); }

  void SetSucceeded(int value) override { Note(L"SetSucceeded(" + std::to_wstring(value) + L")"); }
  void PostClose() override {
    Note(L"PostClose");
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    closedChanged_.notify_all();
  }

  std::vector<std::wstring> Calls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }
  std::thread::id EngineThread() {
    std::lock_guard<std::mutex> lock(mutex_);
    return engineThread_;
  }
  std::vector<int> ComDepths() {
    std::lock_guard<std::mutex> lock(mutex_);
    return comDepths_;
  }
  bool WaitClosed() {
    std::unique_lock<std::mutex> lock(mutex_);
    return closedChanged_.wait_for(lock, 10s, [this] { return closed_; });
  }

 private:
  bool Note(const std::wstring& call, bool answer = true) {
    // A device console run would show here as a started process.
    size_t started = machine_.processes.Started().size();
    int comDepth = machine_.session.ComDepth(std::this_thread::get_id());
    std::lock_guard<std::mutex> lock(mutex_);
    comDepths_.push_back(comDepth);
    calls_.push_back(started ? call + L" after a process" : call);
    engineThread_ = std::this_thread::get_id();
    return answer;
  }

  fake::FakeMachine& machine_;
  DriverRef selected_;
  Outcomes outcomes_;
  std::mutex mutex_;
  std::condition_variable closedChanged_;
  bool closed_ = false;
  std::vector<std::wstring> calls_;
  std::thread::id engineThread_;
  std::vector<int> comDepths_;  // of the calling thread, at each call
};

const std::wstring kDevcon = L"C:\\Program Files (x86)\\DudezPrinterDriver\\Drivers\\devcon64.exe";

class OperationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(catalogue.load_string(kCatalogue));
    m.processes.AddProgram(kDevcon, fake::FakeProgram::Exits(0));
  }
  DriverRef Model(const wchar_t* name) {
    DriverRef ref = FindDriver(L"Acme", name, catalogue);
    EXPECT_TRUE(ref) << "no model " << WideToUtf8(name);
    return ref;
  }
  std::vector<std::wstring> Run(OperationChoice choice, DriverRef selected, Outcomes outcomes = {}) {
    Recorder recorder(m, selected, std::move(outcomes));
    CThreadOperation(m.platform(), choice, recorder, recorder).Run();
    return recorder.Calls();
  }

  fake::FakeMachine m;
  pugi::xml_document catalogue;
  test::RecordingMessageLog log;
};

using Calls = std::vector<std::wstring>;

struct DispatchCase {
  const char* name;
  int32_t setupMode;
  int32_t setupPortType;
  const wchar_t* model;
  Outcomes outcomes;
  Calls calls;
};

class DispatchTest : public OperationTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(DispatchTest, CallsTheOperationsInOrderAndClosesTheDialog) {
  const DispatchCase& c = GetParam();
  EXPECT_EQ(Run({c.setupMode, c.setupPortType}, Model(c.model), c.outcomes), c.calls);
}

const Outcomes kFails{false, true, {}};
const Outcomes kPrinterFails{true, false, {}};

INSTANTIATE_TEST_SUITE_P(
    Table, DispatchTest,
    ::testing::Values(
        DispatchCase{"usb", 0, 0, L"Acme none", {}, {L"InstallByDeviceConsole", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"usbFails", 0, 0, L"Acme none", kFails, {L"InstallByDeviceConsole", L"PostClose"}},
        DispatchCase{"adapter", 0, 3, L"Acme none", {}, {L"InstallByDeviceConsole", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"unknownPort", 0, 9, L"Acme none", kFails, {L"InstallByDeviceConsole", L"PostClose"}},
        DispatchCase{"network", 0, 1, L"Acme none", {}, {L"InstallNetworkPrinter", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"networkFails", 0, 1, L"Acme none", kFails, {L"InstallNetworkPrinter", L"PostClose"}},
        DispatchCase{"bluetooth", 0, 2, L"Acme none", {}, {L"InstallBluetoothPrinter", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"bluetoothFails", 0, 2, L"Acme none", kFails, {L"InstallBluetoothPrinter", L"PostClose"}},
        DispatchCase{"parallel", 0, 4, L"Acme plain", {},
                     {L"InstallDriverForPort(general)", L"AddPrinterForModel", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"serialFamily", 0, 5, L"Acme A8", {},
                     {L"InstallDriverForPort(family)", L"AddPrinterForModel", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"customFamilyLowerCase", 0, 6, L"Acme A6 lower", {},
                     {L"InstallDriverForPort(family)", L"AddPrinterForModel", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"familyInherited", 0, 4, L"Acme A6 inherited", {},
                     {L"InstallDriverForPort(family)", L"AddPrinterForModel", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"thirdFamilyId", 0, 4, L"Acme A7", {},
                     {L"InstallDriverForPort(family)", L"AddPrinterForModel", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"almostFamily", 0, 4, L"Acme near", {},
                     {L"InstallDriverForPort(general)", L"AddPrinterForModel", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"noUsbName", 0, 5, L"Acme none", {},
                     {L"InstallDriverForPort(general)", L"AddPrinterForModel", L"SetSucceeded(1)", L"PostClose"}},
        DispatchCase{"driverFails", 0, 4, L"Acme plain", kFails, {L"InstallDriverForPort(general)", L"PostClose"}},
        DispatchCase{"printerFails", 0, 6, L"Acme plain", kPrinterFails,
                     {L"InstallDriverForPort(general)", L"AddPrinterForModel", L"PostClose"}},
        DispatchCase{"upgrade", 1, 4, L"Acme none", {}, {L"UpgradePrinterDrivers", L"PostClose"}},
        DispatchCase{"upgradeAnyPort", 1, 1, L"Acme none", kFails, {L"UpgradePrinterDrivers", L"PostClose"}},
        DispatchCase{"unknownMode", 3, 0, L"Acme none", {}, {L"PostClose"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OperationTest, RemovalDeletesEachCollectedPortThenRescans) {
  Outcomes outcomes;
  outcomes.ports = {L"IP_10.0.0.7", L"USB001"};
  EXPECT_EQ(Run({kModeRemove, kPortNetwork}, Model(L"Acme none"), outcomes),
            (Calls{L"DeleteSelectedPrinters", L"DeleteSelectedDrivers", L"RemoveStaleUsbPrintDevices",
                   L"DeletePort(IP_10.0.0.7)", L"DeletePort(USB001)", L"PostClose after a process"}));
  auto started = m.processes.Started();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].commandLine, L"\"" + kDevcon + L"\" rescan");
}

TEST_F(OperationTest, RemovalWithNoPortsStillRescans) {
  EXPECT_EQ(Run({kModeRemove, kPortUsb}, Model(L"Acme none")),
            (Calls{L"DeleteSelectedPrinters", L"DeleteSelectedDrivers", L"RemoveStaleUsbPrintDevices",
                   L"PostClose after a process"}));
  auto started = m.processes.Started();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].commandLine, L"\"" + kDevcon + L"\" rescan");
}

TEST_F(OperationTest, RemovalClosesTheDialogEvenWhenTheToolIsMissing) {
  m.files.DeleteFile(kDevcon);
  Calls calls = Run({kModeRemove, kPortUsb}, Model(L"Acme none"));
  EXPECT_EQ(calls.back(), L"PostClose after a process");
}

TEST_F(OperationTest, OnlyRemovalRunsTheDeviceConsoleItself) {
  for (int32_t mode : {kModeInstall, kModeUpgrade}) {
    Run({mode, kPortUsb}, Model(L"Acme none"));
  }
  EXPECT_TRUE(m.processes.Started().empty());
}

TEST_F(OperationTest, StartOperationRunsOnAThreadOfItsOwn) {
  test::UnusedAppHost host;
  CApp app(m.platform(), host);
  app.setupMode = kModeInstall;
  app.setupPortType = kPortNetwork;
  Recorder recorder(m, Model(L"Acme none"), {});
  StartOperation(m.platform(), app, recorder, recorder);
  ASSERT_TRUE(recorder.WaitClosed());
  ASSERT_TRUE(WaitForWorkerThreads(10s));
  EXPECT_EQ(recorder.Calls(), (Calls{L"InstallNetworkPrinter", L"SetSucceeded(1)", L"PostClose"}));
  EXPECT_NE(recorder.EngineThread(), std::this_thread::get_id());
}

TEST_F(OperationTest, WorkRunsInsideAComApartmentThatEndsBeforeTheDialogCloses) {
  Recorder recorder(m, Model(L"Acme none"), {});
  CThreadOperation(m.platform(), {kModeRemove, kPortUsb}, recorder, recorder).Run();
  // Removal's four calls inside, the close outside.
  EXPECT_EQ(recorder.ComDepths(), (std::vector<int>{1, 1, 1, 0}));
  EXPECT_EQ(m.session.ComDepth(std::this_thread::get_id()), 0);
}

TEST_F(OperationTest, WorkRunsEvenWhenComCannotStart) {
  m.session.SetComInitializeError(0x80010106u);  // RPC_E_CHANGED_MODE
  Recorder recorder(m, Model(L"Acme none"), {});
  CThreadOperation(m.platform(), {kModeInstall, kPortNetwork}, recorder, recorder).Run();
  EXPECT_EQ(recorder.Calls(), (Calls{L"InstallNetworkPrinter", L"SetSucceeded(1)", L"PostClose"}));
  EXPECT_EQ(m.session.ComInitializeCalls(), 1);
}

TEST(LumatrixFamilyTest, ComparesTheThreeIdsIgnoringCase) {
  for (const wchar_t* id : {L"USBPRINT\\Lumatrix_A6B36A", L"usbprint\\lumatrix_a877eb", L"USBPRINT\\LUMATRIX_A773AB"}) {
    EXPECT_TRUE(IsLumatrixFamily(id)) << WideToUtf8(id);
  }
  for (const wchar_t* id : {L"", L"USBPRINT\\Lumatrix_A6B36", L"USBPRINT\\Lumatrix_A6B36A ", L"Lumatrix_A6B36A",
                            L"USBPRINT/Lumatrix_A6B36A"}) {
    EXPECT_FALSE(IsLumatrixFamily(id)) << WideToUtf8(id);
  }
}

class CommandTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_TRUE(WaitForWorkerThreads(10s));
    RemoveOutputPipe();
  }
  fake::FakeMachine m;
  test::RecordingMessageLog log;
};

TEST_F(CommandTest, RunsHiddenWithoutStandardHandlesAndAnswersTheExitCode) {
  m.processes.AddProgram(L"C:\\Tools\\job.exe", fake::FakeProgram::Exits(7, "not seen"));
  fake::FakeCodePages codePages;
  // Even with the output pipe in place the command gets no handles from it.
  ASSERT_TRUE(InstallOutputPipe(m.processes, codePages));
  EXPECT_EQ(CThreadCommand(m.platform(), L"\"C:\\Tools\\job.exe\" -show").Run(), 7);
  auto started = m.processes.Started();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].commandLine, L"\"C:\\Tools\\job.exe\" -show");
  EXPECT_TRUE(started[0].hidden);
  EXPECT_FALSE(started[0].inheritHandles);
  EXPECT_FALSE(started[0].hadStandardOutput);
}

TEST_F(CommandTest, CommandRunsInsideAComApartmentOfItsThread) {
  std::thread::id commandThread;
  int depthDuringRun = -1;
  fake::FakeProgram probe;
  probe.run = [&](const std::wstring&) {
    commandThread = std::this_thread::get_id();
    depthDuringRun = m.session.ComDepth(commandThread);
    return fake::FakeProgramRun{};
  };
  m.processes.AddProgram(L"C:\\Tools\\probe.exe", probe);
  StartCommand(m.platform(), L"C:\\Tools\\probe.exe");
  ASSERT_TRUE(WaitForWorkerThreads(10s));
  EXPECT_NE(commandThread, std::this_thread::get_id());
  EXPECT_EQ(depthDuringRun, 1);
  EXPECT_EQ(m.session.ComDepth(commandThread), 0);
}

TEST_F(CommandTest, CommandThatDoesNotStartAnswersMinusTwo) {
  EXPECT_EQ(CThreadCommand(m.platform(), L"C:\\Tools\\missing.exe").Run(), kChildNotStarted);
}

TEST_F(CommandTest, StartCommandReturnsAtOnceAndRunsTheCommand) {
  test::DebugModeScope debug(1);
  fake::FakeProgram slow = fake::FakeProgram::Exits(0);
  slow.keepsRunning = true;
  m.processes.AddProgram(L"C:\\Windows\\System32\\ie4uinit.exe", slow);

  StartCommand(m.platform(), L"C:\\Windows\\System32\\ie4uinit.exe -show");
  // The call has returned while the command still runs; its thread ends with it.
  for (int i = 0; i < 1000 && m.processes.Started().empty(); ++i) std::this_thread::sleep_for(10ms);
  ASSERT_EQ(m.processes.RunningCount(), 1u);
  EXPECT_FALSE(WaitForWorkerThreads(20ms));
  m.processes.FinishRunning();
  ASSERT_TRUE(WaitForWorkerThreads(10s));

  ASSERT_EQ(m.processes.Started().size(), 1u);
  EXPECT_EQ(log.Texts(), (std::vector<std::wstring>{L"C:\\Windows\\System32\\ie4uinit.exe -show"}));
}

}  // namespace
}  // namespace orvello
