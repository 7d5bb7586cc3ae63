#pragma once
// Child processes and anonymous pipes, in the shape of CreateProcessW and
// CreatePipe. The program's standard output can be redirected into a pipe
// (SetStdHandle) so that child processes and the program share one reader.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/result.h"

namespace orvello::platform {

class IPipeReadEnd {
 public:
  virtual ~IPipeReadEnd() = default;
  // ReadFile: at most buffer.size() bytes; 0 bytes or an error ends the pipe (109 = broken pipe).
  virtual Result<size_t> Read(std::span<uint8_t> buffer) = 0;
};

class IPipeWriteEnd {
 public:
  virtual ~IPipeWriteEnd() = default;
  virtual Status Write(std::span<const uint8_t> bytes) = 0;
};

struct Pipe {
  std::unique_ptr<IPipeReadEnd> read;
  std::unique_ptr<IPipeWriteEnd> write;
};

struct ProcessOptions {
  bool hidden = true;               // STARTF_USESHOWWINDOW with SW_HIDE
  bool inheritHandles = false;      // bInheritHandles
  IPipeWriteEnd* standardOutput = nullptr;  // STARTF_USESTDHANDLES: output and error
};

class IProcess {
 public:
  virtual ~IProcess() = default;  // closes the process and thread handles
  // WaitForSingleObject; nullopt means infinite. True when the process ended.
  virtual bool Wait(std::optional<uint32_t> timeoutMs) = 0;
  // GetExitCodeProcess.
  virtual Result<uint32_t> ExitCode() = 0;
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;
  // CreateProcessW with no application name and this command line.
  virtual Result<std::unique_ptr<IProcess>> Start(const std::wstring& commandLine,
                                                  const ProcessOptions& options) = 0;
  // CreatePipe with inheritable handles.
  virtual Result<Pipe> CreatePipe() = 0;
  // SetStdHandle(STD_OUTPUT_HANDLE, ...); nullptr restores the original handle.
  virtual void RedirectStandardOutput(IPipeWriteEnd* writeEnd) = 0;
};

}  // namespace orvello::platform
