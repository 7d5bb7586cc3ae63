#pragma once
// The list of printers found on USB (and Bluetooth dongles). Rows are drawn
// on demand; the device poll re-enters the page while it shows.
#include "forms/wizard_form.h"

namespace orvello {

class CFormPrinterMode : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;
  void OnDrawItem(ui::Notification& msg) override;

  void EnterDeviceListPage();
  // The row count follows the device list; the rows are drawn again.
  void RefreshRows();

 private:
  void DrawRows(int first, int last);

  ui::Grid* grid_ = nullptr;
};

}  // namespace orvello
