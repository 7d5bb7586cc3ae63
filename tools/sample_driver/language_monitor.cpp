// TessarExLM.dll: the language monitor of the sample driver. It sits
// between the spooler and the port monitor of the printer's port and passes
// every call through unchanged; a real driver would add its printer
// language's status queries here.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <stddef.h>

#include "dll_entry.h"

namespace {

// One port opened through this monitor: the port monitor's table and its
// handle for the port.
struct Port {
  MONITOR2* portMonitor;
  HANDLE portHandle;
};

// Port monitors built for older systems hand over a shorter table: a
// member exists only when it lies inside the size they give.
bool Reaches(const MONITOR2* table, size_t memberOffset) {
  return table->cbSize >= memberOffset + sizeof(void*);
}

Port* AsPort(HANDLE handle) { return static_cast<Port*>(handle); }

BOOL Fail(DWORD error) {
  ::SetLastError(error);
  return FALSE;
}

BOOL WINAPI LmOpenPortEx(HANDLE, HANDLE monitorPort, LPWSTR portName, LPWSTR, PHANDLE handle, MONITOR2* portMonitor) {
  if (!handle || !portMonitor || !portMonitor->pfnOpenPort) return Fail(ERROR_INVALID_PARAMETER);
  HANDLE heap = ::GetProcessHeap();
  auto* port = static_cast<Port*>(::HeapAlloc(heap, 0, sizeof(Port)));
  if (!port) return Fail(ERROR_NOT_ENOUGH_MEMORY);
  port->portMonitor = portMonitor;
  port->portHandle = nullptr;
  if (!portMonitor->pfnOpenPort(monitorPort, portName, &port->portHandle)) {
    DWORD error = ::GetLastError();
    ::HeapFree(heap, 0, port);
    return Fail(error);
  }
  *handle = port;
  return TRUE;
}

BOOL WINAPI LmStartDocPort(HANDLE handle, LPWSTR printerName, DWORD jobId, DWORD level, LPBYTE docInfo) {
  Port* port = AsPort(handle);
  return port->portMonitor->pfnStartDocPort(port->portHandle, printerName, jobId, level, docInfo);
}

BOOL WINAPI LmWritePort(HANDLE handle, LPBYTE buffer, DWORD size, LPDWORD written) {
  Port* port = AsPort(handle);
  return port->portMonitor->pfnWritePort(port->portHandle, buffer, size, written);
}

BOOL WINAPI LmReadPort(HANDLE handle, LPBYTE buffer, DWORD size, LPDWORD read) {
  Port* port = AsPort(handle);
  if (!port->portMonitor->pfnReadPort) return Fail(ERROR_NOT_SUPPORTED);
  return port->portMonitor->pfnReadPort(port->portHandle, buffer, size, read);
}

BOOL WINAPI LmEndDocPort(HANDLE handle) {
  Port* port = AsPort(handle);
  return port->portMonitor->pfnEndDocPort(port->portHandle);
}

BOOL WINAPI LmClosePort(HANDLE handle) {
  Port* port = AsPort(handle);
  BOOL closed = port->portMonitor->pfnClosePort(port->portHandle);
  DWORD error = ::GetLastError();
  ::HeapFree(::GetProcessHeap(), 0, port);
  ::SetLastError(error);
  return closed;
}

BOOL WINAPI LmGetPrinterDataFromPort(HANDLE handle, DWORD controlId, LPWSTR valueName, LPWSTR in, DWORD inSize,
                                     LPWSTR out, DWORD outSize, LPDWORD returned) {
  Port* port = AsPort(handle);
  if (!Reaches(port->portMonitor, offsetof(MONITOR2, pfnGetPrinterDataFromPort)) ||
      !port->portMonitor->pfnGetPrinterDataFromPort)
    return Fail(ERROR_NOT_SUPPORTED);
  return port->portMonitor->pfnGetPrinterDataFromPort(port->portHandle, controlId, valueName, in, inSize, out,
                                                      outSize, returned);
}

BOOL WINAPI LmSetPortTimeOuts(HANDLE handle, LPCOMMTIMEOUTS timeouts, DWORD reserved) {
  Port* port = AsPort(handle);
  if (!Reaches(port->portMonitor, offsetof(MONITOR2, pfnSetPortTimeOuts)) || !port->portMonitor->pfnSetPortTimeOuts)
    return Fail(ERROR_NOT_SUPPORTED);
  return port->portMonitor->pfnSetPortTimeOuts(port->portHandle, timeouts, reserved);
}

VOID WINAPI LmShutdown(HANDLE) {}

// Filled once by InitializePrintMonitor2: only the calls a language
// monitor takes; the spooler sends the others to the port monitor itself.
MONITOR2 monitorTable;

}  // namespace

extern "C" LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor) {
  if (!init || !monitor) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  monitorTable.cbSize = sizeof(MONITOR2);
  monitorTable.pfnOpenPortEx = LmOpenPortEx;
  monitorTable.pfnStartDocPort = LmStartDocPort;
  monitorTable.pfnWritePort = LmWritePort;
  monitorTable.pfnReadPort = LmReadPort;
  monitorTable.pfnEndDocPort = LmEndDocPort;
  monitorTable.pfnClosePort = LmClosePort;
  monitorTable.pfnGetPrinterDataFromPort = LmGetPrinterDataFromPort;
  monitorTable.pfnSetPortTimeOuts = LmSetPortTimeOuts;
  monitorTable.pfnShutdown = LmShutdown;
  // Nothing is kept per monitor instance; the handle only has to be one.
  *monitor = &monitorTable;
  return &monitorTable;
}
