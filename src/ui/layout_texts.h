#pragma once
// Layout texts by resource id. A language pack holds one ".lng" per layout
// file; its `Text` entries replace the text and tooltip of the controls of
// that file whose "resourceid" matches (grid columns and menu items too).
// Resource ids count per file, so a control is matched only against the
// entries of the file it was written in. Where the pack has no entry (or
// no file) the control shows its layout's own text again, so that
// switching back and forth always ends where a fresh start would.
#include "lang/language.h"

namespace orvello::ui {

class Menu;
class Window;

// With the toolkit's language (SkinLanguage).
void ApplyLayoutTexts(Window& window);
void ApplyLayoutTexts(Window& window, const LanguageManager& language);
void ApplyMenuTexts(Menu& menu, const LanguageManager& language);

}  // namespace orvello::ui
