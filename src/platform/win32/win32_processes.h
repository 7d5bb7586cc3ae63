#pragma once
// IProcesses over CreateProcessW, CreatePipe and SetStdHandle.
#include <mutex>

#include "platform/processes.h"

namespace orvello::win32 {

// The write end of a pipe made by Win32Processes; children get its handle.
// Handles are kept as void* (HANDLE) so that this header needs no windows.h.
class Win32PipeWriteEnd : public platform::IPipeWriteEnd {
 public:
  explicit Win32PipeWriteEnd(void* handle) : handle_(handle) {}
  ~Win32PipeWriteEnd() override;
  Win32PipeWriteEnd(const Win32PipeWriteEnd&) = delete;
  Win32PipeWriteEnd& operator=(const Win32PipeWriteEnd&) = delete;

  platform::Status Write(std::span<const uint8_t> bytes) override;
  void* handle() const { return handle_; }

 private:
  void* handle_;  // owned
};

class Win32Processes : public platform::IProcesses {
 public:
  platform::Result<std::unique_ptr<platform::IProcess>> Start(const std::wstring& commandLine,
                                                              const platform::ProcessOptions& options) override;
  platform::Result<platform::Pipe> CreatePipe() override;
  void RedirectStandardOutput(platform::IPipeWriteEnd* writeEnd) override;

 private:
  std::mutex mutex_;
  bool redirected_ = false;
  void* originalOutput_ = nullptr;  // not owned: the handle the process started with
};

}  // namespace orvello::win32
