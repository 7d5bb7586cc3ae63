#pragma once
// Child processes and pipes of a test machine.
//
// A program is a file on the fake disk plus a script saying what it does.
// Start resolves the program the way CreateProcessW does with no application
// name: a quoted first word is the program; an unquoted one is tried at each
// space from the left ("C:\Program Files\x y.exe" tries "C:\Program.exe"
// first); ".exe" is added to a name without extension; a bare name is looked
// for in the search folders. A missing program fails with 2, a file without a
// script with 193 (not a valid Win32 application).
//
// Output reaches a pipe only when the pipe's write end is given as standard
// output and handles are inherited, as on Windows. A child that inherits
// handles holds every inheritable pipe end this process has open for as long
// as it runs, so a reader sees the end of a pipe only when the last such
// child has ended and our own write end is closed. Scripted programs end at
// once unless they keep running (then FinishRunning ends them).
//
// Unlike a real pipe, the in-memory pipe has no size limit: a write never
// waits for a reader.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/processes.h"

namespace orvello::fake {

class FakeFiles;

// Splits a command line into words as CommandLineToArgvW does: the first
// word ends at the next quote when it starts with one, else at white space;
// later words follow the C runtime's rules for quotes and backslashes.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

struct FakeProgramRun {
  uint32_t exitCode = 0;
  std::string output;  // bytes written to standard output
};

struct FakeProgram {
  // What the program does with its full command line.
  std::function<FakeProgramRun(const std::wstring& commandLine)> run;
  std::optional<uint32_t> startError;  // CreateProcessW fails with this code
  bool keepsRunning = false;           // runs until FakeProcesses::FinishRunning

  static FakeProgram Exits(uint32_t exitCode, std::string output = {});
  static FakeProgram FailsToStart(uint32_t error);
};

struct StartedProcess {
  std::wstring commandLine;
  std::wstring program;  // the file that was run, "" when none was found
  bool hidden = false;
  bool inheritHandles = false;
  bool hadStandardOutput = false;
  uint32_t error = 0;    // 0 when the process started
};

class FakeProcesses : public platform::IProcesses {
 public:
  explicit FakeProcesses(FakeFiles& files);
  ~FakeProcesses() override;

  platform::Result<std::unique_ptr<platform::IProcess>> Start(const std::wstring& commandLine,
                                                              const platform::ProcessOptions& options) override;
  platform::Result<platform::Pipe> CreatePipe() override;
  void RedirectStandardOutput(platform::IPipeWriteEnd* writeEnd) override;

  // Puts the program file on the disk (unless it is there) and scripts it.
  void AddProgram(const std::wstring& path, FakeProgram program);
  // Scripts a program whose file comes from elsewhere (e.g. copied by the core).
  void ScriptProgram(const std::wstring& path, FakeProgram program);
  // Where a bare program name is looked for; the program's folder, the
  // current folder, "C:\Windows\system32" and "C:\Windows" at first.
  void SetSearchFolders(std::vector<std::wstring> folders);

  // Every CreateProcessW call, in order, including those that failed.
  std::vector<StartedProcess> Started();
  // The write end the program's standard output points to, null for the original.
  platform::IPipeWriteEnd* StandardOutput();
  size_t RunningCount();
  // Ends every program still running with its scripted exit code.
  void FinishRunning();

  struct PipeState;
  struct ProcessState;

 private:
  std::optional<std::wstring> Resolve(const std::wstring& commandLine, uint32_t& error);

  FakeFiles& files_;
  std::mutex mutex_;
  std::vector<std::pair<std::wstring, FakeProgram>> programs_;
  std::vector<std::wstring> searchFolders_;
  std::vector<StartedProcess> started_;
  std::vector<std::weak_ptr<PipeState>> pipes_;
  std::vector<std::shared_ptr<ProcessState>> running_;
  platform::IPipeWriteEnd* standardOutput_ = nullptr;
};

}  // namespace orvello::fake
