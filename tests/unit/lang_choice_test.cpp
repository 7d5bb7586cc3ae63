#include <gtest/gtest.h>

#include "lang/language_choice.h"

namespace orvello {
namespace {

TEST(LanguageChoice, PrimaryLanguagePicksThePack) {
  struct Case {
    uint16_t langId;
    const wchar_t* pack;
  } cases[] = {
      {0x0401, L"Arabic"},     {0x0402, L"Bulgarian"},  {0x0804, L"ChineseSimplified"}, {0x0405, L"Czech"},
      {0x0406, L"Danish"},     {0x0407, L"German"},     {0x0408, L"Greek"},             {0x0409, L"English"},
      {0x0C0A, L"Spanish"},    {0x040B, L"Finnish"},    {0x040C, L"French"},            {0x040E, L"Hungarian"},
      {0x0410, L"Italian"},    {0x0411, L"Japanese"},   {0x0412, L"Korean"},            {0x0413, L"Dutch"},
      {0x0415, L"Polish"},     {0x0416, L"Portuguese"}, {0x0418, L"Romanian"},          {0x0419, L"Russian"},
      {0x041D, L"Swedish"},    {0x041E, L"Thai"},       {0x0424, L"Slovenian"},         {0x0425, L"Estonian"},
      {0x042A, L"Vietnamese"},
      // Every Chinese variant, Traditional included, starts in Simplified Chinese.
      {0x0404, L"ChineseSimplified"}, {0x0C04, L"ChineseSimplified"}, {0x1004, L"ChineseSimplified"},
      {0x7C04, L"ChineseSimplified"},
      // Sublanguages other than the first.
      {0x0807, L"German"}, {0x0C07, L"German"}, {0x0809, L"English"}, {0x0816, L"Portuguese"},
      {0x080C, L"French"},
      // The primary language is the low 10 bits: sublanguage bits never
      // change the pack, and bits 8 and 9 belong to the primary language.
      {0xFC07, L"German"}, {0x0107, L"English"}, {0x0209, L"English"},
      // Languages without a pack, including the gaps in the table.
      {0x0403, L"English"},  // Catalan
      {0x040D, L"English"},  // Hebrew
      {0x040F, L"English"},  // Icelandic
      {0x0414, L"English"},  // Norwegian
      {0x041A, L"English"},  // Croatian
      {0x041F, L"English"},  // Turkish
      {0x0422, L"English"},  // Ukrainian
      {0x0000, L"English"},
      {0x03FF, L"English"},
      {0xFFFF, L"English"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LanguageNameForUiLanguage(c.langId), c.pack) << std::hex << c.langId;
  }
}

TEST(LanguageChoice, PavlinProfileOffersOnlyChineseOrEnglish) {
  struct Case {
    const wchar_t* profile;
    uint16_t langId;
    const wchar_t* chosen;
    const wchar_t* expected;
  } cases[] = {
      {L"Pavlin", 0x0407, L"German", L"English"},
      {L"Pavlin", 0x0411, L"Japanese", L"English"},
      {L"Pavlin", 0x0409, L"English", L"English"},
      {L"Pavlin", 0x0804, L"ChineseSimplified", L"ChineseSimplified"},
      {L"Pavlin", 0x0404, L"ChineseSimplified", L"ChineseSimplified"},
      // The rule decides by the language, not by what was chosen before.
      {L"Pavlin", 0x0C04, L"German", L"ChineseSimplified"},
      {L"Pavlin", 0x0407, L"ChineseSimplified", L"English"},
      // Only the exact name, letter case included.
      {L"pavlin", 0x0407, L"German", L"German"},
      {L"PAVLIN", 0x0407, L"German", L"German"},
      {L"Pavlin ", 0x0407, L"German", L"German"},
      {L"Pavlin2", 0x0407, L"German", L"German"},
      {L"", 0x0407, L"German", L"German"},
      {L"Tessar", 0x0804, L"ChineseSimplified", L"ChineseSimplified"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ApplyManufacturerLanguageRule(c.profile, c.langId, c.chosen), c.expected)
        << "profile '" << testing::PrintToString(std::wstring(c.profile)) << "' lang " << std::hex << c.langId;
  }
}

TEST(LanguageChoice, FolderIsBelowLang) {
  EXPECT_EQ(LanguageFolder(L"English"), L"Lang\\English");
  EXPECT_EQ(LanguageFolder(L"ChineseTraditional"), L"Lang\\ChineseTraditional");
}

}  // namespace
}  // namespace orvello
