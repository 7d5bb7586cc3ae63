// Staging a driver package from a small package ZIP into the fake machine's
// working folder: the file-name style, the source-disk section per
// processor, emptying before copying, and source-disk lines that try to
// leave the manufacturer folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "engine/inf_file.h"
#include "engine/staging.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "payload/package.h"
#include "platform/fake/fake_machine.h"
#include "shell/message_log.h"
#include "support/zip_builder.h"
#include "system/text.h"
#include "support/recording_log.h"

namespace orvello {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;
using Names = std::vector<std::wstring>;
using Machine = fake::FakeSystemFacts::Machine;

constexpr wchar_t kWork[] = L"C:\\Program Files (x86)\\DudezPrinterDriver\\";

using test::RecordingLog;

std::string Inf(const std::string& body) {
  return "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
         "[Manufacturer]\r\nAcme=Acme,NTamd64\r\n" +
         body;
}

Entries Devcons() {
  return {{"Drivers/devcon32.exe", "d32"},
          {"Drivers/devcon64.exe", "d64"},
          {"Drivers/devconARM64.exe", "darm"},
          {"Drivers/devconXP32.exe", "dxp"}};
}

Names Sorted(Names names) {
  std::sort(names.begin(), names.end());
  return names;
}

class Staging : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentMessageLog(&log_); }
  void TearDown() override {
    SetCurrentPackage(nullptr);
    SetCurrentMessageLog(nullptr);
  }

  void UsePackage(Entries entries) {
    for (auto& e : Devcons()) entries.push_back(e);
    zip_ = test::BuildZip(entries);
    archive_ = PackageArchive::Open(zip_);
    ASSERT_NE(archive_, nullptr);
    SetCurrentPackage(archive_.get());
  }

  void Stage(const std::wstring& mode = L"Acme") {
    StagingJob job{machine_.platform(), selected_, newFileNames_};
    StageDriverPackage(job, mode);
  }

  // The names in a folder below the working folder, sorted, folders marked with "\".
  Names List(const std::wstring& folder) {
    Names names;
    auto found = machine_.files.Find(std::wstring(kWork) + folder + L"*.*");
    if (!found.ok()) return {L"<missing>"};
    for (const auto& e : found.value) {
      if (e.name == L"." || e.name == L"..") continue;
      names.push_back(e.name + (e.isDirectory ? L"\\" : L""));
    }
    return Sorted(std::move(names));
  }

  std::optional<std::string> Staged(const std::wstring& path) { return machine_.files.FileText(kWork + path); }

  fake::FakeMachine machine_;
  RecordingLog log_;
  std::vector<uint8_t> zip_;
  std::unique_ptr<PackageArchive> archive_;
  PrinterDevice selected_;
  int32_t newFileNames_ = 1;
};

const Names kDevconNames = {L"Acme\\", L"devcon32.exe", L"devcon64.exe", L"devconARM64.exe", L"devconXP32.exe"};

TEST_F(Staging, NewStyleStagedTwiceLeavesOneCopyAndNothingElse) {
  UsePackage({{"Drivers/Acme/AcmeNew.inf",
               Inf("[SourceDisksFiles.amd64]\r\nM1.dat = 1\r\nM2.dat =\r\nAcmeUiNew.dll = 1,amd64\r\n")},
              {"Drivers/Acme/acmenew.cat", "cat"},
              {"Drivers/Acme/M1.dat", "m1"},
              {"Drivers/Acme/M2.dat", "m2"},
              {"Drivers/Acme/amd64/AcmeUiNew.dll", "ui"}});
  // Left from an earlier run: another manufacturer, the old-style folder, a stray file.
  ASSERT_TRUE(platform::CreateDirectoryTree(machine_.files, std::wstring(kWork) + L"Drivers\\Other\\amd64").ok());
  ASSERT_TRUE(machine_.files.AddFile(std::wstring(kWork) + L"Drivers\\Other\\amd64\\x.dll", "x").ok());
  ASSERT_TRUE(platform::CreateDirectoryTree(machine_.files, std::wstring(kWork) + L"Drivers\\unidrv").ok());
  ASSERT_TRUE(machine_.files.AddFile(std::wstring(kWork) + L"Drivers\\Acme\\stale.dat", "old").ok());
  ASSERT_TRUE(machine_.files.AddFile(std::wstring(kWork) + L"keep.txt", "mine").ok());

  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    Stage();
    EXPECT_EQ(newFileNames_, 1);
    EXPECT_EQ(List(L""), Sorted(Names{L"Drivers\\", L"keep.txt"}));
    EXPECT_EQ(List(L"Drivers\\"), kDevconNames);
    EXPECT_EQ(List(L"Drivers\\Acme\\"), Sorted(Names{L"amd64\\", L"AcmeNew.cat", L"AcmeNew.inf", L"M1.dat", L"M2.dat"}));
    EXPECT_EQ(List(L"Drivers\\Acme\\amd64\\"), Names{L"AcmeUiNew.dll"});
    EXPECT_EQ(Staged(L"Drivers\\Acme\\amd64\\AcmeUiNew.dll"), "ui");
    EXPECT_EQ(Staged(L"Drivers\\devconARM64.exe"), "darm");
    EXPECT_EQ(log_.Red(), Names{});
  }
}

TEST_F(Staging, FileNameStyleFollowsTheInfsInThePackage) {
  struct Case {
    const char* what;
    Entries entries;
    int32_t before;
    int32_t after;
    Names modeFolder;
    Names unidrv;  // of Drivers\unidrv\amd64
    Names red;
  };
  const Entries unidrv = {{"Drivers/common/amd64/UNIDRV.dll", "u"},
                          {"Drivers/common/amd64/UNIDRVUI.DLL", "u"},
                          {"Drivers/common/amd64/UNIRES.DLL", "u"},
                          {"Drivers/common/amd64/STDNAMES.gpd", "u"}};
  auto with = [&](Entries e) {
    e.insert(e.end(), unidrv.begin(), unidrv.end());
    return e;
  };
  const Names unidrvNames = {L"STDNAMES.gpd", L"UNIDRV.dll", L"UNIDRVUI.DLL", L"UNIRES.DLL"};
  const Case cases[] = {
      {"old style",
       with({{"Drivers/Acme/Acme.inf", Inf("")}, {"Drivers/Acme/Acme.cat", "c"}}),
       1, 0, {L"Acme.cat", L"Acme.inf"}, unidrvNames, {}},
      {"both: new style wins",
       with({{"Drivers/Acme/Acme.inf", Inf("")}, {"Drivers/Acme/AcmeNew.inf", Inf("")},
             {"Drivers/Acme/AcmeNew.cat", "c"}}),
       0, 1, {L"AcmeNew.cat", L"AcmeNew.inf"}, {L"<missing>"}, {}},
      {"neither, was new", with({}), 1, 1, {},
       {L"<missing>"}, {L"Drivers\\Acme\\AcmeNew.inf", L"Drivers\\Acme\\AcmeNew.cat"}},
      {"neither, was old", with({}), 0, 0, {}, unidrvNames,
       {L"Drivers\\Acme\\Acme.inf", L"Drivers\\Acme\\Acme.cat"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UsePackage(c.entries);
    log_.lines.clear();
    newFileNames_ = c.before;
    Stage();
    EXPECT_EQ(newFileNames_, c.after);
    EXPECT_EQ(List(L"Drivers\\Acme\\"), Sorted(c.modeFolder));
    EXPECT_EQ(List(L"Drivers\\unidrv\\amd64\\"), Sorted(c.unidrv));
    Names expectedRed;
    for (const auto& entry : c.red) {
      expectedRed.push_back(FormatText(Translate(msg::kExtractFileFailed).c_str(), entry.c_str()));
    }
    EXPECT_EQ(log_.Red(), expectedRed);
  }
}

TEST_F(Staging, SourceDiskSectionOfTheNativeProcessor) {
  struct Case {
    const char* what;
    Machine machine;
    bool withI386;
    bool withAmd64;
    Names modeFolder;
  };
  const Case cases[] = {
      {"amd64", Machine::X64, true, true, {L"amd64\\", L"AcmeNew.inf", L"amd.dat"}},
      {"arm64", Machine::Arm64, true, true, {L"arm64\\", L"AcmeNew.inf", L"arm.dat"}},
      {"i386", Machine::X86, true, true, {L"AcmeNew.inf", L"i386\\", L"i386.dat"}},
      {"x86 when i386 is missing", Machine::X86, false, true, {L"AcmeNew.inf", L"x86.dat"}},
      {"no fallback for amd64", Machine::X64, true, false, {L"AcmeNew.inf"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string body = "[SourceDisksFiles.arm64]\r\narm.dat=1\r\nAcmeUiNew.dll=1,arm64\r\n"
                       "[SourceDisksFiles.x86]\r\nx86.dat=1\r\n";
    if (c.withAmd64) body += "[SourceDisksFiles.amd64]\r\namd.dat=1\r\nAcmeUiNew.dll=1,amd64\r\n";
    if (c.withI386) body += "[SourceDisksFiles.i386]\r\ni386.dat=1\r\nAcmeUiNew.dll=1,i386\r\n";
    else body += "[SourceDisksFiles.i386]\r\n";  // present but empty
    Entries entries = {{"Drivers/Acme/AcmeNew.inf", Inf(body)}};
    for (const char* f : {"amd.dat", "arm.dat", "i386.dat", "x86.dat"}) entries.push_back({std::string("Drivers/Acme/") + f, f});
    for (const char* a : {"amd64", "arm64", "i386"}) entries.push_back({std::string("Drivers/Acme/") + a + "/AcmeUiNew.dll", a});
    UsePackage(entries);
    machine_.system.SetMachine(c.machine);
    Stage();
    EXPECT_EQ(List(L"Drivers\\Acme\\"), Sorted(c.modeFolder));
  }
}

TEST_F(Staging, LumatrixModelTakesItsOwnFilesNotTheInfs) {
  pugi::xml_document catalogue;
  ASSERT_TRUE(catalogue.load_string(
      R"(<Drivers><Manufacturers><Manufacturer mode="Acme"><Driver name="LX 1" usbname="usbprint\lumatrix_a877eb"/></Manufacturer></Manufacturers></Drivers>)"));
  selected_.driver = FirstDriver(L"Acme", catalogue);
  selected_.model = L"LX 1";
  UsePackage({{"Drivers/Acme/AcmeNew.inf", Inf("[SourceDisksFiles.amd64]\r\nM1.dat = 1\r\n")},
              {"Drivers/Acme/AcmeNew.cat", "c"},
              {"Drivers/Acme/M1.dat", "m1"},
              {"Drivers/Acme/LX 1.dat", "lx"},
              {"Drivers/Acme/amd64/LumatrixUniNew.dll", "u"},
              {"Drivers/Acme/amd64/LumatrixUiNew.dll", "i"}});
  Stage();
  EXPECT_EQ(List(L"Drivers\\Acme\\"), Sorted(Names{L"amd64\\", L"AcmeNew.cat", L"AcmeNew.inf", L"LX 1.dat"}));
  EXPECT_EQ(List(L"Drivers\\Acme\\amd64\\"), Sorted(Names{L"LumatrixUiNew.dll", L"LumatrixUniNew.dll"}));
}

TEST_F(Staging, SourceDiskLinesThatLeaveTheFolderAreRefused) {
  // Each refused line has a package entry of exactly that name, so that
  // only the check keeps it from being written.
  const char* lines =
      "[SourceDisksFiles.amd64]\r\n"
      "..\\..\\evil1.dll = 1\r\n"
      "first.dat = 1\r\n"
      "C:\\Windows\\evil2.dll = 1\r\n"
      "evil3.dll = 1,..\r\n"
      "evil4.dll = 1,\\Windows\r\n"
      "evil5.dll = 1,\"\\\\srv\\share\"\r\n"
      "evil6.dll = 1,amd64\\..\\..\\..\r\n"
      "last.dll = 1,amd64\r\n";
  UsePackage({{"Drivers/Acme/AcmeNew.inf", Inf(lines)},
              {"Drivers/Acme/AcmeNew.cat", "c"},
              {"Drivers/Acme/first.dat", "f"},
              {"Drivers/Acme/amd64/last.dll", "l"},
              {"Drivers/Acme/../../evil1.dll", "e"},
              {"Drivers/Acme/C:/Windows/evil2.dll", "e"},
              {"Drivers/Acme/../evil3.dll", "e"},
              {"Drivers/Acme//Windows/evil4.dll", "e"},
              {"Drivers/Acme/amd64/../../../evil6.dll", "e"}});
  Stage();
  EXPECT_EQ(List(L"Drivers\\Acme\\"), Sorted(Names{L"amd64\\", L"AcmeNew.cat", L"AcmeNew.inf", L"first.dat"}));
  EXPECT_EQ(List(L"Drivers\\Acme\\amd64\\"), Names{L"last.dll"});
  EXPECT_EQ(List(L"Drivers\\"), kDevconNames);
  for (const wchar_t* outside : {L"C:\\Program Files (x86)\\DudezPrinterDriver\\evil1.dll",
                                 L"C:\\Program Files (x86)\\evil1.dll", L"C:\\Windows\\evil2.dll",
                                 L"C:\\Program Files (x86)\\DudezPrinterDriver\\Drivers\\evil3.dll",
                                 L"C:\\Windows\\evil4.dll", L"C:\\Program Files (x86)\\DudezPrinterDriver\\evil6.dll"}) {
    EXPECT_FALSE(machine_.files.Exists(outside)) << WideToUtf8(outside);
  }
  EXPECT_EQ(log_.Red().size(), 6u);
  for (const auto& line : log_.Red()) EXPECT_NE(line.find(L"evil"), std::wstring::npos) << WideToUtf8(line);
}

TEST(ContainedRelativePath, RejectsAbsoluteAndClimbingPaths) {
  struct Case {
    const wchar_t* path;
    bool contained;
  };
  const Case cases[] = {
      {L"", true},           {L"a.dll", true},       {L"amd64", true},        {L"sub\\a.dll", true},
      {L"a..b.dll", true},   {L"..a", true},          {L".\\a", true},         {L"..", false},
      {L"..\\a", false},     {L"a\\..\\..", false},   {L"a/../b", false},      {L".. ", false},
      {L"...", false},       {L"\\Windows", false},   {L"/etc", false},        {L"\\\\srv\\share", false},
      {L"C:\\Windows", false}, {L"C:a.dll", false},   {L"a.dll:stream", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsContainedRelativePath(c.path), c.contained) << WideToUtf8(c.path);
}

TEST(InfFileReader, SectionsLinesAndReopen) {
  fake::FakeMachine machine;
  ASSERT_TRUE(machine.files.AddFile(L"C:\\Tools\\a.inf", Inf("[Files]\r\nx.dll = 1, amd64\r\nplain\r\n")).ok());
  ASSERT_TRUE(machine.files.AddFile(L"C:\\Tools\\b.inf", Inf("")).ok());
  ASSERT_TRUE(machine.files.AddFile(L"C:\\Tools\\c.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Net\r\n").ok());
  CInfFile inf(machine.devices);
  ASSERT_TRUE(inf.Open(L"C:\\Tools\\a.inf"));
  const InfSection* files = inf.FindSection(L"FILES");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->lines.size(), 2u);
  EXPECT_EQ(files->lines[0].key, L"x.dll");
  EXPECT_EQ(files->lines[0].values, (Names{L"1", L"amd64"}));
  // SetupAPI gives a line without '=' no key; its text is the first field.
  EXPECT_EQ(files->lines[1].key, L"");
  EXPECT_EQ(files->lines[1].values, Names{L"plain"});
  ASSERT_TRUE(inf.Open(L"C:\\Tools\\b.inf"));
  EXPECT_EQ(inf.FindSection(L"Files"), nullptr) << "a second Open forgets the first file";
  EXPECT_NE(inf.FindSection(L"Manufacturer"), nullptr);
  EXPECT_FALSE(inf.Open(L"C:\\Tools\\c.inf")) << "not a printer-class INF";
  EXPECT_TRUE(inf.sections.empty());
  EXPECT_FALSE(inf.Open(L"C:\\Tools\\missing.inf"));
}

}  // namespace
}  // namespace orvello
