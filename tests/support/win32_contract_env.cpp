// The contract cases' machine in the Windows build: the real platform, a
// scratch folder made fresh under the user's temporary folder and removed at
// exit, and tools/echo_child.exe from this build.
#include <string>

#include "platform/win32/handles.h"  // windows.h without the macros that rename IFiles' methods
#include "platform/win32/win32_platform.h"
#include "support/contract_env.h"
#include "support/build_paths.h"
#include "system/text.h"

namespace orvello::test {
namespace {


class Win32ContractEnv : public ContractEnv {
 public:
  Win32ContractEnv() {
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base(temp, length);
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    scratch_ = base + L"\\orvello-contract-" + std::to_wstring(::GetCurrentProcessId());
    auto& files = platform_.platform().files;
    RemoveTree(files, scratch_);  // left over by a run that did not finish
    files.CreateDirectory(scratch_);
  }
  ~Win32ContractEnv() override { RemoveTree(platform_.platform().files, scratch_); }

  platform::Platform& platform() override { return platform_.platform(); }
  std::wstring ScratchFolder() override { return scratch_; }
  std::wstring EchoProgram() override { return WindowsPath(Utf8ToWide(ORVELLO_TOOLS_DIR "/echo_child.exe")); }

 private:
  win32::Win32Platform platform_;
  std::wstring scratch_;
};

}  // namespace

ContractEnv& Env() {
  static Win32ContractEnv env;
  return env;
}

}  // namespace orvello::test
