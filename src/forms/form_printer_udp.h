#pragma once
// Network printers of the chosen model that answer the discovery broadcast.
// Only the page and its controls are in place so far: the page's lists and
// buttons come with a later step of the wizard; Previous and Cancel
// already lead back and out, so that nobody is stuck here.
#include "forms/wizard_form.h"

namespace orvello {

class CFormPrinterUdp : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;

  // Shows the page "form_printer_udp".
  void EnterUdpPage();

 private:
  ui::Control* grid_ = nullptr;
  ui::Control* picture_ = nullptr;
  ui::Control* next_ = nullptr;
};

}  // namespace orvello
