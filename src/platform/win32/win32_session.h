#pragma once
// ISession over CreateMutexW, RegisterWindowMessageW,
// BroadcastSystemMessageW, MessageBoxW, ShellExecuteW and WSAStartup.
#include <atomic>

#include "platform/session.h"

namespace orvello::win32 {

class Win32Session : public platform::ISession {
 public:
  platform::NamedMutex CreateNamedMutex(const std::wstring& name) override;
  uint32_t RegisterWindowMessage(const std::wstring& name) override;
  void BroadcastToApplications(uint32_t message) override;
  void SetOwnerWindow(uintptr_t window) override;
  int MessageBox(const std::wstring& text, const std::wstring& title, uint32_t flags) override;
  platform::Status ShellExecute(const std::wstring& verb, const std::wstring& file,
                                const std::wstring& parameters) override;
  platform::WinsockStart WinsockStartup(uint16_t requestedVersion) override;
  void WinsockCleanup() override;
  uintptr_t OwnerWindow() override;
  bool ComInitialize() override;
  void ComUninitialize() override;
  platform::Status InvokePrinterCommand(uint32_t action, const std::wstring& printerName) override;

 private:
  std::atomic<uintptr_t> owner_{0};  // an HWND; worker threads show boxes too
};

}  // namespace orvello::win32
