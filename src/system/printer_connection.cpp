#include "system/printer_connection.h"

#include "system/error_text.h"
#include "system/text.h"

namespace orvello {

void PrinterConnection::Own(std::unique_ptr<platform::IPrinterHandle> handle) {
  Close();
  owned_ = std::move(handle);
  handle_ = owned_.get();
}

void PrinterConnection::Borrow(platform::IPrinterHandle& handle) {
  Close();
  handle_ = &handle;
}

void PrinterConnection::Close() {
  handle_ = nullptr;
  owned_.reset();
}

bool OpenPrinterConnection(PrinterConnection& connection, const std::wstring& printerName) {
  return OpenPrinterConnection(connection, printerName, nullptr);
}

bool OpenPrinterConnection(PrinterConnection& connection, const std::wstring& printerName, uint32_t* error) {
  connection.Close();
  platform::Platform& p = connection.platform();
  auto opened = p.spooler.OpenPrinter(printerName, platform::kPrinterAllAccess);
  // Users without administration rights on the printer can still use it.
  if (!opened) opened = p.spooler.OpenPrinter(printerName, platform::kPrinterAccessUse);
  if (!opened) {
    p.debug.Write(FormatText(L"OpenPrinter(%s) error = %d, %s", printerName.c_str(), opened.error,
                             SystemErrorText(p.system, opened.error).c_str()));
    if (error) *error = opened.error;
    return false;
  }
  connection.Own(std::move(opened.value));
  return true;
}

std::optional<platform::PrinterInfo2> GetPrinterInfo2(PrinterConnection& connection) {
  platform::IPrinterHandle* printer = connection.handle();
  if (!printer) return std::nullopt;
  platform::Result<platform::PrinterInfo2> info = printer->GetPrinter2();
  if (!info) return std::nullopt;
  return std::move(info.value);
}

std::optional<platform::DevMode> GetPrinterDevMode(PrinterConnection& connection) {
  std::optional<platform::PrinterInfo2> info = GetPrinterInfo2(connection);
  if (!info) return std::nullopt;
  platform::Platform& p = connection.platform();
  platform::IPrinterHandle& printer = *connection.handle();

  platform::DevMode devMode;
  platform::Result<int32_t> size = printer.DocumentProperties(0, info->printerName, nullptr, nullptr, 0);
  if (size && size.value > 0) devMode.bytes.assign(static_cast<size_t>(size.value), 0);
  platform::Result<int32_t> filled =
      printer.DocumentProperties(0, info->printerName, &devMode, nullptr, platform::kDmOutBuffer);
  if (filled && filled.value == platform::kIdOk) return devMode;

  uint32_t error = filled ? p.system.LastError() : filled.error;
  p.debug.Write(FormatText(L"DocumentPropertiesGet error = %d, %s", error,
                           SystemErrorText(p.system, error).c_str()));
  return std::nullopt;
}

}  // namespace orvello
