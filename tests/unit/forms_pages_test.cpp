// The install pages one at a time over a small catalogue: which mode the
// first page opens with, the manufacturer page, the find keys, the device
// list, the proposed printer name, the TCP/IP port name check, the port
// filters and the port types offered per manufacturer.
#include <gtest/gtest.h>

#include <functional>

#include "forms/form_custom_port.h"
#include "forms/form_delete_printer.h"
#include "forms/form_printer_bluetooth.h"
#include "forms/form_printer_udp.h"
#include "forms/form_update_driver.h"
#include "forms/form_main.h"
#include "forms/form_printer_driver.h"
#include "forms/form_custom_printer_mode.h"
#include "forms/form_printer_mode2.h"
#include "forms/form_printer_name.h"
#include "forms/form_printer_port.h"
#include "forms/form_printer_search.h"
#include "forms_test_support.h"
#include "ui/basic_controls.h"
#include "ui/grid.h"

namespace orvello {
namespace {

constexpr char kCatalogue[] = R"(<Drivers model="Acme" version0="1" version1="0" version2="0" version3="0">
  <Manufacturers>
    <Manufacturer mode="Native"><Driver name="Base" customname="Acme Base Family"/></Manufacturer>
    <Manufacturer mode="Acme">
      <Driver name="X1" usbname="USBPRINT\Acme_X1"/>
      <Driver name="AB-100" usbname="USBPRINT\Acme_AB100"/>
      <Driver name="xab"/>
      <Driver name="A-B"/>
      <Driver name="Net1" udp="false"/>
      <Driver name="Fam" parent="Base"/>
      <Driver name="U1" udp="true"/>
      <Driver name="BtNo" bluetoothdriver="false"/>
      <Driver name="Dongle" btadapter="true"/>
    </Manufacturer>
    <Manufacturer mode="Other"><Driver name="O1"/></Manufacturer>
  </Manufacturers>
</Drivers>)";

std::string Profile(const std::string& name, int defaultPortType = 0) {
  return "<Manufacturer><Name>" + name + "</Name><DefaultSetupPortType>" + std::to_string(defaultPortType) +
         "</DefaultSetupPortType></Manufacturer>";
}
std::string Profiles(const std::string& inside) { return "<Manufacturers>" + inside + "</Manufacturers>"; }

class WizardPages : public test::WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    LoadDocuments(kCatalogue, Profiles(Profile("Native") + Profile("Acme")));
  }

  // Main page → (manufacturer) → port page, in install mode.
  void ToPortPage() {
    OpenWizard();
    ASSERT_TRUE(Click(L"btn_form_main_next"));
    ASSERT_EQ(Page(), L"form_printer_port");
  }
  void ToPortType(const wchar_t* option) {
    ToPortPage();
    ASSERT_TRUE(Select(option));
    ASSERT_TRUE(Click(L"btn_form_printer_port_next"));
  }
};

TEST_F(WizardPages, FirstPageOpensOnRemovalOnlyWhenACatalogueDriverIsInstalledUnderItsExactName) {
  struct Case {
    const wchar_t* installed;  // "" for none
    const wchar_t* selectedOption;
    const wchar_t* mode;
  };
  const Case cases[] = {
      {L"", L"chk_install_driver", L"0"},
      {L"X1", L"chk_uninstall_driver", L"2"},
      {L"x1", L"chk_install_driver", L"0"},   // letter case counts
      {L"O1", L"chk_install_driver", L"0"},   // another manufacturer's model
      {L"AB-100", L"chk_uninstall_driver", L"2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.installed));
    CloseWizard();
    machine_.spooler.state().drivers.clear();
    app_.setupMode = kModeUpgrade;
    if (*c.installed) AddDriver(c.installed);
    OpenWizard();
    EXPECT_EQ(Page(), L"form_main");
    EXPECT_TRUE(Find<ui::Option>(c.selectedOption)->IsSelected());
    EXPECT_EQ(std::to_wstring(app_.setupMode), c.mode);
    EXPECT_EQ(Setting(L"SetupMode"), c.mode);
  }
}

TEST_F(WizardPages, HomeShowsTheOptionOfTheCurrentModeWithoutWritingIt) {
  OpenWizard();
  ASSERT_TRUE(Select(L"chk_update_driver"));
  EXPECT_EQ(Setting(L"SetupMode"), L"1");
  Find<ui::Option>(L"chk_install_driver")->SetSelected(true, false);
  app_.setupMode = kModeUpgrade;  // as after an upgrade run that changed nothing here
  Forms().formMain->ShowMainForm();
  EXPECT_TRUE(Find<ui::Option>(L"chk_update_driver")->IsSelected());
  EXPECT_EQ(Setting(L"SetupMode"), L"1");
}

TEST_F(WizardPages, FirstPageStartsAStoppedSpoolerAndSaysSoOnlyWhenItCannot) {
  // Starts within the wait: silent.
  machine_.services.SetState(L"Spooler", platform::ServiceState::Stopped);
  OpenWizard();
  EXPECT_EQ(machine_.services.Query(L"Spooler").value, platform::ServiceState::Running);
  EXPECT_TRUE(machine_.session.MessageBoxes().empty());
  CloseWizard();

  // Cannot start: the message each time the first page is shown.
  machine_.services.SetState(L"Spooler", platform::ServiceState::Stopped);
  machine_.services.SetStartError(L"Spooler", 1058);
  OpenWizard();
  size_t atStart = machine_.session.MessageBoxes().size();
  EXPECT_GE(atStart, 1u);
  ASSERT_TRUE(Click(L"btn_form_main_next"));
  ASSERT_TRUE(Click(L"btn_form_printer_port_pre"));
  EXPECT_EQ(Page(), L"form_main");
  auto boxes = machine_.session.MessageBoxes();
  ASSERT_EQ(boxes.size(), atStart + 1);
  EXPECT_EQ(boxes.back().text.rfind(L"Opening service: Spooler failed Error code:1058.", 0), 0u)
      << WideToUtf8(boxes.back().text);
}

TEST_F(WizardPages, ManufacturerPageIsPassedOverWithOneProfileAndShownWithTwo) {
  // One profile besides the base models: straight to the port page.
  OpenWizard();
  TakePages();
  ASSERT_TRUE(Click(L"btn_form_main_next"));
  EXPECT_EQ(TakePages(), (std::vector<std::wstring>{L"form_printer_manufacturer", L"form_printer_port"}));
  EXPECT_EQ(Column(L"grid_printer_manufacturer"), (std::vector<std::wstring>{L"Acme"}));
  EXPECT_EQ(app_.profile.name, L"Acme");

  // Two: the page waits; the remembered one is highlighted, "native" is
  // listed and "Native" is not; the checked one becomes the profile.
  CloseWizard();
  LoadDocuments(kCatalogue, Profiles(Profile("Native") + Profile("Acme") + Profile("native") + Profile("Other", 5)));
  app_.rememberedManufacturer = L"Other";
  OpenWizard();
  ASSERT_TRUE(Click(L"btn_form_main_next"));
  ASSERT_EQ(Page(), L"form_printer_manufacturer");
  EXPECT_EQ(Column(L"grid_printer_manufacturer"), (std::vector<std::wstring>{L"Acme", L"native", L"Other"}));
  EXPECT_EQ(Find<ui::Grid>(L"grid_printer_manufacturer")->SelectedRow(), 3);
  ASSERT_TRUE(Click(L"btn_form_printer_manufacturer_pre"));
  EXPECT_EQ(Page(), L"form_main");
  ASSERT_TRUE(Click(L"btn_form_main_next"));
  // Next with nothing checked keeps the profile.
  ASSERT_TRUE(Click(L"btn_form_printer_manufacturer_next"));
  EXPECT_EQ(app_.profile.name, L"Acme");
  ASSERT_TRUE(Click(L"btn_form_printer_port_pre"));
  ASSERT_TRUE(Click(L"btn_form_main_next"));
  ASSERT_TRUE(ClickRow(L"grid_printer_manufacturer", 3));
  ASSERT_TRUE(Click(L"btn_form_printer_manufacturer_next"));
  EXPECT_EQ(Page(), L"form_printer_port");
  EXPECT_EQ(Setting(L"Manufacturer"), L"Other");
  EXPECT_EQ(app_.profile.name, L"Other");
  // The profile's default port type is taken without touching the registry.
  EXPECT_EQ(app_.setupPortType, kPortSerial);
  EXPECT_TRUE(Find<ui::Option>(L"chk_port_serial_port")->IsSelected());
  EXPECT_EQ(Setting(L"SetupPortType"), L"<missing>");
  ASSERT_TRUE(Click(L"btn_form_printer_port_pre"));
  EXPECT_EQ(Page(), L"form_main");
}

TEST_F(WizardPages, PortTypesOfferedDependOnTheManufacturerExactly) {
  const wchar_t* all[] = {L"chk_port_usb",           L"chk_port_net",         L"chk_port_blue_tooth_adapter",
                          L"chk_port_blue_tooth",    L"chk_port_parallel_port", L"chk_port_serial_port",
                          L"chk_port_custom"};
  struct Case {
    const char* manufacturer;
    std::vector<std::wstring> shown;
    bool tipShown;
  };
  const std::vector<Case> cases = {
      {"Lumatrix", {L"chk_port_usb", L"chk_port_custom"}, true},
      {"Brightmoor", {L"chk_port_usb", L"chk_port_custom"}, true},
      {"lumatrix", {all, all + 7}, true},
      {"Vantorel", {all, all + 7}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.manufacturer);
    CloseWizard();
    LoadDocuments(std::string(kCatalogue), Profiles(Profile(c.manufacturer)));
    app_.profile.name = Utf8ToWide(c.manufacturer);
    ToPortPage();
    std::vector<std::wstring> shown;
    for (const wchar_t* name : all) {
      if (Visible(name)) shown.push_back(name);
    }
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(Visible(L"dudez_form_printer_port_msg2"), c.tipShown);
  }
}

TEST_F(WizardPages, PortChoiceIsStoredAsItsNumberNotItsPlaceOnScreen) {
  ToPortPage();
  ASSERT_TRUE(Select(L"chk_port_blue_tooth_adapter"));
  EXPECT_EQ(Setting(L"SetupPortType"), L"3");
  ASSERT_TRUE(Select(L"chk_port_blue_tooth"));
  EXPECT_EQ(Setting(L"SetupPortType"), L"2");
  EXPECT_EQ(app_.setupPortType, kPortBluetooth);
}

TEST_F(WizardPages, FindKeyMatchesAnywhereIgnoringCaseAndKeepsTheChosenModelHighlighted) {
  ToPortType(L"chk_port_net");
  ASSERT_EQ(Page(), L"form_printer_mode2");
  EXPECT_EQ(Column(L"grid_printer_mode2"),
            (std::vector<std::wstring>{L"X1", L"AB-100", L"xab", L"A-B", L"Net1", L"Fam", L"U1", L"BtNo", L"Dongle"}));
  ASSERT_TRUE(ClickRow(L"grid_printer_mode2", 3));
  EXPECT_EQ(app_.selected.model, L"xab");
  EXPECT_EQ(Setting(L"SetupPrinter"), L"xab");
  ASSERT_TRUE(Type(L"text_printer_mode2_find_key", L"ab"));
  EXPECT_EQ(Column(L"grid_printer_mode2"), (std::vector<std::wstring>{L"AB-100", L"xab"}));
  EXPECT_EQ(Find<ui::Grid>(L"grid_printer_mode2")->SelectedRow(), 2);
  ASSERT_TRUE(Type(L"text_printer_mode2_find_key", L"AB"));
  EXPECT_EQ(Column(L"grid_printer_mode2"), (std::vector<std::wstring>{L"AB-100", L"xab"}));
  ASSERT_TRUE(Type(L"text_printer_mode2_find_key", L""));
  EXPECT_EQ(Column(L"grid_printer_mode2").size(), 9u);

  // The custom model list filters the same way.
  ASSERT_TRUE(Click(L"btn_form_printer_mode2_pre"));
  ASSERT_TRUE(Select(L"chk_port_custom"));
  ASSERT_TRUE(Click(L"btn_form_printer_port_next"));
  ASSERT_EQ(Page(), L"form_custom_printer_mode");
  ASSERT_TRUE(Type(L"text_custom_printer_mode_find_key", L"ab"));
  EXPECT_EQ(Column(L"grid_custom_printer_mode"), (std::vector<std::wstring>{L"AB-100", L"xab"}));
  EXPECT_EQ(Find<ui::Grid>(L"grid_custom_printer_mode")->SelectedRow(), 2);
  ASSERT_TRUE(Click(L"btn_form_custom_printer_mode_pre"));
}

TEST_F(WizardPages, NetworkModelGoesToTheAddressPageWithTheDefaultPortName) {
  ToPortType(L"chk_port_net");
  ASSERT_TRUE(ClickRow(L"grid_printer_mode2", 5));
  ASSERT_TRUE(Click(L"btn_form_printer_mode2_next"));
  EXPECT_EQ(Page(), L"form_printer_tcpmon");
  EXPECT_EQ(Control(L"text_tcpmon_ip")->Text(), L"192.168.1.200");
  EXPECT_EQ(Control(L"text_tcpmon_port_name")->Text(), L"Net1_192.168.1.200");
  ASSERT_TRUE(Click(L"btn_form_printer_tcpmon_pre"));
  EXPECT_EQ(Page(), L"form_printer_mode2");
  EXPECT_EQ(Find<ui::Grid>(L"grid_printer_mode2")->SelectedRow(), 5);
}

TEST_F(WizardPages, DiscoveryModelsGoToTheNetworkSearchPage) {
  ToPortType(L"chk_port_net");
  ASSERT_TRUE(ClickRow(L"grid_printer_mode2", 7));
  EXPECT_EQ(app_.selected.model, L"U1");
  ASSERT_TRUE(Click(L"btn_form_printer_mode2_next"));
  EXPECT_EQ(Page(), L"form_printer_udp");
}

TEST_F(WizardPages, UpgradeAndRemovalLeaveTheInstallPath) {
  OpenWizard();
  ASSERT_TRUE(Select(L"chk_update_driver"));
  app_.selected.portName = L"kept";
  ASSERT_TRUE(Click(L"btn_form_main_next"));
  EXPECT_EQ(Page(), L"form_update_driver");
  EXPECT_EQ(app_.selected.portName, L"kept");  // upgrade keeps the device data
  Forms().formMain->ShowMainForm();
  ASSERT_TRUE(Select(L"chk_install_driver"));
  ASSERT_TRUE(Click(L"btn_form_main_next"));
  EXPECT_EQ(app_.selected.portName, L"");      // install starts afresh
  EXPECT_EQ(app_.selected.ipAddress, L"192.168.1.200");
  Forms().formMain->ShowMainForm();
  ASSERT_TRUE(Select(L"chk_uninstall_driver"));
  ASSERT_TRUE(Click(L"btn_form_main_next"));
  EXPECT_EQ(Page(), L"form_delete_printer");
}

TEST_F(WizardPages, BluetoothDriverListOffersWirelessModelsAndTheNameSaysBluetooth) {
  ToPortType(L"chk_port_blue_tooth");
  EXPECT_EQ(Page(), L"form_printer_bluetooth");
  Forms().formPrinterDriver->ShowDriverPage();
  EXPECT_EQ(Column(L"grid_form_printer_driver"),
            (std::vector<std::wstring>{L"X1", L"AB-100", L"xab", L"A-B", L"Net1", L"Fam", L"U1"}));
  ASSERT_TRUE(ClickRow(L"grid_form_printer_driver", 1));
  EXPECT_EQ(app_.selected.model, L"X1");
  EXPECT_EQ(Setting(L"SetupPrinter"), L"<missing>");
  ASSERT_TRUE(Click(L"btn_form_printer_driver_next"));
  EXPECT_EQ(Control(L"text_printer_name")->Text(), L"X1_Bluetooth");
  ASSERT_TRUE(Click(L"btn_form_printer_name_pre"));
  EXPECT_EQ(Page(), L"form_printer_driver");
  ASSERT_TRUE(Click(L"btn_form_printer_driver_pre"));
  EXPECT_EQ(Page(), L"form_printer_bluetooth");
}

TEST_F(WizardPages, CustomModelListShowsConnectedPrintersFromThePoll) {
  Plug(1, L"USBPRINT\\Acme_X1");
  ToPortType(L"chk_port_custom");
  ASSERT_EQ(Page(), L"form_custom_printer_mode");
  EXPECT_EQ(Column(L"grid_custom_printer_mode", 2)[0], L"");
  backend_.AdvanceTime(500);
  EXPECT_EQ(Page(), L"form_custom_printer_mode");
  EXPECT_EQ(Column(L"grid_custom_printer_mode", 2)[0], L"USB001");
  EXPECT_EQ(Column(L"grid_custom_printer_mode", 3)[0], L"Connected");
  EXPECT_EQ(Column(L"grid_custom_printer_mode", 4)[0], L"Not installed");
  EXPECT_EQ(Column(L"grid_custom_printer_mode", 3)[1], L"");
  ASSERT_TRUE(ClickRow(L"grid_custom_printer_mode", 1));
  EXPECT_EQ(app_.selected.portName, L"USB001");
  EXPECT_TRUE(Enabled(L"btn_form_custom_printer_mode_next"));
  ASSERT_TRUE(ClickRow(L"grid_custom_printer_mode", 2));
  EXPECT_EQ(app_.selected.portName, L"");
  // The chosen connected port is highlighted on the port page.
  ASSERT_TRUE(ClickRow(L"grid_custom_printer_mode", 1));
  platform::PortInfo2 usb;
  usb.portName = L"USB001";
  usb.monitorName = L"USB Monitor";
  machine_.spooler.state().ports.push_back(usb);
  ASSERT_TRUE(Click(L"btn_form_custom_printer_mode_next"));
  auto* grid = Find<ui::Grid>(L"grid_custom_port");
  ASSERT_GE(grid->SelectedRow(), 1);
  EXPECT_EQ(grid->CellText(grid->SelectedRow(), 1), L"USB001");
  // Previous restarts the poll for the connection columns.
  ASSERT_TRUE(Click(L"btn_form_custom_port_pre"));
  EXPECT_EQ(Page(), L"form_custom_printer_mode");
  EXPECT_TRUE(Forms().formPrinterSearch->DevicePollRunning());
}

TEST_F(WizardPages, PortNameThatDiffersOnlyInLetterCaseIsRefused) {
  platform::PortInfo2 port;
  port.portName = L"Net1_192.168.1.200";
  port.monitorName = L"Standard TCP/IP Port";
  machine_.spooler.state().ports.push_back(port);
  ToPortType(L"chk_port_net");
  ASSERT_TRUE(ClickRow(L"grid_printer_mode2", 5));
  ASSERT_TRUE(Click(L"btn_form_printer_mode2_next"));
  ASSERT_TRUE(Type(L"text_tcpmon_port_name", L"NET1_192.168.1.200"));
  ASSERT_TRUE(Click(L"btn_form_printer_tcpmon_next"));
  EXPECT_EQ(Page(), L"form_printer_tcpmon");
  auto boxes = machine_.session.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"The port name already exists, please re-enter.");
  EXPECT_EQ(boxes[0].title, L"Error");
  // An empty name is accepted.
  ASSERT_TRUE(Type(L"text_tcpmon_port_name", L""));
  ASSERT_TRUE(Click(L"btn_form_printer_tcpmon_next"));
  EXPECT_EQ(Page(), L"form_printer_name");
  EXPECT_EQ(app_.selected.portName, L"");
}

TEST_F(WizardPages, ProposedNameIsUniqueIgnoringCaseAndCustomNamesWin) {
  struct Case {
    const wchar_t* model;
    std::vector<std::wstring> existing;
    const wchar_t* proposed;
  };
  const std::vector<Case> cases = {
      {L"X1", {}, L"X1"},
      {L"X1", {L"X1", L"x1(1)"}, L"X1(2)"},
      {L"X1", {L"x1(1)"}, L"X1"},
      {L"X1", {L"X1", L"X1(2)"}, L"X1(1)"},
      {L"Fam", {}, L"Acme Base Family"},  // through the parent model
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.model));
    CloseWizard();
    machine_.spooler.state().printers.clear();
    for (const auto& name : c.existing) AddPrinter(name);
    ToPortType(L"chk_port_net");
    auto models = Column(L"grid_printer_mode2");
    int row = static_cast<int>(std::find(models.begin(), models.end(), c.model) - models.begin()) + 1;
    ASSERT_TRUE(ClickRow(L"grid_printer_mode2", row));
    ASSERT_TRUE(Click(L"btn_form_printer_mode2_next"));
    ASSERT_TRUE(Click(L"btn_form_printer_tcpmon_next"));
    ASSERT_EQ(Page(), L"form_printer_name");
    EXPECT_EQ(Control(L"text_printer_name")->Text(), c.proposed);
  }
}

TEST_F(WizardPages, InstalledDeviceDisablesNextOnTheDeviceList) {
  Plug(1, L"USBPRINT\\Acme_X1");
  Plug(2, L"USBPRINT\\Acme_AB100");
  // A printer Plug and Play made for the second device.
  platform::PrinterInfo2 info;
  info.printerName = L"AB-100";
  info.portName = L"USB002";
  info.driverName = L"AB-100";
  info.printProcessor = L"WinPrint";
  info.dataType = L"RAW";
  info.attributes = platform::kPrinterAttributeLocal;
  fake::FakePrinter& printer = machine_.spooler.AddPrinterDirectly(info);
  printer.data[L"PnPData"][L"DeviceInstanceId"] = {1,
                                                     WideToUtf16Bytes(L"USBPRINT\\ACME\\7&2F1E&0&USB002", true)};
  ToPortType(L"chk_port_usb");
  ASSERT_EQ(Page(), L"form_printer_mode");
  backend_.Pump();
  EXPECT_EQ(Column(L"grid_printer_mode"), (std::vector<std::wstring>{L"X1", L"AB-100"}));
  EXPECT_EQ(Column(L"grid_printer_mode", 3), (std::vector<std::wstring>{L"Not installed", L"already installed"}));
  ASSERT_TRUE(ClickRow(L"grid_printer_mode", 2));
  EXPECT_FALSE(Enabled(L"btn_form_printer_mode_next"));
  ASSERT_TRUE(ClickRow(L"grid_printer_mode", 1));
  EXPECT_TRUE(Enabled(L"btn_form_printer_mode_next"));
  EXPECT_EQ(app_.selected.portName, L"USB001");
  EXPECT_EQ(Setting(L"SetupPrinter"), L"X1");
  EXPECT_TRUE(Forms().formPrinterSearch->DevicePollRunning());
  ASSERT_TRUE(Click(L"btn_form_printer_mode_pre"));
  EXPECT_FALSE(Forms().formPrinterSearch->DevicePollRunning());
  EXPECT_EQ(Page(), L"form_printer_port");
}

TEST_F(WizardPages, PortListIsFilteredByTypeAndTheFilePortIsOfferedButNotTaken) {
  platform::PortInfo2 lower;
  lower.portName = L"com9";
  lower.monitorName = L"Local Port";
  lower.portType = platform::kPortTypeWrite | platform::kPortTypeRead;
  machine_.spooler.state().ports.push_back(lower);
  std::vector<std::wstring> all;
  for (const auto& p : machine_.spooler.EnumPorts2().value) all.push_back(p.portName);
  struct Case {
    const wchar_t* option;
    std::function<bool(const std::wstring&)> keep;
  };
  const Case cases[] = {
      {L"chk_port_serial_port", [](const std::wstring& n) { return StartsWithIgnoreCase(n, L"COM"); }},
      {L"chk_port_parallel_port", [](const std::wstring& n) { return StartsWithIgnoreCase(n, L"LPT"); }},
      {L"chk_port_custom", [](const std::wstring&) { return true; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.option));
    CloseWizard();
    ToPortType(c.option);
    ASSERT_EQ(Page(), L"form_custom_printer_mode");
    ASSERT_TRUE(Click(L"btn_form_custom_printer_mode_next"));
    ASSERT_EQ(Page(), L"form_custom_port");
    std::vector<std::wstring> expected;
    for (const auto& name : all) {
      if (c.keep(name)) expected.push_back(name);
    }
    EXPECT_EQ(Column(L"grid_custom_port"), expected);
    EXPECT_FALSE(Visible(L"btn_port_manager"));
  }
  // Custom: "FILE:" highlighted, nothing checked, no port taken.
  auto* grid = Find<ui::Grid>(L"grid_custom_port");
  ASSERT_GE(grid->SelectedRow(), 1);
  EXPECT_EQ(grid->CellText(grid->SelectedRow(), 1), L"FILE:");
  EXPECT_TRUE(grid->CheckedRows().empty());
  EXPECT_EQ(app_.selected.portName, L"");
  auto names = Column(L"grid_custom_port");
  int com9 = static_cast<int>(std::find(names.begin(), names.end(), L"com9") - names.begin()) + 1;
  EXPECT_EQ(grid->CellText(com9, 3), L"+w+r");
  ASSERT_TRUE(ClickRow(L"grid_custom_port", com9));
  EXPECT_EQ(grid->CheckedRows(), std::vector<int>{com9});
  EXPECT_EQ(app_.selected.portName, L"com9");
}

TEST(CustomPortTypeText, NamesEachBitInOrder) {
  EXPECT_EQ(PortTypeText(0), L"");
  EXPECT_EQ(PortTypeText(platform::kPortTypeNetAttached | platform::kPortTypeWrite), L"+w+n");
  EXPECT_EQ(PortTypeText(0xF), L"+w+r+d+n");
}

TEST_F(WizardPages, DeletingAPortAsksFirstAndCancelKeepsIt) {
  platform::PortInfo2 extra;
  extra.portName = L"COM7:";
  extra.monitorName = L"Local Port";
  machine_.spooler.state().ports.push_back(extra);
  ToPortType(L"chk_port_serial_port");
  ASSERT_TRUE(Click(L"btn_form_custom_printer_mode_next"));
  auto names = Column(L"grid_custom_port");
  int row = static_cast<int>(std::find(names.begin(), names.end(), L"COM7:") - names.begin()) + 1;
  ASSERT_TRUE(ClickRow(L"grid_custom_port", row));

  machine_.session.QueueMessageBoxAnswer(platform::mb::kIdCancel);
  ASSERT_TRUE(Click(L"btn_delete_port"));
  EXPECT_EQ(Column(L"grid_custom_port"), names);

  machine_.session.QueueMessageBoxAnswer(platform::mb::kIdOk);
  machine_.session.QueueMessageBoxAnswer(platform::mb::kIdOk);
  ASSERT_TRUE(Click(L"btn_delete_port"));
  auto boxes = machine_.session.MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, L"Delete port:COM7: ?");
  EXPECT_EQ(boxes[2].text, L"Delete port:COM7: Success.");
  auto after = Column(L"grid_custom_port");
  EXPECT_EQ(std::count(after.begin(), after.end(), L"COM7:"), 0);
  EXPECT_EQ(after.size(), names.size() - 1);

  // A port a printer still uses: the spooler refuses and says why.
  AddPrinter(L"On COM1", L"COM1:");
  int com1 = static_cast<int>(std::find(after.begin(), after.end(), L"COM1:") - after.begin()) + 1;
  ASSERT_TRUE(ClickRow(L"grid_custom_port", com1));
  machine_.session.QueueMessageBoxAnswer(platform::mb::kIdOk);
  machine_.session.QueueMessageBoxAnswer(platform::mb::kIdOk);
  ASSERT_TRUE(Click(L"btn_delete_port"));
  boxes = machine_.session.MessageBoxes();
  ASSERT_EQ(boxes.size(), 5u);
  EXPECT_EQ(boxes[4].text.rfind(L"Delete port:COM1: Failed Error code:", 0), 0u) << WideToUtf8(boxes[4].text);
  EXPECT_EQ(Column(L"grid_custom_port"), after);
}

TEST_F(WizardPages, AddingAPortThroughAMonitorRefillsTheList) {
  machine_.spooler.state().addPortDialog = [](const std::wstring&) { return std::optional<std::wstring>(L"COM12:"); };
  backend_.SetModalHandler([](ui::Window& dialog) {
    ASSERT_EQ(dialog.ClassName(), L"DlgPortMonitorList");
    auto* grid = dialog.Find<ui::Grid>(L"grid_port_monitor_list");
    ASSERT_GE(grid->RowCount(), 2);
    int local = 0;
    for (int row = 1; row < grid->RowCount(); ++row) {
      if (grid->CellText(row, 1) == L"Local Port") local = row;
    }
    ASSERT_GT(local, 0);
    ASSERT_TRUE(ui::headless::ClickGridRow(dialog, L"grid_port_monitor_list", local));
    ASSERT_TRUE(ui::headless::Click(dialog, L"btn_add_port"));
    ASSERT_TRUE(ui::headless::Click(dialog, L"btn_cancel"));
  });
  ToPortType(L"chk_port_serial_port");
  ASSERT_TRUE(Click(L"btn_form_custom_printer_mode_next"));
  ASSERT_TRUE(Click(L"btn_add_port"));
  auto names = Column(L"grid_custom_port");
  EXPECT_NE(std::find(names.begin(), names.end(), L"COM12:"), names.end());
}

// The pages of later steps are reachable already; their Previous and
// Cancel must not leave the user stuck there.
TEST_F(WizardPages, LaterPagesLeadBackAndOut) {
  struct Case {
    std::function<void(WizardForms&)> enter;
    const wchar_t* previous;
    const wchar_t* pageBefore;
    const wchar_t* cancel;
  };
  const std::vector<Case> cases = {
      {[](WizardForms& f) { f.formDeletePrinter->EnterDeletePrinterPage(); }, L"btn_delete_printer_pre", L"form_main",
       L"btn_delete_printer_cancel"},
      {[](WizardForms& f) { f.formUpdateDriver->EnterUpdateDriverPage(); }, L"btn_update_driver_pre", L"form_main",
       L"btn_update_driver_cancel"},
      {[](WizardForms& f) { f.formPrinterBluetooth->EnterBluetoothPage(); }, L"btn_form_printer_bluetooth_pre",
       L"form_printer_port", L"btn_form_printer_bluetooth_cancel"},
      {[](WizardForms& f) { f.formPrinterUdp->EnterUdpPage(); }, L"btn_form_printer_udp_pre", L"form_printer_mode2",
       L"btn_form_printer_udp_cancel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.previous));
    CloseWizard();
    OpenWizard();
    c.enter(Forms());
    ASSERT_TRUE(Click(c.previous));
    EXPECT_EQ(Page(), c.pageBefore);
    c.enter(Forms());
    ASSERT_TRUE(Click(c.cancel));
    backend_.Pump();
    EXPECT_FALSE(frame_->IsCreated());
    EXPECT_EQ(frame_->Result(), 2);
  }
}

}  // namespace
}  // namespace orvello
