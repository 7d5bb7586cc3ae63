#include "lang/language_choice.h"

#include <array>
#include <utility>

namespace orvello {

namespace {

constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr uint16_t kLangChinese = 0x04;

constexpr std::array<std::pair<uint16_t, const wchar_t*>, 25> kPackByPrimaryLanguage{{
    {0x01, L"Arabic"},     {0x02, L"Bulgarian"}, {0x04, L"ChineseSimplified"}, {0x05, L"Czech"},
    {0x06, L"Danish"},     {0x07, L"German"},    {0x08, L"Greek"},             {0x09, L"English"},
    {0x0A, L"Spanish"},    {0x0B, L"Finnish"},   {0x0C, L"French"},            {0x0E, L"Hungarian"},
    {0x10, L"Italian"},    {0x11, L"Japanese"},  {0x12, L"Korean"},            {0x13, L"Dutch"},
    {0x15, L"Polish"},     {0x16, L"Portuguese"}, {0x18, L"Romanian"},         {0x19, L"Russian"},
    {0x1D, L"Swedish"},    {0x1E, L"Thai"},      {0x24, L"Slovenian"},         {0x25, L"Estonian"},
    {0x2A, L"Vietnamese"},
}};

uint16_t PrimaryLanguage(uint16_t langId) { return static_cast<uint16_t>(langId & kPrimaryLanguageMask); }

}  // namespace

std::wstring LanguageNameForUiLanguage(uint16_t langId) {
  uint16_t primary = PrimaryLanguage(langId);
  for (const auto& [id, name] : kPackByPrimaryLanguage) {
    if (id == primary) return name;
  }
  return L"English";
}

std::wstring ApplyManufacturerLanguageRule(std::wstring_view profileName, uint16_t langId, std::wstring_view chosen) {
  if (profileName != L"Pavlin") return std::wstring(chosen);
  return PrimaryLanguage(langId) == kLangChinese ? L"ChineseSimplified" : L"English";
}

std::wstring LanguageFolder(std::wstring_view name) {
  std::wstring folder = L"Lang\\";
  folder += name;
  return folder;
}

}  // namespace orvello
