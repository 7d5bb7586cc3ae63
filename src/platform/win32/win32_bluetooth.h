#pragma once
// The Bluetooth API of bthprops.cpl. The library is loaded from the system
// folder by its full path and every function is looked up at run time:
// systems without Bluetooth support lack the library or some calls, and
// those calls then fail with 126 (no library) or 127 (no function).
// Pairing, the serial port service and removal first look for a radio and
// fail with its error when there is none (Wine 8: 120).
#include <memory>

#include "platform/bluetooth.h"

namespace orvello::win32 {

class Win32Bluetooth : public platform::IBluetooth {
 public:
  Win32Bluetooth();
  ~Win32Bluetooth() override;
  Win32Bluetooth(const Win32Bluetooth&) = delete;
  Win32Bluetooth& operator=(const Win32Bluetooth&) = delete;

  platform::Status FindRadio() override;
  platform::Result<std::vector<platform::BluetoothDeviceInfo>> Devices(bool issueInquiry,
                                                                       uint8_t timeoutMultiplier) override;
  platform::Status Authenticate(uint64_t address, const std::wstring& pin) override;
  platform::Status EnableSerialPortService(uint64_t address) override;
  platform::Status RemoveDevice(uint64_t address) override;

 private:
  struct Calls;
  std::unique_ptr<Calls> calls_;
};

}  // namespace orvello::win32
