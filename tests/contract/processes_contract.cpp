// Child processes and pipes as the device console runs and the output pipe
// use them, with echo_child as the child.
#include <gtest/gtest.h>

#include <string>

#include "support/contract_env.h"
#include "system/text.h"

namespace orvello::test {
namespace {

using platform::IProcesses;
using platform::Pipe;
using platform::ProcessOptions;
namespace err = platform::err;

constexpr uint32_t kBrokenPipe = 109;
constexpr uint32_t kNoData = 232;

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

struct Drained {
  std::string bytes;
  uint32_t endError = 0;  // what the read that ended the pipe reported (0: it read 0 bytes)
};

// Reads until the pipe ends, as the pipe reader thread does.
Drained Drain(platform::IPipeReadEnd& read, size_t chunk = 4095) {
  Drained out;
  std::vector<uint8_t> buffer(chunk);
  for (;;) {
    auto got = read.Read(buffer);
    if (!got.ok() || got.value == 0) {
      out.endError = got.error;
      return out;
    }
    out.bytes.append(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got.value));
  }
}

class ProcessesContract : public ::testing::Test {
 protected:
  // Runs echo_child with these arguments, its output in a pipe of ours.
  std::pair<uint32_t, Drained> RunEcho(const std::wstring& arguments) {
    auto pipe = processes.CreatePipe();
    EXPECT_TRUE(pipe.ok()) << pipe.error;
    ProcessOptions options;
    options.inheritHandles = true;
    options.standardOutput = pipe.value.write.get();
    auto child = processes.Start(Quoted(Env().EchoProgram()) + L" " + arguments, options);
    EXPECT_TRUE(child.ok()) << child.error;
    if (!child.ok()) return {};
    EXPECT_TRUE(child.value->Wait(std::nullopt));
    auto code = child.value->ExitCode();
    EXPECT_TRUE(code.ok());
    // Our own write end is the last one open once the child has ended.
    pipe.value.write.reset();
    return {code.value, Drain(*pipe.value.read)};
  }

  IProcesses& processes = Env().platform().processes;
};

TEST_F(ProcessesContract, ExitCodeComesBackAfterTheWait) {
  for (uint32_t code : {0u, 1u, 42u, 255u, 4000u}) {
    ProcessOptions options;
    auto child = processes.Start(Quoted(Env().EchoProgram()) + L" " + std::to_wstring(code) + L" quiet", options);
    ASSERT_TRUE(child.ok()) << child.error;
    ASSERT_TRUE(child.value->Wait(std::nullopt));
    auto exit = child.value->ExitCode();
    ASSERT_TRUE(exit.ok());
    EXPECT_EQ(exit.value, code);
  }
}

TEST_F(ProcessesContract, MissingProgramDoesNotStart) {
  std::wstring missing = Env().ScratchFolder() + L"\\devcon64.exe";
  ProcessOptions options;
  EXPECT_EQ(processes.Start(Quoted(missing) + L" rescan", options).error, err::kFileNotFound);
  EXPECT_EQ(processes.Start(missing + L" rescan", options).error, err::kFileNotFound);
}

TEST_F(ProcessesContract, ProgramNameWithoutQuotesOrExtension) {
  std::wstring program = Env().EchoProgram();
  ASSERT_EQ(program.find(L' '), std::wstring::npos) << "the test needs a path without spaces";
  std::wstring bare = program.substr(0, program.size() - 4);  // ".exe" is added by the system
  ProcessOptions options;
  auto child = processes.Start(bare + L" 9 x", options);
  ASSERT_TRUE(child.ok()) << child.error;
  ASSERT_TRUE(child.value->Wait(std::nullopt));
  EXPECT_EQ(child.value->ExitCode().value, 9u);
}

TEST_F(ProcessesContract, ChildOutputArrivesThroughTheInheritedPipe) {
  auto [code, output] = RunEcho(L"3 hello pipe");
  EXPECT_EQ(code, 3u);
  EXPECT_EQ(output.bytes, "hello pipe\r\n");
  EXPECT_EQ(output.endError, kBrokenPipe) << "the pipe ends when every write end is closed";
}

TEST_F(ProcessesContract, ArgumentsArriveAsTheRuntimeSplitsThem) {
  struct Case {
    const wchar_t* arguments;
    const char* output;
  };
  const Case cases[] = {
      {L"0 plain   words", "plain words\r\n"},
      {L"0 \"two  spaces\"", "two  spaces\r\n"},
      {L"0 say\\\"hi\\\"", "say\"hi\"\r\n"},
      {L"0 \"C:\\dir\\\\\" next", "C:\\dir\\ next\r\n"},
      {L"0 back\\\\slash", "back\\\\slash\r\n"},
      {L"0 /r update \"@USB\\VID_1234\"", "/r update @USB\\VID_1234\r\n"},
  };
  for (const auto& c : cases) {
    auto [code, output] = RunEcho(c.arguments);
    EXPECT_EQ(output.bytes, c.output) << WideToUtf8(c.arguments);
  }
}

TEST_F(ProcessesContract, OwnWritesReachTheReaderInPieces) {
  auto pipe = processes.CreatePipe();
  ASSERT_TRUE(pipe.ok());
  const std::string text = "abcde";
  ASSERT_TRUE(pipe.value.write->Write(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())).ok());
  pipe.value.write.reset();
  Drained drained = Drain(*pipe.value.read, 2);
  EXPECT_EQ(drained.bytes, text);
  EXPECT_EQ(drained.endError, kBrokenPipe);
}

TEST_F(ProcessesContract, WritingWithoutAReaderFails) {
  auto pipe = processes.CreatePipe();
  ASSERT_TRUE(pipe.ok());
  pipe.value.read.reset();
  const uint8_t byte = 'x';
  EXPECT_EQ(pipe.value.write->Write(std::span(&byte, 1)).error, kNoData);
}

}  // namespace
}  // namespace orvello::test
