#pragma once
// Facts of a test machine. A new machine is 64-bit Windows 10 (10.0.19045)
// on x64 with IsWow64Process2, English UI (0x0409), the program at
// "C:\Tools\Orvello.exe", the 32-bit program-files folder
// "C:\Program Files (x86)", and a clock standing at 2024-01-15 10:00:00
// (a Monday) that moves only when the test moves it or the core sleeps.
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/system_facts.h"

namespace orvello::fake {

class FakeSystemFacts : public platform::ISystemFacts {
 public:
  FakeSystemFacts();
  ~FakeSystemFacts() override;

  platform::OsVersion Version() override;
  bool VersionAtLeast(uint32_t major, uint32_t minor, uint16_t servicePackMajor) override;
  std::optional<platform::Wow64Machines> IsWow64Process2() override;
  std::optional<bool> IsWow64Process() override;
  // Succeeds under WOW64 only, as on 32-bit Windows the switch does nothing
  // and fails.
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

  // The machines the program runs on (a 32-bit program in each case).
  enum class Machine {
    X86,         // 32-bit Windows: not under WOW64
    X64,         // 64-bit Windows on x64
    Arm64,       // Windows 11 on ARM64
  };
  // hasWow64Process2: false for systems before Windows 10 1709.
  void SetMachine(Machine machine, bool hasWow64Process2 = true);
  // Finer control: nullopt means kernel32 does not export the function.
  void SetWow64Process2(std::optional<platform::Wow64Machines> answer) { wow64Process2_ = answer; }
  void SetWow64Process(std::optional<bool> answer) { wow64Process_ = answer; }
  // false: kernel32 does not export Wow64EnableWow64FsRedirection.
  void SetFsRedirectionExported(bool exported) { fsRedirectionExported_ = exported; }
  void SetVersion(platform::OsVersion version) { version_ = version; }
  // nullopt: SHGetSpecialFolderPathW fails for this folder.
  void SetSpecialFolder(int csidl, std::optional<std::wstring> path);
  void SetSystemDirectory(std::wstring path) { systemDirectory_ = std::move(path); }
  void SetModuleFileName(std::wstring path) { moduleFileName_ = std::move(path); }
  void SetComputerName(std::wstring name) { computerName_ = std::move(name); }
  void SetUserDefaultUILanguage(uint16_t id) { uiLanguage_ = id; }
  void SetLocalTime(const platform::LocalTime& time);
  void AdvanceClock(uint64_t milliseconds);
  void SetLastError(uint32_t code) { lastError_ = code; }
  // Overrides (or, with "", removes) the system text of a code.
  void SetErrorText(uint32_t code, std::wstring text) { errorTexts_[code] = std::move(text); }
  // LoadLibraryW of this system library fails with `error` (126 when not found).
  void SetLibraryLoadError(const std::wstring& fileName, std::optional<uint32_t> error);
  // GetProcAddress of this export fails in that library (every other export exists).
  void RemoveExport(const std::wstring& fileName, const std::string& exportName);
  // AdjustTokenPrivileges reports this error (1300 when the privilege is not held).
  void SetPrivilegeError(std::optional<uint32_t> error) { privilegeError_ = error; }

  std::optional<uint16_t> ThreadUILanguage() const { return threadUiLanguage_; }
  std::vector<std::wstring> LoadedLibraries();       // every successful load, in order
  std::vector<std::wstring> LibrariesStillLoaded();  // loaded and not yet freed
  std::vector<std::wstring> EnabledPrivileges() const { return privileges_; }
  uint64_t SleptMilliseconds() const { return slept_; }
  // The file-system redirection switch (on at first) and every call made to
  // it, in order ("off", "on").
  bool FsRedirectionEnabled() const { return fsRedirectionEnabled_; }
  std::vector<std::wstring> FsRedirectionCalls() const { return fsRedirectionCalls_; }

  struct LibraryState;

 private:
  platform::OsVersion version_{10, 0, 19045, 0};
  std::optional<platform::Wow64Machines> wow64Process2_;
  std::optional<bool> wow64Process_;
  bool fsRedirectionExported_ = true;
  bool fsRedirectionEnabled_ = true;
  std::vector<std::wstring> fsRedirectionCalls_;
  std::map<int, std::optional<std::wstring>> specialFolders_;
  std::wstring systemDirectory_ = L"C:\\Windows\\system32";
  std::wstring moduleFileName_ = L"C:\\Tools\\Orvello.exe";
  std::wstring computerName_ = L"DESKTOP-ORVELLO";
  uint16_t uiLanguage_ = 0x0409;
  std::optional<uint16_t> threadUiLanguage_;
  // Worker threads sleep while the UI thread reads the clock.
  std::atomic<uint64_t> clockMs_{0};  // milliseconds since 1601-01-01, as FILETIME counts
  std::atomic<uint64_t> slept_{0};
  uint32_t lastError_ = 0;
  std::map<uint32_t, std::wstring> errorTexts_;
  std::optional<uint32_t> privilegeError_;
  std::vector<std::wstring> privileges_;
  std::shared_ptr<LibraryState> libraries_;
};

}  // namespace orvello::fake
