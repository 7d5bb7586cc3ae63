#include "forms/form_printer_udp.h"

#include "forms/form_printer_search.h"

namespace orvello {

void CFormPrinterUdp::InitForm() {
  grid_ = FindControl(L"grid_printer_udp");
  picture_ = FindControl(L"pic_form_printer_udp_loading");
  next_ = FindControl(L"btn_form_printer_udp_next");
  SetLoadingFrames(picture_);
}

void CFormPrinterUdp::EnterUdpPage() { SelectPage(L"form_printer_udp"); }

}  // namespace orvello
