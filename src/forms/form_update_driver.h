#pragma once
// The installed printers whose driver is upgraded.
// Only the page and its controls are in place so far: the page's lists and
// buttons come with a later step of the wizard; Previous and Cancel
// already lead back and out, so that nobody is stuck here.
#include "forms/wizard_form.h"

namespace orvello {

class CFormUpdateDriver : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;

  // Shows the page "form_update_driver".
  void EnterUpdateDriverPage();

 private:
  ui::Control* grid_ = nullptr;
  ui::Control* findKey_ = nullptr;
};

}  // namespace orvello
