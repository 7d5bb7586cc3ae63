#pragma once
// The printers to remove.
// Only the page and its controls are in place so far: the page's lists and
// buttons come with a later step of the wizard; Previous and Cancel
// already lead back and out, so that nobody is stuck here.
#include "forms/wizard_form.h"

namespace orvello {

class CFormDeletePrinter : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;

  // Shows the page "form_delete_printer".
  void EnterDeletePrinterPage();

 private:
  ui::Control* grid_ = nullptr;
  ui::Control* findKey_ = nullptr;
  ui::Control* listAll_ = nullptr;
};

}  // namespace orvello
