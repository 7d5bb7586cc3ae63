#pragma once
// The program's standard output as a pipe: child processes that the
// program starts write into it too, and one reader thread drains it, in
// debug mode into the message log. The pipe exists from the main window's
// start until it closes.
#include <chrono>
#include <memory>

#include "platform/code_pages.h"
#include "platform/processes.h"

namespace orvello {

// How long RemoveOutputPipe waits for the reader. A child process that
// still holds the inherited write end keeps the pipe open; the reader is
// then left to finish on its own.
inline constexpr std::chrono::milliseconds kOutputPipeReaderLimit{2000};

// Creates an inheritable pipe, makes its write end the standard output and
// starts the reader. False (and nothing changed) when the pipe or the
// reader cannot be made. A second call while the pipe exists does nothing.
// `processes` and `codePages` must stay until RemoveOutputPipe has returned.
bool InstallOutputPipe(platform::IProcesses& processes, platform::ICodePages& codePages);

// Restores the standard output, closes both ends and waits up to `limit`
// for the reader. True when the reader has ended (or there was none); when
// it has not, it is abandoned: it drains the pipe to its end but no longer
// touches the message log or the code pages.
bool RemoveOutputPipe(std::chrono::milliseconds limit = kOutputPipeReaderLimit);

// The write end that child processes get as standard output and standard
// error; null while there is no pipe. Holding it keeps the end open.
std::shared_ptr<platform::IPipeWriteEnd> OutputPipeWriteEnd();

// Waits until every reader thread, abandoned ones included, has ended;
// false when one was still running after `limit`.
bool WaitForOutputPipeReaders(std::chrono::milliseconds limit);

// What the reader shares with the pipe state; it outlives whichever of the
// two lets go last.
struct PipeReaderShared;

class CThreadPipe {
 public:
  static constexpr size_t kBufferSize = 4096;

  CThreadPipe(std::shared_ptr<PipeReaderShared> shared, std::shared_ptr<platform::IPipeReadEnd> readEnd)
      : shared_(std::move(shared)), readEnd_(std::move(readEnd)) {}

  // Reads until the pipe ends; in debug mode each read becomes one message.
  void Run();

 private:
  std::shared_ptr<PipeReaderShared> shared_;
  std::shared_ptr<platform::IPipeReadEnd> readEnd_;
};

}  // namespace orvello
