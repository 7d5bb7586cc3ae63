#pragma once
// The summary before a network or custom-port installation: driver, port,
// printer name and the default choice, and the "Install" button.
#include "forms/wizard_form.h"

namespace orvello {

class CFormSetupPrepare : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;

  void EnterPreparePage();

 private:
  ui::Control* driver_ = nullptr;
  ui::Control* port_ = nullptr;
  ui::Control* printerName_ = nullptr;
  ui::Control* isDefault_ = nullptr;
};

}  // namespace orvello
