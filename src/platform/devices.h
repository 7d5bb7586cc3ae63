#pragma once
// SetupAPI device lists and the configuration manager's device tree, in
// the shape of the calls the device detection, removal and the device
// information windows make. INF files are parsed through SetupAPI too.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/result.h"

namespace orvello::platform {

// One line of an INF section: its key (may be empty) and its fields, as
// SetupGetStringFieldW returns them (field 0 is the key).
struct InfLine {
  std::wstring key;
  std::vector<std::wstring> fields;  // fields 1..n
};

// An INF file opened with SetupOpenInfFileW(path, L"Printer", INF_STYLE_WIN4).
class IInfFile {
 public:
  virtual ~IInfFile() = default;  // SetupCloseInfFile
  // SetupEnumInfSectionsW until 259.
  virtual std::vector<std::wstring> Sections() = 0;
  // SetupGetLineCountW; -1 when the section is missing.
  virtual int32_t LineCount(const std::wstring& section) = 0;
  // SetupGetLineByIndexW + SetupGetFieldCount + SetupGetStringFieldW.
  virtual Result<InfLine> Line(const std::wstring& section, uint32_t index) = 0;
};

// A device node of the configuration manager.
struct DeviceNode {
  std::wstring instanceId;
  uint32_t status = 0;
  uint32_t problem = 0;
};

// One device interface of a class, with what SetupAPI and the configuration
// manager tell about its device.
struct DeviceInterface {
  std::wstring devicePath;      // SetupDiGetDeviceInterfaceDetailW
  std::wstring instanceId;      // of the interface's device
};

class IDevices {
 public:
  virtual ~IDevices() = default;
  virtual Result<std::unique_ptr<IInfFile>> OpenInf(const std::wstring& path, const std::wstring& infClass) = 0;
  // SetupDiGetClassDevsW(interface class, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE) + enumeration.
  virtual Result<std::vector<DeviceInterface>> PresentInterfaces(const std::wstring& interfaceClassGuid) = 0;
  // CM_Locate_DevNodeW.
  virtual Result<DeviceNode> Locate(const std::wstring& instanceId) = 0;
  // CM_Get_Child / CM_Get_Sibling / CM_Get_Parent as instance ids.
  virtual Result<std::vector<std::wstring>> Children(const std::wstring& instanceId) = 0;
  virtual Result<std::wstring> Parent(const std::wstring& instanceId) = 0;
  // CM_Get_DevNode_Registry_PropertyW for a CM_DRP_ code, as a string list (MULTI_SZ) or one string.
  virtual Result<std::vector<std::wstring>> RegistryProperty(const std::wstring& instanceId, uint32_t cmDrp) = 0;
  // Every device instance id of the tree (CM_Get_Device_ID_ListW), optionally filtered by enumerator.
  virtual Result<std::vector<std::wstring>> AllInstanceIds(const std::wstring& enumerator) = 0;
  // One request and its answer on a USB printer interface: CreateFileW(devicePath,
  // GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
  // FILE_FLAG_OVERLAPPED), an overlapped WriteFile of `request` waited for up to
  // `waitMs`, a pause of `pauseMs`, then an overlapped ReadFile of up to
  // `maxReply` bytes waited for up to `waitMs`. Fails only when the path does
  // not open; a device that does not answer in time gives no bytes.
  virtual Result<std::vector<uint8_t>> UsbRequest(const std::wstring& devicePath, std::span<const uint8_t> request,
                                                  uint32_t waitMs, uint32_t pauseMs, uint32_t maxReply) = 0;
};

}  // namespace orvello::platform
