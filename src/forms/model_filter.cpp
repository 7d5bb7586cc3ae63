#include "forms/model_filter.h"

#include "system/text.h"

namespace orvello {

bool MatchesFindKey(std::wstring_view modelName, std::wstring_view findKey) {
  return ToLower(modelName).find(ToLower(findKey)) != std::wstring::npos;
}

}  // namespace orvello
