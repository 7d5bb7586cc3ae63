// The fake Winsock UDP and Bluetooth stack: who hears a broadcast, who
// answers, binding rules, and pairing with the device's PIN.
#include <gtest/gtest.h>

#include "platform/fake/fake_machine.h"

namespace orvello {
namespace {

using fake::Ipv4;
namespace err = platform::err;

std::vector<uint8_t> Bytes(const char* s) { return std::vector<uint8_t>(s, s + std::char_traits<char>::length(s)); }

TEST(FakeNetworkTest, BroadcastReachesPeersOnThePortAndTheyAnswer) {
  fake::FakeMachine m;
  m.network.SetLocalAddresses({Ipv4(192, 168, 1, 20)}, 0xFFFFFF00u);
  auto echo = [](const char* name) {
    return [name](const std::vector<uint8_t>& request) {
      std::vector<uint8_t> reply = Bytes(name);
      reply.insert(reply.end(), request.begin(), request.end());
      return std::vector<std::vector<uint8_t>>{reply};
    };
  };
  m.network.AddPeer({Ipv4(192, 168, 1, 77), 22368, echo("A:")});
  m.network.AddPeer({Ipv4(192, 168, 1, 78), 9999, echo("B:")});    // another port
  m.network.AddPeer({Ipv4(10, 0, 0, 5), 22368, echo("C:")});       // another subnet

  auto socket = m.network.OpenUdp(Ipv4(192, 168, 1, 20), 22369);
  ASSERT_TRUE(socket.ok());
  EXPECT_EQ(m.network.OpenUdp(0, 22369).error, 10048u) << "the port is taken";
  EXPECT_EQ(m.network.OpenUdp(Ipv4(192, 168, 2, 1), 22370).error, 10049u) << "not this machine's address";

  ASSERT_TRUE(socket.value->SendTo(0xFFFFFFFFu, 22368, Bytes("hi")).ok());
  auto first = socket.value->Receive(1000);
  ASSERT_TRUE(first.ok() && first.value);
  EXPECT_EQ(first.value->fromAddress, Ipv4(192, 168, 1, 77));
  EXPECT_EQ(first.value->fromPort, 22368);
  EXPECT_EQ(first.value->bytes, Bytes("A:hi"));
  EXPECT_FALSE(socket.value->Receive(1000).value) << "C and B heard nothing";

  ASSERT_TRUE(socket.value->SendTo(Ipv4(10, 0, 0, 5), 22368, Bytes("x")).ok());
  EXPECT_EQ(socket.value->Receive(1000).value->bytes, Bytes("C:x")) << "sent to its own address";
  ASSERT_EQ(m.network.SentDatagrams().size(), 2u);
  EXPECT_EQ(m.network.SentDatagrams()[0].fromPort, 22369);

  socket.value.reset();
  EXPECT_TRUE(m.network.OpenUdp(0, 22369).ok()) << "closing frees the port";
}

TEST(FakeBluetoothTest, PairingNeedsTheDevicesPin) {
  fake::FakeMachine m;
  fake::FakeBluetoothDevice printer;
  printer.info.address = 0x0012F3A1B2C3ull;
  printer.info.name = L"T80-B2C3";
  printer.info.classOfDevice = 0x040680;
  printer.pin = L"1234";
  m.bluetooth.AddDevice(printer);

  EXPECT_TRUE(m.bluetooth.Devices(false, 0).value.empty()) << "not remembered, no inquiry";
  ASSERT_EQ(m.bluetooth.Devices(true, 4).value.size(), 1u);
  EXPECT_EQ(m.bluetooth.RemoveDevice(printer.info.address).error, err::kNotFound);
  EXPECT_EQ(m.bluetooth.EnableSerialPortService(printer.info.address).error, err::kNotFound) << "not paired yet";
  EXPECT_EQ(m.bluetooth.Authenticate(printer.info.address, L"0000").error, 1244u);
  ASSERT_TRUE(m.bluetooth.Authenticate(printer.info.address, L"1234").ok());
  EXPECT_TRUE(m.bluetooth.Devices(false, 0).value.at(0).authenticated);
  ASSERT_TRUE(m.bluetooth.EnableSerialPortService(printer.info.address).ok());
  EXPECT_TRUE(m.bluetooth.Device(printer.info.address)->serialPortServiceEnabled);
  ASSERT_TRUE(m.bluetooth.RemoveDevice(printer.info.address).ok());
  EXPECT_TRUE(m.bluetooth.Devices(false, 0).value.empty());

  m.bluetooth.SetRadioPresent(false);
  EXPECT_EQ(m.bluetooth.FindRadio().error, err::kNoMoreItems);
  EXPECT_TRUE(m.bluetooth.Devices(true, 4).value.empty());
}

}  // namespace
}  // namespace orvello
