// Creating the installed printer, naming it, making it the default, and the
// text values kept as printer data, on the fake spooler.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "engine/printers.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "platform/fake/fake_machine.h"
#include "shell/message_log.h"
#include "system/printer_connection.h"
#include "system/text.h"
#include "support/recording_log.h"

namespace orvello {
namespace {

using Lines = std::vector<std::pair<std::wstring, uint32_t>>;

using test::RecordingLog;

constexpr char kCatalogue[] = R"(<Drivers><Manufacturers>
  <Manufacturer mode="Acme">
    <Driver name="Acme LP-40" comment="Label printer 40 mm"/>
    <Driver name="Acme LP-60" parent="Acme LP-40" parentmanufacturer="Acme"/>
    <Driver name="Acme Bare"/>
  </Manufacturer>
</Manufacturers></Drivers>)";

void InstallCatalogueDrivers(fake::FakeSpooler& spooler) {
  for (const wchar_t* name : {L"Acme LP-40", L"Acme LP-60", L"Acme Bare"}) {
    platform::DriverInfo driver;
    driver.level = 3;
    driver.version = 3;
    driver.name = name;
    driver.environment = platform::kEnvironmentX64;
    spooler.AddDriverDirectly(driver);
  }
}

class Printers : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(catalogue_.load_string(kCatalogue));
    SetCurrentMessageLog(&log_);
    InstallCatalogueDrivers(machine_.spooler);
  }
  void TearDown() override { SetCurrentMessageLog(nullptr); }

  PrinterDevice Selected(const std::wstring& model, const std::wstring& printerName, const std::wstring& port) {
    PrinterDevice device;
    device.driver = FindDriver(L"Acme", model, catalogue_);
    device.model = model;
    device.printerName = printerName;
    device.portName = port;
    return device;
  }

  // A printer as Plug and Play leaves it: named after the model.
  fake::FakePrinter& PlugAndPlayPrinter(const std::wstring& name) {
    platform::PrinterInfo2 info;
    info.printerName = name;
    info.portName = L"LPT1:";
    info.driverName = L"Acme LP-40";
    info.comment = L"from the INF";
    info.printProcessor = L"WinPrint";
    info.dataType = L"RAW";
    info.attributes = platform::kPrinterAttributeLocal;
    return machine_.spooler.AddPrinterDirectly(info);
  }

  std::wstring ErrorText(uint32_t code) { return machine_.system.ErrorText(code); }

  pugi::xml_document catalogue_;
  fake::FakeMachine machine_;
  RecordingLog log_;
};

struct AddCase {
  const char* label;
  std::wstring model;
  std::wstring printerName;
  bool nameTaken;
  std::wstring comment;  // expected on the new printer
};

TEST_F(Printers, AddPrinterForModelCreatesThePrinterOrReportsWhyNot) {
  const std::vector<AddCase> cases = {
      {"own comment", L"Acme LP-40", L"Shipping", false, L"Label printer 40 mm"},
      {"inherited comment", L"Acme LP-60", L"Shipping 60", false, L"Label printer 40 mm"},
      {"no comment at all", L"Acme Bare", L"Plain", false, L""},
      {"name already taken", L"Acme LP-40", L"Taken", true, L""},
  };
  for (const AddCase& c : cases) {
    SCOPED_TRACE(c.label);
    log_.lines.clear();
    if (c.nameTaken) PlugAndPlayPrinter(c.printerName);
    PrinterDevice selected = Selected(c.model, c.printerName, L"COM2:");

    bool added = AddPrinterForModel(machine_.platform(), selected);

    EXPECT_EQ(machine_.spooler.OpenHandleCount(), 0u);
    if (c.nameTaken) {
      EXPECT_FALSE(added);
      EXPECT_EQ(selected.model, c.model);
      EXPECT_EQ(log_.lines, (Lines{{FormatText(Translate(msg::kAddPrinterFailed).c_str(), c.printerName.c_str(), 1802,
                                               ErrorText(1802).c_str()),
                                    kColourRed}}));
      EXPECT_EQ(machine_.spooler.FindPrinter(c.printerName)->info.portName, L"LPT1:");
      continue;
    }
    EXPECT_TRUE(added);
    EXPECT_EQ(selected.model, c.printerName);
    EXPECT_EQ(log_.lines, (Lines{{FormatText(Translate(msg::kPrinterAdded).c_str(), c.printerName.c_str()), kColourBlue}}));
    const fake::FakePrinter* printer = machine_.spooler.FindPrinter(c.printerName);
    ASSERT_NE(printer, nullptr);
    const platform::PrinterInfo2& info = printer->info;
    EXPECT_EQ(info.printerName, c.printerName);
    EXPECT_EQ(info.shareName, L"");
    EXPECT_EQ(info.portName, L"COM2:");
    EXPECT_EQ(info.driverName, c.model);
    EXPECT_EQ(info.comment, c.comment);
    EXPECT_EQ(info.location, L"");
    EXPECT_FALSE(info.devMode.has_value());
    EXPECT_EQ(info.printProcessor, L"WinPrint");
    EXPECT_EQ(info.attributes, platform::kPrinterAttributeLocal);
  }
}

TEST_F(Printers, AddPrinterForModelOnAnUnknownPortKeepsTheModel) {
  PrinterDevice selected = Selected(L"Acme LP-40", L"Shipping", L"USB099");
  EXPECT_FALSE(AddPrinterForModel(machine_.platform(), selected));
  EXPECT_EQ(selected.model, L"Acme LP-40");
  EXPECT_EQ(log_.lines, (Lines{{FormatText(Translate(msg::kAddPrinterFailed).c_str(), L"Shipping", 1796, ErrorText(1796).c_str()),
                                kColourRed}}));
  EXPECT_EQ(machine_.spooler.FindPrinter(L"Shipping"), nullptr);
}

struct SettingsCase {
  const char* label;
  std::optional<std::wstring> existing;  // the printer Plug and Play created, if any
  bool adminRights;                      // false: the printer opens for use only
  std::wstring model;
  std::wstring printerName;
  bool setDefault;
  std::wstring nameAfter;       // the name the printer has afterwards ("" when none)
  std::wstring defaultAfter;    // "" when there is no default printer
  Lines log;
};

TEST_F(Printers, ApplyInstalledPrinterSettingsRenamesAndSetsTheDefault) {
  const std::wstring ok = Translate(msg::kDefaultPrinterSet);
  const std::wstring failed = Translate(msg::kSetDefaultPrinterFailed);
  const std::vector<SettingsCase> cases = {
      {"renamed and made default", L"Acme LP-40", true, L"Acme LP-40", L"Front desk", true, L"Front desk",
       L"Front desk", {{ok, kColourBlue}}},
      {"renamed, default not asked", L"Acme LP-40", true, L"Acme LP-40", L"Front desk", false, L"Front desk", L"",
       {}},
      {"same name, made default", L"Shipping", true, L"Shipping", L"Shipping", true, L"Shipping", L"Shipping",
       {{ok, kColourBlue}}},
      // The names are compared exactly, so a change of letter case is a rename.
      {"letter case only", L"acme lp-40", true, L"acme lp-40", L"Acme LP-40", false, L"Acme LP-40", L"", {}},
      {"printer missing", std::nullopt, true, L"Acme LP-40", L"Front desk", true, L"", L"", {}},
      // The rename fails silently; the default then names no printer.
      {"no rights to rename", L"Acme LP-40", false, L"Acme LP-40", L"Front desk", true, L"Acme LP-40", L"",
       {{failed, kColourRed}}},
  };
  for (const SettingsCase& c : cases) {
    SCOPED_TRACE(c.label);
    fake::FakeMachine machine;
    InstallCatalogueDrivers(machine.spooler);
    log_.lines.clear();
    if (c.existing) {
      platform::PrinterInfo2 info;
      info.printerName = *c.existing;
      info.portName = L"LPT1:";
      info.driverName = L"Acme LP-40";
      info.printProcessor = L"WinPrint";
      machine.spooler.AddPrinterDirectly(info).allAccessDenied = !c.adminRights;
    }
    PrinterDevice selected = Selected(c.model, c.printerName, L"LPT1:");

    ApplyInstalledPrinterSettings(machine.platform(), selected, c.setDefault);

    EXPECT_EQ(log_.lines, c.log);
    auto& printers = machine.spooler.state().printers;
    if (c.nameAfter.empty()) {
      EXPECT_TRUE(printers.empty());
    } else {
      ASSERT_EQ(printers.size(), 1u);
      EXPECT_EQ(printers.front().info.printerName, c.nameAfter);  // exact spelling
      EXPECT_EQ(printers.front().info.driverName, L"Acme LP-40");
    }
    EXPECT_EQ(machine.spooler.state().defaultPrinter, c.defaultAfter);
    EXPECT_EQ(machine.spooler.OpenHandleCount(), 0u);
  }
}

TEST_F(Printers, RenamePrinterKeepsTheRestAndFailsWithoutAPrinter) {
  fake::FakePrinter& original = PlugAndPlayPrinter(L"Acme LP-40");
  machine_.spooler.SetDefaultPrinter(L"Acme LP-40");
  PrinterConnection printer(machine_.platform());
  ASSERT_TRUE(OpenPrinterConnection(printer, L"Acme LP-40"));

  EXPECT_TRUE(RenamePrinter(printer, L"Dock 3"));
  EXPECT_EQ(original.info.printerName, L"Dock 3");
  EXPECT_EQ(original.info.portName, L"LPT1:");
  EXPECT_EQ(original.info.comment, L"from the INF");
  EXPECT_EQ(machine_.spooler.state().defaultPrinter, L"Dock 3");

  ASSERT_TRUE(printer.handle()->DeletePrinter().ok());
  EXPECT_FALSE(RenamePrinter(printer, L"Dock 4"));
  PrinterConnection none(machine_.platform());
  EXPECT_FALSE(RenamePrinter(none, L"Dock 5"));
  EXPECT_TRUE(machine_.spooler.state().printers.empty());
}

TEST_F(Printers, DriverDataTextIsStoredWithoutTerminatorAndReadBackWhole) {
  PlugAndPlayPrinter(L"Acme LP-40");
  PrinterConnection printer(machine_.platform());
  ASSERT_TRUE(OpenPrinterConnection(printer, L"Acme LP-40"));

  ASSERT_TRUE(SetPrinterDriverDataText(printer, kDeviceTypeValue, kBluetoothDeviceType));
  const auto& stored = machine_.spooler.FindPrinter(L"Acme LP-40")->data.at(L"PrinterDriverData").at(L"DeviceType");
  EXPECT_EQ(stored.type, 1u);  // REG_SZ
  EXPECT_EQ(stored.data.size(), 18u);

  PrinterDataText read = GetPrinterDataText(printer, kPrinterDriverDataKey, kDeviceTypeValue);
  EXPECT_TRUE(read.found);
  EXPECT_EQ(read.text, L"Bluetooth");
  EXPECT_EQ(read.text.size(), 9u);
}

struct ReadCase {
  const char* label;
  std::optional<std::vector<uint8_t>> data;  // nullopt: no such value
  bool found;
  std::wstring text;
};

TEST_F(Printers, GetPrinterDataTextAsksForTheSizeFirstAndStopsAtTheFirstNul) {
  std::wstring longText(700, L'A');  // 1400 bytes: more than the smallest buffer
  std::vector<uint8_t> withTerminator = WideToUtf16Bytes(L"USBPRINT\\ACME40", true);
  std::vector<uint8_t> nulInside = WideToUtf16Bytes(L"AB", true);
  for (uint8_t b : WideToUtf16Bytes(L"CD", false)) nulInside.push_back(b);
  const std::vector<ReadCase> cases = {
      {"missing", std::nullopt, false, L""},
      {"empty value", std::vector<uint8_t>{}, false, L""},
      {"with terminator", withTerminator, true, L"USBPRINT\\ACME40"},
      {"NUL inside", nulInside, true, L"AB"},
      {"longer than 1024 bytes", WideToUtf16Bytes(longText, false), true, longText},
  };
  PlugAndPlayPrinter(L"Acme LP-40");
  PrinterConnection printer(machine_.platform());
  ASSERT_TRUE(OpenPrinterConnection(printer, L"Acme LP-40"));
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.label);
    auto& data = machine_.spooler.FindPrinter(L"Acme LP-40")->data;
    data.clear();
    if (c.data) data[L"PnPData"][L"HardWareID"] = platform::PrinterDataValue{1, *c.data};

    PrinterDataText read = GetPrinterDataText(printer, L"PnPData", L"HardWareID");
    EXPECT_EQ(read.found, c.found);
    EXPECT_EQ(read.text, c.text);
  }
  // Values the spooler keeps itself read the same way.
  PrinterDataText driver = GetPrinterDataText(printer, kDsSpoolerKey, kDriverNameValue);
  EXPECT_TRUE(driver.found);
  EXPECT_EQ(driver.text, L"Acme LP-40");
  EXPECT_TRUE(machine_.debug.Lines().empty());
}

// A printer whose value vanishes between the size query and the read.
class VanishingValue : public platform::IPrinterHandle {
 public:
  template <class T>
  static platform::Result<T> No() { return platform::Result<T>::Fail(platform::err::kInvalidHandle); }
  platform::Result<platform::PrinterInfo> GetPrinter(uint32_t) override { return No<platform::PrinterInfo>(); }
  platform::Result<platform::PrinterInfo2> GetPrinter2() override { return No<platform::PrinterInfo2>(); }
  platform::Status SetPrinter2(const platform::PrinterInfo2&) override { return No<int>().status(); }
  platform::Status SetPrinter7(uint32_t) override { return No<int>().status(); }
  platform::Status ControlPrinter(uint32_t) override { return No<int>().status(); }
  platform::Status DeletePrinter() override { return No<int>().status(); }
  platform::Result<platform::DriverInfo> GetPrinterDriver(const std::wstring&, uint32_t) override {
    return No<platform::DriverInfo>();
  }
  platform::Result<platform::PrinterDataValue> GetPrinterDataEx(const std::wstring&, const std::wstring&,
                                                                uint32_t bufferSize, uint32_t* needed) override {
    sizes.push_back(bufferSize);
    if (needed) *needed = 18;
    return platform::Result<platform::PrinterDataValue>::Fail(sizes.size() == 1 ? platform::err::kMoreData
                                                                                 : platform::err::kFileNotFound);
  }
  platform::Status SetPrinterDataEx(const std::wstring&, const std::wstring&, uint32_t,
                                    const std::vector<uint8_t>&) override {
    return No<int>().status();
  }
  platform::Result<int32_t> DocumentProperties(uintptr_t, const std::wstring&, platform::DevMode*,
                                               const platform::DevMode*, uint32_t) override {
    return No<int32_t>();
  }
  platform::Result<uint32_t> XcvData(const std::wstring&, const std::vector<uint8_t>&, std::vector<uint8_t>*,
                                     uint32_t) override {
    return No<uint32_t>();
  }
  platform::Result<std::vector<platform::FormInfo1>> EnumForms1() override {
    return No<std::vector<platform::FormInfo1>>();
  }
  platform::Result<platform::FormInfo1> GetForm1(const std::wstring&) override { return No<platform::FormInfo1>(); }
  platform::Status DeleteForm(const std::wstring&) override { return No<int>().status(); }

  std::vector<uint32_t> sizes;
};

TEST_F(Printers, GetPrinterDataTextReadFailureGoesToTheDebuggerOnly) {
  VanishingValue handle;
  PrinterConnection printer(machine_.platform());
  printer.Borrow(handle);
  machine_.system.SetLastError(2);

  PrinterDataText read = GetPrinterDataText(printer, kPrinterDriverDataKey, kBluetoothAddressValue);

  EXPECT_FALSE(read.found);
  EXPECT_EQ(read.text, L"");
  // A zero-size query, then at least 1024 bytes with room for a NUL.
  EXPECT_EQ(handle.sizes, (std::vector<uint32_t>{0, 1026}));
  EXPECT_EQ(machine_.debug.Lines(),
            std::vector<std::wstring>{FormatText(L"GetPrinterData2 dwStatus = 2 error = 2, %s", ErrorText(2).c_str())});
  EXPECT_TRUE(log_.lines.empty());
}

}  // namespace
}  // namespace orvello
