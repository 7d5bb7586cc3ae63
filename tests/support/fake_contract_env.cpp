// The contract cases' machine in the native build: one fake machine for the
// whole run, with a scratch folder and an echo_child that behaves as the
// real tool in tools/echo_child does.
#include <cwchar>

#include "platform/fake/fake_code_pages.h"
#include "platform/fake/fake_machine.h"
#include "support/contract_env.h"

namespace orvello::test {
namespace {

constexpr const wchar_t* kScratch = L"C:\\Users\\Tester\\AppData\\Local\\Temp\\orvello-contract";
constexpr const wchar_t* kEchoChild = L"C:\\Tools\\echo_child.exe";

fake::FakeProgramRun EchoChild(const std::wstring& commandLine) {
  std::vector<std::wstring> words = fake::SplitCommandLine(commandLine);
  if (words.size() < 2) return {255, {}};
  auto code = static_cast<uint32_t>(std::wcstoul(words[1].c_str(), nullptr, 10));
  std::wstring text;
  for (size_t i = 2; i < words.size(); ++i) text += (i > 2 ? L" " : L"") + words[i];
  text += L"\r\n";
  fake::FakeCodePages codePages;  // the tool writes in the ANSI code page
  return {code, codePages.WideToMultiByte(platform::kCodePageAnsi, text)};
}

class FakeContractEnv : public ContractEnv {
 public:
  FakeContractEnv() {
    machine_.files.AddDirectory(kScratch);
    fake::FakeProgram echo;
    echo.run = EchoChild;
    machine_.processes.AddProgram(kEchoChild, echo);
  }
  platform::Platform& platform() override { return machine_.platform(); }
  std::wstring ScratchFolder() override { return kScratch; }
  std::wstring EchoProgram() override { return kEchoChild; }

 private:
  fake::FakeMachine machine_;
};

}  // namespace

ContractEnv& Env() {
  static FakeContractEnv env;
  return env;
}

}  // namespace orvello::test
