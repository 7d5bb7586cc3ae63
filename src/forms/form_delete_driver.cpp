#include "forms/form_delete_driver.h"

namespace orvello {

void CFormDeleteDriver::InitForm() {
  grid_ = FindControl(L"grid_delete_driver");
  findKey_ = FindControl(L"text_delete_driver_find_key");
  listAll_ = FindControl(L"chk_list_all_drivers");
}

void CFormDeleteDriver::EnterDeleteDriverPage() { SelectPage(L"form_delete_driver"); }

}  // namespace orvello
