#include "lang/dlg_soft_language.h"

#include "system/text.h"
#include "ui/basic_controls.h"
#include "ui/layout_texts.h"
#include "ui/skin.h"

namespace orvello {

void CDlgSoftLanguage::InitWindow() {
  std::wstring current = std::wstring(kOptionPrefix) + ui::SkinLanguage().CurrentLanguageName();
  if (auto* option = Find<ui::Option>(current)) option->SetSelected(true, false);
}

void CDlgSoftLanguage::Notify(ui::Notification& notification) {
  if (!notification.Is(L"selectchanged")) return;
  auto* option = dynamic_cast<ui::Option*>(notification.sender);
  // The option that loses the selection reports too; only the new one counts.
  if (!option || !option->IsSelected() || !StartsWithIgnoreCase(option->Name(), kOptionPrefix)) return;
  const std::wstring& name = option->UserData();
  if (name.empty()) return;
  // The toolkit's language is the program's, whose messages follow too.
  ui::SkinLanguage().SetLanguage(L"Lang\\" + name, name);
  if (mainWindow_) ui::ApplyLayoutTexts(*mainWindow_);
  ui::ApplyLayoutTexts(*this);
}

void ShowLanguageDialog(ui::Window* owner) {
  CDlgSoftLanguage dialog(owner);
  if (dialog.Create(CDlgSoftLanguage::kLayout, CDlgSoftLanguage::kClassName, owner).created) dialog.ShowModal();
}

}  // namespace orvello
