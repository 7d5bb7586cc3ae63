#include "forms/form_printer_mode2.h"

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "forms/form_printer_port.h"
#include "forms/form_printer_tcpmon.h"
#include "forms/form_printer_udp.h"
#include "forms/model_filter.h"
#include "system/text.h"
#include "ui/grid.h"

namespace orvello {

void CFormPrinterMode2::InitForm() { grid_ = Find<ui::Grid>(L"grid_printer_mode2"); }

void CFormPrinterMode2::FillNetworkModelList() {
  if (!grid_) return;
  FillModelRows(*grid_, app_, {findKey_, nullptr, nullptr});
}

void CFormPrinterMode2::OnTextChanged(ui::Notification& msg) {
  if (!msg.IsFrom(L"text_printer_mode2_find_key")) return;
  findKey_ = msg.sender->Text();
  FillNetworkModelList();
}

void CFormPrinterMode2::NetworkModelNext() {
  PrinterDevice& selected = app_.selected;
  if (DriverUdp(selected.driver)) {
    forms_.formPrinterUdp->EnterUdpPage();
    return;
  }
  selected.ipAddress = kDefaultIpAddress;
  selected.portName = FormatText(L"%s_%s", selected.model.c_str(), selected.ipAddress.c_str());
  forms_.formPrinterTcpMon->ShowTcpMonPage();
}

void CFormPrinterMode2::OnClick(ui::Notification& msg) {
  if (grid_ && msg.sender == grid_) {
    int row = ClickedDataRow(msg, *grid_);
    if (row == 0) return;
    grid_->CheckOnly(row);
    std::wstring model = grid_->CellText(row, 1);
    app_.selected.model = model;
    app_.selected.driver = FindDriver(app_.profile.name, model, app_.catalogue.doc);
    app_.SetSelectedModel(model);
  } else if (msg.IsFrom(L"btn_form_printer_mode2_pre")) {
    forms_.formPrinterPort->EnterPortPage();
  } else if (msg.IsFrom(L"btn_form_printer_mode2_next")) {
    NetworkModelNext();
  } else if (msg.IsFrom(L"btn_form_printer_mode2_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
