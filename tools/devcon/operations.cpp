#include "operations.h"

#include <windows.h>
// Order matters: setupapi.h before the headers that use its types.
#include <setupapi.h>
#include <cfgmgr32.h>
#include <newdev.h>

#include "console.h"
#include "devcon.h"

namespace orvello::devcon {
namespace {

class DeviceList {
 public:
  explicit DeviceList(HDEVINFO set) : set_(set) {}
  ~DeviceList() {
    if (ok()) ::SetupDiDestroyDeviceInfoList(set_);
  }
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  bool ok() const { return set_ != INVALID_HANDLE_VALUE; }
  HDEVINFO get() const { return set_; }

 private:
  HDEVINFO set_;
};

// Four times MAX_PATH: the staged INF lies below Program Files, and the
// frame stays below one stack page.
constexpr DWORD kPathChars = 4 * MAX_PATH;

void WriteQuoted(const wchar_t* before, const wchar_t* name, const wchar_t* after) {
  Write(before);
  Write(L"\"");
  Write(name);
  Write(L"\"");
  WriteLine(after);
}

}  // namespace

int UpdateDriver(const wchar_t* infPath, const wchar_t* hardwareId) {
  // The call wants a full path; a relative one is taken from the current folder.
  wchar_t full[kPathChars];
  DWORD length = ::GetFullPathNameW(infPath, kPathChars, full, nullptr);
  if (length == 0 || length >= kPathChars) {
    WriteQuoted(L"The INF path ", infPath, L" cannot be used.");
    WriteErrorLine(L"GetFullPathName", length ? ERROR_FILENAME_EXCED_RANGE : ::GetLastError());
    return kFailed;
  }
  DWORD attributes = ::GetFileAttributesW(full);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : ERROR_DIRECTORY;
    WriteQuoted(L"The INF file ", full, L" cannot be read.");
    WriteErrorLine(L"GetFileAttributes", error);
    return kFailed;
  }

  Write(L"Updating the driver of \"");
  Write(hardwareId);
  WriteQuoted(L"\" from ", full, L".");
  BOOL restart = FALSE;
  if (!::UpdateDriverForPlugAndPlayDevicesW(nullptr, hardwareId, full, INSTALLFLAG_FORCE, &restart)) {
    DWORD error = ::GetLastError();
    if (error == ERROR_NO_SUCH_DEVINST) WriteQuoted(L"No present device has the hardware ID ", hardwareId, L".");
    // A 32-bit tool cannot install drivers on 64-bit Windows; the
    // installer starts the 64-bit one there.
    if (error == ERROR_IN_WOW64) WriteLine(L"This build of the tool does not match the processor of Windows.");
    WriteErrorLine(L"Updating the driver failed", error);
    return kFailed;
  }
  WriteQuoted(L"The driver is installed on the devices with hardware ID ", hardwareId, L".");
  if (restart) {
    WriteLine(L"Windows must restart to finish the installation.");
    return kDoneRestartNeeded;
  }
  return kDone;
}

int RemoveDevice(const wchar_t* instanceId) {
  // All classes, present or not: stale devices are removed too.
  DeviceList list(::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
  if (!list.ok()) {
    WriteErrorLine(L"Listing the devices failed", ::GetLastError());
    return kFailed;
  }
  SP_DEVINFO_DATA device;
  device.cbSize = sizeof(device);
  if (!::SetupDiOpenDeviceInfoW(list.get(), instanceId, nullptr, 0, &device)) {
    DWORD error = ::GetLastError();
    WriteQuoted(L"No device has the instance ID ", instanceId, L".");
    WriteErrorLine(L"SetupDiOpenDeviceInfo", error);
    return kFailed;
  }

  WriteQuoted(L"Removing the device ", instanceId, L".");
  SP_REMOVEDEVICE_PARAMS params;
  params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
  params.ClassInstallHeader.InstallFunction = DIF_REMOVE;
  params.Scope = DI_REMOVEDEVICE_GLOBAL;
  params.HwProfile = 0;
  // Through the class installer, so that it and the co-installers clean up
  // after their device. Where the parameters cannot be handed over (Wine
  // has no SetupDiSetClassInstallParams), the device is removed the way
  // DIF_REMOVE does by default.
  bool removed = false;
  if (::SetupDiSetClassInstallParamsW(list.get(), &device, &params.ClassInstallHeader, sizeof(params)))
    removed = ::SetupDiCallClassInstaller(DIF_REMOVE, list.get(), &device);
  else
    removed = ::SetupDiRemoveDevice(list.get(), &device);
  if (!removed) {
    WriteErrorLine(L"Removing the device failed", ::GetLastError());
    return kFailed;
  }
  WriteQuoted(L"The device ", instanceId, L" is removed.");

  SP_DEVINSTALL_PARAMS_W install;
  install.cbSize = sizeof(install);
  if (::SetupDiGetDeviceInstallParamsW(list.get(), &device, &install) &&
      (install.Flags & (DI_NEEDREBOOT | DI_NEEDRESTART))) {
    WriteLine(L"Windows must restart to finish the removal.");
    return kDoneRestartNeeded;
  }
  return kDone;
}

int Rescan() {
  WriteLine(L"Scanning for hardware changes.");
  DEVINST root = 0;
  const wchar_t* step = L"CM_Locate_DevNode";
  CONFIGRET result = ::CM_Locate_DevNodeW(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL);
  if (result == CR_SUCCESS) {
    step = L"CM_Reenumerate_DevNode";
    result = ::CM_Reenumerate_DevNode(root, 0);
  }
  if (result != CR_SUCCESS) {
    Write(L"The scan failed: ");
    Write(step);
    Write(L" gave configuration manager result ");
    WriteHex(result);
    WriteLine(L".");
    return kFailed;
  }
  WriteLine(L"The scan is complete.");
  return kDone;
}

}  // namespace orvello::devcon
