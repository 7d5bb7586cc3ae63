#include "platform/win32/win32_network.h"

#include <winsock2.h>
#include <iphlpapi.h>

#include <vector>

namespace orvello::win32 {

using platform::Result;
using platform::Status;
using platform::UdpDatagram;

namespace {

constexpr size_t kLargestDatagram = 65536;

uint32_t LastSocketError() {
  int e = ::WSAGetLastError();
  return e ? static_cast<uint32_t>(e) : static_cast<uint32_t>(WSAEINVAL);
}

class Win32UdpSocket : public platform::IUdpSocket {
 public:
  explicit Win32UdpSocket(SOCKET s) : socket_(s) {}
  ~Win32UdpSocket() override { ::closesocket(socket_); }
  Win32UdpSocket(const Win32UdpSocket&) = delete;
  Win32UdpSocket& operator=(const Win32UdpSocket&) = delete;

  Status SendTo(uint32_t address, uint16_t port, std::span<const uint8_t> bytes) override {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = ::htonl(address);
    to.sin_port = ::htons(port);
    int sent = ::sendto(socket_, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0,
                        reinterpret_cast<const sockaddr*>(&to), sizeof(to));
    if (sent == SOCKET_ERROR) return Status::Fail(LastSocketError());
    return Status::Ok();
  }

  Result<std::optional<UdpDatagram>> Receive(uint32_t timeoutMs) override {
    using R = Result<std::optional<UdpDatagram>>;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval timeout{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
    int ready = ::select(0, &readable, nullptr, nullptr, &timeout);
    if (ready == SOCKET_ERROR) return R::Fail(LastSocketError());
    if (ready == 0) return R::Ok(std::nullopt);
    std::vector<uint8_t> buffer(kLargestDatagram);
    sockaddr_in from{};
    int fromSize = sizeof(from);
    int n = ::recvfrom(socket_, reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()), 0,
                       reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (n == SOCKET_ERROR) return R::Fail(LastSocketError());
    buffer.resize(static_cast<size_t>(n));
    return R::Ok(UdpDatagram{::ntohl(from.sin_addr.s_addr), ::ntohs(from.sin_port), std::move(buffer)});
  }

 private:
  SOCKET socket_;
};

}  // namespace

Result<std::vector<uint32_t>> Win32Network::LocalIpv4Addresses() {
  using R = Result<std::vector<uint32_t>>;
  ULONG size = 0;
  DWORD status = ::GetAdaptersInfo(nullptr, &size);
  if (status == ERROR_NO_DATA) return R::Ok({});
  std::vector<BYTE> buffer;
  for (int attempt = 0; attempt < 4 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.assign(size, 0);
    status = ::GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
  }
  if (status == ERROR_NO_DATA) return R::Ok({});
  if (status != ERROR_SUCCESS) return R::Fail(status);
  std::vector<uint32_t> out;
  for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next) {
    for (IP_ADDR_STRING* ip = &a->IpAddressList; ip; ip = ip->Next) {
      unsigned long parsed = ::inet_addr(ip->IpAddress.String);  // inet_pton needs Vista
      if (parsed == INADDR_NONE) continue;
      uint32_t host = ::ntohl(parsed);
      if (host == 0 || (host >> 24) == 127) continue;  // unconfigured adapters and loopback
      bool seen = false;
      for (uint32_t o : out) seen = seen || o == host;
      if (!seen) out.push_back(host);
    }
  }
  return R::Ok(std::move(out));
}

Result<std::unique_ptr<platform::IUdpSocket>> Win32Network::OpenUdp(uint32_t bindAddress, uint16_t bindPort) {
  using R = Result<std::unique_ptr<platform::IUdpSocket>>;
  SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return R::Fail(LastSocketError());
  auto socket = std::make_unique<Win32UdpSocket>(s);  // closes s on every failure below
  BOOL broadcast = TRUE;
  if (::setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&broadcast), sizeof(broadcast)) ==
      SOCKET_ERROR) {
    return R::Fail(LastSocketError());
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = ::htonl(bindAddress);
  local.sin_port = ::htons(bindPort);
  if (::bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) == SOCKET_ERROR) {
    return R::Fail(LastSocketError());
  }
  return R::Ok(std::move(socket));
}

}  // namespace orvello::win32
