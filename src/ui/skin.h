#pragma once
// Where the toolkit reads its layouts and which language pack it applies
// to them. By default layouts come from the current package (the archive
// root holds "MainFrame.xml", "form_main.xml", ...) and texts from the
// program's language manager; tests inject both.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "lang/language.h"

namespace orvello::ui {

// An empty reader restores the package.
void SetSkinReader(PackFileReader reader);
std::optional<std::vector<uint8_t>> ReadSkinFile(std::wstring_view path);

// Null restores AppLanguage(). The manager must outlive its use here.
void SetSkinLanguage(LanguageManager* language);
LanguageManager& SkinLanguage();

}  // namespace orvello::ui
