#pragma once
#include <string>

namespace orvello::platform {

// OutputDebugStringW: diagnostics for a debugger, never shown to the user.
class IDebugOutput {
 public:
  virtual ~IDebugOutput() = default;
  virtual void Write(const std::wstring& text) = 0;
};

}  // namespace orvello::platform
