#pragma once
// winspool.h for this layer: its A/W macros would rename the spooler
// interface's methods of the same names, so they go; the code below calls
// the W functions by their full names.
#include "platform/win32/handles.h"

#include <winspool.h>

#undef AddMonitor
#undef AddPort
#undef AddPrinter
#undef AddPrinterDriver
#undef AddPrinterDriverEx
#undef ConfigurePort
#undef DeleteForm
#undef DeleteMonitor
#undef DeletePort
#undef DeletePrinterDriverEx
#undef DeletePrinterDriverPackage
#undef DeviceCapabilities
#undef DocumentProperties
#undef EnumForms
#undef EnumMonitors
#undef EnumPorts
#undef EnumPrinterDrivers
#undef EnumPrinters
#undef GetDefaultPrinter
#undef GetForm
#undef GetPrinter
#undef GetPrinterDataEx
#undef GetPrinterDriver
#undef GetPrinterDriverDirectory
#undef InstallPrinterDriverFromPackage
#undef OpenPrinter
#undef SetDefaultPrinter
#undef SetPrinter
#undef SetPrinterDataEx
#undef UploadPrinterDriverPackage
#undef XcvData

namespace orvello::win32 {

namespace traits {
struct Printer {  // OpenPrinterW and AddPrinterW handles
  using type = HANDLE;
  static type invalid() noexcept { return nullptr; }
  static void close(type h) noexcept { ::ClosePrinter(h); }
};
}  // namespace traits

using UniquePrinterHandle = UniqueHandle<traits::Printer>;

}  // namespace orvello::win32
