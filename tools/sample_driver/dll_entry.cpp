#include "dll_entry.h"

namespace orvello::sample_driver {
namespace {
HINSTANCE module = nullptr;
}  // namespace

HINSTANCE Module() { return module; }

}  // namespace orvello::sample_driver

extern "C" BOOL WINAPI DllEntry(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    orvello::sample_driver::module = instance;
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
