#pragma once
#include <cstdint>
#include <string>

#include "platform/system_facts.h"

namespace orvello {

// The system's message text for a Windows error code, as FormatMessageW
// gives it (usually ending with a line break), or "" when it has none. A
// negative code stands for the calling thread's last error. The code is
// wide enough that every DWORD, HRESULTs included, stays positive.
std::wstring SystemErrorText(platform::ISystemFacts& system, int64_t code);

}  // namespace orvello
