#pragma once
// File names of the driver package of a manufacturer. Packages built with
// the new naming (`newFileNames` = 1) mark every file with "New".
#include <cstdint>
#include <string>
#include <string_view>

namespace orvello {

// `manufacturer` is the `name` of the current profile.
std::wstring UiDllName(std::wstring_view manufacturer, int32_t newFileNames);
std::wstring UniDllName(std::wstring_view manufacturer, int32_t newFileNames);
std::wstring InfFileName(std::wstring_view manufacturer, int32_t newFileNames);
std::wstring CatFileName(std::wstring_view manufacturer, int32_t newFileNames);

}  // namespace orvello
