#pragma once
// Winsock UDP and the adapters' IPv4 addresses. Winsock must have been
// started (ISession::WinsockStartup) before the first call.
#include "platform/network.h"

namespace orvello::win32 {

class Win32Network : public platform::INetwork {
 public:
  platform::Result<std::vector<uint32_t>> LocalIpv4Addresses() override;
  platform::Result<std::unique_ptr<platform::IUdpSocket>> OpenUdp(uint32_t bindAddress, uint16_t bindPort) override;
};

}  // namespace orvello::win32
