#include "engine/printers.h"

#include <algorithm>

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "shell/message_log.h"
#include "system/error_text.h"
#include "system/text.h"

namespace orvello {

namespace {

constexpr uint32_t kRegSz = 1;
// The smallest buffer a printer-data read uses, whatever the value's size.
constexpr uint32_t kMinimumDataBuffer = 1024;

}  // namespace

bool AddPrinterForModel(platform::Platform& platform, PrinterDevice& selected) {
  platform::PrinterInfo2 info;
  info.printerName = selected.printerName;
  info.portName = selected.portName;
  info.driverName = selected.model;
  info.comment = DriverComment(selected.driver);
  info.location = L"";
  // No DEVMODE and no forms: the driver supplies its own defaults.
  info.printProcessor = L"WinPrint";
  info.dataType = L"RAW";
  info.attributes = platform::kPrinterAttributeLocal;

  auto added = platform.spooler.AddPrinter2(info);
  if (!added) {
    LogMessageColored(kColourRed, Translate(msg::kAddPrinterFailed).c_str(), selected.printerName.c_str(),
                      static_cast<int>(added.error), SystemErrorText(platform.system, added.error).c_str());
    return false;
  }
  added.value.reset();
  selected.model = selected.printerName;
  LogMessageColored(kColourBlue, Translate(msg::kPrinterAdded).c_str(), selected.printerName.c_str());
  return true;
}

bool AddPrinterForModel(CApp& app) { return AddPrinterForModel(app.platform(), app.selected); }

void ApplyInstalledPrinterSettings(platform::Platform& platform, const PrinterDevice& selected,
                                   bool setDefaultChoice) {
  PrinterConnection printer(platform);
  if (!OpenPrinterConnection(printer, selected.model)) return;
  // Plug and Play names its printer after the model; the user's name wins.
  if (selected.model != selected.printerName) RenamePrinter(printer, selected.printerName);
  if (!setDefaultChoice) return;
  if (platform.spooler.SetDefaultPrinter(selected.printerName)) {
    LogMessageColored(kColourBlue, Translate(msg::kDefaultPrinterSet).c_str());
  } else {
    LogMessageColored(kColourRed, Translate(msg::kSetDefaultPrinterFailed).c_str());
  }
}

void ApplyInstalledPrinterSettings(CApp& app, bool setDefaultChoice) {
  ApplyInstalledPrinterSettings(app.platform(), app.selected, setDefaultChoice);
}

bool RenamePrinter(PrinterConnection& printer, const std::wstring& newName) {
  platform::IPrinterHandle* handle = printer.handle();
  if (!handle) return false;
  auto info = handle->GetPrinter2();
  if (!info) return false;
  info.value.printerName = newName;
  return handle->SetPrinter2(info.value).ok();
}

bool SetPrinterDriverDataText(PrinterConnection& printer, const std::wstring& valueName, const std::wstring& text) {
  platform::IPrinterHandle* handle = printer.handle();
  if (!handle) return false;
  return handle->SetPrinterDataEx(kPrinterDriverDataKey, valueName, kRegSz, WideToUtf16Bytes(text, false)).ok();
}

PrinterDataText GetPrinterDataText(PrinterConnection& printer, const std::wstring& key, const std::wstring& valueName) {
  platform::IPrinterHandle* handle = printer.handle();
  if (!handle) return {};
  uint32_t needed = 0;
  auto probe = handle->GetPrinterDataEx(key, valueName, 0, &needed);
  // An empty value fits the empty buffer, so Windows answers ERROR_SUCCESS
  // for it; a spooler that answers ERROR_MORE_DATA with a size of 0 means
  // the same empty value, and it is not found either.
  if (probe.error != platform::err::kMoreData || needed == 0) return {};

  // The values this system writes carry no NUL; leave room to end the text.
  uint32_t size = std::max(kMinimumDataBuffer, needed) + sizeof(uint16_t);
  auto read = handle->GetPrinterDataEx(key, valueName, size, &needed);
  if (!read) {
    platform::Platform& p = printer.platform();
    uint32_t error = p.system.LastError();
    p.debug.Write(FormatText(L"GetPrinterData2 dwStatus = %d error = %d, %s", static_cast<int>(read.error),
                             static_cast<int>(error), SystemErrorText(p.system, error).c_str()));
    return {};
  }
  return {true, Utf16BytesToWide(read.value.data)};
}

}  // namespace orvello
