#pragma once
// IDebugOutput over OutputDebugStringW.
#include "platform/debug_output.h"

namespace orvello::win32 {

class Win32DebugOutput : public platform::IDebugOutput {
 public:
  void Write(const std::wstring& text) override;
};

}  // namespace orvello::win32
