#pragma once
// One printer the wizard found or is setting up, and the list of found ones.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/driver_ref.h"
#include "platform/bluetooth.h"

namespace orvello {

// The PIN tried first when pairing, and the PIN a record starts with.
inline constexpr const wchar_t* kFirstDefaultPin = L"0000";
inline constexpr const wchar_t* kDefaultIpAddress = L"192.168.1.200";

struct PrinterDevice {
  PrinterDevice() { ResetDevice(); }

  // Forgets what belongs to one particular plugged-in device; the model,
  // its catalogue driver and the Bluetooth identity stay.
  void ResetDevice();

  DriverRef driver;
  std::wstring model;
  std::wstring printerName;
  std::wstring devicePath;
  std::wstring deviceId;       // the USB node that owns the printer interface
  std::wstring childDeviceId;  // its USBPRINT child; the last "&" part is the port
  std::wstring vid;
  std::wstring pid;
  std::wstring hardwareId;
  std::wstring portName;
  int32_t installed = 0;
  std::wstring pin;
  platform::BluetoothDeviceInfo btInfo;
  std::wstring btAddress;
  std::wstring ipAddress;
};

class CPrinterDevices {
 public:
  CPrinterDevices() = default;
  CPrinterDevices(const CPrinterDevices&) = default;
  CPrinterDevices& operator=(const CPrinterDevices&) = default;
  virtual ~CPrinterDevices();

  std::vector<PrinterDevice> devices;
  // Set by the USB refresh whenever it adds or removes a record; the list's
  // display clears it after redrawing.
  int32_t changed = 0;
};

// The first record whose model is exactly `model`.
const PrinterDevice* FindDeviceByModel(const std::vector<PrinterDevice>& devices, std::wstring_view model);

}  // namespace orvello
