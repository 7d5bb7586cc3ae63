// System facts, the device console run and the output pipe over the real
// system: echo_child of this build stands in for the device console tool,
// so the command line, the inherited pipe and the exit code go through
// CreateProcessW, CreatePipe and SetStdHandle as on Windows.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_code_pages.h"
#include "platform/win32/win32_platform.h"
#include "system/devcon.h"
#include "system/output_pipe.h"
#include "system/printer_actions.h"
#include "system/system_facts.h"
#include "system/text.h"
#include "support/build_paths.h"
#include "unit/system_test_support.h"

namespace orvello {
namespace {

using test::WindowsPath;


std::wstring EchoChild() { return WindowsPath(Utf8ToWide(ORVELLO_TOOLS_DIR "/echo_child.exe")); }

bool RunningAs32BitOn64Bit() {
  BOOL wow64 = FALSE;
  return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

bool EndsWithIgnoreCase(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() && EqualsIgnoreCase(std::wstring_view(text).substr(text.size() - tail.size()), tail);
}

class SystemWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base(temp, length);
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    working_ = base + L"orvello-system-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(working_.c_str(), nullptr);
    ::CreateDirectoryW((working_ + L"Drivers").c_str(), nullptr);
  }
  void TearDown() override {
    RemoveOutputPipe();
    ::DeleteFileW(ToolPath().c_str());
    ::RemoveDirectoryW((working_ + L"Drivers").c_str());
    ::RemoveDirectoryW(working_.c_str());
  }

  std::wstring ToolPath() { return working_ + L"Drivers\\" + DevconToolName(p().system); }
  // Stages echo_child as this system's device console tool.
  void StageTool() { ASSERT_TRUE(::CopyFileW(EchoChild().c_str(), ToolPath().c_str(), FALSE)) << ::GetLastError(); }

  platform::Platform& p() { return platform_.platform(); }

  win32::Win32Platform platform_;
  win32::Win32CodePages codePages_;
  std::wstring working_;
  test::RecordingMessageLog log_;
};

TEST_F(SystemWin32Test, MachineFactsOfA32BitProcess) {
  // Wine's 64-bit prefix runs the 32-bit program under WOW64 with an x64
  // native machine, as 64-bit Windows on x64 does.
  ASSERT_TRUE(RunningAs32BitOn64Bit()) << "these expectations are for a 64-bit system";
  if (auto machines = p().system.IsWow64Process2()) {
    RecordProperty("processMachine", machines->processMachine);
    RecordProperty("nativeMachine", machines->nativeMachine);
  }
  EXPECT_TRUE(IsNativeAmd64(p().system));
  EXPECT_FALSE(IsNativeArm64(p().system));
  EXPECT_EQ(ArchitectureFolder(p().system), L"amd64");
  EXPECT_EQ(EnvironmentName(p().system), L"Windows x64");
  EXPECT_EQ(DevconToolName(p().system), L"devcon64.exe");
  EXPECT_TRUE(IsVistaOrLater(p().system));
}

TEST_F(SystemWin32Test, WorkingFolderIsThe32BitProgramFilesFolder) {
  std::wstring folder = WorkingFolder(p().system, p().session);
  RecordProperty("WorkingFolder", WideToUtf8(folder));
  EXPECT_TRUE(EqualsIgnoreCase(folder, L"C:\\Program Files (x86)\\DudezPrinterDriver\\")) << WideToUtf8(folder);
}

TEST_F(SystemWin32Test, DriverDirectoryIsTheX64Directory) {
  std::wstring directory = DriverDirectory(p().system, p().spooler, p().session);
  RecordProperty("DriverDirectory", WideToUtf8(directory));
  EXPECT_TRUE(EndsWithIgnoreCase(directory, L"\\spool\\drivers\\x64\\")) << WideToUtf8(directory);
  EXPECT_NE(::GetFileAttributesW(directory.c_str()), INVALID_FILE_ATTRIBUTES) << WideToUtf8(directory);
}

TEST_F(SystemWin32Test, DevconRunsHiddenIntoTheOutputPipe) {
  test::DebugModeScope debug(1);
  StageTool();
  ASSERT_TRUE(InstallOutputPipe(p().processes, codePages_));

  // echo_child takes the first argument as its exit code and prints the rest.
  EXPECT_EQ(RunDevconIn(p(), working_, L" 3 rescan \"@USB\\VID_0FE6&PID_811E\\5&1\""), 3);
  // Everything the child wrote is in the pipe before our write end closes.
  EXPECT_TRUE(RemoveOutputPipe());

  std::vector<std::wstring> texts = log_.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], L"\"" + ToolPath() + L"\" 3 rescan \"@USB\\VID_0FE6&PID_811E\\5&1\"");
  EXPECT_THAT(std::vector<std::wstring>(texts.begin() + 1, texts.end()),
              ::testing::UnorderedElementsAre(L"rescan @USB\\VID_0FE6&PID_811E\\5&1\r\n", L"return dwCode = 3"));
}

TEST_F(SystemWin32Test, DevconExitCodesComeBackAsTheyAre) {
  StageTool();
  for (int code : {0, 1, 2, 259}) {
    EXPECT_EQ(RunDevconIn(p(), working_, L" " + std::to_wstring(code)), code);
  }
}

TEST_F(SystemWin32Test, MissingDevconAnswersMinusTwo) {
  test::DebugModeScope debug(1);
  EXPECT_EQ(RunDevconIn(p(), working_, L" rescan"), kChildNotStarted);
  EXPECT_EQ(log_.Texts(), (std::vector<std::wstring>{L"\"" + ToolPath() + L"\" rescan"}));
}

TEST_F(SystemWin32Test, OutsideDebugModeThePipeShowsNothing) {
  test::DebugModeScope debug(0);
  StageTool();
  ASSERT_TRUE(InstallOutputPipe(p().processes, codePages_));
  EXPECT_EQ(RunDevconIn(p(), working_, L" 0 quiet"), 0);
  EXPECT_TRUE(RemoveOutputPipe());
  EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(SystemWin32Test, OwnStandardOutputGoesIntoThePipe) {
  test::DebugModeScope debug(1);
  ASSERT_TRUE(InstallOutputPipe(p().processes, codePages_));
  const char text[] = "from the program itself\r\n";
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text, sizeof text - 1, &written, nullptr));
  EXPECT_TRUE(RemoveOutputPipe());
  EXPECT_EQ(log_.Joined(), L"from the program itself\r\n");
}

TEST_F(SystemWin32Test, TestPageUsesTheSystemsRundll32) {
  std::wstring command = TestPageCommandLine(p().system, L"Label 1");
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(command, L"\"" + std::wstring(system) + L"\\rundll32.exe\" printui.dll,PrintUIEntry /k /q /n \"Label 1\"");
  EXPECT_NE(::GetFileAttributesW((std::wstring(system) + L"\\rundll32.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace orvello
