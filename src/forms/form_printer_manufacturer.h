#pragma once
// The manufacturer whose catalogue the wizard works with, for installing
// and upgrading. With a single profile on offer the page is passed over.
#include "forms/wizard_form.h"

namespace orvello {

class CFormPrinterManufacturer : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;

  void EnterManufacturerPage();
  // Takes the checked manufacturer's profile, then goes on by `setupMode`.
  void ManufacturerNext();

 private:
  ui::Grid* grid_ = nullptr;
};

}  // namespace orvello
