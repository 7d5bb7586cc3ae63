#include "system/printer_actions.h"

#include "system/error_text.h"
#include "system/printer_connection.h"
#include "system/text.h"
#include "system/worker_threads.h"

namespace orvello {

namespace {
// DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER and the bits 0x40 and 0x40000000.
constexpr uint32_t kPreferencesDialogMode = 0x4000004E;
}  // namespace

std::wstring TestPageCommandLine(platform::ISystemFacts& system, const std::wstring& printerName) {
  // The system's own rundll32 by its full path: a bare name would be looked
  // for first in the folder this elevated program was started from.
  const std::wstring rundll = L"\"" + system.SystemDirectory() + L"\\rundll32.exe\"";
  return FormatText(L"%s printui.dll,PrintUIEntry /k /q /n \"%s\"", rundll.c_str(), printerName.c_str());
}

void PrintTestPage(platform::Platform& platform, const std::wstring& printerName) {
  PrinterConnection connection(platform);
  if (!OpenPrinterConnection(connection, printerName)) return;
  StartCommand(platform, TestPageCommandLine(platform.system, printerName));
}

void ShowPrintingPreferences(platform::Platform& platform, const std::wstring& printerName) {
  PrinterConnection connection(platform);
  if (!OpenPrinterConnection(connection, printerName)) return;
  std::optional<platform::PrinterInfo2> info = GetPrinterInfo2(connection);
  if (!info) return;
  std::optional<platform::DevMode> devMode = GetPrinterDevMode(connection);
  if (!devMode) return;

  platform::IPrinterHandle& printer = *connection.handle();
  // The current settings go in and the edited ones come back in the same record.
  const platform::DevMode current = *devMode;
  platform::Result<int32_t> answer = printer.DocumentProperties(
      platform.session.OwnerWindow(), info->printerName, &*devMode, &current, kPreferencesDialogMode);
  if (!answer || answer.value != platform::kIdOk) return;

  info->devMode = std::move(*devMode);
  platform::Status saved = printer.SetPrinter2(*info);
  if (!saved) {
    platform.debug.Write(FormatText(L"SetPrinter level = %d, error = %d, %s", 2, saved.error,
                                    SystemErrorText(platform.system, saved.error).c_str()));
  }
  // Publishes the changed settings to the directory service, if the printer is published there.
  printer.SetPrinter7(platform::kDsPrintUpdate);
}

void ShowPrinterProperties(platform::Platform& platform, const std::wstring& printerName) {
  PrinterConnection connection(platform);
  if (!OpenPrinterConnection(connection, printerName)) return;
  const std::wstring computer = platform.system.ComputerName();
  platform.session.InvokePrinterCommand(platform::kPrintActionProperties,
                                        FormatText(L"\\\\%s\\%s", computer.c_str(), printerName.c_str()));
}

}  // namespace orvello
