#pragma once
// The device console tool of the driver package. Staging puts all four
// builds into the working folder's "Drivers\"; the one for this system runs
// hidden, writing into the program's output pipe, and is waited for.
#include <string>

#include "platform/platform.h"

namespace orvello {

inline constexpr int kChildNotStarted = -2;
inline constexpr int kExitCodeUnreadable = -1;

// "devconXP32.exe" before Windows 6.0, otherwise "devconARM64.exe",
// "devcon64.exe" or "devcon32.exe" for the native processor.
std::wstring DevconToolName(platform::ISystemFacts& system);

// Runs the tool from WorkingFolder with `arguments` appended exactly as
// given (callers include a leading blank). The tool's exit code, -1 when it
// cannot be read, -2 when the tool did not start.
int RunDevcon(platform::Platform& platform, const std::wstring& arguments);

// As RunDevcon, with the tool taken from `workingFolder` + "Drivers\"
// (`workingFolder` ends with a backslash). An empty folder starts nothing
// and answers -2.
int RunDevconIn(platform::Platform& platform, const std::wstring& workingFolder, const std::wstring& arguments);

}  // namespace orvello
