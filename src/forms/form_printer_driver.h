#pragma once
// The catalogue driver of a Bluetooth printer: its Bluetooth name does not
// tell the model, so the user picks it here.
#include <string>

#include "forms/wizard_form.h"

namespace orvello {

class CFormPrinterDriver : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;
  void OnTextChanged(ui::Notification& msg) override;

  void FillDriverList();
  // FillDriverList, then the page is shown.
  void ShowDriverPage();

 private:
  ui::Grid* grid_ = nullptr;
  std::wstring findKey_;
};

}  // namespace orvello
