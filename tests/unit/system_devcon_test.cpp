#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_code_pages.h"
#include "platform/fake/fake_machine.h"
#include "system/devcon.h"
#include "system/output_pipe.h"
#include "system/text.h"
#include "system_test_support.h"

namespace orvello {
namespace {

using fake::FakeProgram;
using Machine = fake::FakeSystemFacts::Machine;

const std::wstring kDrivers = L"C:\\Program Files (x86)\\DudezPrinterDriver\\Drivers\\";

class RunDevconTest : public ::testing::Test {
 protected:
  void TearDown() override { RemoveOutputPipe(); }

  void AddTool(const std::wstring& name, FakeProgram program) {
    m.processes.AddProgram(kDrivers + name, std::move(program));
  }

  fake::FakeMachine m;
  test::RecordingMessageLog log;
};

struct ToolCase {
  const char* name;
  Machine machine;
  platform::OsVersion version;
  const wchar_t* tool;
};

class RunDevconToolTest : public RunDevconTest, public ::testing::WithParamInterface<ToolCase> {};

TEST_P(RunDevconToolTest, StartsThisSystemsToolHiddenWithTheArgumentsAppended) {
  const ToolCase& c = GetParam();
  m.system.SetMachine(c.machine);
  m.system.SetVersion(c.version);
  // Every build is staged; only the right one may run.
  for (const wchar_t* tool : {L"devcon32.exe", L"devcon64.exe", L"devconARM64.exe", L"devconXP32.exe"}) {
    AddTool(tool, FakeProgram::Exits(0));
  }

  EXPECT_EQ(RunDevcon(m.platform(), L" rescan"), 0);

  auto started = m.processes.Started();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].commandLine, L"\"" + kDrivers + c.tool + L"\" rescan");
  EXPECT_TRUE(EqualsIgnoreCase(started[0].program, kDrivers + c.tool)) << started[0].program;
  EXPECT_TRUE(started[0].hidden);
  EXPECT_TRUE(started[0].inheritHandles);
}

INSTANTIATE_TEST_SUITE_P(Systems, RunDevconToolTest,
                         ::testing::Values(ToolCase{"x86", Machine::X86, {10, 0, 19045, 0}, L"devcon32.exe"},
                                           ToolCase{"x64", Machine::X64, {10, 0, 19045, 0}, L"devcon64.exe"},
                                           ToolCase{"arm64", Machine::Arm64, {10, 0, 22631, 0}, L"devconARM64.exe"},
                                           ToolCase{"xp", Machine::X86, {5, 1, 2600, 3}, L"devconXP32.exe"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunDevconTest, ArgumentsAreTakenExactlyAsGiven) {
  AddTool(L"devcon64.exe", FakeProgram::Exits(0));
  RunDevcon(m.platform(), L"/r remove \"@USBPRINT\\LUMATRIX_A6B36A\\7&1A2B&0&USB001\"");
  auto started = m.processes.Started();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].commandLine,
            L"\"" + kDrivers + L"devcon64.exe\"/r remove \"@USBPRINT\\LUMATRIX_A6B36A\\7&1A2B&0&USB001\"");
}

TEST_F(RunDevconTest, AnswersTheToolsExitCode) {
  for (uint32_t code : {0u, 1u, 2u, 3u, 0xFFFFFFFEu}) {
    AddTool(L"devcon64.exe", FakeProgram::Exits(code));
    EXPECT_EQ(RunDevcon(m.platform(), L" rescan"), static_cast<int>(code));
  }
}

TEST_F(RunDevconTest, ToolThatDoesNotStartAnswersMinusTwo) {
  // Only another system's build is there.
  AddTool(L"devcon32.exe", FakeProgram::Exits(0));
  EXPECT_EQ(RunDevcon(m.platform(), L" rescan"), kChildNotStarted);
  AddTool(L"devcon64.exe", FakeProgram::FailsToStart(5));
  EXPECT_EQ(RunDevcon(m.platform(), L" rescan"), kChildNotStarted);
}

TEST_F(RunDevconTest, WithoutAWorkingFolderNothingStarts) {
  m.system.SetSpecialFolder(platform::kCsidlProgramFiles, std::nullopt);
  // What a relative "Drivers\devcon64.exe" would find in the current folder.
  m.processes.AddProgram(L"C:\\Tools\\Drivers\\devcon64.exe", FakeProgram::Exits(0));
  EXPECT_EQ(RunDevcon(m.platform(), L" rescan"), kChildNotStarted);
  EXPECT_TRUE(m.processes.Started().empty());
  EXPECT_EQ(m.session.MessageBoxes().size(), 1u);
}

TEST_F(RunDevconTest, DebugModeEchoesTheCommandAndTheCode) {
  test::DebugModeScope debug(1);
  // A '%' in the path must come out as it is.
  m.system.SetSpecialFolder(platform::kCsidlProgramFiles, L"C:\\100%s Apps");
  const std::wstring tool = L"C:\\100%s Apps\\DudezPrinterDriver\\Drivers\\devcon64.exe";
  m.processes.AddProgram(tool, FakeProgram::Exits(2));

  EXPECT_EQ(RunDevcon(m.platform(), L" rescan"), 2);
  EXPECT_EQ(log.Lines(), (std::vector<test::LogLine>{{L"\"" + tool + L"\" rescan", kColourBlack},
                                                     {L"return dwCode = 2", kColourBlack}}));
}

TEST_F(RunDevconTest, DebugModeEchoesOnlyTheCommandWhenItDoesNotStart) {
  test::DebugModeScope debug(1);
  EXPECT_EQ(RunDevcon(m.platform(), L" rescan"), kChildNotStarted);
  EXPECT_EQ(log.Texts(), (std::vector<std::wstring>{L"\"" + kDrivers + L"devcon64.exe\" rescan"}));
}

TEST_F(RunDevconTest, NothingIsEchoedOutsideDebugMode) {
  test::DebugModeScope debug(0);
  AddTool(L"devcon64.exe", FakeProgram::Exits(1, "Drivers installed.\r\n"));
  fake::FakeCodePages codePages;
  ASSERT_TRUE(InstallOutputPipe(m.processes, codePages));
  EXPECT_EQ(RunDevcon(m.platform(), L" rescan"), 1);
  EXPECT_TRUE(RemoveOutputPipe());
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(RunDevconTest, ToolWritesIntoTheOutputPipe) {
  test::DebugModeScope debug(1);
  AddTool(L"devcon64.exe", FakeProgram::Exits(0, "1 device(s) rescanned.\r\n"));
  fake::FakeCodePages codePages;
  ASSERT_TRUE(InstallOutputPipe(m.processes, codePages));

  RunDevcon(m.platform(), L" rescan");
  // The pipe ends once our write end is closed, so everything has been read.
  EXPECT_TRUE(RemoveOutputPipe());

  EXPECT_TRUE(m.processes.Started()[0].hadStandardOutput);
  // The reader runs on its own, so its line may come before or after the code.
  std::vector<std::wstring> texts = log.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], L"\"" + kDrivers + L"devcon64.exe\" rescan");
  EXPECT_THAT(std::vector<std::wstring>(texts.begin() + 1, texts.end()),
              ::testing::UnorderedElementsAre(L"1 device(s) rescanned.\r\n", L"return dwCode = 0"));
}

TEST_F(RunDevconTest, WithoutThePipeTheToolGetsNoStandardOutput) {
  AddTool(L"devcon64.exe", FakeProgram::Exits(0, "lost"));
  RunDevcon(m.platform(), L" rescan");
  EXPECT_FALSE(m.processes.Started()[0].hadStandardOutput);
}

}  // namespace
}  // namespace orvello
