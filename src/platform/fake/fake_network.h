#pragma once
// Winsock UDP on the fake machine: the machine's IPv4 addresses and
// scripted peers on the network. A datagram sent to a peer's address
// reaches it wherever it is; one sent to 255.255.255.255 or to a subnet's
// broadcast address reaches the peers on the machine's own subnets. Peers
// hear only their own port; each peer answers with the datagrams its script
// returns, which the sending socket then receives. Nothing waits: a
// Receive with nothing queued answers "time-out passed" at once.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/network.h"

namespace orvello::fake {

struct FakeUdpPeer {
  uint32_t address = 0;  // host byte order
  uint16_t port = 0;     // the port it listens on
  // The request's bytes -> the answers, each sent from address:port.
  std::function<std::vector<std::vector<uint8_t>>(const std::vector<uint8_t>& request)> answer;
};

class FakeNetwork : public platform::INetwork {
 public:
  FakeNetwork();
  ~FakeNetwork() override;

  platform::Result<std::vector<uint32_t>> LocalIpv4Addresses() override;
  // Binding to an address the machine does not have fails with 10049
  // (WSAEADDRNOTAVAIL); to an address and port in use with 10048.
  platform::Result<std::unique_ptr<platform::IUdpSocket>> OpenUdp(uint32_t bindAddress, uint16_t bindPort) override;

  // Arranging and inspecting. The machine starts with 192.168.1.20/24.
  void SetLocalAddresses(std::vector<uint32_t> addresses, uint32_t subnetMask);
  void AddPeer(FakeUdpPeer peer);
  // Every datagram any socket sent, in order.
  struct Sent {
    uint32_t fromAddress = 0;
    uint16_t fromPort = 0;
    uint32_t toAddress = 0;
    uint16_t toPort = 0;
    std::vector<uint8_t> bytes;
  };
  std::vector<Sent> SentDatagrams();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// a.b.c.d in host byte order.
constexpr uint32_t Ipv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  return (uint32_t{a} << 24) | (uint32_t{b} << 16) | (uint32_t{c} << 8) | d;
}

}  // namespace orvello::fake
