#pragma once
// An open winspool handle (printer, print server or port monitor) as the
// platform's IPrinterHandle; ClosePrinter when it goes away.
#include <memory>

#include "platform/spooler.h"
#include "platform/win32/winspool_api.h"

namespace orvello::win32 {

std::unique_ptr<platform::IPrinterHandle> MakePrinterHandle(UniquePrinterHandle handle);

}  // namespace orvello::win32
