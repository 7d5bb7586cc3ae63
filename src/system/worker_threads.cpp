#include "system/worker_threads.h"

#include <array>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "app/app.h"
#include "app/debug_mode.h"
#include "catalogue/catalogue.h"
#include "shell/message_log.h"
#include "system/devcon.h"
#include "system/text.h"

namespace orvello {

namespace {

struct WorkerCount {
  std::mutex mutex;
  std::condition_variable changed;
  int running = 0;
};

WorkerCount& Workers() {
  static WorkerCount workers;
  return workers;
}

void WorkerEnded() {
  WorkerCount& w = Workers();
  std::lock_guard<std::mutex> lock(w.mutex);
  --w.running;
  w.changed.notify_all();
}

// COM for the thread's shell and setup calls, balanced on the same thread.
class ComScope {
 public:
  explicit ComScope(platform::ISession& session) : session_(session), initialized_(session.ComInitialize()) {}
  ~ComScope() {
    if (initialized_) session_.ComUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  platform::ISession& session_;
  bool initialized_;
};

}  // namespace

namespace detail {

bool SpawnDetached(std::unique_ptr<ThreadBody> body) {
  WorkerCount& w = Workers();
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    ++w.running;
  }
  try {
    std::thread([body = std::move(body)]() mutable {
      body->Run();
      body.reset();
      WorkerEnded();
    }).detach();
    return true;
  } catch (const std::system_error&) {
    WorkerEnded();
    return false;
  }
}

}  // namespace detail

bool WaitForWorkerThreads(std::chrono::milliseconds limit) {
  WorkerCount& w = Workers();
  std::unique_lock<std::mutex> lock(w.mutex);
  return w.changed.wait_for(lock, limit, [&w] { return w.running == 0; });
}

int CThreadCommand::Run() {
  ComScope com(platform_.session);
  if (debugMode == 1) InsertMsg(commandLine_, kColourBlack);
  platform::ProcessOptions options;
  options.hidden = true;
  options.inheritHandles = false;
  options.standardOutput = nullptr;
  auto started = platform_.processes.Start(commandLine_, options);
  if (!started) return kChildNotStarted;
  started.value->Wait(std::nullopt);
  platform::Result<uint32_t> exitCode = started.value->ExitCode();
  return exitCode ? static_cast<int>(exitCode.value) : kExitCodeUnreadable;
}

void StartCommand(platform::Platform& platform, const std::wstring& commandLine) {
  StartSelfOwned(std::make_unique<CThreadCommand>(platform, commandLine));
}

OperationChoice ChoiceOf(const CApp& app) { return OperationChoice{app.setupMode, app.setupPortType}; }

bool IsLumatrixFamily(const std::wstring& usbName) {
  static constexpr std::array<const wchar_t*, 3> kFamily = {
      L"USBPRINT\\Lumatrix_A6B36A", L"USBPRINT\\Lumatrix_A877EB", L"USBPRINT\\Lumatrix_A773AB"};
  for (const wchar_t* id : kFamily) {
    if (EqualsIgnoreCase(usbName, id)) return true;
  }
  return false;
}

void CThreadOperation::Run() {
  // COM ends before the dialog is told to close: once it has closed, its
  // opener may take down what this run used.
  {
    ComScope com(platform_.session);
    Dispatch();
  }
  dialog_.PostClose();
}

void CThreadOperation::Dispatch() {
  switch (choice_.setupMode) {
    case kModeInstall:
      Install();
      break;
    case kModeUpgrade:
      engine_.UpgradePrinterDrivers();
      break;
    case kModeRemove:
      Remove();
      break;
    default:
      break;
  }
}

void CThreadOperation::Install() {
  bool installed = false;
  switch (choice_.setupPortType) {
    case kPortNetwork:
      installed = engine_.InstallNetworkPrinter();
      break;
    case kPortBluetooth:
      installed = engine_.InstallBluetoothPrinter();
      break;
    case kPortParallel:
    case kPortSerial:
    case kPortCustom: {
      const bool family = IsLumatrixFamily(DriverUsbName(engine_.SelectedDriver()));
      installed = engine_.InstallDriverForPort(family) && engine_.AddPrinterForModel();
      break;
    }
    default:  // USB, the Bluetooth adapter and any unknown port type
      installed = engine_.InstallByDeviceConsole();
      break;
  }
  if (installed) dialog_.SetSucceeded(1);
}

void CThreadOperation::Remove() {
  engine_.DeleteSelectedPrinters(portsToDelete_);
  engine_.DeleteSelectedDrivers();
  engine_.RemoveStaleUsbPrintDevices();
  for (const std::wstring& port : portsToDelete_) engine_.DeletePortIfStandardTcpIp(port);
  portsToDelete_.clear();
  // Devices whose drivers went away come back as unknown until the tree is
  // enumerated again; the tool's answer does not matter here.
  RunDevcon(platform_, L" rescan");
}

void StartOperation(platform::Platform& platform, const CApp& app, IEngineOperations& engine,
                    IOperationDialog& dialog) {
  if (!StartSelfOwned(std::make_unique<CThreadOperation>(platform, ChoiceOf(app), engine, dialog))) {
    dialog.PostClose();
  }
}

}  // namespace orvello
