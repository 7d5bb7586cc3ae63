// Naming the installed printer, making it the default, its text values and
// the network printer's port, over the real spooler with the sample driver
// of the shipped package.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/driver_install.h"
#include "engine/ports_monitors.h"
#include "engine/printers.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "shell/message_log.h"
#include "support/engine_win32_fixture.h"
#include "system/error_text.h"
#include "system/printer_connection.h"
#include "system/text.h"
#include "unit/system_test_support.h"

namespace orvello {
namespace {

using Lines = std::vector<test::LogLine>;
using test::RunningOnWine;

// The name a user may give the printer: accented Latin and Chinese.
constexpr wchar_t kChosenName[] = L"\u00C9tiquette \u6807\u7b7e";
constexpr wchar_t kNetworkPort[] = L"IP_192.0.2.10";  // an address of the documentation range
constexpr uint32_t kRegSz = 1;

class EnginePrintersWin32 : public test::EngineWin32Fixture {
 protected:
  void SetUp() override {
    EngineWin32Fixture::SetUp();
    if (HasFatalFailure()) return;
    model_ = DriverName(selected_.driver);
    // The printer Plug and Play would have made, and the user's name for it.
    printerNames_.push_back(model_);
    printerNames_.push_back(kChosenName);
    if (auto def = p().spooler.GetDefaultPrinter()) originalDefault_ = def.value;
    InstallAs32BitWindowsOnWine();
    if (HasFatalFailure()) return;
    Cleanup();
    DeletePortIfStandardTcpIp(p(), kNetworkPort);
  }

  void TearDown() override {
    Cleanup();
    RestoreDefaultPrinter();
    EngineWin32Fixture::TearDown();
    EXPECT_FALSE(PortExists(kNetworkPort));
  }

  void InstallSampleDriver() {
    Stage();
    ASSERT_TRUE(InstallDriverLegacy(Job(nullptr), model_, mode_)) << LogText();
  }

  // A printer with the installed driver on "FILE:", made the engine's way.
  void AddPrinterNamed(const std::wstring& name) {
    PrinterDevice device = selected_;
    device.model = model_;
    device.printerName = name;
    ASSERT_TRUE(AddPrinterForModel(p(), device)) << LogText();
    ASSERT_EQ(device.model, name);
  }

  void DeleteTestPrinters() {
    for (const std::wstring& name : printerNames_) {
      PrinterConnection printer(p());
      if (OpenPrinterConnection(printer, name)) EXPECT_TRUE(printer.handle()->DeletePrinter().ok());
    }
  }

  // Deleting the default printer leaves the spooler to choose another one;
  // the machine's own choice is put back.
  void RestoreDefaultPrinter() {
    if (originalDefault_) p().spooler.SetDefaultPrinter(*originalDefault_);
  }

  std::optional<std::wstring> DefaultPrinter() {
    auto def = p().spooler.GetDefaultPrinter();
    if (!def) return std::nullopt;
    return def.value;
  }

  bool PortExists(const std::wstring& name) {
    auto ports = p().spooler.EnumPorts2();
    if (!ports) return false;
    for (const auto& port : ports.value) {
      if (EqualsIgnoreCase(port.portName, name)) return true;
    }
    return false;
  }

  std::wstring ErrorText(uint32_t code) { return SystemErrorText(p().system, code); }

  std::wstring model_;
  std::optional<std::wstring> originalDefault_;
};

// The one name the printer opens by afterwards.
enum class OpensBy { Nothing, ModelName, ChosenName };

// What the spooler shows after ApplyInstalledPrinterSettings.
struct SettingsOutcome {
  OpensBy opensBy;
  bool madeDefault;  // false: the default printer is what it was before
  std::vector<std::pair<const wchar_t*, uint32_t>> log;  // message keys and colours
};

struct SettingsCase {
  const char* label;
  bool printerExists;
  bool createdUnderChosenName;  // as for ports other than USB: no rename needed
  bool setDefault;
  SettingsOutcome outcome;
  std::optional<SettingsOutcome> onWine;  // where Wine's spooler differs
};

TEST_F(EnginePrintersWin32, InstalledPrinterIsRenamedAndMadeTheDefault) {
  InstallSampleDriver();
  const std::vector<SettingsCase> cases = {
      // Wine's SetPrinter at level 2 succeeds and keeps the new name as the
      // printer's PRINTER_INFO_2 name, but the printer stays filed under its
      // old name: OpenPrinter and SetDefaultPrinter with the new name fail
      // with 1801 there, so the default cannot be set. Windows renames it.
      {"renamed and made default", true, false, true,
       {OpensBy::ChosenName, true, {{msg::kDefaultPrinterSet, kColourBlue}}},
       SettingsOutcome{OpensBy::ModelName, false, {{msg::kSetDefaultPrinterFailed, kColourRed}}}},
      {"renamed, default not asked", true, false, false, {OpensBy::ChosenName, false, {}},
       SettingsOutcome{OpensBy::ModelName, false, {}}},
      {"made under the chosen name, made default", true, true, true,
       {OpensBy::ChosenName, true, {{msg::kDefaultPrinterSet, kColourBlue}}}, std::nullopt},
      // Neither rename nor default, and nothing said.
      {"printer missing", false, false, true, {OpensBy::Nothing, false, {}}, std::nullopt},
  };
  for (const SettingsCase& c : cases) {
    SCOPED_TRACE(c.label);
    const std::wstring existing = c.createdUnderChosenName ? std::wstring(kChosenName) : model_;
    if (c.printerExists) AddPrinterNamed(existing);
    if (HasFatalFailure()) return;
    const std::optional<std::wstring> defaultBefore = DefaultPrinter();
    PrinterDevice selected = selected_;
    selected.model = existing;
    selected.printerName = kChosenName;

    test::RecordingMessageLog log;
    ApplyInstalledPrinterSettings(p(), selected, c.setDefault);

    const SettingsOutcome& want = (RunningOnWine() && c.onWine) ? *c.onWine : c.outcome;
    Lines expected;
    for (const auto& [key, colour] : want.log) expected.push_back({Translate(key), colour});
    EXPECT_EQ(log.Lines(), expected);
    for (OpensBy by : {OpensBy::ModelName, OpensBy::ChosenName}) {
      const std::wstring name = by == OpensBy::ModelName ? model_ : std::wstring(kChosenName);
      PrinterConnection printer(p());
      bool opens = OpenPrinterConnection(printer, name);
      EXPECT_EQ(opens, by == want.opensBy) << WideToUtf8(name);
      if (!opens) continue;
      // The printer's own record carries the chosen name also where Wine
      // keeps the printer under the old one.
      auto info = GetPrinterInfo2(printer);
      ASSERT_TRUE(info.has_value());
      EXPECT_EQ(info->printerName, kChosenName);
      EXPECT_EQ(info->portName, L"FILE:");
      EXPECT_TRUE(EqualsIgnoreCase(info->driverName, model_));
    }
    if (want.madeDefault) {
      EXPECT_EQ(DefaultPrinter(), std::optional<std::wstring>(kChosenName));
    } else {
      EXPECT_EQ(DefaultPrinter(), defaultBefore);
    }
    DeleteTestPrinters();
    RestoreDefaultPrinter();
  }
}

struct DataCase {
  const char* label;
  std::wstring valueName;
  std::wstring text;
};

TEST_F(EnginePrintersWin32, DriverDataTextRoundTripsWithoutTerminator) {
  InstallSampleDriver();
  AddPrinterNamed(kChosenName);
  if (HasFatalFailure()) return;
  PrinterConnection printer(p());
  ASSERT_TRUE(OpenPrinterConnection(printer, kChosenName));
  const std::vector<DataCase> cases = {
      {"device type", kDeviceTypeValue, kBluetoothDeviceType},
      {"Bluetooth address", kBluetoothAddressValue, L"00158300A1B2"},
      {"non-ASCII text", L"Orvello Label", kChosenName},
      {"longer than the smallest read buffer", L"Orvello Long", std::wstring(700, L'\u0416')},
  };
  for (const DataCase& c : cases) {
    SCOPED_TRACE(c.label);
    ASSERT_TRUE(SetPrinterDriverDataText(printer, c.valueName, c.text));

    uint32_t needed = 0;
    auto raw = printer.handle()->GetPrinterDataEx(kPrinterDriverDataKey, c.valueName, 4096, &needed);
    ASSERT_TRUE(raw.ok()) << raw.error;
    EXPECT_EQ(raw.value.type, kRegSz);
    // The characters, without a NUL. The registry's rule for a REG_SZ whose
    // size forgot the terminator (Wine's RegSetValueExW follows it and says
    // Windows does too) counts one more character when the wide character
    // just after the written bytes happens to be NUL in the writer's memory,
    // so the stored value may end with one NUL the engine never sent.
    const std::vector<uint8_t> sent = WideToUtf16Bytes(c.text, false);
    std::vector<uint8_t> stored = raw.value.data;
    if (stored.size() == sent.size() + 2 && stored[sent.size()] == 0 && stored[sent.size() + 1] == 0) {
      stored.resize(sent.size());
    }
    EXPECT_EQ(stored, sent);

    PrinterDataText read = GetPrinterDataText(printer, kPrinterDriverDataKey, c.valueName);
    EXPECT_TRUE(read.found);
    EXPECT_EQ(read.text, c.text);
  }

  PrinterDataText missing = GetPrinterDataText(printer, kPrinterDriverDataKey, L"Orvello Never Written");
  EXPECT_FALSE(missing.found);
  EXPECT_EQ(missing.text, L"");

  // An empty value exists on the printer but does not count as found. Wine
  // answers the size query for it with 234 and a size of 0, where Windows
  // answers ERROR_SUCCESS.
  ASSERT_TRUE(SetPrinterDriverDataText(printer, L"Orvello Empty", L""));
  uint32_t needed = 1;
  auto probe = printer.handle()->GetPrinterDataEx(kPrinterDriverDataKey, L"Orvello Empty", 0, &needed);
  EXPECT_EQ(needed, 0u);
  if (RunningOnWine()) EXPECT_EQ(probe.error, platform::err::kMoreData);
  PrinterDataText empty = GetPrinterDataText(printer, kPrinterDriverDataKey, L"Orvello Empty");
  EXPECT_FALSE(empty.found);
  EXPECT_EQ(empty.text, L"");
  for (const auto& line : log_.Lines()) EXPECT_NE(line.colour, kColourRed) << WideToUtf8(line.text);
}

TEST_F(EnginePrintersWin32, NetworkInstallLeavesNoPortOrPrinterWhenItCannotFinish) {
  PrinterDevice selected = selected_;
  selected.model = model_;
  selected.printerName = kChosenName;
  selected.portName = kNetworkPort;
  selected.ipAddress = L"192.0.2.10";
  std::vector<std::wstring> driverCalls;
  auto installDriver = [&](const std::wstring& mode, const std::wstring& model) {
    driverCalls.push_back(mode + L"|" + model);
    return false;  // the driver step fails: the new port must go again
  };

  test::RecordingMessageLog log;
  EXPECT_FALSE(InstallNetworkPrinter(p(), selected, installDriver));

  if (RunningOnWine()) {
    // Wine has no Standard TCP/IP port monitor: its configuration object
    // does not open (1796), so the run ends before any driver work.
    EXPECT_EQ(log.Lines(), (Lines{{FormatText(Translate(msg::kOpenObjectFailed).c_str(),
                                              platform::kXcvStandardTcpIpMonitor,
                                              static_cast<int>(platform::err::kUnknownPort),
                                              ErrorText(platform::err::kUnknownPort).c_str()),
                                   kColourRed}}));
    EXPECT_TRUE(driverCalls.empty());
  } else {
    // The port was made, the driver step ran and its failure (reported by
    // the driver step itself) took the port away again without a word.
    EXPECT_EQ(log.Lines(), Lines{});
    EXPECT_EQ(driverCalls, std::vector<std::wstring>{mode_ + L"|" + model_});
  }
  EXPECT_EQ(selected.model, model_);
  EXPECT_FALSE(PortExists(kNetworkPort));
  PrinterConnection printer(p());
  EXPECT_FALSE(OpenPrinterConnection(printer, kChosenName));
}

TEST_F(EnginePrintersWin32, OnlyStandardTcpIpPortsAreDeleted) {
  auto before = p().spooler.EnumPorts2();
  ASSERT_TRUE(before.ok()) << before.error;
  std::wstring fileMonitor;
  for (const auto& port : before.value) {
    if (port.portName == L"FILE:") fileMonitor = port.monitorName;
  }
  ASSERT_FALSE(fileMonitor.empty());

  test::RecordingMessageLog log;
  for (const wchar_t* name : {L"FILE:", L"file:", L"ORVELLO_NO_SUCH_PORT"}) {
    SCOPED_TRACE(WideToUtf8(name));
    EXPECT_FALSE(DeletePortIfStandardTcpIp(p(), name));
  }
  EXPECT_EQ(log.Lines(), Lines{});
  auto after = p().spooler.EnumPorts2();
  ASSERT_TRUE(after.ok()) << after.error;
  bool fileStays = false;
  for (const auto& port : after.value) {
    if (port.portName == L"FILE:") fileStays = port.monitorName == fileMonitor;
  }
  EXPECT_TRUE(fileStays);
  EXPECT_EQ(after.value.size(), before.value.size());

  EXPECT_FALSE(DeleteStandardTcpIpPort(p(), kNetworkPort));
  const Lines lines = log.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].colour, kColourRed);
  if (RunningOnWine()) {
    // No Standard TCP/IP port monitor to ask.
    EXPECT_EQ(lines[0].text, FormatText(Translate(msg::kOpenObjectFailed).c_str(), platform::kXcvStandardTcpIpMonitor,
                                        static_cast<int>(platform::err::kUnknownPort),
                                        ErrorText(platform::err::kUnknownPort).c_str()));
  } else {
    // The monitor refuses a port it does not have.
    EXPECT_EQ(lines[0].text.rfind(L"Delete Port: IP_192.0.2.10. ", 0), 0u) << WideToUtf8(lines[0].text);
  }
}

}  // namespace
}  // namespace orvello
