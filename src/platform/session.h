#pragma once
// What the program shares with the rest of the desktop session: the named
// single-instance mutex, registered window messages and their broadcast,
// message boxes, the shell's "open" verb and Winsock's start-up.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/result.h"

namespace orvello::platform {

// A named kernel mutex; closed when the object goes away.
class INamedMutex {
 public:
  virtual ~INamedMutex() = default;
};

struct NamedMutex {
  std::unique_ptr<INamedMutex> handle;
  bool alreadyExisted = false;  // GetLastError() == ERROR_ALREADY_EXISTS after CreateMutexW
};

// MessageBoxW flags and answers the program uses.
namespace mb {
inline constexpr uint32_t kOk = 0x0;
inline constexpr uint32_t kOkCancel = 0x1;
inline constexpr uint32_t kYesNo = 0x4;
inline constexpr uint32_t kIconError = 0x10;
inline constexpr uint32_t kIconQuestion = 0x20;
inline constexpr uint32_t kIconWarning = 0x30;
inline constexpr uint32_t kIconInformation = 0x40;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
}  // namespace mb

// SHInvokePrinterCommandW actions.
inline constexpr uint32_t kPrintActionProperties = 1;  // PRINTACTION_PROPERTIES

struct WinsockStart {
  int error = 0;           // WSAStartup's result
  uint16_t version = 0;    // wVersion of WSADATA: low byte major, high byte minor
};

class ISession {
 public:
  virtual ~ISession() = default;
  virtual NamedMutex CreateNamedMutex(const std::wstring& name) = 0;
  virtual uint32_t RegisterWindowMessage(const std::wstring& name) = 0;
  // BroadcastSystemMessageW(BSF_NOHANG, BSM_APPLICATIONS, message, 0, 0).
  virtual void BroadcastToApplications(uint32_t message) = 0;
  // The window that owns message boxes from now on, as an opaque HWND value
  // (0: none). The main window sets itself when it exists.
  virtual void SetOwnerWindow(uintptr_t window) = 0;
  // The window set last (0: none), for other calls that show owned dialogs.
  virtual uintptr_t OwnerWindow() = 0;
  // MessageBoxW owned by the main window (or none).
  virtual int MessageBox(const std::wstring& text, const std::wstring& title, uint32_t flags) = 0;
  // ShellExecuteW(no window, verb, file, parameters, no directory, SW_SHOWNORMAL).
  virtual Status ShellExecute(const std::wstring& verb, const std::wstring& file,
                              const std::wstring& parameters) = 0;
  virtual WinsockStart WinsockStartup(uint16_t requestedVersion) = 0;
  virtual void WinsockCleanup() = 0;
  // CoInitialize(NULL) for the calling thread, which worker threads need for
  // the shell and setup calls they make; true when it must be balanced by
  // ComUninitialize on the same thread.
  virtual bool ComInitialize() = 0;
  virtual void ComUninitialize() = 0;
  // SHInvokePrinterCommandW(main window, action, printerName, NULL, FALSE).
  virtual Status InvokePrinterCommand(uint32_t action, const std::wstring& printerName) = 0;
};

}  // namespace orvello::platform
