#include "forms/form_update_driver.h"

#include "forms/form_main.h"

namespace orvello {

void CFormUpdateDriver::InitForm() {
  grid_ = FindControl(L"grid_update_printer_mode");
  findKey_ = FindControl(L"text_update_printer_find_key");
}

void CFormUpdateDriver::EnterUpdateDriverPage() { SelectPage(L"form_update_driver"); }

void CFormUpdateDriver::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_update_driver_pre")) {
    forms_.formMain->ShowMainForm();
  } else if (msg.IsFrom(L"btn_update_driver_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
