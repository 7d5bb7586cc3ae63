#pragma once
// Worker threads that own themselves: a thread object is handed over to its
// thread when it starts and is destroyed there when its run ends, so the
// starter keeps nothing. CThreadCommand runs one hidden command line;
// CThreadOperation carries out the prepared installation, update or removal
// while the busy dialog is shown and closes that dialog when it is done.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/driver_ref.h"
#include "platform/platform.h"

namespace orvello {

class CApp;

// Starts `Run` of the object on a thread of its own that destroys the object
// afterwards. False when no thread could be made; the object is gone then
// too, unrun.
template <class T>
bool StartSelfOwned(std::unique_ptr<T> object);

// Waits until every thread started by StartSelfOwned (StartCommand,
// StartOperation) has ended; false when some still ran after `limit`.
bool WaitForWorkerThreads(std::chrono::milliseconds limit);

class CThreadCommand {
 public:
  CThreadCommand(platform::Platform& platform, std::wstring commandLine)
      : platform_(platform), commandLine_(std::move(commandLine)) {}

  // Runs the command hidden, without standard handles, and waits for it:
  // the exit code, -1 when it cannot be read, -2 when the command did not start.
  int Run();

 private:
  platform::Platform& platform_;
  std::wstring commandLine_;
};

// Runs the command line on its own thread; returns at once.
void StartCommand(platform::Platform& platform, const std::wstring& commandLine);

// What the operation worker needs from the busy dialog (CDlgLoading).
class IOperationDialog {
 public:
  virtual ~IOperationDialog() = default;
  // The dialog's `succeeded` flag, read by its opener after it closed.
  virtual void SetSucceeded(int value) = 0;
  // PostMessage(dialog window, WM_CLOSE, 0, 0).
  virtual void PostClose() = 0;
};

// The installation engine's operations behind the worker's dispatch. Each
// reports its own progress and failures in the message log.
class IEngineOperations {
 public:
  virtual ~IEngineOperations() = default;
  // Installations; true when the printer is installed.
  virtual bool InstallNetworkPrinter() = 0;     // TCP/IP port, driver, printer
  virtual bool InstallBluetoothPrinter() = 0;   // pairing, serial port, driver, printer
  virtual bool InstallByDeviceConsole() = 0;    // Plug and Play through the device console
  // The catalogue model of the printer being set up (`selected.driver`).
  virtual DriverRef SelectedDriver() = 0;
  // The driver for a parallel, serial or custom port: the legacy method for
  // the Lumatrix family, otherwise the driver-store method.
  virtual bool InstallDriverForPort(bool lumatrixFamily) = 0;
  virtual bool AddPrinterForModel() = 0;
  // Update.
  virtual void UpgradePrinterDrivers() = 0;
  // Removal: the chosen printers (their ports are appended to the list),
  // the chosen drivers, stale USB printer devices, one port.
  virtual void DeleteSelectedPrinters(std::vector<std::wstring>& portsToDelete) = 0;
  virtual void DeleteSelectedDrivers() = 0;
  virtual void RemoveStaleUsbPrintDevices() = 0;
  virtual void DeletePortIfStandardTcpIp(const std::wstring& portName) = 0;
};

// The wizard's choice the worker dispatches on (`setupMode`, `setupPortType`).
struct OperationChoice {
  int32_t setupMode = 0;
  int32_t setupPortType = 0;
};
OperationChoice ChoiceOf(const CApp& app);

// Models of the Lumatrix family take the legacy driver installation; their
// hardware id is compared ignoring letter case.
bool IsLumatrixFamily(const std::wstring& usbName);

class CThreadOperation {
 public:
  CThreadOperation(platform::Platform& platform, OperationChoice choice, IEngineOperations& engine,
                   IOperationDialog& dialog)
      : platform_(platform), choice_(choice), engine_(engine), dialog_(dialog) {}

  // The whole run: the dispatched work, then the dialog is told to close.
  void Run();

 private:
  void Dispatch();
  void Install();
  void Remove();

  platform::Platform& platform_;
  OperationChoice choice_;
  IEngineOperations& engine_;
  IOperationDialog& dialog_;
  std::vector<std::wstring> portsToDelete_;
};

// Starts the worker for the dialog; called once the dialog's window exists.
// When no thread can be made the dialog is closed at once, so that its
// modal loop does not wait for ever.
void StartOperation(platform::Platform& platform, const CApp& app, IEngineOperations& engine,
                    IOperationDialog& dialog);

// ---------------------------------------------------------------------------

namespace detail {

struct ThreadBody {
  virtual ~ThreadBody() = default;
  virtual void Run() = 0;
};

template <class T>
struct OwnedBody final : ThreadBody {
  explicit OwnedBody(std::unique_ptr<T> o) : object(std::move(o)) {}
  void Run() override {
    object->Run();
    object.reset();
  }
  std::unique_ptr<T> object;
};

// Runs the body on a detached thread that destroys it at the end; false
// (and the body destroyed unrun) when no thread could be made.
bool SpawnDetached(std::unique_ptr<ThreadBody> body);

}  // namespace detail

template <class T>
bool StartSelfOwned(std::unique_ptr<T> object) {
  return detail::SpawnDetached(std::make_unique<detail::OwnedBody<T>>(std::move(object)));
}

}  // namespace orvello
