#pragma once
// Creating the printer of an installation and the few things the engine
// sets on printers afterwards: its name, the default printer and the text
// values kept as printer data.
#include <string>

#include "devices/printer_device.h"
#include "platform/platform.h"
#include "system/printer_connection.h"

namespace orvello {

class CApp;

// Printer-data keys and value names shared by the installation, removal and
// device matching.
inline constexpr const wchar_t* kPrinterDriverDataKey = L"PrinterDriverData";
inline constexpr const wchar_t* kDeviceTypeValue = L"DeviceType";
inline constexpr const wchar_t* kBluetoothAddressValue = L"BluetoothAddress";
inline constexpr const wchar_t* kBluetoothDeviceType = L"Bluetooth";
inline constexpr const wchar_t* kPnPDataKey = L"PnPData";
inline constexpr const wchar_t* kDeviceInstanceIdValue = L"DeviceInstanceId";
inline constexpr const wchar_t* kHardwareIdValue = L"HardWareID";
inline constexpr const wchar_t* kDsSpoolerKey = L"DsSpooler";
inline constexpr const wchar_t* kDriverNameValue = L"driverName";
inline constexpr const wchar_t* kPortNameValue = L"portName";

// Adds the printer `selected.printerName` on `selected.portName` with the
// installed driver `selected.model` and the catalogue comment. On success
// `selected.model` becomes the printer name, so that later steps of the run
// open the new printer by it. Both outcomes are written to the message log.
bool AddPrinterForModel(platform::Platform& platform, PrinterDevice& selected);
bool AddPrinterForModel(CApp& app);

// After a successful install run, on the UI thread: the printer that carries
// `selected.model` gets the chosen name and, when asked, becomes the user's
// default printer. A printer that cannot be opened is left alone silently.
void ApplyInstalledPrinterSettings(platform::Platform& platform, const PrinterDevice& selected,
                                   bool setDefaultChoice);
void ApplyInstalledPrinterSettings(CApp& app, bool setDefaultChoice);

// Writes the printer's PRINTER_INFO_2 back under a new name. False when it
// cannot be read (nothing is written then) or the write fails.
bool RenamePrinter(PrinterConnection& printer, const std::wstring& newName);

// REG_SZ below "PrinterDriverData": the characters without a terminating NUL.
bool SetPrinterDriverDataText(PrinterConnection& printer, const std::wstring& valueName, const std::wstring& text);

struct PrinterDataText {
  bool found = false;
  std::wstring text;  // up to the first NUL or the end of the data
};
// A text value of any key. A value that is absent, or empty, is not found.
PrinterDataText GetPrinterDataText(PrinterConnection& printer, const std::wstring& key, const std::wstring& valueName);

}  // namespace orvello
