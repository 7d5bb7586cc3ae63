#include "platform/fake/fake_network.h"

#include <algorithm>
#include <deque>

namespace orvello::fake {

using platform::Result;
using platform::Status;
using platform::UdpDatagram;

namespace {
using Lock = std::lock_guard<std::mutex>;
constexpr uint32_t kAddressInUse = 10048;      // WSAEADDRINUSE
constexpr uint32_t kAddressNotAvailable = 10049;  // WSAEADDRNOTAVAIL
constexpr uint32_t kBroadcast = 0xFFFFFFFFu;
constexpr uint16_t kFirstEphemeralPort = 49152;
}  // namespace

struct FakeNetwork::State {
  std::mutex mutex;
  std::vector<uint32_t> addresses{Ipv4(192, 168, 1, 20)};
  uint32_t mask = 0xFFFFFF00u;
  std::vector<FakeUdpPeer> peers;
  std::vector<Sent> sent;
  std::vector<std::pair<uint32_t, uint16_t>> bound;
  uint16_t nextEphemeral = kFirstEphemeralPort;

  bool IsLocal(uint32_t a) const { return std::find(addresses.begin(), addresses.end(), a) != addresses.end(); }
  // Broadcasts stay on the local subnets; unicast is routed anywhere.
  bool Reaches(uint32_t to, uint32_t peer) const {
    if (to == peer) return true;
    for (uint32_t a : addresses) {
      bool sameSubnet = (a & mask) == (peer & mask);
      if (sameSubnet && (to == kBroadcast || to == ((a & mask) | ~mask))) return true;
    }
    return false;
  }
};

namespace {

class FakeUdpSocket : public platform::IUdpSocket {
 public:
  FakeUdpSocket(std::shared_ptr<FakeNetwork::State> state, uint32_t address, uint16_t port)
      : state_(std::move(state)), address_(address), port_(port) {}
  ~FakeUdpSocket() override {
    Lock lock(state_->mutex);
    auto& b = state_->bound;
    b.erase(std::remove(b.begin(), b.end(), std::make_pair(address_, port_)), b.end());
  }

  Status SendTo(uint32_t address, uint16_t port, std::span<const uint8_t> bytes) override {
    std::vector<FakeUdpPeer> peers;
    std::vector<uint8_t> request(bytes.begin(), bytes.end());
    uint32_t from = address_;
    {
      Lock lock(state_->mutex);
      if (from == 0 && !state_->addresses.empty()) from = state_->addresses.front();
      state_->sent.push_back(FakeNetwork::Sent{from, port_, address, port, request});
      for (const auto& p : state_->peers) {
        if (p.port == port && state_->Reaches(address, p.address)) peers.push_back(p);
      }
    }
    // Scripts run without the lock: they may be slow or look at the network.
    for (const auto& p : peers) {
      if (!p.answer) continue;
      for (auto& reply : p.answer(request)) {
        Lock lock(state_->mutex);
        inbox_.push_back(UdpDatagram{p.address, p.port, std::move(reply)});
      }
    }
    return Status::Ok();
  }

  Result<std::optional<UdpDatagram>> Receive(uint32_t) override {
    Lock lock(state_->mutex);
    if (inbox_.empty()) return Result<std::optional<UdpDatagram>>::Ok(std::nullopt);
    UdpDatagram d = std::move(inbox_.front());
    inbox_.pop_front();
    return Result<std::optional<UdpDatagram>>::Ok(std::move(d));
  }

 private:
  std::shared_ptr<FakeNetwork::State> state_;
  uint32_t address_;
  uint16_t port_;
  std::deque<UdpDatagram> inbox_;
};

}  // namespace

FakeNetwork::FakeNetwork() : state_(std::make_shared<State>()) {}
FakeNetwork::~FakeNetwork() = default;

Result<std::vector<uint32_t>> FakeNetwork::LocalIpv4Addresses() {
  Lock lock(state_->mutex);
  return Result<std::vector<uint32_t>>::Ok(state_->addresses);
}

Result<std::unique_ptr<platform::IUdpSocket>> FakeNetwork::OpenUdp(uint32_t bindAddress, uint16_t bindPort) {
  using R = Result<std::unique_ptr<platform::IUdpSocket>>;
  Lock lock(state_->mutex);
  State& s = *state_;
  if (bindAddress != 0 && !s.IsLocal(bindAddress)) return R::Fail(kAddressNotAvailable);
  if (bindPort == 0) bindPort = s.nextEphemeral++;
  for (const auto& [a, p] : s.bound) {
    bool overlap = a == bindAddress || a == 0 || bindAddress == 0;
    if (p == bindPort && overlap) return R::Fail(kAddressInUse);
  }
  s.bound.emplace_back(bindAddress, bindPort);
  return R::Ok(std::make_unique<FakeUdpSocket>(state_, bindAddress, bindPort));
}

void FakeNetwork::SetLocalAddresses(std::vector<uint32_t> addresses, uint32_t subnetMask) {
  Lock lock(state_->mutex);
  state_->addresses = std::move(addresses);
  state_->mask = subnetMask;
}

void FakeNetwork::AddPeer(FakeUdpPeer peer) {
  Lock lock(state_->mutex);
  state_->peers.push_back(std::move(peer));
}

std::vector<FakeNetwork::Sent> FakeNetwork::SentDatagrams() {
  Lock lock(state_->mutex);
  return state_->sent;
}

}  // namespace orvello::fake
