#pragma once
// Window messages and key codes the portable code needs, with their Windows
// values so that the Win32 backend passes them through unchanged. The
// parameter types have the width of WPARAM and LPARAM on every target.
#include <cstdint>

namespace orvello::ui {

using WParam = uintptr_t;
using LParam = intptr_t;

inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmSize = 0x0005;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmQuit = 0x0012;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmTimer = 0x0113;
inline constexpr uint32_t kWmDeviceChange = 0x0219;
inline constexpr uint32_t kWmUser = 0x0400;

inline constexpr int kVkControl = 0x11;
inline constexpr int kVkShift = 0x10;
inline constexpr int kVkMenu = 0x12;
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkF9 = 0x78;

// Dialog results, as IDOK and IDCANCEL.
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;

}  // namespace orvello::ui
