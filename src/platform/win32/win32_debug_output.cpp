#include "platform/win32/win32_debug_output.h"

#include "platform/win32/handles.h"

namespace orvello::win32 {

void Win32DebugOutput::Write(const std::wstring& text) { ::OutputDebugStringW(text.c_str()); }

}  // namespace orvello::win32
