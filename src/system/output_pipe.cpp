#include "system/output_pipe.h"

#include <array>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

#include "app/debug_mode.h"
#include "shell/message_log.h"
#include "system/events.h"

namespace orvello {

struct PipeReaderShared {
  explicit PipeReaderShared(platform::ICodePages& pages) : codePages(&pages) {}

  // Held while the reader converts and logs, and while it is abandoned, so
  // that after RemoveOutputPipe the reader never reaches code pages or log.
  std::mutex mutex;
  platform::ICodePages* codePages;
  bool abandoned = false;
  std::thread::id threadId;
  ManualResetEvent ended;
};

namespace {

struct OutputPipeState {
  std::mutex mutex;
  platform::IProcesses* processes = nullptr;
  std::shared_ptr<platform::IPipeWriteEnd> write;
  std::shared_ptr<platform::IPipeReadEnd> read;
  std::shared_ptr<PipeReaderShared> reader;
};

OutputPipeState& State() {
  static OutputPipeState state;
  return state;
}

struct ReaderCount {
  std::mutex mutex;
  std::condition_variable changed;
  int alive = 0;
};

ReaderCount& Readers() {
  static ReaderCount readers;
  return readers;
}

void ReaderEnded() {
  ReaderCount& r = Readers();
  std::lock_guard<std::mutex> lock(r.mutex);
  --r.alive;
  r.changed.notify_all();
}

bool SpawnReader(std::unique_ptr<CThreadPipe> reader) {
  {
    ReaderCount& r = Readers();
    std::lock_guard<std::mutex> lock(r.mutex);
    ++r.alive;
  }
  try {
    std::thread([reader = std::move(reader)]() mutable {
      reader->Run();
      reader.reset();
      ReaderEnded();
    }).detach();
    return true;
  } catch (const std::system_error&) {
    ReaderEnded();
    return false;
  }
}

}  // namespace

void CThreadPipe::Run() {
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->threadId = std::this_thread::get_id();
  }
  std::array<uint8_t, kBufferSize> buffer;
  for (;;) {
    buffer.fill(0);
    platform::Result<size_t> read = readEnd_->Read(std::span<uint8_t>(buffer.data(), kBufferSize - 1));
    if (!read || read.value == 0) break;
    std::lock_guard<std::mutex> lock(shared_->mutex);
    // An abandoned reader still drains the pipe, so that no child blocks on
    // a full pipe, but shows nothing.
    if (shared_->abandoned || debugMode != 1) continue;
    const char* bytes = reinterpret_cast<const char*>(buffer.data());
    std::string_view narrow(bytes, strnlen(bytes, read.value));
    std::wstring text = shared_->codePages->MultiByteToWide(platform::kCodePageAnsi, narrow);
    if (!text.empty()) InsertMsg(text, kColourBlack);
  }
  readEnd_.reset();
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->threadId = std::thread::id();
  }
  shared_->ended.Set();
}

bool InstallOutputPipe(platform::IProcesses& processes, platform::ICodePages& codePages) {
  OutputPipeState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.write) return true;

  platform::Result<platform::Pipe> pipe = processes.CreatePipe();
  if (!pipe || !pipe.value.read || !pipe.value.write) return false;
  std::shared_ptr<platform::IPipeWriteEnd> write = std::move(pipe.value.write);
  std::shared_ptr<platform::IPipeReadEnd> read = std::move(pipe.value.read);
  auto shared = std::make_shared<PipeReaderShared>(codePages);

  processes.RedirectStandardOutput(write.get());
  if (!SpawnReader(std::make_unique<CThreadPipe>(shared, read))) {
    processes.RedirectStandardOutput(nullptr);
    return false;
  }
  state.processes = &processes;
  state.write = std::move(write);
  state.read = std::move(read);
  state.reader = std::move(shared);
  return true;
}

bool RemoveOutputPipe(std::chrono::milliseconds limit) {
  OutputPipeState& state = State();
  std::shared_ptr<PipeReaderShared> reader;
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    // The standard output is pointed back first, so that it never names a
    // closed handle.
    if (state.processes && state.write) state.processes->RedirectStandardOutput(nullptr);
    state.write.reset();
    // The reader holds the read end as well; the handle closes when the
    // reader lets go of it, never under a read in progress.
    state.read.reset();
    state.processes = nullptr;
    reader = std::move(state.reader);
  }
  if (!reader) return true;
  // The reader has no message queue, so there is nothing to post to it: it
  // ends when the last write end closes.
  if (reader->ended.WaitFor(limit)) return true;
  std::lock_guard<std::mutex> lock(reader->mutex);
  reader->abandoned = true;
  return false;
}

std::shared_ptr<platform::IPipeWriteEnd> OutputPipeWriteEnd() {
  OutputPipeState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.write;
}

bool WaitForOutputPipeReaders(std::chrono::milliseconds limit) {
  ReaderCount& r = Readers();
  std::unique_lock<std::mutex> lock(r.mutex);
  return r.changed.wait_for(lock, limit, [&r] { return r.alive == 0; });
}

}  // namespace orvello
