// TessarExUniNew.dll: the driver DLL of the sample driver. It is a
// user-mode printer driver that cannot render: GDI is told so when it
// tries to enable it, and a print job then fails with that error instead
// of producing output.
#include <windows.h>

// The published entry points, declared here: winddi.h of this tool chain
// needs DirectDraw headers it does not have. The driver never looks into
// DRVENABLEDATA, so it stays incomplete.
struct tagDRVENABLEDATA;
constexpr DWORD DRVQUERY_USERMODE = 1;

extern "C" {
BOOL APIENTRY DrvQueryDriverInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
  if (mode != DRVQUERY_USERMODE) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (needed) *needed = sizeof(DWORD);
  if (!buffer || size < sizeof(DWORD)) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  *static_cast<DWORD*>(buffer) = TRUE;  // runs in user mode
  return TRUE;
}

BOOL APIENTRY DrvEnableDriver(ULONG, ULONG, tagDRVENABLEDATA*) {
  ::SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

VOID APIENTRY DrvDisableDriver() {}
}
