// The fake SetupAPI and configuration manager: what the INF reader refuses
// as Windows does (the contract cases cover what it reads), and the device
// tree with present and unplugged nodes.
#include <gtest/gtest.h>

#include "platform/fake/fake_inf_file.h"
#include "platform/fake/fake_machine.h"
#include "system/text.h"

namespace orvello {
namespace {

namespace err = platform::err;
using fake::FakeDeviceNode;

constexpr wchar_t kInfPath[] = L"C:\\Temp\\printer.inf";
constexpr wchar_t kUsbPrintClass[] = L"{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}";

class FakeDevicesTest : public ::testing::Test {
 protected:
  FakeDeviceNode Node(const std::wstring& id, const std::wstring& parent, bool present = true) {
    FakeDeviceNode n;
    n.instanceId = id;
    n.parentId = parent;
    n.present = present;
    return n;
  }
  fake::FakeMachine m;
  fake::FakeDevices& devices = m.devices;
};

TEST_F(FakeDevicesTest, InfOpeningRefusesWhatSetupApiRefuses) {
  struct Case {
    const char* text;
    const wchar_t* infClass;
    uint32_t error;
  };
  const Case cases[] = {
      {"[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Net\r\n", L"Printer", fake::inf_err::kClassMismatch},
      {"[Version]\r\nSignature=\"$Windows 3.1$\"\r\nClass=Printer\r\n", L"Printer", fake::inf_err::kWrongInfStyle},
      {"[Strings]\r\nA=b\r\n", L"", fake::inf_err::kWrongInfStyle},
      {"Stray=line\r\n[Version]\r\nSignature=$Chicago$\r\n", L"", fake::inf_err::kExpectedSectionName},
      {"; only comments before\r\n\r\n[Version]\r\nsignature=$chicago$\r\nclass=printer\r\n", L"Printer", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(m.files.AddFile(kInfPath, c.text).ok());
    EXPECT_EQ(devices.OpenInf(kInfPath, c.infClass).error, c.error);
  }
  EXPECT_EQ(devices.OpenInf(L"C:\\Temp\\missing.inf", L"Printer").error, err::kFileNotFound);
}

TEST_F(FakeDevicesTest, InfReadsUtf16WithByteOrderMark) {
  std::vector<uint8_t> bytes{0xFF, 0xFE};
  auto text = WideToUtf16Bytes(L"[Version]\r\nSignature=\"$Windows NT$\"\r\n[Strings]\r\nName=\"Tessar \x00C9tiquette\"\r\n", false);
  bytes.insert(bytes.end(), text.begin(), text.end());
  ASSERT_TRUE(m.files.AddFile(kInfPath, bytes).ok());
  auto inf = devices.OpenInf(kInfPath, L"");
  ASSERT_TRUE(inf.ok()) << inf.error;
  auto line = inf.value->Line(L"Strings", 0);
  ASSERT_TRUE(line.ok());
  EXPECT_EQ(line.value.fields, std::vector<std::wstring>{L"Tessar \x00C9tiquette"});
}

TEST_F(FakeDevicesTest, TreeKeepsUnpluggedNodesOutOfTheLiveTree) {
  ASSERT_TRUE(devices.AddNode(Node(L"USB\\VID_1234&PID_0001\\A1", L"HTREE\\ROOT\\0")));
  FakeDeviceNode printer = Node(L"USBPRINT\\TessarExT80\\7&1&0&USB001", L"USB\\VID_1234&PID_0001\\A1");
  printer.properties[fake::cm_drp::kHardwareId] = {L"USBPRINT\\TessarExT80A1B2", L"TessarExT80A1B2"};
  printer.properties[fake::cm_drp::kClass] = {L"Printer"};
  printer.interfaces.push_back({kUsbPrintClass, L"\\\\?\\usb#vid_1234&pid_0001#a1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"});
  ASSERT_TRUE(devices.AddNode(printer));
  ASSERT_TRUE(devices.AddNode(Node(L"USBPRINT\\TessarExT80\\7&1&0&USB002", L"USB\\VID_1234&PID_0001\\A1", false)));
  EXPECT_FALSE(devices.AddNode(Node(L"SWD\\PRINTENUM\\X", L"NO\\SUCH\\PARENT"))) << "the parent must exist";

  auto found = devices.PresentInterfaces(L"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}");
  ASSERT_TRUE(found.ok());
  ASSERT_EQ(found.value.size(), 1u);
  EXPECT_EQ(found.value[0].instanceId, printer.instanceId);

  EXPECT_EQ(devices.Children(L"usb\\vid_1234&pid_0001\\a1").value, std::vector<std::wstring>{printer.instanceId})
      << "the unplugged printer is not in the live tree";
  EXPECT_EQ(devices.Locate(L"USBPRINT\\TessarExT80\\7&1&0&USB002").error, err::kFileNotFound);
  EXPECT_EQ(devices.Parent(L"USBPRINT\\TessarExT80\\7&1&0&USB002").value, L"USB\\VID_1234&PID_0001\\A1")
      << "an unplugged node still knows its parent";
  EXPECT_EQ(devices.AllInstanceIds(L"USBPRINT").value.size(), 2u);
  EXPECT_EQ(devices.RegistryProperty(printer.instanceId, fake::cm_drp::kHardwareId).value.front(),
            L"USBPRINT\\TessarExT80A1B2");
  EXPECT_EQ(devices.RegistryProperty(printer.instanceId, fake::cm_drp::kEnumeratorName).value,
            std::vector<std::wstring>{L"USBPRINT"});
  EXPECT_EQ(devices.RegistryProperty(printer.instanceId, fake::cm_drp::kFriendlyName).error, err::kFileNotFound);

  devices.RemoveNode(L"USB\\VID_1234&PID_0001\\A1");
  EXPECT_EQ(devices.AllInstanceIds(L"").value, std::vector<std::wstring>{L"HTREE\\ROOT\\0"})
      << "removing a node removes what lies below it";
}

}  // namespace
}  // namespace orvello
