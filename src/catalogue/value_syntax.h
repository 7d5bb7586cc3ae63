#pragma once
// How catalogue attributes and profile texts are read as values.
#include <cstdint>
#include <string_view>

namespace orvello {

// True when the text begins with '1', 'T', 't', 'Y' or 'y'; false for any
// other text; `whenEmpty` for an empty text, which is also what a missing
// attribute reads as.
bool ParseBooleanText(std::string_view text, bool whenEmpty);

// Leading white space, an optional sign, then decimal digits or
// hexadecimal digits after "0x"/"0X". Anything after the digits is
// ignored; values beyond the 32-bit range saturate; unreadable text is 0.
int32_t ParseIntegerText(std::string_view text);

}  // namespace orvello
