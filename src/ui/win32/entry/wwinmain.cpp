// The process entry of Orvello.exe.
#include <windows.h>

#include "app/app.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_app_host.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Static so that it outlives the program's log, whose writer may still be
  // finishing a batch while statics are destroyed.
  static orvello::win32::Win32Platform platform;
  orvello::win32::Win32AppHost host(instance, platform.platform());
  return orvello::RunProcess(platform.platform(), host, GetCommandLineW());
}
