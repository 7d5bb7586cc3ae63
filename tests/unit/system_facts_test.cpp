#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_machine.h"
#include "system/devcon.h"
#include "system/driver_file_names.h"
#include "system/error_text.h"
#include "system/system_facts.h"

namespace orvello {
namespace {

using fake::FakeSystemFacts;
using Machine = FakeSystemFacts::Machine;

struct ArchitectureCase {
  const char* name;
  Machine machine;
  bool hasWow64Process2;
  platform::OsVersion version;
  bool amd64;
  bool arm64;
  const wchar_t* folder;
  const wchar_t* environment;
  const wchar_t* tool;
};

class ArchitectureTest : public ::testing::TestWithParam<ArchitectureCase> {};

TEST_P(ArchitectureTest, AnswersForTheNativeMachine) {
  const ArchitectureCase& c = GetParam();
  fake::FakeMachine m;
  m.system.SetMachine(c.machine, c.hasWow64Process2);
  m.system.SetVersion(c.version);

  EXPECT_EQ(IsNativeAmd64(m.system), c.amd64);
  EXPECT_EQ(IsNativeArm64(m.system), c.arm64);
  EXPECT_EQ(ArchitectureFolder(m.system), c.folder);
  EXPECT_EQ(EnvironmentName(m.system), c.environment);
  EXPECT_EQ(DevconToolName(m.system), c.tool);
}

constexpr platform::OsVersion kWin10{10, 0, 19045, 0};
constexpr platform::OsVersion kWin7{6, 1, 7601, 1};
constexpr platform::OsVersion kVista{6, 0, 6000, 0};
constexpr platform::OsVersion kXpSp3{5, 1, 2600, 3};
constexpr platform::OsVersion kXp64{5, 2, 3790, 2};

INSTANTIATE_TEST_SUITE_P(
    Machines, ArchitectureTest,
    ::testing::Values(
        ArchitectureCase{"x86", Machine::X86, true, kWin10, false, false, L"i386", L"Windows NT x86", L"devcon32.exe"},
        ArchitectureCase{"x64", Machine::X64, true, kWin10, true, false, L"amd64", L"Windows x64", L"devcon64.exe"},
        ArchitectureCase{"arm64", Machine::Arm64, true, kWin10, false, true, L"arm64", L"Windows ARM64",
                         L"devconARM64.exe"},
        // Without IsWow64Process2 only WOW64 itself is known: ARM64 passes for x64.
        ArchitectureCase{"arm64NoWow64Process2", Machine::Arm64, false, kWin10, true, false, L"amd64",
                         L"Windows x64", L"devcon64.exe"},
        ArchitectureCase{"x64Win7", Machine::X64, false, kWin7, true, false, L"amd64", L"Windows x64",
                         L"devcon64.exe"},
        ArchitectureCase{"x86Vista", Machine::X86, false, kVista, false, false, L"i386", L"Windows NT x86",
                         L"devcon32.exe"},
        ArchitectureCase{"xp", Machine::X86, false, kXpSp3, false, false, L"i386", L"Windows NT x86",
                         L"devconXP32.exe"},
        ArchitectureCase{"xp64", Machine::X64, false, kXp64, true, false, L"amd64", L"Windows x64",
                         L"devconXP32.exe"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArchitectureTest, NeitherWowQueryMeansI386) {
  fake::FakeMachine m;
  m.system.SetWow64Process2(std::nullopt);
  m.system.SetWow64Process(std::nullopt);
  EXPECT_FALSE(IsNativeAmd64(m.system));
  EXPECT_FALSE(IsNativeArm64(m.system));
  EXPECT_EQ(ArchitectureFolder(m.system), L"i386");
}

TEST(VistaOrLaterTest, ComparesMajorMinorAndServicePack) {
  fake::FakeMachine m;
  for (auto [version, expected] : {std::pair{kXpSp3, false}, std::pair{kXp64, false}, std::pair{kVista, true},
                                   std::pair{kWin7, true}, std::pair{kWin10, true}}) {
    m.system.SetVersion(version);
    EXPECT_EQ(IsVistaOrLater(m.system), expected) << version.major << "." << version.minor;
  }
}

struct FolderCase {
  const wchar_t* programFiles;
  const wchar_t* expected;
};

TEST(WorkingFolderTest, AddsTheBackslashOnlyWhenMissing) {
  for (const FolderCase& c : {FolderCase{L"C:\\Program Files (x86)", L"C:\\Program Files (x86)\\DudezPrinterDriver\\"},
                              FolderCase{L"D:\\Apps\\", L"D:\\Apps\\DudezPrinterDriver\\"}}) {
    fake::FakeMachine m;
    m.system.SetSpecialFolder(platform::kCsidlProgramFiles, c.programFiles);
    EXPECT_EQ(WorkingFolder(m.system, m.session), c.expected);
    EXPECT_TRUE(m.session.MessageBoxes().empty());
  }
}

TEST(WorkingFolderTest, FailureShowsTheErrorBoxAndAnswersEmpty) {
  fake::FakeMachine m;
  m.system.SetSpecialFolder(platform::kCsidlProgramFiles, std::nullopt);
  EXPECT_EQ(WorkingFolder(m.system, m.session), L"");
  auto boxes = m.session.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"SHGetSpecialFolderPath failed");
  EXPECT_EQ(boxes[0].title, L"Error");
}

struct FileNameCase {
  int32_t newFileNames;
  const wchar_t* ui;
  const wchar_t* uni;
  const wchar_t* inf;
  const wchar_t* cat;
};

TEST(DriverFileNamesTest, FollowTheNamingOfThePackage) {
  for (const FileNameCase& c : {FileNameCase{1, L"TessarExUiNew.dll", L"TessarExUniNew.dll", L"TessarExNew.inf",
                                             L"TessarExNew.cat"},
                                FileNameCase{0, L"TessarExUI.dll", L"TessarExUNI.dll", L"TessarEx.inf",
                                             L"TessarEx.cat"}}) {
    SCOPED_TRACE(c.newFileNames);
    EXPECT_EQ(UiDllName(L"TessarEx", c.newFileNames), c.ui);
    EXPECT_EQ(UniDllName(L"TessarEx", c.newFileNames), c.uni);
    EXPECT_EQ(InfFileName(L"TessarEx", c.newFileNames), c.inf);
    EXPECT_EQ(CatFileName(L"TessarEx", c.newFileNames), c.cat);
  }
}

TEST(SystemErrorTextTest, NegativeCodeMeansTheLastError) {
  fake::FakeMachine m;
  m.system.SetErrorText(5, L"Access is denied.\r\n");
  m.system.SetErrorText(2, L"The system cannot find the file specified.\r\n");
  m.system.SetErrorText(0x80070005u, L"HRESULT text\r\n");
  m.system.SetLastError(2);

  EXPECT_EQ(SystemErrorText(m.system, 5), L"Access is denied.\r\n");
  EXPECT_EQ(SystemErrorText(m.system, -1), L"The system cannot find the file specified.\r\n");
  // A code above 0x7FFFFFFF is a code of its own, not "the last error".
  EXPECT_EQ(SystemErrorText(m.system, 0x80070005u), L"HRESULT text\r\n");
  m.system.SetErrorText(4242, L"");
  EXPECT_EQ(SystemErrorText(m.system, 4242), L"");
}

}  // namespace
}  // namespace orvello
