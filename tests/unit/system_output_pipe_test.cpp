#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

#include "platform/fake/fake_code_pages.h"
#include "platform/fake/fake_machine.h"
#include "system/output_pipe.h"
#include "system_test_support.h"

namespace orvello {
namespace {

using namespace std::chrono_literals;

// Code pages that count the conversions made after the pipe was removed.
class ProbedCodePages : public platform::ICodePages {
 public:
  uint32_t AnsiCodePage() override { return inner.AnsiCodePage(); }
  std::string WideToMultiByte(uint32_t codePage, std::wstring_view wide) override {
    Count();
    return inner.WideToMultiByte(codePage, wide);
  }
  std::wstring MultiByteToWide(uint32_t codePage, std::string_view narrow) override {
    Count();
    return inner.MultiByteToWide(codePage, narrow);
  }
  void Count() {
    ++calls;
    if (removed) ++callsAfterRemove;
  }

  fake::FakeCodePages inner;
  std::atomic<bool> removed{false};
  std::atomic<int> calls{0};
  std::atomic<int> callsAfterRemove{0};
};

class OutputPipeTest : public ::testing::Test {
 protected:
  void TearDown() override {
    RemoveOutputPipe();
    m.processes.FinishRunning();
    EXPECT_TRUE(WaitForOutputPipeReaders(10s));
  }

  // What the program itself writes to its standard output.
  void WriteToStandardOutput(const std::string& bytes) {
    auto write = OutputPipeWriteEnd();
    ASSERT_TRUE(write);
    ASSERT_TRUE(write->Write(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())));
  }

  fake::FakeMachine m;
  ProbedCodePages codePages;
  test::RecordingMessageLog log;
};

TEST_F(OutputPipeTest, StandardOutputIsThePipeWhileItExists) {
  ASSERT_TRUE(InstallOutputPipe(m.processes, codePages));
  auto write = OutputPipeWriteEnd();
  ASSERT_TRUE(write);
  EXPECT_EQ(m.processes.StandardOutput(), write.get());
  // Installed once only.
  EXPECT_TRUE(InstallOutputPipe(m.processes, codePages));
  EXPECT_EQ(OutputPipeWriteEnd(), write);
  write.reset();

  EXPECT_TRUE(RemoveOutputPipe());
  EXPECT_EQ(m.processes.StandardOutput(), nullptr);
  EXPECT_EQ(OutputPipeWriteEnd(), nullptr);
}

TEST_F(OutputPipeTest, DebugModeShowsWhatWasWrittenInTheAnsiCodePage) {
  test::DebugModeScope debug(1);
  ASSERT_TRUE(InstallOutputPipe(m.processes, codePages));
  WriteToStandardOutput("Caf\xE9 \x80 5\r\n");
  EXPECT_TRUE(RemoveOutputPipe());
  EXPECT_EQ(log.Joined(), L"Caf\u00E9 \u20AC 5\r\n");
  for (const test::LogLine& line : log.Lines()) EXPECT_EQ(line.colour, kColourBlack);
}

TEST_F(OutputPipeTest, EachReadTakesAtMost4095Bytes) {
  test::DebugModeScope debug(1);
  ASSERT_TRUE(InstallOutputPipe(m.processes, codePages));
  WriteToStandardOutput(std::string(10000, 'x'));
  EXPECT_TRUE(RemoveOutputPipe());

  std::vector<std::wstring> texts = log.Texts();
  EXPECT_GE(texts.size(), 3u);
  for (const std::wstring& text : texts) EXPECT_LE(text.size(), 4095u);
  EXPECT_EQ(log.Joined(), std::wstring(10000, L'x'));
}

TEST_F(OutputPipeTest, OutsideDebugModeThePipeIsDrainedSilently) {
  test::DebugModeScope debug(0);
  ASSERT_TRUE(InstallOutputPipe(m.processes, codePages));
  WriteToStandardOutput("quiet\r\n");
  // True only once the reader has seen the end of the pipe, past the data.
  EXPECT_TRUE(RemoveOutputPipe());
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_EQ(codePages.calls, 0);
}

TEST_F(OutputPipeTest, ChildHoldingTheWriteEndDoesNotHoldUpTheRemoval) {
  ASSERT_TRUE(InstallOutputPipe(m.processes, codePages));
  fake::FakeProgram holder = fake::FakeProgram::Exits(0);
  holder.keepsRunning = true;
  m.processes.AddProgram(L"C:\\Tools\\holder.exe", holder);
  platform::ProcessOptions options;
  options.inheritHandles = true;
  auto write = OutputPipeWriteEnd();
  options.standardOutput = write.get();
  auto child = m.processes.Start(L"C:\\Tools\\holder.exe", options);
  ASSERT_TRUE(child);
  write.reset();

  // The child's copy of the write end keeps the pipe open: the reader is let go.
  EXPECT_FALSE(RemoveOutputPipe(20ms));
  EXPECT_EQ(m.processes.StandardOutput(), nullptr);

  m.processes.FinishRunning();
  EXPECT_TRUE(WaitForOutputPipeReaders(10s));
}

TEST_F(OutputPipeTest, AbandonedReaderNoLongerTouchesCodePagesOrLog) {
  test::DebugModeScope debug(1);
  ASSERT_TRUE(InstallOutputPipe(m.processes, codePages));
  // Someone still holding a write end, as a child process would.
  std::shared_ptr<platform::IPipeWriteEnd> held = OutputPipeWriteEnd();
  ASSERT_FALSE(RemoveOutputPipe(20ms));
  codePages.removed = true;

  const std::string late = "late output\r\n";
  ASSERT_TRUE(held->Write(std::span(reinterpret_cast<const uint8_t*>(late.data()), late.size())));
  held.reset();
  // The reader drains the late output, sees the end of the pipe and stops.
  ASSERT_TRUE(WaitForOutputPipeReaders(10s));

  EXPECT_EQ(codePages.callsAfterRemove, 0);
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(OutputPipeTest, RemovingWithoutAPipeIsHarmless) {
  EXPECT_TRUE(RemoveOutputPipe());
  EXPECT_EQ(OutputPipeWriteEnd(), nullptr);
}

}  // namespace
}  // namespace orvello
