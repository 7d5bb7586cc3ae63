#pragma once
// The Bluetooth stack of the fake machine: a radio that is there or not,
// and the devices it can see. Authentication checks the PIN a device
// expects; remembered devices stay listed until removed.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/bluetooth.h"

namespace orvello::fake {

struct FakeBluetoothDevice {
  platform::BluetoothDeviceInfo info;
  bool inRange = true;           // answers an inquiry
  std::wstring pin = L"0000";    // the PIN it accepts
  bool serialPortServiceEnabled = false;
};

class FakeBluetooth : public platform::IBluetooth {
 public:
  FakeBluetooth();
  ~FakeBluetooth() override;

  // No radio: 259 (ERROR_NO_MORE_ITEMS), as BluetoothFindFirstRadio reports it.
  platform::Status FindRadio() override;
  // Remembered devices, and with an inquiry those in range. Without a radio the list is empty.
  platform::Result<std::vector<platform::BluetoothDeviceInfo>> Devices(bool issueInquiry,
                                                                       uint8_t timeoutMultiplier) override;
  // A wrong PIN fails with 1244 (ERROR_NOT_AUTHENTICATED); an unknown or
  // unreachable device with 1168 (ERROR_NOT_FOUND).
  platform::Status Authenticate(uint64_t address, const std::wstring& pin) override;
  platform::Status EnableSerialPortService(uint64_t address) override;
  // 1168 when the device is not remembered.
  platform::Status RemoveDevice(uint64_t address) override;

  // Arranging and inspecting.
  void SetRadioPresent(bool present);
  void AddDevice(FakeBluetoothDevice device);
  std::optional<FakeBluetoothDevice> Device(uint64_t address);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace orvello::fake
