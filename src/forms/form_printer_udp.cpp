#include "forms/form_printer_udp.h"

#include "forms/form_printer_mode2.h"

#include "forms/form_printer_search.h"

namespace orvello {

void CFormPrinterUdp::InitForm() {
  grid_ = FindControl(L"grid_printer_udp");
  picture_ = FindControl(L"pic_form_printer_udp_loading");
  next_ = FindControl(L"btn_form_printer_udp_next");
  SetLoadingFrames(picture_);
}

void CFormPrinterUdp::EnterUdpPage() { SelectPage(L"form_printer_udp"); }

void CFormPrinterUdp::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_form_printer_udp_pre")) {
    forms_.formPrinterMode2->FillNetworkModelList();
    SelectPage(L"form_printer_mode2");
  } else if (msg.IsFrom(L"btn_form_printer_udp_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
