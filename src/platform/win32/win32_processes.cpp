#include "platform/win32/win32_processes.h"

#include <algorithm>
#include <vector>

#include "platform/win32/handles.h"

namespace orvello::win32 {

using platform::IPipeReadEnd;
using platform::IPipeWriteEnd;
using platform::IProcess;
using platform::Pipe;
using platform::ProcessOptions;
using platform::Result;
using platform::Status;

namespace {

class Win32PipeReadEnd : public IPipeReadEnd {
 public:
  explicit Win32PipeReadEnd(UniqueKernelHandle handle) : handle_(std::move(handle)) {}
  Result<size_t> Read(std::span<uint8_t> buffer) override {
    DWORD read = 0;
    DWORD wanted = static_cast<DWORD>(std::min<size_t>(buffer.size(), MAXDWORD));
    if (!::ReadFile(handle_.get(), buffer.data(), wanted, &read, nullptr)) return Result<size_t>::Fail(::GetLastError());
    return Result<size_t>::Ok(read);
  }

 private:
  UniqueKernelHandle handle_;
};

class Win32Process : public IProcess {
 public:
  Win32Process(UniqueKernelHandle process, UniqueKernelHandle thread)
      : process_(std::move(process)), thread_(std::move(thread)) {}
  bool Wait(std::optional<uint32_t> timeoutMs) override {
    return ::WaitForSingleObject(process_.get(), timeoutMs ? *timeoutMs : INFINITE) == WAIT_OBJECT_0;
  }
  Result<uint32_t> ExitCode() override {
    DWORD code = 0;
    if (!::GetExitCodeProcess(process_.get(), &code)) return Result<uint32_t>::Fail(::GetLastError());
    return Result<uint32_t>::Ok(code);
  }

 private:
  UniqueKernelHandle process_;
  UniqueKernelHandle thread_;
};

}  // namespace

Win32PipeWriteEnd::~Win32PipeWriteEnd() {
  if (handle_) ::CloseHandle(handle_);
}

Status Win32PipeWriteEnd::Write(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    if (!::WriteFile(handle_, bytes.data(), chunk, &written, nullptr)) return Status::Fail(::GetLastError());
    bytes = bytes.subspan(written);
  }
  return Status::Ok();
}

Result<std::unique_ptr<IProcess>> Win32Processes::Start(const std::wstring& commandLine, const ProcessOptions& options) {
  using R = Result<std::unique_ptr<IProcess>>;
  HANDLE output = nullptr;
  if (options.standardOutput) {
    auto* pipe = dynamic_cast<Win32PipeWriteEnd*>(options.standardOutput);
    if (!pipe) return R::Fail(ERROR_INVALID_HANDLE);
    output = pipe->handle();
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  if (options.hidden) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
  }
  startup.hStdOutput = output;
  startup.hStdError = output;
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, options.inheritHandles ? TRUE : FALSE, 0, nullptr,
                        nullptr, &startup, &info))
    return R::Fail(::GetLastError());
  return R::Ok(std::make_unique<Win32Process>(UniqueKernelHandle(info.hProcess), UniqueKernelHandle(info.hThread)));
}

Result<Pipe> Win32Processes::CreatePipe() {
  SECURITY_ATTRIBUTES inheritable{};
  inheritable.nLength = sizeof inheritable;
  inheritable.bInheritHandle = TRUE;
  HANDLE read = nullptr, write = nullptr;
  if (!::CreatePipe(&read, &write, &inheritable, 0)) return Result<Pipe>::Fail(::GetLastError());
  Pipe pipe;
  pipe.read = std::make_unique<Win32PipeReadEnd>(UniqueKernelHandle(read));
  pipe.write = std::make_unique<Win32PipeWriteEnd>(write);
  return Result<Pipe>::Ok(std::move(pipe));
}

void Win32Processes::RedirectStandardOutput(IPipeWriteEnd* writeEnd) {
  std::lock_guard lock(mutex_);
  if (!redirected_) {
    originalOutput_ = ::GetStdHandle(STD_OUTPUT_HANDLE);
    redirected_ = true;
  }
  auto* pipe = dynamic_cast<Win32PipeWriteEnd*>(writeEnd);
  ::SetStdHandle(STD_OUTPUT_HANDLE, pipe ? pipe->handle() : originalOutput_);
}

}  // namespace orvello::win32
