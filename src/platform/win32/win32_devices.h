#pragma once
// SetupAPI INF files and device lists, and the configuration manager's
// device tree. Configuration-manager results are turned into Win32 error
// codes the way CM_MapCrToWin32Err turns them.
#include <memory>

#include "platform/devices.h"

namespace orvello::win32 {

class Win32Devices : public platform::IDevices {
 public:
  Win32Devices();
  ~Win32Devices() override;
  Win32Devices(const Win32Devices&) = delete;
  Win32Devices& operator=(const Win32Devices&) = delete;

  platform::Result<std::unique_ptr<platform::IInfFile>> OpenInf(const std::wstring& path,
                                                                const std::wstring& infClass) override;
  platform::Result<std::vector<platform::DeviceInterface>> PresentInterfaces(
      const std::wstring& interfaceClassGuid) override;
  platform::Result<platform::DeviceNode> Locate(const std::wstring& instanceId) override;
  platform::Result<std::vector<std::wstring>> Children(const std::wstring& instanceId) override;
  platform::Result<std::wstring> Parent(const std::wstring& instanceId) override;
  platform::Result<std::vector<std::wstring>> RegistryProperty(const std::wstring& instanceId, uint32_t cmDrp) override;
  platform::Result<std::vector<std::wstring>> AllInstanceIds(const std::wstring& enumerator) override;
  platform::Result<std::vector<uint8_t>> UsbRequest(const std::wstring& devicePath, std::span<const uint8_t> request,
                                                    uint32_t waitMs, uint32_t pauseMs, uint32_t maxReply) override;
};

}  // namespace orvello::win32
