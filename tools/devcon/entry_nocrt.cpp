// Entry of the build without a C runtime (ARM64): the process starts here
// (linked with -e DevconEntry), splits its own command line and ends with
// ExitProcess.
#include <windows.h>

#include "command_line.h"
#include "devcon.h"

extern "C" void DevconEntry() {
  const wchar_t* line = ::GetCommandLineW();
  int length = orvello::devcon::CommandLineLength(line);
  HANDLE heap = ::GetProcessHeap();
  SIZE_T slots = static_cast<SIZE_T>(length) + 1;
  auto* buffer = static_cast<wchar_t*>(::HeapAlloc(heap, 0, slots * sizeof(wchar_t)));
  auto** args = static_cast<wchar_t**>(::HeapAlloc(heap, 0, slots * sizeof(wchar_t*)));
  int code = orvello::devcon::kFailed;
  if (buffer && args) code = orvello::devcon::Run(orvello::devcon::SplitCommandLine(line, buffer, args), args);
  ::ExitProcess(static_cast<UINT>(code));
}
