#pragma once
// The summary of a removal.
// Only the page and its controls are in place so far: the page's lists and
// buttons come with a later step of the wizard.
#include "forms/wizard_form.h"

namespace orvello {

class CFormDeletePrepare : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;

  // Shows the page "form_delete_prepare".
  void EnterDeletePreparePage();

 private:
  ui::Control* summary_ = nullptr;
};

}  // namespace orvello
