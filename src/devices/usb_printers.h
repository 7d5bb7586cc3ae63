#pragma once
// The USB side of the printer search: which catalogue printers are plugged
// in now, on which port, and whether a local printer already uses them.
#include <cstdint>

#include "devices/device_scan.h"
#include "devices/printer_device.h"

namespace orvello {

inline constexpr const wchar_t* kUsbPrintInterfaceGuid = L"{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}";

// Brings `list.devices` in line with the USB printers present now; sets
// `list.changed` when a record came or went. A failing device ends the
// enumeration there; what was read before it still counts.
void RefreshUsbPrinters(const DeviceScan& scan, CPrinterDevices& list);

// Sets and returns `device.installed`: 1 when a local printer was created for
// this device node, or uses its port with the hardware id Plug and Play gave
// the print queue.
int32_t IsDeviceInstalled(platform::Platform& platform, PrinterDevice& device);

}  // namespace orvello
