#pragma once
// ISystemFacts over the kernel, shell and token calls. Functions that older
// systems lack (IsWow64Process2, IsWow64Process, Wow64EnableWow64FsRedirection,
// SetThreadUILanguage, RtlGetVersion) are looked up at run time.
#include "platform/system_facts.h"

namespace orvello::win32 {

// A system library loaded by full path; FreeLibrary when it goes away.
class Win32Library : public platform::ILibrary {
 public:
  explicit Win32Library(void* module) : module_(module) {}
  ~Win32Library() override;
  Win32Library(const Win32Library&) = delete;
  Win32Library& operator=(const Win32Library&) = delete;

  bool HasExport(const char* name) override;
  // The HMODULE, for GetProcAddress by other parts of this layer.
  void* module() const { return module_; }

 private:
  void* module_;
};

class Win32SystemFacts : public platform::ISystemFacts {
 public:
  platform::OsVersion Version() override;
  bool VersionAtLeast(uint32_t major, uint32_t minor, uint16_t servicePackMajor) override;
  std::optional<platform::Wow64Machines> IsWow64Process2() override;
  std::optional<bool> IsWow64Process() override;
  std::optional<bool> EnableWow64FsRedirection(bool enable) override;
  platform::Result<std::wstring> SpecialFolder(int csidl) override;
  std::wstring SystemDirectory() override;
  std::wstring ModuleFileName() override;
  std::wstring ComputerName() override;
  uint16_t UserDefaultUILanguage() override;
  void SetThreadUILanguage(uint16_t languageId) override;
  platform::LocalTime Now() override;
  void Sleep(uint32_t milliseconds) override;
  std::wstring ErrorText(uint32_t code) override;
  uint32_t LastError() override;
  platform::Result<std::unique_ptr<platform::ILibrary>> LoadSystemLibrary(const std::wstring& fileName) override;
  platform::Status EnablePrivilege(const std::wstring& privilegeName) override;
};

}  // namespace orvello::win32
