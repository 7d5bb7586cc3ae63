#include "platform/win32/win32_bluetooth.h"

#include "platform/win32/handles.h"

#include <bluetoothapis.h>

#include <cstdlib>
#include <string>

namespace orvello::win32 {

using platform::BluetoothDeviceInfo;
using platform::Result;
using platform::Status;

namespace {

using AuthenticationCallback = BOOL(CALLBACK*)(LPVOID, PBLUETOOTH_AUTHENTICATION_CALLBACK_PARAMS);
using FindFirstRadioFn = HBLUETOOTH_RADIO_FIND(WINAPI*)(BLUETOOTH_FIND_RADIO_PARAMS*, HANDLE*);
using FindRadioCloseFn = BOOL(WINAPI*)(HBLUETOOTH_RADIO_FIND);
using FindFirstDeviceFn = HBLUETOOTH_DEVICE_FIND(WINAPI*)(BLUETOOTH_DEVICE_SEARCH_PARAMS*, BLUETOOTH_DEVICE_INFO*);
using FindNextDeviceFn = BOOL(WINAPI*)(HBLUETOOTH_DEVICE_FIND, BLUETOOTH_DEVICE_INFO*);
using FindDeviceCloseFn = BOOL(WINAPI*)(HBLUETOOTH_DEVICE_FIND);
using GetDeviceInfoFn = DWORD(WINAPI*)(HANDLE, BLUETOOTH_DEVICE_INFO*);
using AuthenticateDeviceExFn = DWORD(WINAPI*)(HWND, HANDLE, BLUETOOTH_DEVICE_INFO*, PBLUETOOTH_OOB_DATA_INFO,
                                               BLUETOOTH_AUTHENTICATION_REQUIREMENTS);
using RegisterForAuthenticationExFn = DWORD(WINAPI*)(const BLUETOOTH_DEVICE_INFO*,
                                                      HBLUETOOTH_AUTHENTICATION_REGISTRATION*, AuthenticationCallback,
                                                      PVOID);
using SendAuthenticationResponseExFn = DWORD(WINAPI*)(HANDLE, PBLUETOOTH_AUTHENTICATE_RESPONSE);
using UnregisterAuthenticationFn = BOOL(WINAPI*)(HBLUETOOTH_AUTHENTICATION_REGISTRATION);
using SetServiceStateFn = DWORD(WINAPI*)(HANDLE, BLUETOOTH_DEVICE_INFO*, GUID*, DWORD);
using RemoveDeviceFn = DWORD(WINAPI*)(BLUETOOTH_ADDRESS*);

constexpr DWORD kServiceEnable = 0x01;  // BLUETOOTH_SERVICE_ENABLE

// SerialPortServiceClass_UUID of bthdef.h.
GUID SerialPortService() { return GUID{0x00001101, 0x0000, 0x1000, {0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB}}; }

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

BluetoothDeviceInfo FromDeviceInfo(const BLUETOOTH_DEVICE_INFO& d) {
  BluetoothDeviceInfo info;
  info.address = d.Address.ullLong;
  info.classOfDevice = d.ulClassofDevice;
  info.connected = d.fConnected != FALSE;
  info.remembered = d.fRemembered != FALSE;
  info.authenticated = d.fAuthenticated != FALSE;
  info.name = d.szName;
  return info;
}

// What the stack's authentication callback answers with.
struct PinAnswer {
  SendAuthenticationResponseExFn send = nullptr;
  std::string pin;  // the PIN's characters as bytes (PINs are ASCII digits and letters)
};

BOOL CALLBACK AnswerAuthentication(LPVOID param, PBLUETOOTH_AUTHENTICATION_CALLBACK_PARAMS request) {
  auto* answer = static_cast<PinAnswer*>(param);
  BLUETOOTH_AUTHENTICATE_RESPONSE response{};
  response.bthAddressRemote = request->deviceInfo.Address;
  response.authMethod = request->authenticationMethod;
  if (request->authenticationMethod == BLUETOOTH_AUTHENTICATION_METHOD_LEGACY) {
    size_t n = answer->pin.size() < BTH_MAX_PIN_SIZE ? answer->pin.size() : BTH_MAX_PIN_SIZE;
    for (size_t i = 0; i < n; ++i) response.pinInfo.pin[i] = static_cast<UCHAR>(answer->pin[i]);
    response.pinInfo.pinLength = static_cast<UCHAR>(n);
  } else if (request->authenticationMethod == BLUETOOTH_AUTHENTICATION_METHOD_NUMERIC_COMPARISON) {
    response.numericCompInfo.NumericValue = request->Numeric_Value;
  } else if (request->authenticationMethod == BLUETOOTH_AUTHENTICATION_METHOD_PASSKEY) {
    response.passkeyInfo.passkey = static_cast<ULONG>(std::strtoul(answer->pin.c_str(), nullptr, 10));
  }
  return answer->send(nullptr, &response) == ERROR_SUCCESS;
}

}  // namespace

struct Win32Bluetooth::Calls {
  UniqueModule bthprops;
  FindFirstRadioFn findFirstRadio = nullptr;
  FindRadioCloseFn findRadioClose = nullptr;
  FindFirstDeviceFn findFirstDevice = nullptr;
  FindNextDeviceFn findNextDevice = nullptr;
  FindDeviceCloseFn findDeviceClose = nullptr;
  GetDeviceInfoFn getDeviceInfo = nullptr;
  AuthenticateDeviceExFn authenticateDeviceEx = nullptr;
  RegisterForAuthenticationExFn registerForAuthenticationEx = nullptr;
  SendAuthenticationResponseExFn sendAuthenticationResponseEx = nullptr;
  UnregisterAuthenticationFn unregisterAuthentication = nullptr;
  SetServiceStateFn setServiceState = nullptr;
  RemoveDeviceFn removeDevice = nullptr;

  // 126 without the library, 127 without the function.
  template <class Fn>
  uint32_t Missing(Fn fn) const {
    if (!bthprops) return ERROR_MOD_NOT_FOUND;
    return fn ? ERROR_SUCCESS : ERROR_PROC_NOT_FOUND;
  }

  // The first radio, or the error BluetoothFindFirstRadio gave.
  Result<UniqueKernelHandle> FirstRadio() const {
    if (uint32_t missing = Missing(findFirstRadio ? findRadioClose : nullptr)) {
      return Result<UniqueKernelHandle>::Fail(missing);
    }
    BLUETOOTH_FIND_RADIO_PARAMS params{};
    params.dwSize = sizeof(params);
    HANDLE radio = nullptr;
    HBLUETOOTH_RADIO_FIND find = findFirstRadio(&params, &radio);
    if (!find) return Result<UniqueKernelHandle>::Fail(::GetLastError());
    findRadioClose(find);
    return Result<UniqueKernelHandle>::Ok(UniqueKernelHandle(radio));
  }
};

Win32Bluetooth::Win32Bluetooth() : calls_(std::make_unique<Calls>()) {
  wchar_t folder[MAX_PATH + 1] = {};
  UINT n = ::GetSystemDirectoryW(folder, MAX_PATH + 1);
  if (n > 0 && n <= MAX_PATH) {
    std::wstring path(folder, n);
    if (path.back() != L'\\') path += L'\\';
    calls_->bthprops.reset(::LoadLibraryW((path + L"bthprops.cpl").c_str()));
  }
  HMODULE m = calls_->bthprops.get();
  Calls& c = *calls_;
  c.findFirstRadio = Lookup<FindFirstRadioFn>(m, "BluetoothFindFirstRadio");
  c.findRadioClose = Lookup<FindRadioCloseFn>(m, "BluetoothFindRadioClose");
  c.findFirstDevice = Lookup<FindFirstDeviceFn>(m, "BluetoothFindFirstDevice");
  c.findNextDevice = Lookup<FindNextDeviceFn>(m, "BluetoothFindNextDevice");
  c.findDeviceClose = Lookup<FindDeviceCloseFn>(m, "BluetoothFindDeviceClose");
  c.getDeviceInfo = Lookup<GetDeviceInfoFn>(m, "BluetoothGetDeviceInfo");
  c.authenticateDeviceEx = Lookup<AuthenticateDeviceExFn>(m, "BluetoothAuthenticateDeviceEx");
  c.registerForAuthenticationEx = Lookup<RegisterForAuthenticationExFn>(m, "BluetoothRegisterForAuthenticationEx");
  c.sendAuthenticationResponseEx = Lookup<SendAuthenticationResponseExFn>(m, "BluetoothSendAuthenticationResponseEx");
  c.unregisterAuthentication = Lookup<UnregisterAuthenticationFn>(m, "BluetoothUnregisterAuthentication");
  c.setServiceState = Lookup<SetServiceStateFn>(m, "BluetoothSetServiceState");
  c.removeDevice = Lookup<RemoveDeviceFn>(m, "BluetoothRemoveDevice");
}

Win32Bluetooth::~Win32Bluetooth() = default;

Status Win32Bluetooth::FindRadio() {
  auto radio = calls_->FirstRadio();
  return radio ? Status::Ok() : Status::Fail(radio.error);
}

Result<std::vector<BluetoothDeviceInfo>> Win32Bluetooth::Devices(bool issueInquiry, uint8_t timeoutMultiplier) {
  using R = Result<std::vector<BluetoothDeviceInfo>>;
  const Calls& c = *calls_;
  if (uint32_t missing = c.Missing(c.findFirstDevice && c.findNextDevice ? c.findDeviceClose : nullptr)) {
    return R::Fail(missing);
  }
  BLUETOOTH_DEVICE_SEARCH_PARAMS search{};
  search.dwSize = sizeof(search);
  search.fReturnAuthenticated = TRUE;
  search.fReturnRemembered = TRUE;
  search.fReturnUnknown = TRUE;
  search.fReturnConnected = TRUE;
  search.fIssueInquiry = issueInquiry ? TRUE : FALSE;
  search.cTimeoutMultiplier = timeoutMultiplier;
  search.hRadio = nullptr;  // every radio
  BLUETOOTH_DEVICE_INFO device{};
  device.dwSize = sizeof(device);
  std::vector<BluetoothDeviceInfo> out;
  HBLUETOOTH_DEVICE_FIND find = c.findFirstDevice(&search, &device);
  if (!find) {
    DWORD e = ::GetLastError();
    return e == ERROR_NO_MORE_ITEMS ? R::Ok(std::move(out)) : R::Fail(e);
  }
  do {
    out.push_back(FromDeviceInfo(device));
    device = BLUETOOTH_DEVICE_INFO{};
    device.dwSize = sizeof(device);
  } while (c.findNextDevice(find, &device));
  c.findDeviceClose(find);
  return R::Ok(std::move(out));
}

Status Win32Bluetooth::Authenticate(uint64_t address, const std::wstring& pin) {
  const Calls& c = *calls_;
  bool complete = c.authenticateDeviceEx && c.registerForAuthenticationEx && c.sendAuthenticationResponseEx;
  if (uint32_t missing = c.Missing(complete ? c.unregisterAuthentication : nullptr)) return Status::Fail(missing);
  auto radio = c.FirstRadio();  // pairing needs a radio; see RemoveDevice
  if (!radio) return Status::Fail(radio.error);
  BLUETOOTH_DEVICE_INFO device{};
  device.dwSize = sizeof(device);
  device.Address.ullLong = address;
  PinAnswer answer;
  answer.send = c.sendAuthenticationResponseEx;
  for (wchar_t ch : pin) answer.pin.push_back(static_cast<char>(ch));
  HBLUETOOTH_AUTHENTICATION_REGISTRATION registration = nullptr;
  DWORD registered = c.registerForAuthenticationEx(&device, &registration, AnswerAuthentication, &answer);
  if (registered != ERROR_SUCCESS) return Status::Fail(registered);
  DWORD result = c.authenticateDeviceEx(nullptr, nullptr, &device, nullptr, MITMProtectionNotRequired);
  c.unregisterAuthentication(registration);
  return result == ERROR_SUCCESS ? Status::Ok() : Status::Fail(result);
}

Status Win32Bluetooth::EnableSerialPortService(uint64_t address) {
  const Calls& c = *calls_;
  if (uint32_t missing = c.Missing(c.getDeviceInfo ? c.setServiceState : nullptr)) return Status::Fail(missing);
  auto radio = c.FirstRadio();
  if (!radio) return Status::Fail(radio.error);
  BLUETOOTH_DEVICE_INFO device{};
  device.dwSize = sizeof(device);
  device.Address.ullLong = address;
  DWORD found = c.getDeviceInfo(radio.value.get(), &device);
  if (found != ERROR_SUCCESS) return Status::Fail(found);
  GUID service = SerialPortService();
  DWORD result = c.setServiceState(radio.value.get(), &device, &service, kServiceEnable);
  return result == ERROR_SUCCESS ? Status::Ok() : Status::Fail(result);
}

Status Win32Bluetooth::RemoveDevice(uint64_t address) {
  const Calls& c = *calls_;
  if (uint32_t missing = c.Missing(c.removeDevice)) return Status::Fail(missing);
  // Paired devices exist only with a radio; asking for one first also keeps
  // away from Wine's BluetoothRemoveDevice, an export that ends the process.
  auto radio = c.FirstRadio();
  if (!radio) return Status::Fail(radio.error);
  BLUETOOTH_ADDRESS a{};
  a.ullLong = address;
  DWORD result = c.removeDevice(&a);
  return result == ERROR_SUCCESS ? Status::Ok() : Status::Fail(result);
}

}  // namespace orvello::win32
