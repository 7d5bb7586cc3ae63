#include "platform/win32/win32_devices.h"

#include "platform/win32/handles.h"

#include <cfgmgr32.h>
#include <setupapi.h>

#include <cwchar>
#include <vector>

#include "platform/win32/win32_inf_file.h"

namespace orvello::win32 {

using platform::DeviceInterface;
using platform::DeviceNode;
using platform::Result;

namespace {

struct DeviceInfoSetTraits {
  using type = HDEVINFO;
  static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(type h) noexcept { ::SetupDiDestroyDeviceInfoList(h); }
};
using UniqueDeviceInfoSet = UniqueHandle<DeviceInfoSetTraits>;

// What CM_MapCrToWin32Err answers for the results these calls give.
uint32_t CrToWin32(CONFIGRET cr) {
  switch (cr) {
    case CR_SUCCESS: return ERROR_SUCCESS;
    case CR_OUT_OF_MEMORY: return ERROR_NOT_ENOUGH_MEMORY;
    case CR_INVALID_POINTER: return ERROR_INVALID_USER_BUFFER;
    case CR_INVALID_FLAG: return ERROR_INVALID_FLAGS;
    case CR_INVALID_DEVNODE:
    case CR_INVALID_DEVICE_ID:
    case CR_INVALID_MACHINENAME:
    case CR_INVALID_PROPERTY:
    case CR_INVALID_REFERENCE_STRING:
    case CR_INVALID_DATA: return ERROR_INVALID_DATA;
    case CR_NO_SUCH_DEVNODE:
    case CR_NO_SUCH_VALUE:
    case CR_NO_SUCH_REGISTRY_KEY:
    case CR_NO_SUCH_DEVICE_INTERFACE: return ERROR_FILE_NOT_FOUND;
    case CR_ALREADY_SUCH_DEVNODE: return ERROR_ALREADY_EXISTS;
    case CR_BUFFER_SMALL: return ERROR_INSUFFICIENT_BUFFER;
    case CR_NO_REGISTRY_HANDLE: return ERROR_INVALID_HANDLE;
    case CR_REGISTRY_ERROR: return ERROR_REGISTRY_CORRUPT;
    case CR_ACCESS_DENIED: return ERROR_ACCESS_DENIED;
    case CR_CALL_NOT_IMPLEMENTED: return ERROR_CALL_NOT_IMPLEMENTED;
    case CR_REMOTE_COMM_FAILURE:
    case CR_MACHINE_UNAVAILABLE:
    case CR_NO_CM_SERVICES: return ERROR_SERVICE_NOT_ACTIVE;
    default: return ERROR_GEN_FAILURE;
  }
}

bool ParseGuid(const std::wstring& text, GUID* guid) {
  unsigned long d1 = 0;
  unsigned d2 = 0, d3 = 0, b[8] = {};
  wchar_t close = 0;
  int n = std::swscanf(text.c_str(), L"{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x%lc", &d1, &d2, &d3, &b[0], &b[1], &b[2],
                       &b[3], &b[4], &b[5], &b[6], &b[7], &close);
  if (n != 12 || close != L'}') return false;
  guid->Data1 = d1;
  guid->Data2 = static_cast<unsigned short>(d2);
  guid->Data3 = static_cast<unsigned short>(d3);
  for (int i = 0; i < 8; ++i) guid->Data4[i] = static_cast<unsigned char>(b[i]);
  return true;
}

Result<std::wstring> DeviceId(DEVINST node) {
  ULONG length = 0;
  CONFIGRET cr = ::CM_Get_Device_ID_Size(&length, node, 0);
  if (cr != CR_SUCCESS) return Result<std::wstring>::Fail(CrToWin32(cr));
  std::vector<wchar_t> id(length + 1, L'\0');
  cr = ::CM_Get_Device_IDW(node, id.data(), static_cast<ULONG>(id.size()), 0);
  if (cr != CR_SUCCESS) return Result<std::wstring>::Fail(CrToWin32(cr));
  return Result<std::wstring>::Ok(id.data());
}

// CM_LOCATE_DEVNODE_NORMAL finds present nodes only; PHANTOM also those unplugged.
Result<DEVINST> LocateNode(const std::wstring& instanceId, ULONG flags) {
  DEVINST node = 0;
  CONFIGRET cr = ::CM_Locate_DevNodeW(&node, const_cast<DEVINSTID_W>(instanceId.c_str()), flags);
  if (cr != CR_SUCCESS) return Result<DEVINST>::Fail(CrToWin32(cr));
  return Result<DEVINST>::Ok(node);
}

std::vector<std::wstring> SplitMultiSz(const wchar_t* s, size_t chars) {
  std::vector<std::wstring> out;
  size_t i = 0;
  while (i < chars && s[i]) {
    std::wstring item;
    while (i < chars && s[i]) item.push_back(s[i++]);
    out.push_back(std::move(item));
    ++i;
  }
  return out;
}

}  // namespace

Win32Devices::Win32Devices() = default;
Win32Devices::~Win32Devices() = default;

Result<std::unique_ptr<platform::IInfFile>> Win32Devices::OpenInf(const std::wstring& path, const std::wstring& infClass) {
  return OpenInfFile(path, infClass);
}

Result<std::vector<DeviceInterface>> Win32Devices::PresentInterfaces(const std::wstring& interfaceClassGuid) {
  using R = Result<std::vector<DeviceInterface>>;
  GUID guid{};
  if (!ParseGuid(interfaceClassGuid, &guid)) return R::Fail(ERROR_INVALID_PARAMETER);
  UniqueDeviceInfoSet set(::SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!set) return R::Fail(::GetLastError());
  std::vector<DeviceInterface> out;
  for (DWORD i = 0;; ++i) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    if (!::SetupDiEnumDeviceInterfaces(set.get(), nullptr, &guid, i, &data)) {
      DWORD e = ::GetLastError();
      if (e == ERROR_NO_MORE_ITEMS) break;
      return R::Fail(e);
    }
    DWORD required = 0;
    ::SetupDiGetDeviceInterfaceDetailW(set.get(), &data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return R::Fail(::GetLastError());
    std::vector<BYTE> buffer(required, 0);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    if (!::SetupDiGetDeviceInterfaceDetailW(set.get(), &data, detail, required, nullptr, &device)) {
      return R::Fail(::GetLastError());
    }
    auto id = DeviceId(device.DevInst);
    if (!id) return R::Fail(id.error);
    out.push_back(DeviceInterface{detail->DevicePath, id.value});
  }
  return R::Ok(std::move(out));
}

Result<DeviceNode> Win32Devices::Locate(const std::wstring& instanceId) {
  auto node = LocateNode(instanceId, CM_LOCATE_DEVNODE_NORMAL);
  if (!node) return Result<DeviceNode>::Fail(node.error);
  ULONG status = 0, problem = 0;
  CONFIGRET cr = ::CM_Get_DevNode_Status(&status, &problem, node.value, 0);
  if (cr != CR_SUCCESS) return Result<DeviceNode>::Fail(CrToWin32(cr));
  auto id = DeviceId(node.value);
  return Result<DeviceNode>::Ok(DeviceNode{id ? id.value : instanceId, status, problem});
}

Result<std::vector<std::wstring>> Win32Devices::Children(const std::wstring& instanceId) {
  using R = Result<std::vector<std::wstring>>;
  auto node = LocateNode(instanceId, CM_LOCATE_DEVNODE_NORMAL);
  if (!node) return R::Fail(node.error);
  std::vector<std::wstring> out;
  DEVINST child = 0;
  CONFIGRET cr = ::CM_Get_Child(&child, node.value, 0);
  while (cr == CR_SUCCESS) {
    auto id = DeviceId(child);
    if (!id) return R::Fail(id.error);
    out.push_back(id.value);
    cr = ::CM_Get_Sibling(&child, child, 0);
  }
  if (cr != CR_NO_SUCH_DEVNODE) return R::Fail(CrToWin32(cr));
  return R::Ok(std::move(out));
}

Result<std::wstring> Win32Devices::Parent(const std::wstring& instanceId) {
  auto node = LocateNode(instanceId, CM_LOCATE_DEVNODE_PHANTOM);
  if (!node) return Result<std::wstring>::Fail(node.error);
  DEVINST parent = 0;
  CONFIGRET cr = ::CM_Get_Parent(&parent, node.value, 0);
  if (cr != CR_SUCCESS) return Result<std::wstring>::Fail(CrToWin32(cr));
  return DeviceId(parent);
}

Result<std::vector<std::wstring>> Win32Devices::RegistryProperty(const std::wstring& instanceId, uint32_t cmDrp) {
  using R = Result<std::vector<std::wstring>>;
  auto node = LocateNode(instanceId, CM_LOCATE_DEVNODE_PHANTOM);
  if (!node) return R::Fail(node.error);
  ULONG type = 0, length = 0;
  CONFIGRET cr = ::CM_Get_DevNode_Registry_PropertyW(node.value, cmDrp, &type, nullptr, &length, 0);
  if (cr != CR_BUFFER_SMALL && cr != CR_SUCCESS) return R::Fail(CrToWin32(cr));
  std::vector<BYTE> data(length + sizeof(wchar_t) * 2, 0);
  length = static_cast<ULONG>(data.size());
  cr = ::CM_Get_DevNode_Registry_PropertyW(node.value, cmDrp, &type, data.data(), &length, 0);
  if (cr != CR_SUCCESS) return R::Fail(CrToWin32(cr));
  const auto* text = reinterpret_cast<const wchar_t*>(data.data());
  size_t chars = data.size() / sizeof(wchar_t);
  if (type == REG_MULTI_SZ) return R::Ok(SplitMultiSz(text, chars));
  if (type == REG_SZ || type == REG_EXPAND_SZ) return R::Ok(std::vector<std::wstring>{std::wstring(text)});
  return R::Fail(ERROR_INVALID_DATA);  // not a text property
}

Result<std::vector<std::wstring>> Win32Devices::AllInstanceIds(const std::wstring& enumerator) {
  using R = Result<std::vector<std::wstring>>;
  ULONG flags = enumerator.empty() ? CM_GETIDLIST_FILTER_NONE : CM_GETIDLIST_FILTER_ENUMERATOR;
  PCWSTR filter = enumerator.empty() ? nullptr : enumerator.c_str();
  for (int attempt = 0; attempt < 4; ++attempt) {
    ULONG length = 0;
    CONFIGRET cr = ::CM_Get_Device_ID_List_SizeW(&length, filter, flags);
    if (cr != CR_SUCCESS) return R::Fail(CrToWin32(cr));
    std::vector<wchar_t> list(length + 1, L'\0');
    cr = ::CM_Get_Device_ID_ListW(filter, list.data(), static_cast<ULONG>(list.size()), flags);
    if (cr == CR_BUFFER_SMALL) continue;  // a device arrived between the two calls
    if (cr != CR_SUCCESS) return R::Fail(CrToWin32(cr));
    return R::Ok(SplitMultiSz(list.data(), list.size()));
  }
  return R::Fail(ERROR_INSUFFICIENT_BUFFER);
}

namespace {

// Waits for an overlapped transfer for up to waitMs and collects its result
// without waiting further; an unfinished transfer is cancelled and counts as
// no bytes.
DWORD FinishTransfer(HANDLE file, OVERLAPPED& overlapped, BOOL started, DWORD done, uint32_t waitMs) {
  if (started) return done;
  if (::GetLastError() != ERROR_IO_PENDING) return 0;
  ::WaitForSingleObject(file, waitMs);
  DWORD transferred = 0;
  if (::GetOverlappedResult(file, &overlapped, &transferred, FALSE)) return transferred;
  ::CancelIo(file);
  // The cancelled transfer still owns the OVERLAPPED until it completes.
  ::GetOverlappedResult(file, &overlapped, &transferred, TRUE);
  return 0;
}

}  // namespace

Result<std::vector<uint8_t>> Win32Devices::UsbRequest(const std::wstring& devicePath, std::span<const uint8_t> request,
                                                      uint32_t waitMs, uint32_t pauseMs, uint32_t maxReply) {
  using R = Result<std::vector<uint8_t>>;
  UniqueFileHandle file(::CreateFileW(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OVERLAPPED, nullptr));
  if (!file) return R::Fail(::GetLastError());
  OVERLAPPED writeOverlapped{};
  DWORD written = 0;
  BOOL wrote = ::WriteFile(file.get(), request.data(), static_cast<DWORD>(request.size()), &written, &writeOverlapped);
  FinishTransfer(file.get(), writeOverlapped, wrote, written, waitMs);
  ::Sleep(pauseMs);
  std::vector<uint8_t> reply(maxReply, 0);
  OVERLAPPED readOverlapped{};
  DWORD read = 0;
  BOOL got = ::ReadFile(file.get(), reply.data(), maxReply, &read, &readOverlapped);
  reply.resize(FinishTransfer(file.get(), readOverlapped, got, read, waitMs));
  return R::Ok(std::move(reply));
}

}  // namespace orvello::win32
