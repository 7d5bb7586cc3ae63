#pragma once
// The searchable list of catalogue models for parallel, serial and custom
// ports, with the connection and installation state of matching USB printers.
#include <string>

#include "devices/printer_device.h"
#include "forms/wizard_form.h"

namespace orvello {

class CFormCustomPrinterMode : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;
  void OnTextChanged(ui::Notification& msg) override;

  void FillCustomModelList();

  const std::wstring& findKey() const { return findKey_; }

 private:
  void ChooseRow(int row);
  PrinterDevice* FoundDevice(const std::wstring& model);

  ui::Grid* grid_ = nullptr;
  std::wstring findKey_;
};

}  // namespace orvello
