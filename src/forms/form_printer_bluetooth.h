#pragma once
// Bluetooth printers found by a continuous inquiry (port type 2).
// Only the page and its controls are in place so far: the page's lists and
// buttons come with a later step of the wizard; Previous and Cancel
// already lead back and out, so that nobody is stuck here.
#include "forms/wizard_form.h"

namespace orvello {

class CFormPrinterBluetooth : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;

  // Shows the page "form_printer_bluetooth".
  void EnterBluetoothPage();

 private:
  ui::Control* grid_ = nullptr;
  ui::Control* picture_ = nullptr;
};

}  // namespace orvello
