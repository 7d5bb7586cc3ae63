#include <gtest/gtest.h>

#include "app/command_line.h"

namespace orvello {
namespace {

TEST(CommandLine, DebugSwitchIsACaseSensitiveSubstringOfAnyArgument) {
  struct Case {
    const wchar_t* commandLine;
    bool debug;
  } cases[] = {
      {L"Orvello.exe", false},
      {L"Orvello.exe -debug", true},
      {L"\"C:\\Program Files\\Orvello.exe\" -debug", true},
      {L"Orvello.exe x--debugging", true},  // inside a longer word still counts
      {L"Orvello.exe -DEBUG", false},
      {L"Orvello.exe -Debug", false},
      {L"-debug\\Orvello.exe", false},  // the program name itself is not an argument
      {L"\"C:\\x -debug\\Orvello.exe\" other", false},
      {L"Orvello.exe \"a -debug b\"", true},
  };
  for (const auto& c : cases) {
    auto args = SplitArguments(ArgumentsAfterProgramName(c.commandLine));
    EXPECT_EQ(HasDebugSwitch(args), c.debug) << c.commandLine;
  }
}

TEST(CommandLine, SplitsLikeCommandLineToArgv) {
  struct Case {
    const wchar_t* arguments;
    std::vector<std::wstring> words;
  } cases[] = {
      {L"", {}},
      {L"  a   b ", {L"a", L"b"}},
      {L"\"a b\" c", {L"a b", L"c"}},
      {L"a\\\\\"b c\"", {L"a\\b c"}},      // 2n backslashes + quote: n backslashes, quote toggles
      {L"a\\\"b", {L"a\"b"}},              // 2n+1 backslashes + quote: a literal quote
      {L"C:\\dir\\file", {L"C:\\dir\\file"}},  // backslashes without a quote stay
      {L"\t-debug\t", {L"-debug"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitArguments(c.arguments), c.words) << c.arguments;
}

}  // namespace
}  // namespace orvello
