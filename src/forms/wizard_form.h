#pragma once
// What every wizard form shares: the application object with the wizard
// state, the other forms (a Next or Previous handler calls the enter
// operation of the target page's form), the page switcher and the close
// request of Cancel.
#include <string>
#include <string_view>

#include "forms/wizard_forms.h"
#include "ui/form.h"
#include "ui/notify.h"

namespace orvello {

namespace platform {
struct Platform;
}

namespace ui {
class Grid;
}

// The result the main window closes with when the user cancels.
inline constexpr int kWizardCancelled = 2;
// The application caption of the wizard's message boxes.
inline constexpr const wchar_t* kWizardCaption = L"Orvello";

class CWizardForm : public ui::CUIForm {
 public:
  CWizardForm(CApp& app, WizardForms& forms) : app_(app), forms_(forms) {}

 protected:
  // Selects the page of `tab_main` with this name; false when none has it.
  bool SelectPage(std::wstring_view page) const;
  // Cancel: the main window closes and the program ends.
  void CloseWizard() const { CloseFrame(kWizardCancelled); }
  platform::Platform& Machine() const;

  // The data row a grid click landed on, 0 for the header or none.
  static int ClickedDataRow(const ui::Notification& msg, const ui::Grid& grid);

  CApp& app_;
  WizardForms& forms_;
};

}  // namespace orvello
