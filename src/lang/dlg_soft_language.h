#pragma once
// The language dialog: one option per language pack; choosing one switches
// the program's language at once, in the main window and in the dialog.
#include "ui/window.h"

namespace orvello {

class CDlgSoftLanguage : public ui::Window {
 public:
  static constexpr const wchar_t* kClassName = L"DlgSoftLanguage";
  static constexpr const wchar_t* kLayout = L"DlgSoftLanguage.xml";
  static constexpr const wchar_t* kOptionPrefix = L"menu_lang_";

  // `mainWindow` gets the new texts too (null: only the dialog).
  explicit CDlgSoftLanguage(ui::Window* mainWindow) : mainWindow_(mainWindow) {}

 protected:
  void InitWindow() override;
  void Notify(ui::Notification& notification) override;

 private:
  ui::Window* mainWindow_;
};

// Shows the dialog modally over `owner`, whose texts follow the choice.
void ShowLanguageDialog(ui::Window* owner);

}  // namespace orvello
