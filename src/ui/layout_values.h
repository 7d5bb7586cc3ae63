#pragma once
// Attribute values of the layout files: numbers, "true"/"false", "w,h" and
// "l,t,r,b". Every parser answers nullopt for text it does not accept, so
// that the loader can report the attribute.
#include <optional>
#include <string_view>

#include "ui/geometry.h"

namespace orvello::ui {

std::optional<int> ParseLayoutInt(std::wstring_view text);
// "true"/"false" ignoring letter case, also "1"/"0".
std::optional<bool> ParseLayoutBool(std::wstring_view text);
std::optional<Size> ParseLayoutSize(std::wstring_view text);
// "l,t,r,b"; a single number stands for all four sides.
std::optional<Rect> ParseLayoutRect(std::wstring_view text);

}  // namespace orvello::ui
