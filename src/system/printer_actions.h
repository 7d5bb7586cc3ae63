#pragma once
// The three things a user can do with an installed printer from the end
// page: print a test page, edit the printing preferences, open the
// printer's properties. A printer that cannot be opened makes each of them
// do nothing.
#include <string>

#include "platform/platform.h"

namespace orvello {

// The command line that prints the test page of `printerName` through the
// system's printer UI, quietly.
std::wstring TestPageCommandLine(platform::ISystemFacts& system, const std::wstring& printerName);

// Starts the test page on a command thread and returns at once.
void PrintTestPage(platform::Platform& platform, const std::wstring& printerName);

// The driver's preferences dialog over the main window; the settings are
// saved only when the user confirms it.
void ShowPrintingPreferences(platform::Platform& platform, const std::wstring& printerName);

// The shell's printer properties, not modal.
void ShowPrinterProperties(platform::Platform& platform, const std::wstring& printerName);

}  // namespace orvello
