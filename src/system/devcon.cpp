#include "system/devcon.h"

#include <memory>

#include "app/debug_mode.h"
#include "shell/message_log.h"
#include "system/output_pipe.h"
#include "system/system_facts.h"

namespace orvello {

std::wstring DevconToolName(platform::ISystemFacts& system) {
  if (!IsVistaOrLater(system)) return L"devconXP32.exe";
  if (IsNativeArm64(system)) return L"devconARM64.exe";
  if (IsNativeAmd64(system)) return L"devcon64.exe";
  return L"devcon32.exe";
}

int RunDevcon(platform::Platform& platform, const std::wstring& arguments) {
  return RunDevconIn(platform, WorkingFolder(platform.system, platform.session), arguments);
}

int RunDevconIn(platform::Platform& platform, const std::wstring& workingFolder, const std::wstring& arguments) {
  // Without the working folder the path would be relative to the current
  // directory, where anyone could have put a tool for this elevated program.
  if (workingFolder.empty()) return kChildNotStarted;
  const std::wstring commandLine =
      L"\"" + workingFolder + L"Drivers\\" + DevconToolName(platform.system) + L"\"" + arguments;
  // Shown as it is: paths and arguments may hold '%'.
  if (debugMode == 1) InsertMsg(commandLine, kColourBlack);

  // Held for the start, so that the pipe cannot be taken down under it.
  std::shared_ptr<platform::IPipeWriteEnd> output = OutputPipeWriteEnd();
  platform::ProcessOptions options;
  options.hidden = true;
  options.inheritHandles = true;
  options.standardOutput = output.get();
  auto started = platform.processes.Start(commandLine, options);
  output.reset();
  if (!started) return kChildNotStarted;

  std::unique_ptr<platform::IProcess> process = std::move(started.value);
  process->Wait(std::nullopt);
  platform::Result<uint32_t> exitCode = process->ExitCode();
  int code = exitCode ? static_cast<int>(exitCode.value) : kExitCodeUnreadable;
  process.reset();
  if (debugMode == 1) LogMessage(L"return dwCode = %d", code);
  return code;
}

}  // namespace orvello
