#include "forms/form_delete_printer.h"

#include "forms/form_main.h"

namespace orvello {

void CFormDeletePrinter::InitForm() {
  grid_ = FindControl(L"grid_delete_printer");
  findKey_ = FindControl(L"text_delete_printer_find_key");
  listAll_ = FindControl(L"chk_list_all_printers");
}

void CFormDeletePrinter::EnterDeletePrinterPage() { SelectPage(L"form_delete_printer"); }

void CFormDeletePrinter::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_delete_printer_pre")) {
    forms_.formMain->ShowMainForm();
  } else if (msg.IsFrom(L"btn_delete_printer_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
