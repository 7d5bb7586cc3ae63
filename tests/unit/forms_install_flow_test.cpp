// The install wizard from the first page to the end page over the shipped
// catalogue, profiles and package: the pages the user passes, what the
// registry remembers, what the spooler holds afterwards and what the
// message log says; Previous on every page and Cancel.
#include <gtest/gtest.h>

#include <algorithm>

#include "forms/form_printer_search.h"
#include "forms/form_setup_end.h"
#include "forms_test_support.h"
#include "system/devcon.h"
#include "system/printer_actions.h"
#include "system/system_facts.h"
#include "ui/basic_controls.h"
#include "ui/grid.h"

namespace orvello {
namespace {

using Pages = std::vector<std::wstring>;

constexpr const wchar_t* kPrinterButtons[] = {
    L"btn_form_setup_printer_document_properties",
    L"btn_form_setup_printer_device_properties",
    L"btn_form_setup_print_test_page",
};

class InstallFlow : public test::WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    machine_.spooler.SetStandardTcpIpMonitorInstalled(true);
  }

  std::wstring DevconPath() {
    return WorkingFolder(machine_.system, machine_.session) + L"Drivers\\" + DevconToolName(machine_.system);
  }

  // The device console tool; with exit code 0 Plug and Play then makes a
  // printer named after the model on the device's port.
  void ScriptDeviceConsole(uint32_t exitCode, const std::wstring& model, const std::wstring& port) {
    machine_.processes.AddProgram(DevconPath(), fake::FakeProgram{[this, exitCode, model, port](const std::wstring&) {
                                    if (exitCode == 0) {
                                      AddDriver(model);
                                      platform::PortInfo2 usbPort;
                                      usbPort.portName = port;
                                      usbPort.monitorName = L"USB Monitor";
                                      machine_.spooler.state().ports.push_back(usbPort);
                                      AddPrinter(model, port, model);
                                    }
                                    return fake::FakeProgramRun{exitCode, {}};
                                  }});
  }

  // Main page to the port page: the shipped profiles offer one manufacturer.
  void StartInstall() {
    OpenWizard();
    TakePages();
    ASSERT_TRUE(Click(L"btn_form_main_next"));
    ASSERT_EQ(TakePages(), (Pages{L"form_printer_manufacturer", L"form_printer_port"}));
  }

  int RowOf(const wchar_t* grid, const std::wstring& text, int column = 1) {
    auto cells = Column(grid, column);
    auto at = std::find(cells.begin(), cells.end(), text);
    return at == cells.end() ? 0 : static_cast<int>(at - cells.begin()) + 1;
  }

  bool EndsWithCompletion() {
    auto lines = LogLines();
    return !lines.empty() && lines.back() == (test::LogLine{L"Installation completed.", kBlue});
  }
  bool LogHasRed() {
    auto lines = LogLines();
    return std::any_of(lines.begin(), lines.end(), [](const test::LogLine& l) { return l.argb == kRed; });
  }
  std::string LogText() {
    std::string text;
    for (const auto& l : LogLines()) text += WideToUtf8(l.text) + "\n";
    return text;
  }
  bool PrinterButtonsShown() {
    return std::all_of(std::begin(kPrinterButtons), std::end(kPrinterButtons), [&](const wchar_t* b) { return Visible(b); });
  }
  bool AnyPrinterButtonShown() {
    return std::any_of(std::begin(kPrinterButtons), std::end(kPrinterButtons), [&](const wchar_t* b) { return Visible(b); });
  }
};

TEST_F(InstallFlow, UsbPrinterPluggedInWhileTheSearchPolls) {
  ScriptDeviceConsole(0, L"TX-210", L"USB001");
  StartInstall();
  ASSERT_TRUE(Click(L"btn_form_printer_port_next"));
  EXPECT_EQ(TakePages(), (Pages{L"form_printer_search"}));
  backend_.AdvanceTime(1500);
  EXPECT_EQ(Page(), L"form_printer_search");
  EXPECT_TRUE(Visible(L"pic_form_printer_search_loading"));

  Plug(1, L"USBPRINT\\QOVA_TX-210A4B6");
  backend_.AdvanceTime(500);
  EXPECT_EQ(TakePages(), (Pages{L"form_printer_mode"}));
  EXPECT_EQ(Column(L"grid_printer_mode"), (std::vector<std::wstring>{L"TX-210"}));
  EXPECT_EQ(Column(L"grid_printer_mode", 2), (std::vector<std::wstring>{L"USB001"}));
  EXPECT_EQ(Column(L"grid_printer_mode", 3), (std::vector<std::wstring>{L"Not installed"}));

  // Unplugged, the search page comes back; plugged in again, the list.
  Unplug(1);
  backend_.AdvanceTime(500);
  EXPECT_EQ(Page(), L"form_printer_search");
  Plug(1, L"USBPRINT\\QOVA_TX-210A4B6");
  backend_.AdvanceTime(500);
  EXPECT_EQ(Page(), L"form_printer_mode");
  TakePages();

  ASSERT_TRUE(ClickRow(L"grid_printer_mode", 1));
  EXPECT_TRUE(Find<ui::Grid>(L"grid_printer_mode")->IsChecked(1));
  ASSERT_TRUE(Click(L"btn_form_printer_mode_next"));
  EXPECT_FALSE(Forms().formPrinterSearch->DevicePollRunning());
  EXPECT_EQ(Control(L"text_printer_name")->Text(), L"TX-210");
  ASSERT_TRUE(Type(L"text_printer_name", L"Shipping desk"));
  ASSERT_TRUE(Click(L"btn_form_printer_name_next"));
  backend_.Pump();

  // USB passes the summary without waiting.
  EXPECT_EQ(TakePages(), (Pages{L"form_printer_name", L"form_setup_prepare", L"form_setup_end"}));
  EXPECT_EQ(Control(L"text_form_setup_end_title")->Text(), L"Installing printer");
  EXPECT_EQ(backend_.ModalLoopsRun(), 1);
  auto started = machine_.processes.Started();
  ASSERT_EQ(started.size(), 1u) << LogText();
  EXPECT_EQ(started[0].program, DevconPath()) << WideToUtf8(started[0].commandLine) << " error " << started[0].error;
  EXPECT_NE(started[0].commandLine.find(L"/r update"), std::wstring::npos);
  EXPECT_NE(started[0].commandLine.find(L"\"USBPRINT\\QOVA_TX-210A4B6\""), std::wstring::npos);
  EXPECT_TRUE(EndsWithCompletion()) << LogText();
  EXPECT_FALSE(LogHasRed()) << LogText();
  EXPECT_EQ(PrinterNames(), (std::vector<std::wstring>{L"Shipping desk"}));
  EXPECT_EQ(machine_.spooler.GetDefaultPrinter().value, L"Shipping desk");
  EXPECT_TRUE(PrinterButtonsShown());
  EXPECT_EQ(Forms().formSetupEnd->endPrinterName(), L"Shipping desk");

  EXPECT_EQ(Setting(L"SetupMode"), L"0");
  EXPECT_EQ(Setting(L"SetupPortType"), L"<missing>");  // USB was kept, never picked
  EXPECT_EQ(Setting(L"SetupPrinter"), L"TX-210");
  EXPECT_EQ(Setting(L"Manufacturer"), L"<missing>");

  // The printer buttons act on the name the printer was given.
  ASSERT_TRUE(Click(L"btn_form_setup_printer_device_properties"));
  auto commands = machine_.session.PrinterCommands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_NE(commands[0].printerName.find(L"\\Shipping desk"), std::wstring::npos);
  ASSERT_TRUE(Click(L"btn_form_setup_print_test_page"));
  EXPECT_TRUE(WaitForWorkerThreads(std::chrono::seconds(10)));
  started = machine_.processes.Started();
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[1].commandLine, TestPageCommandLine(machine_.system, L"Shipping desk"));

  ASSERT_TRUE(Click(L"btn_form_setup_first"));
  EXPECT_EQ(Page(), L"form_main");
  EXPECT_TRUE(Find<ui::Option>(L"chk_install_driver")->IsSelected());
}

TEST_F(InstallFlow, BluetoothDongleGoesThroughTheDeviceConsoleToo) {
  ScriptDeviceConsole(0, L"TX-210BA", L"USB002");
  Plug(2, L"USBPRINT\\QOVA_TX-210BA25EC");
  Plug(3, L"USBPRINT\\QOVA_TX-210A4B6");  // not a dongle: not listed for this type
  StartInstall();
  ASSERT_TRUE(Select(L"chk_port_blue_tooth_adapter"));
  ASSERT_TRUE(Click(L"btn_form_printer_port_next"));
  EXPECT_EQ(TakePages(), (Pages{L"form_printer_search", L"form_printer_mode"}));
  EXPECT_EQ(Column(L"grid_printer_mode"), (std::vector<std::wstring>{L"TX-210BA"}));
  ASSERT_TRUE(ClickRow(L"grid_printer_mode", 1));
  ASSERT_TRUE(Click(L"btn_form_printer_mode_next"));
  ASSERT_TRUE(SetCheckedDefault(false));
  ASSERT_TRUE(Click(L"btn_form_printer_name_next"));
  backend_.Pump();
  EXPECT_EQ(TakePages(), (Pages{L"form_printer_name", L"form_setup_prepare", L"form_setup_end"}));
  EXPECT_TRUE(EndsWithCompletion()) << LogText();
  EXPECT_EQ(PrinterNames(), (std::vector<std::wstring>{L"TX-210BA"}));
  EXPECT_FALSE(machine_.spooler.GetDefaultPrinter().value == L"TX-210BA");
  EXPECT_EQ(Setting(L"SetupPortType"), L"3");
  EXPECT_EQ(Setting(L"SetupPrinter"), L"TX-210BA");
}

TEST_F(InstallFlow, NetworkPrinterByAddressWaitsOnTheSummary) {
  StartInstall();
  ASSERT_TRUE(Select(L"chk_port_net"));
  ASSERT_TRUE(Click(L"btn_form_printer_port_next"));
  ASSERT_TRUE(Type(L"text_printer_mode2_find_key", L"tx-210"));
  int row = RowOf(L"grid_printer_mode2", L"TX-210");
  ASSERT_GT(row, 0);
  ASSERT_TRUE(ClickRow(L"grid_printer_mode2", row));
  ASSERT_TRUE(Click(L"btn_form_printer_mode2_next"));
  EXPECT_EQ(Control(L"text_tcpmon_port_name")->Text(), L"TX-210_192.168.1.200");
  ASSERT_TRUE(Click(L"btn_form_printer_tcpmon_next"));
  ASSERT_TRUE(Click(L"btn_form_printer_name_next"));
  EXPECT_EQ(TakePages(),
            (Pages{L"form_printer_mode2", L"form_printer_tcpmon", L"form_printer_name", L"form_setup_prepare"}));
  EXPECT_EQ(Control(L"td_driver_name")->Text(), L"TX-210");
  EXPECT_EQ(Control(L"td_port")->Text(), L"TX-210_192.168.1.200");
  EXPECT_EQ(Control(L"td_printer_name")->Text(), L"TX-210");
  EXPECT_EQ(Control(L"td_is_default")->Text(), L"yes");
  EXPECT_EQ(backend_.ModalLoopsRun(), 0);

  ASSERT_TRUE(Click(L"btn_form_setup_prepare_next"));
  backend_.Pump();
  EXPECT_EQ(TakePages(), (Pages{L"form_setup_end"}));
  EXPECT_TRUE(EndsWithCompletion()) << LogText();
  EXPECT_FALSE(LogHasRed()) << LogText();
  auto printer = Printer(L"TX-210");
  EXPECT_EQ(printer.portName, L"TX-210_192.168.1.200");
  EXPECT_EQ(printer.driverName, L"TX-210");
  EXPECT_EQ(machine_.spooler.GetDefaultPrinter().value, L"TX-210");
  EXPECT_EQ(Setting(L"SetupPortType"), L"1");
  EXPECT_EQ(Setting(L"SetupPrinter"), L"TX-210");
}

// Parallel, serial and custom ports: the model from the custom list, the
// port from the spooler's; only the custom port waits on the summary.
TEST_F(InstallFlow, PortsOfTheSpooler) {
  struct Case {
    const wchar_t* option;
    const wchar_t* port;
    bool summaryWaits;
    const wchar_t* portType;
  };
  const Case cases[] = {
      {L"chk_port_parallel_port", L"LPT1:", false, L"4"},
      {L"chk_port_serial_port", L"COM2:", false, L"5"},
      {L"chk_port_custom", L"FILE:", true, L"6"},
  };
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.option));
    CloseWizard();
    const std::wstring name = L"Label " + std::to_wstring(++run);
    StartInstall();
    ASSERT_TRUE(Select(c.option));
    ASSERT_TRUE(Click(L"btn_form_printer_port_next"));
    EXPECT_TRUE(Forms().formPrinterSearch->DevicePollRunning());
    int row = RowOf(L"grid_custom_printer_mode", L"TX-420");
    ASSERT_GT(row, 0);
    ASSERT_TRUE(ClickRow(L"grid_custom_printer_mode", row));
    EXPECT_EQ(Column(L"grid_custom_printer_mode", 3)[row - 1], L"");  // not connected
    ASSERT_TRUE(Click(L"btn_form_custom_printer_mode_next"));
    EXPECT_FALSE(Forms().formPrinterSearch->DevicePollRunning());
    EXPECT_EQ(app_.selected.portName, L"");
    int port = RowOf(L"grid_custom_port", c.port);
    ASSERT_GT(port, 0);
    ASSERT_TRUE(ClickRow(L"grid_custom_port", port));
    ASSERT_TRUE(Click(L"btn_form_custom_port_next"));
    ASSERT_TRUE(Type(L"text_printer_name", name));
    ASSERT_TRUE(Click(L"btn_form_printer_name_next"));
    backend_.Pump();
    Pages expected{L"form_custom_printer_mode", L"form_custom_port", L"form_printer_name", L"form_setup_prepare"};
    if (!c.summaryWaits) expected.push_back(L"form_setup_end");
    EXPECT_EQ(TakePages(), expected);
    if (c.summaryWaits) {
      EXPECT_EQ(Control(L"td_port")->Text(), c.port);
      EXPECT_EQ(Control(L"td_printer_name")->Text(), name);
      ASSERT_TRUE(Click(L"btn_form_setup_prepare_next"));
      backend_.Pump();
      EXPECT_EQ(TakePages(), (Pages{L"form_setup_end"}));
    }
    EXPECT_TRUE(EndsWithCompletion()) << LogText();
    EXPECT_FALSE(LogHasRed()) << LogText();
    auto printer = Printer(name);
    EXPECT_EQ(printer.portName, c.port);
    EXPECT_EQ(printer.driverName, L"TX-420");
    EXPECT_EQ(Setting(L"SetupPortType"), c.portType);
    EXPECT_TRUE(PrinterButtonsShown());
  }
}

TEST_F(InstallFlow, FailedInstallationLeavesOnlyHomeAndClose) {
  ScriptDeviceConsole(2, L"TX-210", L"USB001");
  Plug(1, L"USBPRINT\\QOVA_TX-210A4B6");
  StartInstall();
  ASSERT_TRUE(Click(L"btn_form_printer_port_next"));
  ASSERT_TRUE(ClickRow(L"grid_printer_mode", 1));
  ASSERT_TRUE(Click(L"btn_form_printer_mode_next"));
  ASSERT_TRUE(Click(L"btn_form_printer_name_next"));
  backend_.Pump();
  EXPECT_EQ(Page(), L"form_setup_end");
  EXPECT_TRUE(LogHasRed()) << LogText();
  EXPECT_FALSE(EndsWithCompletion());
  EXPECT_FALSE(AnyPrinterButtonShown());
  EXPECT_TRUE(Visible(L"btn_form_setup_first"));
  EXPECT_TRUE(Visible(L"btn_form_setup_cancel"));
  EXPECT_EQ(Forms().formSetupEnd->endPrinterName(), L"");
  EXPECT_TRUE(PrinterNames().empty());
  ASSERT_TRUE(Click(L"btn_form_setup_cancel"));
  backend_.Pump();
  EXPECT_FALSE(frame_->IsCreated());
  EXPECT_EQ(frame_->Result(), 2);
}

TEST_F(InstallFlow, SummaryPreviousProposesAFreshName) {
  StartInstall();
  ASSERT_TRUE(Select(L"chk_port_custom"));
  ASSERT_TRUE(Click(L"btn_form_printer_port_next"));
  ASSERT_TRUE(ClickRow(L"grid_custom_printer_mode", RowOf(L"grid_custom_printer_mode", L"TX-420")));
  ASSERT_TRUE(Click(L"btn_form_custom_printer_mode_next"));
  ASSERT_TRUE(Click(L"btn_form_custom_port_next"));
  ASSERT_TRUE(Type(L"text_printer_name", L"Typed"));
  ASSERT_TRUE(SetCheckedDefault(false));
  ASSERT_TRUE(Click(L"btn_form_printer_name_next"));
  EXPECT_EQ(Control(L"td_is_default")->Text(), L"no");
  EXPECT_EQ(Control(L"td_printer_name")->Text(), L"Typed");
  ASSERT_TRUE(Click(L"btn_form_setup_prepare_pre"));
  EXPECT_EQ(Page(), L"form_printer_name");
  EXPECT_EQ(Control(L"text_printer_name")->Text(), L"TX-420");
  EXPECT_FALSE(Find<ui::Option>(L"chk_set_default_printer")->IsSelected());
}

// Previous on each page, with the page it leads back to.
TEST_F(InstallFlow, PreviousLeadsBackTheWayThePortTypeCame) {
  struct Step {
    const wchar_t* button;  // clicked to go forward ("" for a grid row)
    const wchar_t* page;    // the page shown then
  };
  struct Case {
    const char* label;
    const wchar_t* option;
    std::vector<Step> forward;
  };
  Plug(1, L"USBPRINT\\QOVA_TX-210A4B6");
  const std::vector<Case> cases = {
      {"usb", L"chk_port_usb",
       {{L"btn_form_printer_port_next", L"form_printer_mode"}, {L"btn_form_printer_mode_next", L"form_printer_name"}}},
      {"network", L"chk_port_net",
       {{L"btn_form_printer_port_next", L"form_printer_mode2"},
        {L"btn_form_printer_mode2_next", L"form_printer_tcpmon"},
        {L"btn_form_printer_tcpmon_next", L"form_printer_name"}}},
      {"custom", L"chk_port_custom",
       {{L"btn_form_printer_port_next", L"form_custom_printer_mode"},
        {L"btn_form_custom_printer_mode_next", L"form_custom_port"},
        {L"btn_form_custom_port_next", L"form_printer_name"}}},
  };
  auto previousOf = [](const std::wstring& page) {
    if (page == L"form_printer_name") return std::wstring(L"btn_form_printer_name_pre");
    if (page == L"form_printer_mode") return std::wstring(L"btn_form_printer_mode_pre");
    if (page == L"form_printer_mode2") return std::wstring(L"btn_form_printer_mode2_pre");
    if (page == L"form_printer_tcpmon") return std::wstring(L"btn_form_printer_tcpmon_pre");
    if (page == L"form_custom_printer_mode") return std::wstring(L"btn_form_custom_printer_mode_pre");
    if (page == L"form_custom_port") return std::wstring(L"btn_form_custom_port_pre");
    return std::wstring();
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    CloseWizard();
    StartInstall();
    ASSERT_TRUE(Select(c.option));
    for (const Step& step : c.forward) {
      ASSERT_TRUE(Click(step.button));
      ASSERT_EQ(Page(), step.page);
    }
    // Back through every page to the port page, then to the first page.
    for (size_t i = c.forward.size(); i-- > 0;) {
      const std::wstring from = c.forward[i].page;
      const std::wstring expected = i == 0 ? L"form_printer_port" : c.forward[i - 1].page;
      ASSERT_TRUE(Click(previousOf(from).c_str())) << WideToUtf8(from);
      EXPECT_EQ(Page(), expected) << WideToUtf8(from);
    }
    EXPECT_FALSE(Forms().formPrinterSearch->DevicePollRunning());
    ASSERT_TRUE(Click(L"btn_form_printer_port_pre"));
    EXPECT_EQ(Page(), L"form_main");
  }
  // The search page's own Previous, and the manufacturer page's.
  CloseWizard();
  Unplug(1);
  StartInstall();
  ASSERT_TRUE(Click(L"btn_form_printer_port_next"));
  ASSERT_EQ(Page(), L"form_printer_search");
  ASSERT_TRUE(Click(L"btn_form_printer_search_pre"));
  EXPECT_EQ(Page(), L"form_printer_port");
  EXPECT_FALSE(Forms().formPrinterSearch->DevicePollRunning());
}

TEST_F(InstallFlow, CancelOnAnyPageClosesTheWizard) {
  Plug(1, L"USBPRINT\\QOVA_TX-210A4B6");
  struct Case {
    std::vector<const wchar_t*> forward;
    const wchar_t* cancel;
  };
  const std::vector<Case> cases = {
      {{}, L"btn_form_main_cancel"},
      {{L"btn_form_main_next"}, L"btn_form_printer_port_cancel"},
      {{L"btn_form_main_next", L"btn_form_printer_port_next"}, L"btn_form_printer_mode_cancel"},
      {{L"btn_form_main_next", L"btn_form_printer_port_next", L"btn_form_printer_mode_next"},
       L"btn_form_printer_name_cancel"},
      {{L"btn_form_main_next", L"chk_port_net", L"btn_form_printer_port_next"}, L"btn_form_printer_mode2_cancel"},
      {{L"btn_form_main_next", L"chk_port_net", L"btn_form_printer_port_next", L"btn_form_printer_mode2_next"},
       L"btn_form_printer_tcpmon_cancel"},
      {{L"btn_form_main_next", L"chk_port_net", L"btn_form_printer_port_next", L"btn_form_printer_mode2_next",
        L"btn_form_printer_tcpmon_next", L"btn_form_printer_name_next"},
       L"btn_form_setup_prepare_cancel"},
      {{L"btn_form_main_next", L"chk_port_custom", L"btn_form_printer_port_next"},
       L"btn_form_custom_printer_mode_cancel"},
      {{L"btn_form_main_next", L"chk_port_custom", L"btn_form_printer_port_next", L"btn_form_custom_printer_mode_next"},
       L"btn_form_custom_port_cancel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.cancel));
    CloseWizard();
    OpenWizard();
    for (const wchar_t* step : c.forward) ASSERT_TRUE(Click(step)) << WideToUtf8(step);
    ASSERT_TRUE(Click(c.cancel));
    backend_.Pump();
    EXPECT_FALSE(frame_->IsCreated());
    EXPECT_EQ(frame_->Result(), 2);
  }
  // Without a printer: the search page's Cancel.
  CloseWizard();
  Unplug(1);
  OpenWizard();
  ASSERT_TRUE(Click(L"btn_form_main_next"));
  ASSERT_TRUE(Click(L"btn_form_printer_port_next"));
  ASSERT_TRUE(Click(L"btn_form_printer_search_cancel"));
  backend_.Pump();
  EXPECT_FALSE(frame_->IsCreated());
  EXPECT_FALSE(Forms().formPrinterSearch->DevicePollRunning());
}

}  // namespace
}  // namespace orvello
