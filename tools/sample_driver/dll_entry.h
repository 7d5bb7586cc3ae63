#pragma once
// The sample driver's DLLs have no C runtime (the spooler and GDI load
// them into their own processes, and the ARM64 build has none to link):
// they start at DllEntry, linked with -e, and use the kernel only.
#include <windows.h>

namespace orvello::sample_driver {

// The module handle that DllEntry received.
HINSTANCE Module();

}  // namespace orvello::sample_driver
