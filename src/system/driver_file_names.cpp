#include "system/driver_file_names.h"

namespace orvello {

namespace {

std::wstring Named(std::wstring_view manufacturer, int32_t newFileNames, const wchar_t* newSuffix,
                   const wchar_t* oldSuffix) {
  std::wstring name(manufacturer);
  name += newFileNames == 1 ? newSuffix : oldSuffix;
  return name;
}

}  // namespace

std::wstring UiDllName(std::wstring_view manufacturer, int32_t newFileNames) {
  return Named(manufacturer, newFileNames, L"UiNew.dll", L"UI.dll");
}

std::wstring UniDllName(std::wstring_view manufacturer, int32_t newFileNames) {
  return Named(manufacturer, newFileNames, L"UniNew.dll", L"UNI.dll");
}

std::wstring InfFileName(std::wstring_view manufacturer, int32_t newFileNames) {
  return Named(manufacturer, newFileNames, L"New.inf", L".inf");
}

std::wstring CatFileName(std::wstring_view manufacturer, int32_t newFileNames) {
  return Named(manufacturer, newFileNames, L"New.cat", L".cat");
}

}  // namespace orvello
