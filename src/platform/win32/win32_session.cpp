#include "platform/win32/win32_session.h"

#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>
#include <objbase.h>

#include "platform/win32/handles.h"

namespace orvello::win32 {

using platform::NamedMutex;
using platform::Status;
using platform::WinsockStart;

namespace {

class Win32NamedMutex : public platform::INamedMutex {
 public:
  explicit Win32NamedMutex(UniqueKernelHandle handle) : handle_(std::move(handle)) {}

 private:
  UniqueKernelHandle handle_;
};

// ShellExecuteW answers a value above 32 on success; at or below it one of
// the old SE_ERR codes, most of which are Win32 codes already.
uint32_t ShellExecuteError(INT_PTR code) {
  switch (code) {
    case 0: return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC: return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDEBUSY:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDETIMEOUT: return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND: return ERROR_DLL_NOT_FOUND;
    case SE_ERR_SHARE: return ERROR_SHARING_VIOLATION;
    default: return static_cast<uint32_t>(code);  // 2, 3, 5, 8, 11 keep their meaning
  }
}

}  // namespace

NamedMutex Win32Session::CreateNamedMutex(const std::wstring& name) {
  NamedMutex result;
  UniqueKernelHandle handle(::CreateMutexW(nullptr, FALSE, name.c_str()));
  result.alreadyExisted = handle && ::GetLastError() == ERROR_ALREADY_EXISTS;
  if (handle) result.handle = std::make_unique<Win32NamedMutex>(std::move(handle));
  return result;
}

uint32_t Win32Session::RegisterWindowMessage(const std::wstring& name) {
  return ::RegisterWindowMessageW(name.c_str());
}

void Win32Session::BroadcastToApplications(uint32_t message) {
  DWORD recipients = BSM_APPLICATIONS;
  ::BroadcastSystemMessageW(BSF_NOHANG, &recipients, message, 0, 0);
}

void Win32Session::SetOwnerWindow(uintptr_t window) { owner_ = window; }

int Win32Session::MessageBox(const std::wstring& text, const std::wstring& title, uint32_t flags) {
  return ::MessageBoxW(reinterpret_cast<HWND>(owner_.load()), text.c_str(), title.c_str(), flags);
}

Status Win32Session::ShellExecute(const std::wstring& verb, const std::wstring& file, const std::wstring& parameters) {
  // An empty verb means the file's default verb, which ShellExecuteW takes as null.
  HINSTANCE result = ::ShellExecuteW(nullptr, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                                     parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
  auto code = reinterpret_cast<INT_PTR>(result);
  if (code > 32) return Status::Ok();
  return Status::Fail(ShellExecuteError(code));
}

WinsockStart Win32Session::WinsockStartup(uint16_t requestedVersion) {
  WSADATA data{};
  int error = ::WSAStartup(requestedVersion, &data);
  return {error, error == 0 ? data.wVersion : static_cast<uint16_t>(0)};
}

void Win32Session::WinsockCleanup() { ::WSACleanup(); }

uintptr_t Win32Session::OwnerWindow() { return owner_; }

bool Win32Session::ComInitialize() {
  // S_FALSE (already initialised on this thread) needs its CoUninitialize too.
  return SUCCEEDED(::CoInitialize(nullptr));
}

void Win32Session::ComUninitialize() { ::CoUninitialize(); }

Status Win32Session::InvokePrinterCommand(uint32_t action, const std::wstring& printerName) {
  if (::SHInvokePrinterCommandW(reinterpret_cast<HWND>(owner_.load()), action, printerName.c_str(), nullptr, FALSE)) {
    return Status::Ok();
  }
  DWORD error = ::GetLastError();
  return Status::Fail(error ? error : ERROR_INVALID_PRINTER_COMMAND);
}

}  // namespace orvello::win32
