#include "platform/fake/fake_session.h"

#include <algorithm>

#include "system/text.h"

namespace orvello::fake {

using platform::NamedMutex;
using platform::Status;
using platform::WinsockStart;

struct FakeSession::MutexTable {
  std::mutex mutex;
  std::map<std::wstring, int> open;  // name -> open handles
};

namespace {

class FakeNamedMutex : public platform::INamedMutex {
 public:
  FakeNamedMutex(std::shared_ptr<FakeSession::MutexTable> table, std::wstring key)
      : table_(std::move(table)), key_(std::move(key)) {}
  ~FakeNamedMutex() override {
    std::lock_guard lock(table_->mutex);
    if (--table_->open[key_] == 0) table_->open.erase(key_);
  }

 private:
  std::shared_ptr<FakeSession::MutexTable> table_;
  std::wstring key_;
};

// The button a message box of these flags answers with when Enter is pressed.
int DefaultAnswer(uint32_t flags) {
  static const std::vector<int> buttons[] = {
      {1},        // MB_OK
      {1, 2},     // MB_OKCANCEL
      {3, 4, 5},  // MB_ABORTRETRYIGNORE
      {6, 7, 2},  // MB_YESNOCANCEL
      {6, 7},     // MB_YESNO
      {4, 2},     // MB_RETRYCANCEL
      {2, 10, 11} // MB_CANCELTRYCONTINUE
  };
  uint32_t type = flags & 0xF;
  if (type >= std::size(buttons)) return 1;
  size_t index = (flags >> 8) & 0xF;  // MB_DEFBUTTON2 = 0x100, ...
  const auto& b = buttons[type];
  return b[index < b.size() ? index : 0];
}

}  // namespace

FakeSession::FakeSession() : mutexes_(std::make_shared<MutexTable>()) {}
FakeSession::~FakeSession() = default;

NamedMutex FakeSession::CreateNamedMutex(const std::wstring& name) {
  std::lock_guard lock(mutexes_->mutex);
  const std::wstring& key = name;
  NamedMutex result;
  result.alreadyExisted = ++mutexes_->open[key] > 1;
  result.handle = std::make_unique<FakeNamedMutex>(mutexes_, key);
  return result;
}

uint32_t FakeSession::RegisterWindowMessage(const std::wstring& name) {
  std::lock_guard lock(mutex_);
  auto [it, added] = messages_.try_emplace(ToUpper(name), nextMessage_);
  if (added) ++nextMessage_;
  return it->second;
}

void FakeSession::BroadcastToApplications(uint32_t message) {
  std::lock_guard lock(mutex_);
  broadcasts_.push_back(message);
}

void FakeSession::SetOwnerWindow(uintptr_t window) {
  std::lock_guard lock(mutex_);
  owner_ = window;
}

int FakeSession::MessageBox(const std::wstring& text, const std::wstring& title, uint32_t flags) {
  std::lock_guard lock(mutex_);
  int answer = DefaultAnswer(flags);
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  messageBoxes_.push_back({text, title, flags, owner_, answer});
  return answer;
}

Status FakeSession::ShellExecute(const std::wstring& verb, const std::wstring& file, const std::wstring& parameters) {
  std::lock_guard lock(mutex_);
  shellExecutes_.push_back({verb, file, parameters});
  if (shellExecuteError_) return Status::Fail(*shellExecuteError_);
  return Status::Ok();
}

WinsockStart FakeSession::WinsockStartup(uint16_t requestedVersion) {
  std::lock_guard lock(mutex_);
  WinsockStart answer;
  if (winsockAnswer_) {
    answer = *winsockAnswer_;
  } else {
    // Winsock 2.2 offers the requested version, or its own highest one.
    uint8_t major = requestedVersion & 0xFF, minor = requestedVersion >> 8;
    bool above = major > 2 || (major == 2 && minor > 2);
    answer.version = above ? 0x0202 : requestedVersion;
  }
  if (answer.error == 0) ++winsockStartups_;
  return answer;
}

void FakeSession::WinsockCleanup() {
  std::lock_guard lock(mutex_);
  ++winsockCleanups_;
}

void FakeSession::QueueMessageBoxAnswer(int answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(answer);
}

void FakeSession::SetShellExecuteError(std::optional<uint32_t> error) {
  std::lock_guard lock(mutex_);
  shellExecuteError_ = error;
}

void FakeSession::SetWinsockAnswer(std::optional<WinsockStart> answer) {
  std::lock_guard lock(mutex_);
  winsockAnswer_ = answer;
}

bool FakeSession::MutexExists(const std::wstring& name) {
  std::lock_guard lock(mutexes_->mutex);
  return mutexes_->open.count(name) > 0;
}

std::vector<uint32_t> FakeSession::Broadcasts() {
  std::lock_guard lock(mutex_);
  return broadcasts_;
}

std::vector<MessageBoxCall> FakeSession::MessageBoxes() {
  std::lock_guard lock(mutex_);
  return messageBoxes_;
}

std::vector<ShellExecuteCall> FakeSession::ShellExecutes() {
  std::lock_guard lock(mutex_);
  return shellExecutes_;
}

uintptr_t FakeSession::OwnerWindow() {
  std::lock_guard lock(mutex_);
  return owner_;
}

int FakeSession::WinsockStartups() {
  std::lock_guard lock(mutex_);
  return winsockStartups_;
}

int FakeSession::WinsockCleanups() {
  std::lock_guard lock(mutex_);
  return winsockCleanups_;
}

bool FakeSession::ComInitialize() {
  std::lock_guard lock(mutex_);
  ++comInitializeCalls_;
  if (comInitializeError_) return false;
  ++comDepth_[std::this_thread::get_id()];
  return true;
}

void FakeSession::ComUninitialize() {
  std::lock_guard lock(mutex_);
  auto it = comDepth_.find(std::this_thread::get_id());
  if (it == comDepth_.end()) return;  // unbalanced: CoUninitialize ignores it
  if (--it->second == 0) comDepth_.erase(it);
}

Status FakeSession::InvokePrinterCommand(uint32_t action, const std::wstring& printerName) {
  std::lock_guard lock(mutex_);
  printerCommands_.push_back({action, printerName, owner_});
  if (printerCommandError_) return Status::Fail(*printerCommandError_);
  return Status::Ok();
}

void FakeSession::SetComInitializeError(std::optional<uint32_t> hresult) {
  std::lock_guard lock(mutex_);
  comInitializeError_ = hresult;
}

void FakeSession::SetPrinterCommandError(std::optional<uint32_t> error) {
  std::lock_guard lock(mutex_);
  printerCommandError_ = error;
}

int FakeSession::ComDepth(std::thread::id thread) {
  std::lock_guard lock(mutex_);
  auto it = comDepth_.find(thread);
  return it == comDepth_.end() ? 0 : it->second;
}

int FakeSession::ComInitializeCalls() {
  std::lock_guard lock(mutex_);
  return comInitializeCalls_;
}

std::vector<PrinterCommandCall> FakeSession::PrinterCommands() {
  std::lock_guard lock(mutex_);
  return printerCommands_;
}

}  // namespace orvello::fake
