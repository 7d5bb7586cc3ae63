#pragma once
// Winsock UDP sockets for the discovery broadcast.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/result.h"

namespace orvello::platform {

struct UdpDatagram {
  uint32_t fromAddress = 0;  // IPv4 in host byte order
  uint16_t fromPort = 0;
  std::vector<uint8_t> bytes;
};

class IUdpSocket {
 public:
  virtual ~IUdpSocket() = default;  // closesocket
  virtual Status SendTo(uint32_t address, uint16_t port, std::span<const uint8_t> bytes) = 0;
  // recvfrom with a time-out; nullopt result value when the time-out passed.
  virtual Result<std::optional<UdpDatagram>> Receive(uint32_t timeoutMs) = 0;
};

class INetwork {
 public:
  virtual ~INetwork() = default;
  // The machine's IPv4 addresses (host byte order), loopback excluded.
  virtual Result<std::vector<uint32_t>> LocalIpv4Addresses() = 0;
  // A UDP socket bound to address:port with SO_BROADCAST enabled.
  virtual Result<std::unique_ptr<IUdpSocket>> OpenUdp(uint32_t bindAddress, uint16_t bindPort) = 0;
};

}  // namespace orvello::platform
