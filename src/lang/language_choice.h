#pragma once
// Which language pack the wizard starts in: chosen from the user's UI
// language, with one manufacturer that ships only English and Chinese.
#include <cstdint>
#include <string>
#include <string_view>

namespace orvello {

// The pack name for a full language identifier (GetUserDefaultUILanguage);
// only the primary language (low 10 bits) counts, so every Chinese variant
// gives "ChineseSimplified". Languages without a pack give "English".
std::wstring LanguageNameForUiLanguage(uint16_t langId);

// The "Pavlin" profile offers Chinese or English only: for it, Chinese keeps
// "ChineseSimplified" and every other language becomes "English". Any other
// profile keeps `chosen`. The name must match exactly, letter case included.
std::wstring ApplyManufacturerLanguageRule(std::wstring_view profileName, uint16_t langId, std::wstring_view chosen);

// The pack folder of a language name: "Lang\" + name.
std::wstring LanguageFolder(std::wstring_view name);

}  // namespace orvello
