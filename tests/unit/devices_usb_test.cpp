// The USB printer search against the fake machine's device tree: catalogue
// matching, the port-type filter, the merge into the shown list, the
// Lumatrix name query, and which devices count as already installed.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "devices/lumatrix.h"
#include "devices/usb_printers.h"
#include "log/my_log.h"
#include "platform/fake/fake_machine.h"
#include "system/text.h"

namespace orvello {
namespace {

constexpr const char* kCatalogue = R"(
<Drivers>
  <Manufacturers>
    <Manufacturer mode="Native"><Driver name="Base" usbname="USBPRINT\QovaBase" btadapter="Yes"/></Manufacturer>
    <Manufacturer mode="Acme">
      <Driver name="A1" usbname="USBPRINT\Acme_A1"/>
      <Driver name="A1 later" usbname="USBPRINT\Acme_A1"/>
      <Driver name="Dongle" usbname="USBPRINT\Acme_BT" btadapter="true"/>
      <Driver name="Child" parent="Base"/>
      <Driver name="Lumatrix A1" usbname="USBPRINT\Lumatrix_A6B36A"/>
      <Driver name="Lumatrix" usbname="USBPRINT\Lumatrix_A877EB"/>
      <Driver name="Lumatrix" usbname="USBPRINT\Lumatrix_A773AB"/>
    </Manufacturer>
    <Manufacturer mode="Other"><Driver name="O1" usbname="USBPRINT\Other_O1"/></Manufacturer>
  </Manufacturers>
</Drivers>)";

std::vector<uint8_t> Utf16(const std::wstring& text) {
  std::vector<uint8_t> bytes;
  for (wchar_t c : text + L'\0') {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
  }
  return bytes;
}

class UsbPrinters : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(catalogue_.load_string(kCatalogue)); }

  static std::wstring UsbId(int port) { return L"USB\\VID_1A2B&PID_3C4D\\SER" + std::to_wstring(port); }
  static std::wstring ChildId(int port) { return L"USBPRINT\\ACME\\7&2F1E&0&USB00" + std::to_wstring(port); }
  static std::wstring Path(int port) {
    return L"\\\\?\\usb#vid_1a2b&pid_3c4d#ser" + std::to_wstring(port) + L"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
  }

  // A USB printer on port USB00<port>; without a child node when `withChild` is false.
  void Plug(int port, const std::wstring& hardwareId, bool withChild = true) {
    fake::FakeDeviceNode usb;
    usb.instanceId = UsbId(port);
    usb.parentId = L"HTREE\\ROOT\\0";
    usb.interfaces.push_back({kUsbPrintInterfaceGuid, Path(port)});
    ASSERT_TRUE(machine_.devices.AddNode(usb));
    if (!withChild) return;
    fake::FakeDeviceNode child;
    child.instanceId = ChildId(port);
    child.parentId = usb.instanceId;
    child.properties[fake::cm_drp::kHardwareId] = {hardwareId, L"USBPRINT\\Generic"};
    ASSERT_TRUE(machine_.devices.AddNode(child));
  }
  void Unplug(int port) { machine_.devices.RemoveNode(UsbId(port)); }

  DeviceScan Scan(int32_t portType, std::wstring manufacturer = L"Acme") {
    return DeviceScan{machine_.platform(), catalogue_, std::move(manufacturer), portType, nullptr};
  }

  std::vector<std::wstring> Refresh(int32_t portType, std::wstring manufacturer = L"Acme") {
    RefreshUsbPrinters(Scan(portType, std::move(manufacturer)), list_);
    std::vector<std::wstring> shown;
    for (const auto& d : list_.devices) shown.push_back(d.portName + L":" + d.model);
    return shown;
  }

  fake::FakeMachine machine_;
  pugi::xml_document catalogue_;
  CPrinterDevices list_;
};

using Shown = std::vector<std::wstring>;

TEST_F(UsbPrinters, MatchesTheCatalogueAndFiltersByPortType) {
  struct Case {
    int32_t portType;
    const wchar_t* manufacturer;
    const wchar_t* hardwareId;
    Shown expected;
  };
  const Case cases[] = {
      {kPortUsb, L"Acme", L"USBPRINT\\Acme_A1", {L"USB001:A1"}},  // the first of two drivers with that usbname
      {kPortUsb, L"Acme", L"USBPRINT\\acme_a1", {}},              // letter case counts
      {kPortUsb, L"Acme", L"USBPRINT\\Acme_A1x", {}},             // the whole id
      {kPortUsb, L"Acme", L"USBPRINT\\Acme_BT", {}},
      {kPortBluetoothAdapter, L"Acme", L"USBPRINT\\Acme_BT", {L"USB001:Dongle"}},
      {kPortBluetoothAdapter, L"Acme", L"USBPRINT\\Acme_A1", {}},
      {kPortCustom, L"Acme", L"USBPRINT\\Acme_BT", {L"USB001:Dongle"}},
      {kPortCustom, L"Acme", L"USBPRINT\\Acme_A1", {L"USB001:A1"}},
      // usbname and btadapter both come from the parent model.
      {kPortBluetoothAdapter, L"Acme", L"USBPRINT\\QovaBase", {L"USB001:Child"}},
      {kPortUsb, L"Acme", L"USBPRINT\\QovaBase", {}},
      {kPortUsb, L"Acme", L"USBPRINT\\Other_O1", {}},
      {kPortUsb, L"QovaPrt", L"USBPRINT\\Other_O1", {L"USB001:O1"}},
      {kPortUsb, L"Acme", L"", {}},
      // The Lumatrix ids are in the catalogue, but only the custom port asks the printer.
      {kPortUsb, L"Acme", L"USBPRINT\\Lumatrix_A6B36A", {}},
      {kPortBluetoothAdapter, L"Acme", L"USBPRINT\\Lumatrix_A877EB", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.portType << " " << WideToUtf8(c.hardwareId));
    list_ = {};
    Plug(1, c.hardwareId);
    EXPECT_EQ(Refresh(c.portType, c.manufacturer), c.expected);
    EXPECT_EQ(list_.changed, c.expected.empty() ? 0 : 1);
    Unplug(1);
  }
}

TEST_F(UsbPrinters, RecordCarriesTheDeviceIdentity) {
  Plug(3, L"USBPRINT\\Acme_A1");
  Refresh(kPortUsb);
  ASSERT_EQ(list_.devices.size(), 1u);
  const PrinterDevice& d = list_.devices[0];
  EXPECT_EQ(d.devicePath, Path(3));
  EXPECT_EQ(d.deviceId, UsbId(3));
  EXPECT_EQ(d.childDeviceId, ChildId(3));
  EXPECT_EQ(d.vid, L"1A2B");
  EXPECT_EQ(d.pid, L"3C4D");
  EXPECT_EQ(d.hardwareId, L"USBPRINT\\Acme_A1");
  EXPECT_EQ(d.portName, L"USB003");
  EXPECT_EQ(d.model, L"A1");
  EXPECT_EQ(DriverName(d.driver), L"A1");
  EXPECT_EQ(d.installed, 0);
  EXPECT_EQ(d.pin, kFirstDefaultPin);
  EXPECT_EQ(d.ipAddress, L"192.168.1.200");
}

TEST_F(UsbPrinters, MergeFollowsThePluggedPrinters) {
  enum Action { kPlug, kUnplug, kNothing };
  struct Step {
    Action action;
    int port;
    Shown shown;
    int32_t changed;
  };
  const Step steps[] = {
      {kNothing, 0, {}, 0},
      {kPlug, 1, {L"USB001:A1"}, 1},
      {kNothing, 0, {L"USB001:A1"}, 0},
      {kPlug, 2, {L"USB001:A1", L"USB002:A1"}, 1},  // a second printer of a listed model
      {kPlug, 3, {L"USB001:A1", L"USB002:A1", L"USB003:A1"}, 1},
      {kUnplug, 2, {L"USB001:A1", L"USB003:A1"}, 1},  // the rest keep their order
      {kUnplug, 1, {L"USB003:A1"}, 1},
      {kUnplug, 3, {}, 1},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "port " << s.port);
    if (s.action == kPlug) Plug(s.port, L"USBPRINT\\Acme_A1");
    if (s.action == kUnplug) Unplug(s.port);
    list_.changed = 0;
    EXPECT_EQ(Refresh(kPortUsb), s.shown);
    EXPECT_EQ(list_.changed, s.changed);
  }
}

TEST_F(UsbPrinters, TwoUnpluggedAtOnceLeaveInTheSameRefresh) {
  Plug(1, L"USBPRINT\\Acme_A1");
  Plug(2, L"USBPRINT\\Acme_A1");
  Plug(3, L"USBPRINT\\Acme_A1");
  ASSERT_EQ(Refresh(kPortUsb).size(), 3u);
  Unplug(1);
  Unplug(3);
  list_.changed = 0;
  EXPECT_EQ(Refresh(kPortUsb), Shown{L"USB002:A1"});
  EXPECT_EQ(list_.changed, 1);
}

TEST_F(UsbPrinters, ADeviceWithoutChildEndsTheEnumeration) {
  Plug(1, L"USBPRINT\\Acme_A1");
  Plug(2, L"", /*withChild=*/false);
  Plug(3, L"USBPRINT\\Acme_A1");
  EXPECT_EQ(Refresh(kPortUsb), Shown{L"USB001:A1"});
  Unplug(2);
  EXPECT_EQ(Refresh(kPortUsb), (Shown{L"USB001:A1", L"USB003:A1"}));
}

TEST_F(UsbPrinters, EnumerationWritesItsSteps) {
  CMyLog log(machine_.files, machine_.system);
  log.Open(L"Orvello");
  Plug(1, L"USBPRINT\\Acme_A1");
  Plug(2, L"", /*withChild=*/false);
  DeviceScan scan = Scan(kPortUsb);
  scan.log = &log;
  RefreshUsbPrinters(scan, list_);
  Unplug(1);
  Unplug(2);
  RefreshUsbPrinters(scan, list_);
  ASSERT_TRUE(log.Flush());
  auto logs = machine_.files.Find(L"C:\\Tools\\Log\\*.log");
  ASSERT_TRUE(logs.ok());
  ASSERT_EQ(logs.value.size(), 1u);
  auto bytes = machine_.files.FileBytes(L"C:\\Tools\\Log\\" + logs.value[0].name).value_or(std::vector<uint8_t>{});
  std::wstring text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
  size_t found = text.find(L"Find printer, HardWareID=USBPRINT\\Acme_A1, sPortName=USB001");
  size_t child = text.find(L"CM_Get_Child, err=13");
  size_t end = text.find(L"SetupDiEnumDeviceInterfaces, err=259, ");
  EXPECT_NE(found, std::wstring::npos) << WideToUtf8(text);
  EXPECT_NE(child, std::wstring::npos) << WideToUtf8(text);
  EXPECT_NE(end, std::wstring::npos) << WideToUtf8(text);
  EXPECT_TRUE(found < child && child < end) << "the failure ends the first pass; the second reaches the list's end";
  EXPECT_EQ(text.find(L"SetupDiEnumDeviceInterfaces"), end) << "only the second pass reaches the end of the list";
}

TEST_F(UsbPrinters, LumatrixPrinterIsAskedForItsBluetoothName) {
  struct Case {
    const wchar_t* hardwareId;
    std::optional<std::string> reply;
    Shown expected;
  };
  const Case cases[] = {
      {L"USBPRINT\\Lumatrix_A6B36A", std::string("Lumatrix_A1\0rest", 16), {L"USB001:Lumatrix A1"}},
      // The catch-all rule gives the base model. The catalogue has two drivers
      // of that name; both are found, but one device and one model make one record.
      {L"USBPRINT\\Lumatrix_A877EB", std::string("Lumatrix_Z9"), {L"USB001:Lumatrix"}},
      {L"USBPRINT\\Lumatrix_A6B36A", std::string("Lumatrix_T12"), {}},  // a model the catalogue lacks
      {L"USBPRINT\\Lumatrix_A6B36A", std::string("Printer"), {}},
      {L"USBPRINT\\Lumatrix_A6B36A", std::nullopt, {}},  // silent printer
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply.value_or("<no answer>"));
    list_ = {};
    Plug(1, c.hardwareId);
    if (c.reply) {
      machine_.devices.Node(UsbId(1))->usbReply = std::vector<uint8_t>(c.reply->begin(), c.reply->end());
    }
    EXPECT_EQ(Refresh(kPortCustom), c.expected);
    const auto& requests = machine_.devices.Node(UsbId(1))->usbRequests;
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], (std::vector<uint8_t>{0x10, 0xFF, 0x30, 0x11}));
    Unplug(1);
  }
}

TEST(LumatrixRules, FirstMatchingRuleGivesTheModel) {
  struct Case {
    const wchar_t* name;
    const wchar_t* model;
  };
  const Case cases[] = {
      {L"Lumatrix_A1", L"Lumatrix A1"},
      {L"Lumatrix_A1S", L"Lumatrix A1S"},
      {L"Lumatrix_A1 ", L"Lumatrix"},      // exact rules take no extra text
      {L"BT-Lumatrix_P2-01", L"Lumatrix P2"},
      {L"Lumatrix_M1", L"Lumatrix M1"},
      {L"Lumatrix_M1X", L"Lumatrix"},
      {L"Lumatrix_M5X", L"Lumatrix M5"},
      {L"Lumatrix_T21", L"Lumatrix T21"},
      {L"lumatrix_A1", L""},               // letter case counts
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(LumatrixModelFor(c.name), c.model) << WideToUtf8(c.name);
}

TEST_F(UsbPrinters, InstalledWhenAPrinterUsesTheDeviceOrItsPort) {
  struct Case {
    const char* what;
    std::wstring instanceId;  // PnPData DeviceInstanceId
    std::wstring port;
    std::wstring driver;
    std::wstring hardwareId;  // PnPData HardWareID
    bool allAccessDenied;
    int32_t expected;
  };
  const std::wstring child = ChildId(1);
  const Case cases[] = {
      {"same device node", child, L"USB009", L"Drv", L"", false, 1},
      {"node id differs in case", L"usbprint\\acme\\7&2f1e&0&usb001", L"USB009", L"Drv", L"", false, 0},
      {"port and enumerated id", L"OTHER", L"USB001", L"Drv", L"PRINTENUM\\Acme_A1", false, 1},
      {"port and the raw id", L"OTHER", L"USB001", L"Drv", L"USBPRINT\\Acme_A1", false, 0},
      {"other port", L"OTHER", L"USB002", L"Drv", L"PRINTENUM\\Acme_A1", false, 0},
      {"no driver", L"OTHER", L"USB001", L"", L"PRINTENUM\\Acme_A1", false, 0},
      {"opened for use only", child, L"USB009", L"Drv", L"", true, 1},
  };
  Plug(1, L"USBPRINT\\Acme_A1");
  Refresh(kPortUsb);
  ASSERT_EQ(list_.devices.size(), 1u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake::FakeMachine machine;
    platform::PrinterInfo2 info;
    info.printerName = L"Label";
    info.portName = c.port;
    info.driverName = c.driver;
    auto& printer = machine.spooler.AddPrinterDirectly(info);
    printer.allAccessDenied = c.allAccessDenied;
    printer.data[L"PnPData"][L"DeviceInstanceId"] = {1, Utf16(c.instanceId)};
    if (!c.hardwareId.empty()) printer.data[L"PnPData"][L"HardWareID"] = {1, Utf16(c.hardwareId)};
    PrinterDevice device = list_.devices[0];
    device.installed = 1 - c.expected;
    EXPECT_EQ(IsDeviceInstalled(machine.platform(), device), c.expected);
    EXPECT_EQ(device.installed, c.expected);
  }
}

TEST_F(UsbPrinters, RefreshUpdatesTheInstalledFlagOfListedRecords) {
  Plug(1, L"USBPRINT\\Acme_A1");
  Refresh(kPortUsb);
  ASSERT_EQ(list_.devices.at(0).installed, 0);
  platform::PrinterInfo2 info;
  info.printerName = L"Label";
  info.portName = L"USB001";
  info.driverName = L"Drv";
  machine_.spooler.AddPrinterDirectly(info).data[L"PnPData"][L"DeviceInstanceId"] = {1, Utf16(ChildId(1))};
  list_.changed = 0;
  Refresh(kPortUsb);
  EXPECT_EQ(list_.devices.at(0).installed, 1);
  EXPECT_EQ(list_.changed, 0);
}

TEST(PrinterDeviceList, FindByModelAndReset) {
  std::vector<PrinterDevice> devices(3);
  devices[0].model = L"a1";
  devices[1].model = L"A1";
  devices[1].portName = L"USB002";
  devices[2].model = L"A1";
  EXPECT_EQ(FindDeviceByModel(devices, L"A1"), &devices[1]);
  EXPECT_EQ(FindDeviceByModel(devices, L"A2"), nullptr);

  PrinterDevice d = devices[1];
  d.printerName = L"Mine";
  d.devicePath = L"\\\\?\\usb#x";
  d.installed = 1;
  d.pin = L"1234";
  d.ipAddress = L"10.0.0.1";
  d.btAddress = L"001122334455";
  d.ResetDevice();
  EXPECT_EQ(d.model, L"A1");
  EXPECT_EQ(d.devicePath, L"\\\\?\\usb#x");
  EXPECT_EQ(d.btAddress, L"001122334455");
  EXPECT_EQ(d.printerName, L"");
  EXPECT_EQ(d.portName, L"");
  EXPECT_EQ(d.installed, 0);
  EXPECT_EQ(d.pin, kFirstDefaultPin);
  EXPECT_EQ(d.ipAddress, L"192.168.1.200");
}

}  // namespace
}  // namespace orvello
