#pragma once
// Lumatrix printers share three USB ids across their models; the printer is
// asked for its Bluetooth name, and the name tells the model.
#include <string>
#include <string_view>
#include <vector>

#include "devices/device_scan.h"
#include "devices/printer_device.h"

namespace orvello {

// True for the three hardware ids the Lumatrix models share (exact text).
bool IsLumatrixHardwareId(std::wstring_view hardwareId);

// The printer's Bluetooth name, or "" when it cannot be opened or does not
// answer in time.
std::wstring QueryLumatrixBluetoothName(const DeviceScan& scan, const std::wstring& devicePath);

// The catalogue model name the Bluetooth name stands for; "" when no rule fits.
std::wstring LumatrixModelFor(std::wstring_view bluetoothName);

// Adds one copy of `record` per catalogue driver of the model the name stands for.
void MapLumatrixModel(const DeviceScan& scan, std::wstring_view bluetoothName, std::vector<PrinterDevice>& found,
                      const PrinterDevice& record);

// For every driver of the scan's manufacturer named exactly `model`, in
// catalogue order, appends a copy of `record` pointing at that driver.
void AddDevicesForModel(const DeviceScan& scan, std::vector<PrinterDevice>& found, const PrinterDevice& record,
                        std::wstring_view model);

}  // namespace orvello
