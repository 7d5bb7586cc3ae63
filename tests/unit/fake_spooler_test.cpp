// The fake spooler's Windows rules that the contract cases cannot reach
// under Wine: the checks and error codes of AddPrinter, AddPrinterDriver
// and DeletePrinterDriverEx, the standard TCP/IP port monitor, the driver
// store, forms, monitors and the spooler's own printer data.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/fake/fake_machine.h"
#include "system/text.h"

namespace orvello {
namespace {

using platform::DriverInfo;
using platform::DriverInfo3;
using platform::PrinterInfo2;
namespace err = platform::err;
namespace hr = platform::hr;

constexpr wchar_t kX86Dir[] = L"C:\\Windows\\system32\\spool\\drivers\\w32x86";
constexpr wchar_t kX64Dir[] = L"C:\\Windows\\system32\\spool\\drivers\\x64";

class FakeSpoolerTest : public ::testing::Test {
 protected:
  // A driver whose three files lie in the environment's driver directory.
  DriverInfo3 StageDriver(const std::wstring& name, const std::wstring& env, const std::wstring& dir,
                          const std::wstring& shared = L"shared.dll") {
    for (const std::wstring& f : {name + L".dll", name + L"ui.dll", shared}) {
      m.files.AddFile(dir + L"\\" + f, "bytes of " + WideToUtf8(f));
    }
    DriverInfo3 info;
    info.name = name;
    info.environment = env;
    info.driverPath = name + L".dll";
    info.configFile = name + L"ui.dll";
    info.dataFile = shared;
    return info;
  }
  void InstallDriver(const std::wstring& name, const std::wstring& env = platform::kEnvironmentX64,
                     const std::wstring& shared = L"shared.dll") {
    const std::wstring dir = env == platform::kEnvironmentX86 ? kX86Dir : kX64Dir;
    ASSERT_TRUE(spooler.AddPrinterDriver3(StageDriver(name, env, dir, shared)).ok());
  }
  PrinterInfo2 Printer(const std::wstring& name, const std::wstring& driver, const std::wstring& port = L"FILE:") {
    PrinterInfo2 p;
    p.printerName = name;
    p.driverName = driver;
    p.portName = port;
    p.printProcessor = L"WinPrint";
    p.dataType = L"RAW";
    return p;
  }

  fake::FakeMachine m;
  fake::FakeSpooler& spooler = m.spooler;
};

TEST_F(FakeSpoolerTest, AddPrinterChecksNameDriverAndPort) {
  InstallDriver(L"Label", platform::kEnvironmentX64);
  InstallDriver(L"OnlyX86", platform::kEnvironmentX86);
  ASSERT_TRUE(spooler.AddPrinter2(Printer(L"Label 1", L"Label")).ok());
  struct Case {
    PrinterInfo2 info;
    uint32_t error;
  };
  const Case cases[] = {
      {Printer(L"LABEL 1", L"Label"), err::kPrinterAlreadyExists},  // names ignore letter case
      {Printer(L"Label 2", L"No Such Driver"), err::kUnknownPrinterDriver},
      {Printer(L"Label 2", L"OnlyX86"), err::kUnknownPrinterDriver},  // the server is 64-bit
      {Printer(L"Label 2", L"Label", L"USB009"), err::kUnknownPort},
      {Printer(L"Label, 2", L"Label"), err::kInvalidPrinterName},
      {Printer(L"", L"Label"), err::kInvalidPrinterName},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(spooler.AddPrinter2(c.info).error, c.error) << WideToUtf8(c.info.printerName);
  }
  auto listed = spooler.EnumPrinters2(platform::kPrinterEnumLocal);
  ASSERT_TRUE(listed.ok());
  EXPECT_EQ(listed.value.size(), 1u);
}

TEST_F(FakeSpoolerTest, AddPrinterDriverNeedsEveryFileAndCopiesThemIntoTheVersionFolder) {
  DriverInfo3 info = StageDriver(L"Label", L"", kX86Dir);  // no environment: the program's own
  info.dependentFiles = {L"missing.dll"};
  EXPECT_EQ(spooler.AddPrinterDriver3(info).error, err::kFileNotFound);
  EXPECT_FALSE(m.files.Exists(std::wstring(kX86Dir) + L"\\3\\Label.dll")) << "nothing copied before the check";

  info.dependentFiles = {L"shared.dll"};
  ASSERT_TRUE(spooler.AddPrinterDriver3(info).ok());
  fake::FakeDriver* d = spooler.FindDriver(platform::kEnvironmentX86, L"label");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->record.driverPath, std::wstring(kX86Dir) + L"\\3\\Label.dll");
  EXPECT_EQ(m.files.FileText(std::wstring(kX86Dir) + L"\\3\\shared.dll"), "bytes of shared.dll");

  DriverInfo3 other = info;
  other.environment = L"Windows 3.1";
  EXPECT_EQ(spooler.AddPrinterDriver3(other).error, err::kInvalidEnvironment);
  other = info;
  other.monitorName = L"No Such Language Monitor";
  EXPECT_EQ(spooler.AddPrinterDriver3(other).error, err::kUnknownPrintMonitor);
  other = info;
  other.configFile.clear();
  EXPECT_EQ(spooler.AddPrinterDriver3(other).error, err::kInvalidParameter);
}

TEST_F(FakeSpoolerTest, DeletePrinterDriverExKeepsDriversInUseAndSharedFiles) {
  InstallDriver(L"Used");
  InstallDriver(L"Used", platform::kEnvironmentX86);
  InstallDriver(L"Lonely");
  InstallDriver(L"Sharing", platform::kEnvironmentX64, L"common.dll");
  InstallDriver(L"Sharing2", platform::kEnvironmentX64, L"common.dll");
  ASSERT_TRUE(spooler.AddPrinter2(Printer(L"P", L"Used")).ok());
  const std::wstring v3 = std::wstring(kX64Dir) + L"\\3\\";

  EXPECT_EQ(spooler.DeletePrinterDriverEx(platform::kEnvironmentX64, L"Used", 0, 0).error, err::kPrinterDriverInUse);
  EXPECT_TRUE(spooler.DeletePrinterDriverEx(platform::kEnvironmentX86, L"Used", 0, 0).ok())
      << "the printer uses the server's own environment only";
  EXPECT_EQ(spooler.DeletePrinterDriverEx(L"", L"Used", 0, 0).error, err::kUnknownPrinterDriver)
      << "no environment means the program's own (x86), where it is gone now";
  EXPECT_EQ(spooler.DeletePrinterDriverEx(platform::kEnvironmentX64, L"Lonely", platform::kDpdDeleteSpecificVersion, 2).error,
            err::kUnknownPrinterDriver);

  // Files another driver still names stay; the others go.
  ASSERT_TRUE(spooler.DeletePrinterDriverEx(platform::kEnvironmentX64, L"Lonely", platform::kDpdDeleteUnusedFiles, 0).ok());
  EXPECT_FALSE(m.files.Exists(v3 + L"Lonely.dll"));
  EXPECT_TRUE(m.files.Exists(v3 + L"shared.dll")) << "the driver Used names it too";
  EXPECT_EQ(spooler.DeletePrinterDriverEx(platform::kEnvironmentX64, L"Sharing", platform::kDpdDeleteAllFiles, 0).error,
            err::kPrinterDriverInUse);
  EXPECT_NE(spooler.FindDriver(platform::kEnvironmentX64, L"Sharing"), nullptr);
  EXPECT_TRUE(m.files.Exists(v3 + L"Sharing.dll"));
  ASSERT_TRUE(spooler.DeletePrinterDriverEx(platform::kEnvironmentX64, L"Sharing", 0, 0).ok());
  EXPECT_TRUE(m.files.Exists(v3 + L"Sharing.dll")) << "no flags: the files stay";
}

TEST_F(FakeSpoolerTest, SpoolerDataFollowsThePrinterAndTextKeepsItsBytes) {
  InstallDriver(L"Label");
  auto printer = spooler.AddPrinter2(Printer(L"Label 1", L"Label"));
  ASSERT_TRUE(printer.ok());
  ASSERT_TRUE(spooler.SetDefaultPrinter(L"label 1").ok());
  PrinterInfo2 info = printer.value->GetPrinter2().value;
  EXPECT_TRUE(info.attributes & platform::kPrinterAttributeDefault);
  info.printerName = L"Front desk";
  ASSERT_TRUE(printer.value->SetPrinter2(info).ok());
  EXPECT_EQ(spooler.GetDefaultPrinter().value, L"Front desk") << "the default follows the rename";

  uint32_t needed = 0;
  auto name = printer.value->GetPrinterDataEx(L"DsSpooler", L"printerName", 1024, &needed);
  ASSERT_TRUE(name.ok());
  EXPECT_EQ(Utf16BytesToWide(name.value.data), L"Front desk");
  EXPECT_EQ(Utf16BytesToWide(printer.value->GetPrinterDataEx(L"DsSpooler", L"portName", 1024, &needed).value.data),
            L"FILE:");

  ASSERT_TRUE(printer.value->SetPrinterDataEx(L"PrinterDriverData", L"DeviceType", 1,
                                              WideToUtf16Bytes(L"Bluetooth", false)).ok());
  EXPECT_EQ(printer.value->GetPrinterDataEx(L"PrinterDriverData", L"DeviceType", 17, &needed).error, err::kMoreData);
  EXPECT_EQ(needed, 18u) << "exactly the bytes written";

  auto user = spooler.OpenPrinter(L"Front desk", platform::kPrinterAccessUse);
  ASSERT_TRUE(user.ok());
  EXPECT_EQ(user.value->SetPrinterDataEx(L"PnPData", L"HardWareID", 1, {}).error, err::kAccessDenied);
  EXPECT_EQ(user.value->ControlPrinter(platform::kPrinterControlPurge).error, err::kAccessDenied);

  ASSERT_TRUE(printer.value->DeletePrinter().ok());
  EXPECT_EQ(spooler.GetDefaultPrinter().error, err::kFileNotFound);
  EXPECT_EQ(user.value->GetPrinter2().error, err::kInvalidHandle) << "handles of a deleted printer are dead";
}

TEST_F(FakeSpoolerTest, StandardTcpIpMonitorAddsAndDeletesItsPorts) {
  auto xcv = spooler.OpenPrinter(platform::kXcvStandardTcpIpMonitor, platform::kServerAccessAdminister);
  ASSERT_TRUE(xcv.ok());
  platform::TcpPortData1 data;
  data.portName = L"IP_192.168.1.50";
  data.hostAddress = L"192.168.1.50";
  data.ipAddress = L"192.168.1.50";
  data.doubleSpool = 1;
  std::vector<uint8_t> add = platform::EncodePortData1(data);
  ASSERT_EQ(add.size(), 964u);

  EXPECT_EQ(xcv.value->XcvData(platform::kXcvAddPort, add, nullptr, 0).value, err::kSuccess);
  EXPECT_EQ(xcv.value->XcvData(platform::kXcvAddPort, add, nullptr, 0).value, err::kAlreadyExists);
  auto ports = spooler.EnumPorts2().value;
  auto port = std::find_if(ports.begin(), ports.end(), [](const auto& p) { return p.portName == L"IP_192.168.1.50"; });
  ASSERT_NE(port, ports.end());
  EXPECT_EQ(port->monitorName, L"TCPMON.DLL");
  EXPECT_EQ(port->description, L"Standard TCP/IP Port");

  InstallDriver(L"Label");
  auto printer = spooler.AddPrinter2(Printer(L"Net", L"Label", L"IP_192.168.1.50"));
  ASSERT_TRUE(printer.ok());
  std::vector<uint8_t> del = platform::EncodeDeletePortData1(L"IP_192.168.1.50");
  ASSERT_EQ(del.size(), 236u);
  EXPECT_EQ(xcv.value->XcvData(platform::kXcvDeletePort, del, nullptr, 0).value, err::kBusy);
  ASSERT_TRUE(printer.value->DeletePrinter().ok());
  EXPECT_EQ(xcv.value->XcvData(platform::kXcvDeletePort, del, nullptr, 0).value, err::kSuccess);
  EXPECT_EQ(xcv.value->XcvData(platform::kXcvDeletePort, del, nullptr, 0).value, err::kUnknownPort);
  EXPECT_EQ(xcv.value->XcvData(platform::kXcvDeletePort, platform::EncodeDeletePortData1(L"FILE:"), nullptr, 0).value,
            err::kUnknownPort)
      << "a local port is not this monitor's";

  spooler.SetStandardTcpIpMonitorInstalled(false);
  EXPECT_EQ(spooler.OpenPrinter(platform::kXcvStandardTcpIpMonitor, platform::kServerAccessAdminister).error,
            err::kUnknownPort);
}

TEST_F(FakeSpoolerTest, PortDataKeepsThePublishedLayout) {
  platform::TcpPortData1 data;
  data.portName = L"IP_10.0.0.7";
  data.hostAddress = L"printer.example";
  data.ipAddress = L"10.0.0.7";
  data.portNumber = 9100;
  std::vector<uint8_t> bytes = platform::EncodePortData1(data);
  EXPECT_EQ(bytes[128], 1) << "dwVersion";
  EXPECT_EQ(bytes[132], 1) << "dwProtocol: raw";
  EXPECT_EQ(bytes[136] | bytes[137] << 8, 964) << "cbSize";
  EXPECT_EQ(bytes[144], 'p') << "sztHostAddress";
  EXPECT_EQ(bytes[378], '1') << "sztIPAddress";
  EXPECT_EQ(bytes[952] | bytes[953] << 8, 9100) << "dwPortNumber";
  platform::TcpPortData1 back = platform::DecodePortData1(bytes);
  EXPECT_EQ(back.portName, data.portName);
  EXPECT_EQ(back.hostAddress, data.hostAddress);
  EXPECT_EQ(back.ipAddress, data.ipAddress);
  EXPECT_EQ(back.portNumber, 9100u);
  std::wstring longName(80, L'x');
  EXPECT_EQ(platform::DecodeDeletePortData1(platform::EncodeDeletePortData1(longName)), std::wstring(63, L'x'))
      << "63 characters and the NUL";
}

TEST_F(FakeSpoolerTest, DriverStoreInstallsTheModelOfTheUploadedPackage) {
  const std::wstring folder = L"C:\\Program Files (x86)\\DudezPrinterDriver\\Drivers\\TessarEx";
  m.files.AddFile(folder + L"\\TessarExNew.inf",
                  "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\nProvider=%Mfg%\r\n"
                  "DriverVer=03/15/2021,2.1.0.7\r\n"
                  "[Manufacturer]\r\n%Mfg%=Tessar,NTx86,NTamd64\r\n"
                  "[Tessar.NTamd64]\r\n\"TessarEx T80\" = T80, USBPRINT\\TessarExT80A1B2\r\n"
                  "[T80]\r\nDriverFile=TessarExUniNew.dll\r\nConfigFile=TessarExUiNew.dll\r\nDataFile=T80.dat\r\n"
                  "CopyFiles=T80Files\r\n[T80Files]\r\nTessarExUniNew.dll\r\nT80.dat\r\n"
                  "[SourceDisksFiles]\r\nT80.dat=1\r\n[Strings]\r\nMfg=\"TessarEx\"\r\n");
  m.files.AddFile(folder + L"\\T80.dat", "{}");

  auto upload = spooler.UploadPrinterDriverPackage(folder + L"\\TessarExNew.inf", platform::kEnvironmentX64, 3);
  ASSERT_TRUE(upload);
  ASSERT_EQ(upload->hresult, hr::kOk);
  EXPECT_TRUE(StartsWithIgnoreCase(upload->driverStoreInfPath,
                                   L"C:\\Windows\\System32\\DriverStore\\FileRepository\\tessarexnew.inf_amd64_"));
  EXPECT_TRUE(m.files.Exists(upload->driverStoreInfPath));
  EXPECT_EQ(spooler.UploadPrinterDriverPackage(folder + L"\\TessarExNew.inf", platform::kEnvironmentX64, 3)->driverStoreInfPath,
            upload->driverStoreInfPath)
      << "the same package lands in the same place";

  EXPECT_EQ(spooler.InstallPrinterDriverFromPackage(upload->driverStoreInfPath, L"TessarEx T99", platform::kEnvironmentX64, 1),
            hr::kUnknownPrinterDriver);
  ASSERT_EQ(spooler.InstallPrinterDriverFromPackage(upload->driverStoreInfPath, L"TessarEx T80", platform::kEnvironmentX64, 1),
            hr::kOk);
  auto drivers = spooler.EnumPrinterDrivers(platform::kEnvironmentX64, 8);
  ASSERT_TRUE(drivers.ok());
  ASSERT_EQ(drivers.value.size(), 1u);
  const DriverInfo& d = drivers.value[0];
  EXPECT_EQ(d.infPath, upload->driverStoreInfPath);
  EXPECT_EQ(d.mfgName, L"TessarEx");
  EXPECT_EQ(d.provider, L"TessarEx");
  EXPECT_EQ(d.hardwareId, L"USBPRINT\\TessarExT80A1B2");
  EXPECT_EQ(d.driverPath, std::wstring(kX64Dir) + L"\\3\\TessarExUniNew.dll");
  EXPECT_EQ(d.driverVersion, (uint64_t{2} << 48) | (uint64_t{1} << 32) | 7u);
  EXPECT_EQ(d.driverDate, 132602400000000000ull) << "2021-03-15 as a FILETIME";
  EXPECT_EQ(d.dependentFiles.size(), 2u);

  EXPECT_EQ(spooler.DeletePrinterDriverPackage(upload->driverStoreInfPath, L""), hr::kDriverPackageInUse);
  ASSERT_TRUE(spooler.DeletePrinterDriverEx(platform::kEnvironmentX64, L"TessarEx T80", 0, 0).ok());
  EXPECT_EQ(spooler.DeletePrinterDriverPackage(upload->driverStoreInfPath, L""), hr::kOk);
  EXPECT_FALSE(m.files.Exists(upload->driverStoreInfPath));
  EXPECT_EQ(spooler.DeletePrinterDriverPackage(upload->driverStoreInfPath, L""), hr::kFileNotFound);

  spooler.state().driverStoreExports = {true, false, false};  // what Wine 8 exports
  EXPECT_FALSE(spooler.InstallPrinterDriverFromPackage(upload->driverStoreInfPath, L"TessarEx T80", L"", 1));
  EXPECT_FALSE(spooler.DeletePrinterDriverPackage(upload->driverStoreInfPath, L""));
  EXPECT_TRUE(spooler.UploadPrinterDriverPackage(folder + L"\\TessarExNew.inf", L"", 3));
}

TEST_F(FakeSpoolerTest, FormsAndMonitorsFollowTheServersRules) {
  auto server = spooler.OpenPrinter(L"", platform::kServerAccessAdminister);
  ASSERT_TRUE(server.ok());
  spooler.state().forms.push_back({platform::kFormPrinter, L"Label 40x30", 40000, 30000, 0, 0, 40000, 30000});
  EXPECT_EQ(server.value->DeleteForm(L"A4").error, err::kInvalidParameter) << "built-in forms stay";
  EXPECT_EQ(server.value->DeleteForm(L"No Such Form").error, err::kInvalidFormName);
  EXPECT_TRUE(server.value->DeleteForm(L"label 40x30").ok());
  EXPECT_EQ(server.value->GetForm1(L"Label 40x30").error, err::kInvalidFormName);

  platform::MonitorInfo2 lm{L"TessarEx Language Monitor", platform::kEnvironmentX64, L"TessarExLM.dll"};
  EXPECT_EQ(spooler.AddMonitor2(lm).error, err::kModuleNotFound) << "the DLL is not in the system folder";
  m.files.AddFile(L"C:\\Windows\\System32\\TessarExLM.dll", "MZ");
  ASSERT_TRUE(spooler.AddMonitor2(lm).ok());
  EXPECT_EQ(spooler.AddMonitor2(lm).error, err::kPrintMonitorAlreadyInstalled);
  spooler.state().monitors.back().busy = true;
  EXPECT_EQ(spooler.DeleteMonitor(platform::kEnvironmentX64, lm.name).error, err::kPrintMonitorInUse);
  spooler.state().monitors.back().busy = false;
  EXPECT_TRUE(spooler.DeleteMonitor(platform::kEnvironmentX64, lm.name).ok());
  EXPECT_EQ(spooler.DeleteMonitor(platform::kEnvironmentX64, lm.name).error, err::kUnknownPrintMonitor);
  EXPECT_EQ(spooler.DeleteMonitor(platform::kEnvironmentX64, L"Local Port").error, err::kPrintMonitorInUse)
      << "its ports still exist";
}

TEST_F(FakeSpoolerTest, PortDialogsDecideWhatAddPortAndConfigurePortDo) {
  EXPECT_EQ(spooler.AddPort(0, L"Local Port").error, err::kCancelled) << "nobody answers the dialog";
  spooler.state().addPortDialog = [](const std::wstring& monitor) -> std::optional<std::wstring> {
    return monitor == L"Local Port" ? std::optional<std::wstring>(L"COM7:") : std::nullopt;
  };
  ASSERT_TRUE(spooler.AddPort(0x1234, L"Local Port").ok());
  EXPECT_EQ(spooler.AddPort(0x1234, L"Local Port").error, err::kAlreadyExists);
  EXPECT_EQ(spooler.AddPort(0x1234, L"No Such Monitor").error, err::kUnknownPrintMonitor);
  spooler.state().configurePortDialog = [](const std::wstring&) { return false; };
  EXPECT_EQ(spooler.ConfigurePort(0x1234, L"COM7:").error, err::kCancelled);
  EXPECT_EQ(spooler.ConfigurePort(0x1234, L"COM9:").error, err::kUnknownPort);
  InstallDriver(L"Label");
  ASSERT_TRUE(spooler.AddPrinter2(Printer(L"Serial", L"Label", L"COM7:")).ok());
  EXPECT_EQ(spooler.DeletePort(0, L"COM7:").error, err::kBusy);
}

}  // namespace
}  // namespace orvello
