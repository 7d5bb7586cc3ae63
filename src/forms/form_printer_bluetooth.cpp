#include "forms/form_printer_bluetooth.h"

#include "forms/form_printer_port.h"

#include "forms/form_printer_search.h"

namespace orvello {

void CFormPrinterBluetooth::InitForm() {
  grid_ = FindControl(L"grid_printer_bluetooth");
  picture_ = FindControl(L"pic_loading_search_bluetooth");
  SetLoadingFrames(picture_);
}

void CFormPrinterBluetooth::EnterBluetoothPage() { SelectPage(L"form_printer_bluetooth"); }

void CFormPrinterBluetooth::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_form_printer_bluetooth_pre")) {
    forms_.formPrinterPort->EnterPortPage();
  } else if (msg.IsFrom(L"btn_form_printer_bluetooth_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
