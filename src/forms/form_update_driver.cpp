#include "forms/form_update_driver.h"

namespace orvello {

void CFormUpdateDriver::InitForm() {
  grid_ = FindControl(L"grid_update_printer_mode");
  findKey_ = FindControl(L"text_update_printer_find_key");
}

void CFormUpdateDriver::EnterUpdateDriverPage() { SelectPage(L"form_update_driver"); }

}  // namespace orvello
