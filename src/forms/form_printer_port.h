#pragma once
// How the printer is connected: `setupPortType`, stored in the registry the
// moment an option is selected; it steers every later page.
#include <array>

#include "forms/wizard_form.h"

namespace orvello {

namespace ui {
class Option;
}

class CFormPrinterPort : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;
  void OnSelectChanged(ui::Notification& msg) override;

  // Shows the page starting from the manufacturer's default port type.
  void EnterPortPage();
  void PortNext();

 private:
  // Indexed by port type.
  std::array<ui::Option*, 7> options_{};
};

}  // namespace orvello
