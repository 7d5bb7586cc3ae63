#pragma once
// The searchable list of catalogue models for a network printer.
#include <string>

#include "forms/wizard_form.h"

namespace orvello {

class CFormPrinterMode2 : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;
  void OnTextChanged(ui::Notification& msg) override;

  void FillNetworkModelList();
  // Discovery for models that answer the broadcast, else the address page.
  void NetworkModelNext();

  const std::wstring& findKey() const { return findKey_; }

 private:
  ui::Grid* grid_ = nullptr;
  std::wstring findKey_;
};

}  // namespace orvello
