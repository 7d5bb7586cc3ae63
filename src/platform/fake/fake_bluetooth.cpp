#include "platform/fake/fake_bluetooth.h"

namespace orvello::fake {

using platform::BluetoothDeviceInfo;
using platform::Result;
using platform::Status;
namespace err = platform::err;

namespace {
using Lock = std::lock_guard<std::mutex>;
constexpr uint32_t kNotAuthenticated = 1244;
constexpr uint32_t kDeviceNotConnected = 1167;
}  // namespace

struct FakeBluetooth::State {
  std::mutex mutex;
  bool radio = true;
  std::vector<FakeBluetoothDevice> devices;

  FakeBluetoothDevice* Find(uint64_t address) {
    for (auto& d : devices) {
      if (d.info.address == address) return &d;
    }
    return nullptr;
  }
};

FakeBluetooth::FakeBluetooth() : state_(std::make_unique<State>()) {}
FakeBluetooth::~FakeBluetooth() = default;

Status FakeBluetooth::FindRadio() {
  Lock lock(state_->mutex);
  return state_->radio ? Status::Ok() : Status::Fail(err::kNoMoreItems);
}

Result<std::vector<BluetoothDeviceInfo>> FakeBluetooth::Devices(bool issueInquiry, uint8_t) {
  Lock lock(state_->mutex);
  std::vector<BluetoothDeviceInfo> out;
  if (!state_->radio) return Result<std::vector<BluetoothDeviceInfo>>::Ok(out);
  for (const auto& d : state_->devices) {
    if (d.info.remembered || (issueInquiry && d.inRange)) {
      BluetoothDeviceInfo info = d.info;
      info.connected = info.connected && d.inRange;
      out.push_back(info);
    }
  }
  return Result<std::vector<BluetoothDeviceInfo>>::Ok(std::move(out));
}

Status FakeBluetooth::Authenticate(uint64_t address, const std::wstring& pin) {
  Lock lock(state_->mutex);
  if (!state_->radio) return Status::Fail(err::kNoMoreItems);
  FakeBluetoothDevice* d = state_->Find(address);
  if (!d || !d->inRange) return Status::Fail(err::kNotFound);
  if (pin != d->pin) return Status::Fail(kNotAuthenticated);
  d->info.authenticated = true;
  d->info.remembered = true;
  return Status::Ok();
}

Status FakeBluetooth::EnableSerialPortService(uint64_t address) {
  Lock lock(state_->mutex);
  FakeBluetoothDevice* d = state_->Find(address);
  if (!d || !d->info.remembered) return Status::Fail(err::kNotFound);
  if (!d->inRange) return Status::Fail(kDeviceNotConnected);
  d->serialPortServiceEnabled = true;
  return Status::Ok();
}

Status FakeBluetooth::RemoveDevice(uint64_t address) {
  Lock lock(state_->mutex);
  FakeBluetoothDevice* d = state_->Find(address);
  if (!d || !d->info.remembered) return Status::Fail(err::kNotFound);
  d->info.remembered = false;
  d->info.authenticated = false;
  d->serialPortServiceEnabled = false;
  return Status::Ok();
}

void FakeBluetooth::SetRadioPresent(bool present) {
  Lock lock(state_->mutex);
  state_->radio = present;
}

void FakeBluetooth::AddDevice(FakeBluetoothDevice device) {
  Lock lock(state_->mutex);
  state_->devices.push_back(std::move(device));
}

std::optional<FakeBluetoothDevice> FakeBluetooth::Device(uint64_t address) {
  Lock lock(state_->mutex);
  FakeBluetoothDevice* d = state_->Find(address);
  if (!d) return std::nullopt;
  return *d;
}

}  // namespace orvello::fake
