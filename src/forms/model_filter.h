#pragma once
// The find-key filter of the model lists: the key, lower-cased, anywhere in
// the lower-cased model name; an empty key keeps every model.
#include <string_view>

namespace orvello {

bool MatchesFindKey(std::wstring_view modelName, std::wstring_view findKey);

}  // namespace orvello
