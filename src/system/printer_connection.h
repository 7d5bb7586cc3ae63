#pragma once
// An open printer plus the places its query results land in. The handle is
// closed when the connection goes away or is opened again, but only when
// this connection opened it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace orvello {

// The records of one spooler query and how many there are.
template <class T>
struct QueryResult {
  std::vector<T> entries;
  uint32_t count = 0;

  void Set(std::vector<T> records) {
    entries = std::move(records);
    count = static_cast<uint32_t>(entries.size());
  }
  void Clear() { Set({}); }
};

class PrinterConnection {
 public:
  explicit PrinterConnection(platform::Platform& platform) : platform_(platform) {}
  PrinterConnection(const PrinterConnection&) = delete;
  PrinterConnection& operator=(const PrinterConnection&) = delete;

  platform::Platform& platform() { return platform_; }

  // The open printer, or null.
  platform::IPrinterHandle* handle() const { return handle_; }
  // True when this connection opened the handle and closes it.
  bool owned() const { return owned_ != nullptr; }

  // Takes over a handle this connection opened.
  void Own(std::unique_ptr<platform::IPrinterHandle> handle);
  // Uses a handle that someone else keeps open and closes.
  void Borrow(platform::IPrinterHandle& handle);
  // Closes an owned handle and forgets any handle.
  void Close();

  // Names collected by the engine while it works through a printer.
  std::vector<std::wstring> records;
  QueryResult<platform::PrinterInfo> printerInfo;
  QueryResult<platform::PrinterInfo2> printers;
  QueryResult<platform::DriverInfo> drivers;
  QueryResult<platform::FormInfo1> forms;

 private:
  platform::Platform& platform_;
  platform::IPrinterHandle* handle_ = nullptr;
  std::unique_ptr<platform::IPrinterHandle> owned_;
};

// Opens `printerName` with full access, or else with use access, into the
// connection (closing what it owned before). Failure is written to the
// debug output only.
bool OpenPrinterConnection(PrinterConnection& connection, const std::wstring& printerName);
// The same; on failure `error` (when not null) gets the code of the last attempt.
bool OpenPrinterConnection(PrinterConnection& connection, const std::wstring& printerName, uint32_t* error);

// PRINTER_INFO_2 of the connection's printer; nullopt when there is no
// printer or the spooler does not answer.
std::optional<platform::PrinterInfo2> GetPrinterInfo2(PrinterConnection& connection);

// The printer's current DEVMODE as its driver gives it; nullopt on failure,
// which is written to the debug output.
std::optional<platform::DevMode> GetPrinterDevMode(PrinterConnection& connection);

}  // namespace orvello
