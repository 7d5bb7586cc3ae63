#pragma once
// What the contract tests need from the machine they run on. The same test
// cases run natively against the fake platform and under Wine against the
// win32 platform; each build links one implementation of Env().
#include <string>

#include "platform/platform.h"

namespace orvello::test {

class ContractEnv {
 public:
  virtual ~ContractEnv() = default;
  virtual platform::Platform& platform() = 0;
  // An existing, empty folder for this test run (a Windows path, no trailing backslash).
  virtual std::wstring ScratchFolder() = 0;
  // Full path of a console program: `echo-child <exit code> <text...>` writes
  // the text to standard output and exits with the code.
  virtual std::wstring EchoProgram() = 0;
};

ContractEnv& Env();

// Deletes a folder and everything below it, as far as it can.
inline void RemoveTree(platform::IFiles& files, const std::wstring& folder) {
  auto entries = files.Find(folder + L"\\*");
  if (entries) {
    for (const auto& entry : entries.value) {
      if (entry.name == L"." || entry.name == L"..") continue;
      std::wstring path = folder + L"\\" + entry.name;
      if (entry.isDirectory)
        RemoveTree(files, path);
      else
        files.DeleteFile(path);
    }
  }
  files.RemoveDirectory(folder);
}

}  // namespace orvello::test
