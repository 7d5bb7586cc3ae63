#pragma once
// The summary of a driver upgrade.
// Only the page and its controls are in place so far: the page's lists and
// buttons come with a later step of the wizard.
#include "forms/wizard_form.h"

namespace orvello {

class CFormUpdatePrepare : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;

  // Shows the page "form_update_prepare".
  void EnterUpdatePreparePage();

 private:
  ui::Control* summary_ = nullptr;
};

}  // namespace orvello
