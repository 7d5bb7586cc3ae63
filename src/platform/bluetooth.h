#pragma once
// The Bluetooth API of bthprops.cpl: radios, inquiry, authentication,
// services and removal.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/result.h"

namespace orvello::platform {

// BLUETOOTH_DEVICE_INFO, the members the program reads.
struct BluetoothDeviceInfo {
  uint64_t address = 0;
  uint32_t classOfDevice = 0;
  bool connected = false;
  bool remembered = false;
  bool authenticated = false;
  std::wstring name;
};

class IBluetooth {
 public:
  virtual ~IBluetooth() = default;
  // BluetoothFindFirstRadio succeeded (120 on Wine: not implemented).
  virtual Status FindRadio() = 0;
  // BluetoothFindFirstDevice / NextDevice with an inquiry of timeoutMultiplier × 1.28 s.
  virtual Result<std::vector<BluetoothDeviceInfo>> Devices(bool issueInquiry, uint8_t timeoutMultiplier) = 0;
  // BluetoothAuthenticateDeviceEx with a PIN answered from the registered callback.
  virtual Status Authenticate(uint64_t address, const std::wstring& pin) = 0;
  // BluetoothSetServiceState for the Serial Port service.
  virtual Status EnableSerialPortService(uint64_t address) = 0;
  virtual Status RemoveDevice(uint64_t address) = 0;
};

}  // namespace orvello::platform
