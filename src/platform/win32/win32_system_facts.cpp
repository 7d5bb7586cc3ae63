#include "platform/win32/win32_system_facts.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win32/handles.h"

namespace orvello::win32 {

using platform::ILibrary;
using platform::LocalTime;
using platform::OsVersion;
using platform::Result;
using platform::Status;
using platform::Wow64Machines;

namespace {

template <class Function>
Function Kernel32Function(const char* name) {
  HMODULE kernel32 = ::GetModuleHandleW(L"kernel32");
  if (!kernel32) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(kernel32, name)));
}

}  // namespace

Win32Library::~Win32Library() {
  if (module_) ::FreeLibrary(static_cast<HMODULE>(module_));
}

bool Win32Library::HasExport(const char* name) {
  return ::GetProcAddress(static_cast<HMODULE>(module_), name) != nullptr;
}

OsVersion Win32SystemFacts::Version() {
  // GetVersionExW reports at most 6.2 to a program without a compatibility
  // manifest entry for newer systems; RtlGetVersion tells the truth.
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll"), "RtlGetVersion")));
  if (!rtlGetVersion || rtlGetVersion(&info) != 0) {
    info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return {};
  }
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.wServicePackMajor};
}

bool Win32SystemFacts::VersionAtLeast(uint32_t major, uint32_t minor, uint16_t servicePackMajor) {
  OSVERSIONINFOEXW wanted{};
  wanted.dwOSVersionInfoSize = sizeof wanted;
  wanted.dwMajorVersion = major;
  wanted.dwMinorVersion = minor;
  wanted.wServicePackMajor = servicePackMajor;
  DWORDLONG mask = 0;
  mask = ::VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
  mask = ::VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  mask = ::VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return ::VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE;
}

std::optional<Wow64Machines> Win32SystemFacts::IsWow64Process2() {
  using Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  auto fn = Kernel32Function<Fn>("IsWow64Process2");
  if (!fn) return std::nullopt;
  USHORT process = 0, native = 0;
  if (!fn(::GetCurrentProcess(), &process, &native)) return std::nullopt;
  return Wow64Machines{process, native};
}

std::optional<bool> Win32SystemFacts::IsWow64Process() {
  using Fn = BOOL(WINAPI*)(HANDLE, BOOL*);
  auto fn = Kernel32Function<Fn>("IsWow64Process");
  if (!fn) return std::nullopt;
  BOOL wow64 = FALSE;
  if (!fn(::GetCurrentProcess(), &wow64)) return std::nullopt;
  return wow64 != FALSE;
}

std::optional<bool> Win32SystemFacts::EnableWow64FsRedirection(bool enable) {
  using Fn = BOOLEAN(WINAPI*)(BOOLEAN);
  auto fn = Kernel32Function<Fn>("Wow64EnableWow64FsRedirection");
  if (!fn) return std::nullopt;
  return fn(enable ? TRUE : FALSE) != FALSE;
}

Result<std::wstring> Win32SystemFacts::SpecialFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) {
    DWORD error = ::GetLastError();
    return Result<std::wstring>::Fail(error ? error : ERROR_PATH_NOT_FOUND);
  }
  return Result<std::wstring>::Ok(path);
}

std::wstring Win32SystemFacts::SystemDirectory() {
  wchar_t path[MAX_PATH] = {};
  UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(path, length);
}

std::wstring Win32SystemFacts::ModuleFileName() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length);
}

std::wstring Win32SystemFacts::ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!::GetComputerNameW(name, &size)) return {};
  return std::wstring(name, size);
}

uint16_t Win32SystemFacts::UserDefaultUILanguage() { return ::GetUserDefaultUILanguage(); }

void Win32SystemFacts::SetThreadUILanguage(uint16_t languageId) {
  using Fn = LANGID(WINAPI*)(LANGID);
  if (auto fn = Kernel32Function<Fn>("SetThreadUILanguage")) fn(languageId);  // absent before Vista
}

LocalTime Win32SystemFacts::Now() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

void Win32SystemFacts::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

std::wstring Win32SystemFacts::ErrorText(uint32_t code) {
  wchar_t* buffer = nullptr;
  DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  UniqueLocalMemory owned(buffer);
  if (length == 0 || !buffer) return {};
  return std::wstring(buffer, length);
}

uint32_t Win32SystemFacts::LastError() { return ::GetLastError(); }

Result<std::unique_ptr<ILibrary>> Win32SystemFacts::LoadSystemLibrary(const std::wstring& fileName) {
  using R = Result<std::unique_ptr<ILibrary>>;
  // Always by full path: an elevated program must not pick up a library
  // planted beside it or in the current folder.
  if (fileName.empty() || fileName.find_first_of(L"\\/:") != std::wstring::npos) return R::Fail(ERROR_INVALID_PARAMETER);
  std::wstring folder = SystemDirectory();
  if (folder.empty()) return R::Fail(::GetLastError());
  std::wstring path = folder + L"\\" + fileName;
  HMODULE module = ::LoadLibraryW(path.c_str());
  if (!module) return R::Fail(::GetLastError());
  return R::Ok(std::make_unique<Win32Library>(module));
}

Status Win32SystemFacts::EnablePrivilege(const std::wstring& privilegeName) {
  UniqueKernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, token.put())) return Status::Fail(::GetLastError());
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::LookupPrivilegeValueW(nullptr, privilegeName.c_str(), &privileges.Privileges[0].Luid))
    return Status::Fail(::GetLastError());
  if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr))
    return Status::Fail(::GetLastError());
  // Success with ERROR_NOT_ALL_ASSIGNED means the token does not hold the privilege.
  DWORD error = ::GetLastError();
  return error == ERROR_SUCCESS ? Status::Ok() : Status::Fail(error);
}

}  // namespace orvello::win32
