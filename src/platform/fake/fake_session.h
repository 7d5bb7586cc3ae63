#pragma once
// The desktop session of a test machine: named mutexes (names compare with
// letter case, as CreateMutexW's do), registered messages numbered from
// 0xC000 (names compare without letter case, as atoms do), and logs of
// broadcasts, message boxes and shell commands.
// Message boxes answer from a queue the test fills; with the queue empty
// they answer with their default button, as a user pressing Enter would.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/session.h"

namespace orvello::fake {

struct MessageBoxCall {
  std::wstring text;
  std::wstring title;
  uint32_t flags = 0;
  uintptr_t owner = 0;
  int answer = 0;
};

struct PrinterCommandCall {
  uint32_t action = 0;
  std::wstring printerName;
  uintptr_t owner = 0;
};

struct ShellExecuteCall {
  std::wstring verb;
  std::wstring file;
  std::wstring parameters;
};

class FakeSession : public platform::ISession {
 public:
  FakeSession();
  ~FakeSession() override;

  platform::NamedMutex CreateNamedMutex(const std::wstring& name) override;
  uint32_t RegisterWindowMessage(const std::wstring& name) override;
  void BroadcastToApplications(uint32_t message) override;
  void SetOwnerWindow(uintptr_t window) override;
  int MessageBox(const std::wstring& text, const std::wstring& title, uint32_t flags) override;
  platform::Status ShellExecute(const std::wstring& verb, const std::wstring& file,
                                const std::wstring& parameters) override;
  platform::WinsockStart WinsockStartup(uint16_t requestedVersion) override;
  void WinsockCleanup() override;
  // COM counts per thread, as CoInitialize does: every successful call,
  // S_FALSE for a thread already in the apartment included, needs its
  // CoUninitialize.
  bool ComInitialize() override;
  void ComUninitialize() override;
  platform::Status InvokePrinterCommand(uint32_t action, const std::wstring& printerName) override;

  // Arranging.
  void QueueMessageBoxAnswer(int answer);
  void SetShellExecuteError(std::optional<uint32_t> error);
  // What WSAStartup answers; nullopt: success with the requested version up to 2.2.
  void SetWinsockAnswer(std::optional<platform::WinsockStart> answer);
  // CoInitialize fails with this HRESULT (e.g. RPC_E_CHANGED_MODE); nullopt: succeeds.
  void SetComInitializeError(std::optional<uint32_t> hresult);
  void SetPrinterCommandError(std::optional<uint32_t> error);

  // Inspecting.
  bool MutexExists(const std::wstring& name);
  std::vector<uint32_t> Broadcasts();
  std::vector<MessageBoxCall> MessageBoxes();
  std::vector<ShellExecuteCall> ShellExecutes();
  uintptr_t OwnerWindow() override;
  // Open CoInitialize calls of a thread (0 when it is not in an apartment).
  int ComDepth(std::thread::id thread);
  int ComInitializeCalls();
  std::vector<PrinterCommandCall> PrinterCommands();
  int WinsockStartups();  // successful WSAStartup calls
  int WinsockCleanups();

  struct MutexTable;

 private:
  std::mutex mutex_;
  std::shared_ptr<MutexTable> mutexes_;
  std::map<std::wstring, uint32_t> messages_;  // upper-case name
  uint32_t nextMessage_ = 0xC000;
  std::vector<uint32_t> broadcasts_;
  uintptr_t owner_ = 0;
  std::deque<int> answers_;
  std::vector<MessageBoxCall> messageBoxes_;
  std::optional<uint32_t> shellExecuteError_;
  std::vector<ShellExecuteCall> shellExecutes_;
  std::optional<platform::WinsockStart> winsockAnswer_;
  int winsockStartups_ = 0;
  int winsockCleanups_ = 0;
  std::optional<uint32_t> comInitializeError_;
  std::map<std::thread::id, int> comDepth_;
  int comInitializeCalls_ = 0;
  std::optional<uint32_t> printerCommandError_;
  std::vector<PrinterCommandCall> printerCommands_;
};

}  // namespace orvello::fake
