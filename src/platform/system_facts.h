#pragma once
// Facts about the machine and the running program: version, processor,
// special folders, module path, time, UI language, system libraries.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/result.h"

namespace orvello::platform {

inline constexpr uint16_t kMachineUnknown = 0;
inline constexpr uint16_t kMachineI386 = 0x014C;
inline constexpr uint16_t kMachineAmd64 = 0x8664;
inline constexpr uint16_t kMachineArm64 = 0xAA64;

inline constexpr int kCsidlProgramFiles = 0x26;
inline constexpr int kCsidlSystem = 0x25;
inline constexpr int kCsidlWindows = 0x24;

struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint16_t servicePackMajor = 0;
};

// GetLocalTime's SYSTEMTIME.
struct LocalTime {
  uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
  uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// The answer of IsWow64Process2 for the current process.
struct Wow64Machines {
  uint16_t processMachine = kMachineUnknown;
  uint16_t nativeMachine = kMachineUnknown;
};

// A library loaded with LoadLibraryW; FreeLibrary when the object goes away.
class ILibrary {
 public:
  virtual ~ILibrary() = default;
  virtual bool HasExport(const char* name) = 0;
};

class ISystemFacts {
 public:
  virtual ~ISystemFacts() = default;
  virtual OsVersion Version() = 0;
  // VerifyVersionInfoW with VER_GREATER_EQUAL on major, minor and service-pack major.
  virtual bool VersionAtLeast(uint32_t major, uint32_t minor, uint16_t servicePackMajor) = 0;
  // Run-time lookups: nullopt when kernel32 does not export the function.
  virtual std::optional<Wow64Machines> IsWow64Process2() = 0;
  virtual std::optional<bool> IsWow64Process() = 0;
  // Wow64EnableWow64FsRedirection for the calling thread: nullopt when
  // kernel32 does not export it, otherwise whether the switch succeeded.
  virtual std::optional<bool> EnableWow64FsRedirection(bool enable) = 0;
  // SHGetSpecialFolderPathW without creating the folder.
  virtual Result<std::wstring> SpecialFolder(int csidl) = 0;
  // GetSystemDirectoryW, without a trailing backslash.
  virtual std::wstring SystemDirectory() = 0;
  // GetModuleFileNameW of the program.
  virtual std::wstring ModuleFileName() = 0;
  virtual std::wstring ComputerName() = 0;
  virtual uint16_t UserDefaultUILanguage() = 0;
  virtual void SetThreadUILanguage(uint16_t languageId) = 0;
  virtual LocalTime Now() = 0;
  // Sleep: the calling thread waits. A test machine moves its clock instead,
  // so that waits of many seconds (the service start poll) cost no time.
  virtual void Sleep(uint32_t milliseconds) = 0;
  // FormatMessageW from the system in the user's default language; "" when none.
  virtual std::wstring ErrorText(uint32_t code) = 0;
  virtual uint32_t LastError() = 0;
  // LoadLibraryW of a system library by its file name, from the system folder only.
  virtual Result<std::unique_ptr<ILibrary>> LoadSystemLibrary(const std::wstring& fileName) = 0;
  // Enables a privilege in the process token; the outcome is only informative.
  virtual Status EnablePrivilege(const std::wstring& privilegeName) = 0;
};

}  // namespace orvello::platform
