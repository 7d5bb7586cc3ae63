#include "system/error_text.h"

namespace orvello {

std::wstring SystemErrorText(platform::ISystemFacts& system, int64_t code) {
  uint32_t error = code < 0 ? system.LastError() : static_cast<uint32_t>(code);
  return system.ErrorText(error);
}

}  // namespace orvello
