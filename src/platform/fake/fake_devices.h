#pragma once
// SetupAPI and the configuration manager of the fake machine: INF files
// read from the fake file system (fake_inf_file.h has the rules), and a
// device tree of nodes with registry properties, children and device
// interfaces. The tree starts with the root node "HTREE\ROOT\0".
//
// Instance ids and interface class GUIDs compare without regard to letter
// case. A node that is not present (a phantom: installed once, unplugged
// now) stays in the tree and in the id lists, but CM_Locate_DevNode fails
// for it and its interfaces are not listed as present.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/devices.h"

namespace orvello::fake {

class FakeFiles;

// CM_DRP_ property codes the program reads.
namespace cm_drp {
inline constexpr uint32_t kDeviceDesc = 0x01;
inline constexpr uint32_t kHardwareId = 0x02;
inline constexpr uint32_t kCompatibleIds = 0x03;
inline constexpr uint32_t kService = 0x05;
inline constexpr uint32_t kClass = 0x08;
inline constexpr uint32_t kClassGuid = 0x09;
inline constexpr uint32_t kDriver = 0x0A;
inline constexpr uint32_t kMfg = 0x0C;
inline constexpr uint32_t kFriendlyName = 0x0D;
inline constexpr uint32_t kLocationInformation = 0x0E;
inline constexpr uint32_t kEnumeratorName = 0x17;
}  // namespace cm_drp

struct FakeDeviceNode {
  std::wstring instanceId;
  std::wstring parentId;  // empty only for the root
  bool present = true;
  uint32_t status = 0x0180200A;  // DN_DRIVER_LOADED | DN_STARTED | DN_DISABLEABLE | DN_NT_ENUMERATOR | DN_NT_DRIVER
  uint32_t problem = 0;
  // CM_DRP_ code -> the strings of the property (one for REG_SZ).
  std::map<uint32_t, std::vector<std::wstring>> properties;
  // Device interfaces: class GUID text ("{...}") and device path.
  std::vector<std::pair<std::wstring, std::wstring>> interfaces;
  // What the device answers to a request on any of its interfaces; none
  // for a device that stays silent (the waits run out, no bytes).
  std::optional<std::vector<uint8_t>> usbReply;
  // The requests written to it, oldest first.
  std::vector<std::vector<uint8_t>> usbRequests;
};

class FakeDevices : public platform::IDevices {
 public:
  explicit FakeDevices(FakeFiles& files);
  ~FakeDevices() override;
  FakeDevices(const FakeDevices&) = delete;
  FakeDevices& operator=(const FakeDevices&) = delete;

  platform::Result<std::unique_ptr<platform::IInfFile>> OpenInf(const std::wstring& path,
                                                                const std::wstring& infClass) override;
  platform::Result<std::vector<platform::DeviceInterface>> PresentInterfaces(
      const std::wstring& interfaceClassGuid) override;
  platform::Result<platform::DeviceNode> Locate(const std::wstring& instanceId) override;
  platform::Result<std::vector<std::wstring>> Children(const std::wstring& instanceId) override;
  platform::Result<std::wstring> Parent(const std::wstring& instanceId) override;
  platform::Result<std::vector<std::wstring>> RegistryProperty(const std::wstring& instanceId, uint32_t cmDrp) override;
  platform::Result<std::vector<std::wstring>> AllInstanceIds(const std::wstring& enumerator) override;
  // Opens like CreateFileW: a path that no present node's interface has
  // fails with 2. The reply is cut to maxReply bytes.
  platform::Result<std::vector<uint8_t>> UsbRequest(const std::wstring& devicePath, std::span<const uint8_t> request,
                                                    uint32_t waitMs, uint32_t pauseMs, uint32_t maxReply) override;

  // Arranging. AddNode appends the node below its parent (which must exist;
  // false otherwise) and sets CM_DRP_ENUMERATOR_NAME from the id's first part.
  bool AddNode(FakeDeviceNode node);
  // Removes the node and everything below it (a device that is uninstalled).
  void RemoveNode(const std::wstring& instanceId);
  void SetPresent(const std::wstring& instanceId, bool present);
  // The node, for arranging and inspecting; nullptr when unknown. Valid
  // until the node is removed.
  FakeDeviceNode* Node(const std::wstring& instanceId);

 private:
  struct State;
  FakeFiles& files_;
  std::unique_ptr<State> state_;
};

}  // namespace orvello::fake
