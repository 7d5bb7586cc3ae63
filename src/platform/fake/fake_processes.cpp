#include "platform/fake/fake_processes.h"

#include <algorithm>
#include <chrono>

#include "platform/fake/fake_files.h"
#include "system/text.h"

namespace orvello::fake {

using platform::IPipeReadEnd;
using platform::IPipeWriteEnd;
using platform::IProcess;
using platform::Pipe;
using platform::ProcessOptions;
using platform::Result;
using platform::Status;
namespace err = platform::err;

namespace {
constexpr uint32_t kBrokenPipe = 109;     // ERROR_BROKEN_PIPE: every write end is closed
constexpr uint32_t kNoData = 232;         // ERROR_NO_DATA: the read end is closed
constexpr uint32_t kBadExeFormat = 193;   // ERROR_BAD_EXE_FORMAT
constexpr uint32_t kStillActive = 259;    // STILL_ACTIVE from GetExitCodeProcess

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view s) {
  std::vector<std::wstring> words;
  size_t i = 0, n = s.size();
  if (n == 0) return words;
  std::wstring first;
  if (s[0] == L'"') {
    for (i = 1; i < n && s[i] != L'"'; ++i) first.push_back(s[i]);
    if (i < n) ++i;
  } else {
    for (; i < n && !IsBlank(s[i]); ++i) first.push_back(s[i]);
  }
  words.push_back(std::move(first));
  for (;;) {
    while (i < n && IsBlank(s[i])) ++i;
    if (i >= n) break;
    std::wstring word;
    bool quoted = false;
    while (i < n) {
      wchar_t c = s[i];
      if (!quoted && IsBlank(c)) break;
      if (c == L'\\') {
        size_t count = 0;
        while (i < n && s[i] == L'\\') ++count, ++i;
        if (i < n && s[i] == L'"') {
          // 2n backslashes and a quote: n backslashes, the quote delimits;
          // 2n+1: n backslashes and a literal quote.
          word.append(count / 2, L'\\');
          if (count % 2) word.push_back(L'"'), ++i;
        } else {
          word.append(count, L'\\');
        }
        continue;
      }
      if (c == L'"') {
        if (quoted && i + 1 < n && s[i + 1] == L'"') {  // "" inside quotes is one literal quote
          word.push_back(L'"');
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      word.push_back(c);
      ++i;
    }
    words.push_back(std::move(word));
  }
  return words;
}

FakeProgram FakeProgram::Exits(uint32_t exitCode, std::string output) {
  FakeProgram p;
  p.run = [exitCode, output = std::move(output)](const std::wstring&) { return FakeProgramRun{exitCode, output}; };
  return p;
}

FakeProgram FakeProgram::FailsToStart(uint32_t error) {
  FakeProgram p;
  p.startError = error;
  return p;
}

struct FakeProcesses::PipeState {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<uint8_t> data;
  int writers = 1;  // open write handles, ours and those children inherited
  int readers = 1;
  bool ourWriteOpen = true;
  bool ourReadOpen = true;

  void Append(std::span<const uint8_t> bytes) {
    data.insert(data.end(), bytes.begin(), bytes.end());
    changed.notify_all();
  }
};

struct FakeProcesses::ProcessState {
  std::mutex mutex;
  std::condition_variable ended;
  bool exited = false;
  uint32_t exitCode = 0;
  std::vector<std::shared_ptr<PipeState>> heldWriteEnds;
  std::vector<std::shared_ptr<PipeState>> heldReadEnds;

  void Finish() {
    std::vector<std::shared_ptr<PipeState>> writes, reads;
    {
      std::lock_guard lock(mutex);
      if (exited) return;
      exited = true;
      writes.swap(heldWriteEnds);
      reads.swap(heldReadEnds);
    }
    for (auto& p : writes) {
      std::lock_guard lock(p->mutex);
      --p->writers;
      p->changed.notify_all();
    }
    for (auto& p : reads) {
      std::lock_guard lock(p->mutex);
      --p->readers;
    }
    ended.notify_all();
  }
};

namespace {

class FakePipeReadEnd : public IPipeReadEnd {
 public:
  explicit FakePipeReadEnd(std::shared_ptr<FakeProcesses::PipeState> s) : state_(std::move(s)) {}
  ~FakePipeReadEnd() override {
    std::lock_guard lock(state_->mutex);
    --state_->readers;
    state_->ourReadOpen = false;
  }
  Result<size_t> Read(std::span<uint8_t> buffer) override {
    auto state = state_;
    std::unique_lock lock(state->mutex);
    state->changed.wait(lock, [&] { return !state->data.empty() || state->writers == 0; });
    if (state->data.empty()) return Result<size_t>::Fail(kBrokenPipe);
    size_t n = std::min(buffer.size(), state->data.size());
    std::copy_n(state->data.begin(), n, buffer.begin());
    state->data.erase(state->data.begin(), state->data.begin() + static_cast<std::ptrdiff_t>(n));
    return Result<size_t>::Ok(n);
  }

 private:
  std::shared_ptr<FakeProcesses::PipeState> state_;
};

class FakePipeWriteEnd : public IPipeWriteEnd {
 public:
  explicit FakePipeWriteEnd(std::shared_ptr<FakeProcesses::PipeState> s) : state_(std::move(s)) {}
  ~FakePipeWriteEnd() override {
    std::lock_guard lock(state_->mutex);
    --state_->writers;
    state_->ourWriteOpen = false;
    state_->changed.notify_all();
  }
  Status Write(std::span<const uint8_t> bytes) override {
    std::lock_guard lock(state_->mutex);
    if (state_->readers == 0) return Status::Fail(kNoData);
    state_->Append(bytes);
    return Status::Ok();
  }
  const std::shared_ptr<FakeProcesses::PipeState>& state() const { return state_; }

 private:
  std::shared_ptr<FakeProcesses::PipeState> state_;
};

class FakeProcess : public IProcess {
 public:
  explicit FakeProcess(std::shared_ptr<FakeProcesses::ProcessState> s) : state_(std::move(s)) {}
  bool Wait(std::optional<uint32_t> timeoutMs) override {
    std::unique_lock lock(state_->mutex);
    auto done = [&] { return state_->exited; };
    if (!timeoutMs) {
      state_->ended.wait(lock, done);
      return true;
    }
    return state_->ended.wait_for(lock, std::chrono::milliseconds(*timeoutMs), done);
  }
  Result<uint32_t> ExitCode() override {
    std::lock_guard lock(state_->mutex);
    return Result<uint32_t>::Ok(state_->exited ? state_->exitCode : kStillActive);
  }

 private:
  std::shared_ptr<FakeProcesses::ProcessState> state_;
};

}  // namespace

FakeProcesses::FakeProcesses(FakeFiles& files)
    : files_(files), searchFolders_{L"C:\\Tools", L"C:\\Windows\\system32", L"C:\\Windows"} {}

FakeProcesses::~FakeProcesses() {
  for (auto& p : running_) p->Finish();
}

std::optional<std::wstring> FakeProcesses::Resolve(const std::wstring& commandLine, uint32_t& error) {
  std::wstring_view s = commandLine;
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  std::vector<std::wstring> candidates;
  if (!s.empty() && s.front() == L'"') {
    size_t close = s.find(L'"', 1);
    candidates.emplace_back(s.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1));
  } else {
    for (size_t i = 1; i <= s.size(); ++i)
      if ((i == s.size() || IsBlank(s[i])) && !IsBlank(s[i - 1])) candidates.emplace_back(s.substr(0, i));
  }
  error = err::kFileNotFound;
  if (candidates.size() == 1 && files_.IsDirectory(candidates[0])) {
    error = err::kAccessDenied;  // a folder named as the program
    return std::nullopt;
  }
  for (std::wstring name : candidates) {
    if (name.empty()) continue;
    size_t lastSeparator = name.find_last_of(L"\\/:");
    size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos || (lastSeparator != std::wstring::npos && dot < lastSeparator)) name += L".exe";
    std::vector<std::wstring> paths;
    if (lastSeparator != std::wstring::npos) {
      paths.push_back(name);
    } else {
      for (const auto& folder : searchFolders_) paths.push_back(folder + L"\\" + name);
    }
    for (const auto& path : paths) {
      if (!files_.Exists(path)) continue;
      if (files_.IsDirectory(path)) {
        error = err::kAccessDenied;
        return std::nullopt;
      }
      return files_.FullPathName(path);
    }
  }
  return std::nullopt;
}

Result<std::unique_ptr<IProcess>> FakeProcesses::Start(const std::wstring& commandLine, const ProcessOptions& options) {
  using R = Result<std::unique_ptr<IProcess>>;
  std::unique_lock lock(mutex_);
  StartedProcess record{commandLine, L"", options.hidden, options.inheritHandles, options.standardOutput != nullptr, 0};
  auto fail = [&](uint32_t error) {
    record.error = error;
    started_.push_back(record);
    return R::Fail(error);
  };
  auto* output = dynamic_cast<FakePipeWriteEnd*>(options.standardOutput);
  if (options.standardOutput && !output) return fail(err::kInvalidHandle);
  uint32_t error = 0;
  auto program = Resolve(commandLine, error);
  if (!program) return fail(error);
  record.program = *program;
  auto script = std::find_if(programs_.begin(), programs_.end(),
                             [&](const auto& p) { return EqualsIgnoreCase(p.first, *program); });
  if (script == programs_.end()) return fail(kBadExeFormat);
  if (script->second.startError) return fail(*script->second.startError);
  FakeProgram behaviour = script->second;
  started_.push_back(record);

  auto process = std::make_shared<ProcessState>();
  if (behaviour.keepsRunning && options.inheritHandles) {
    // The child inherits every inheritable pipe end that is open here.
    std::erase_if(pipes_, [](const auto& weak) { return weak.expired(); });
    for (const auto& weak : pipes_) {
      auto pipe = weak.lock();
      std::lock_guard pipeLock(pipe->mutex);
      if (pipe->ourWriteOpen) ++pipe->writers, process->heldWriteEnds.push_back(pipe);
      if (pipe->ourReadOpen) ++pipe->readers, process->heldReadEnds.push_back(pipe);
    }
  }
  if (behaviour.keepsRunning) running_.push_back(process);
  lock.unlock();

  FakeProgramRun run = behaviour.run ? behaviour.run(commandLine) : FakeProgramRun{};
  // Without inheritance the child's standard handles mean nothing in it; its output is lost.
  if (output && options.inheritHandles && !run.output.empty()) {
    auto& pipe = output->state();
    std::lock_guard pipeLock(pipe->mutex);
    if (pipe->readers > 0)
      pipe->Append(std::span(reinterpret_cast<const uint8_t*>(run.output.data()), run.output.size()));
  }
  {
    std::lock_guard stateLock(process->mutex);
    process->exitCode = run.exitCode;
  }
  if (!behaviour.keepsRunning) process->Finish();
  return R::Ok(std::make_unique<FakeProcess>(process));
}

Result<Pipe> FakeProcesses::CreatePipe() {
  auto state = std::make_shared<PipeState>();
  {
    std::lock_guard lock(mutex_);
    pipes_.push_back(state);
  }
  Pipe pipe;
  pipe.read = std::make_unique<FakePipeReadEnd>(state);
  pipe.write = std::make_unique<FakePipeWriteEnd>(state);
  return Result<Pipe>::Ok(std::move(pipe));
}

void FakeProcesses::RedirectStandardOutput(IPipeWriteEnd* writeEnd) {
  std::lock_guard lock(mutex_);
  standardOutput_ = writeEnd;
}

void FakeProcesses::AddProgram(const std::wstring& path, FakeProgram program) {
  if (!files_.Exists(path)) files_.AddFile(path, std::string_view("MZ"));
  ScriptProgram(path, std::move(program));
}

void FakeProcesses::ScriptProgram(const std::wstring& path, FakeProgram program) {
  std::wstring full = files_.FullPathName(path).value_or(path);
  std::lock_guard lock(mutex_);
  std::erase_if(programs_, [&](const auto& p) { return EqualsIgnoreCase(p.first, full); });
  programs_.emplace_back(full, std::move(program));
}

void FakeProcesses::SetSearchFolders(std::vector<std::wstring> folders) {
  std::lock_guard lock(mutex_);
  searchFolders_ = std::move(folders);
}

std::vector<StartedProcess> FakeProcesses::Started() {
  std::lock_guard lock(mutex_);
  return started_;
}

platform::IPipeWriteEnd* FakeProcesses::StandardOutput() {
  std::lock_guard lock(mutex_);
  return standardOutput_;
}

size_t FakeProcesses::RunningCount() {
  std::lock_guard lock(mutex_);
  return static_cast<size_t>(std::count_if(running_.begin(), running_.end(), [](const auto& p) {
    std::lock_guard stateLock(p->mutex);
    return !p->exited;
  }));
}

void FakeProcesses::FinishRunning() {
  std::vector<std::shared_ptr<ProcessState>> running;
  {
    std::lock_guard lock(mutex_);
    running.swap(running_);
  }
  for (auto& p : running) p->Finish();
}

}  // namespace orvello::fake
