#include "log/my_log.h"

#include <condition_variable>
#include <cstdarg>
#include <cstdint>
#include <mutex>
#include <vector>

#include "system/events.h"
#include "system/text.h"

namespace orvello {

namespace {

// GetModuleFileNameW into a buffer of MAX_PATH characters keeps 259 of them.
constexpr size_t kModulePathLimit = 259;
// How long destruction gives the writer to finish its batch.
constexpr auto kWriterGrace = std::chrono::milliseconds(500);

constexpr uint8_t kByteOrderMark[] = {0xFF, 0xFE};

}  // namespace

struct CMyLog::State {
  platform::IFiles* files = nullptr;
  platform::ISystemFacts* system = nullptr;
  std::wstring programFolder;

  std::wstring folder;  // ends with a backslash
  std::wstring name;
  int opened = 0;
  int encipher = 0;  // enciphered lines are never asked for
  int running = 1;
  AutoResetEvent linesWaiting;
  ManualResetEvent stop;
  std::vector<std::wstring> queue;
  mutable std::mutex queueLock;

  // Progress, for Flush: lines queued and lines written or dropped.
  uint64_t queued = 0;
  uint64_t handled = 0;
  std::mutex progressLock;
  std::condition_variable progress;
  ManualResetEvent writerEnded;
};

namespace {

std::wstring LogFolderFor(std::wstring programPath, bool isFolder) {
  if (isFolder) {
    if (!programPath.empty() && programPath.back() != L'\\') programPath += L'\\';
    return programPath + L"Log\\";
  }
  if (programPath.size() > kModulePathLimit) programPath.resize(kModulePathLimit);
  const size_t slash = programPath.rfind(L'\\');
  programPath.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return programPath + L"Log\\";
}

}  // namespace

void CMyLog::WriteBatch(State& state) {
  {
    // A wake-up for lines an earlier batch already took: the file is not
    // touched (another reader may hold it without sharing meanwhile).
    std::lock_guard lock(state.queueLock);
    if (state.queue.empty()) return;
  }
  // The batch goes to the file of the day on which it starts.
  const platform::LocalTime now = state.system->Now();
  const std::wstring date = FormatText(L"%04d-%02d-%02d", now.year, now.month, now.day);
  const std::wstring path = FormatText(L"%s\\%s %s.log", state.folder.c_str(), state.name.c_str(), date.c_str());

  auto file = state.files->Open(path, platform::OpenMode::CreateNew);
  const bool created = file.ok();
  if (!created && file.error == platform::err::kFileExists)
    file = state.files->Open(path, platform::OpenMode::OpenAlways);

  uint64_t lines = 0;
  if (!file.ok() || !file.value) {
    std::lock_guard lock(state.queueLock);
    lines = state.queue.size();
    state.queue.clear();
  } else {
    platform::IFile& out = *file.value;
    if (created) out.Write(kByteOrderMark);
    out.SeekToEnd();
    {
      std::lock_guard lock(state.queueLock);
      for (const std::wstring& line : state.queue) out.Write(WideToUtf16Bytes(line + L"\r\n", false));
      lines = state.queue.size();
      state.queue.clear();
    }
    out.SetEndOfFile();
    file.value.reset();
  }
  {
    std::lock_guard lock(state.progressLock);
    state.handled += lines;
  }
  state.progress.notify_all();
}

void CMyLog::WriterLoop(std::shared_ptr<State> state) {
  // The lines-waiting event is listed first: a batch queued before the stop
  // is still written.
  while (WaitAny(state->linesWaiting, state->stop) == 0) WriteBatch(*state);
  state->writerEnded.Set();
}

CMyLog::CMyLog() : state_(std::make_shared<State>()) {}

CMyLog::CMyLog(platform::IFiles& files, platform::ISystemFacts& system, std::wstring programFolder) : CMyLog() {
  state_->files = &files;
  state_->system = &system;
  state_->programFolder = std::move(programFolder);
}

CMyLog::~CMyLog() { Stop(); }

void CMyLog::Stop() {
  {
    std::lock_guard lock(state_->queueLock);
    state_->running = 0;
  }
  if (!writer_.joinable()) return;
  state_->stop.Set();
  if (state_->writerEnded.WaitFor(kWriterGrace)) {
    writer_.join();
  } else {
    // A writer stuck in the file system cannot be ended from outside; it
    // keeps its share of the state alive and goes when the process does.
    writer_.detach();
  }
}

CMyLog& CMyLog::Instance() {
  static CMyLog instance;
  return instance;
}

void CMyLog::Bind(platform::Platform& platform) {
  State& state = *Instance().state_;
  std::lock_guard lock(state.queueLock);
  if (state.opened) return;
  state.files = &platform.files;
  state.system = &platform.system;
}

void CMyLog::Open(const std::wstring& name) {
  State& state = *state_;
  std::lock_guard lock(state.queueLock);
  if (state.opened || !state.files || !state.system) return;
  const bool steered = !state.programFolder.empty();
  state.folder = LogFolderFor(steered ? state.programFolder : state.system->ModuleFileName(), steered);
  // A missing folder is not reported: the batches are dropped instead.
  state.files->CreateDirectory(state.folder);
  state.name = name;
  state.opened = 1;
  state.encipher = 0;
  writer_ = std::thread(WriterLoop, state_);
}

void CMyLog::WriteLine(const std::wstring& text) {
  State& state = *state_;
  {
    std::lock_guard lock(state.queueLock);
    if (!state.opened) return;
    // The time the line was queued, not the time it reaches the file.
    const platform::LocalTime t = state.system->Now();
    state.queue.push_back(FormatText(L"%04d-%02d-%02d %02d:%02d:%02d.%03d : %s", t.year, t.month, t.day, t.hour,
                                     t.minute, t.second, t.milliseconds, text.c_str()));
    ++state.queued;
  }
  state.linesWaiting.Set();
}

void CMyLog::WriteFormat(const wchar_t* format, ...) {
  if (!opened()) return;
  va_list args;
  va_start(args, format);
  std::wstring text = FormatTextV(format, args);
  va_end(args);
  WriteLine(text);
}

bool CMyLog::opened() const {
  std::lock_guard lock(state_->queueLock);
  return state_->opened == 1;
}

std::wstring CMyLog::folder() const {
  std::lock_guard lock(state_->queueLock);
  return state_->folder;
}

std::wstring CMyLog::name() const {
  std::lock_guard lock(state_->queueLock);
  return state_->name;
}

bool CMyLog::Flush(std::chrono::milliseconds limit) {
  State& state = *state_;
  uint64_t target = 0;
  {
    std::lock_guard lock(state.queueLock);
    target = state.queued;
  }
  std::unique_lock lock(state.progressLock);
  return state.progress.wait_for(lock, limit, [&] { return state.handled >= target; });
}

}  // namespace orvello
