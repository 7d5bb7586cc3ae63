#include "forms/form_printer_driver.h"

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "forms/form_printer_bluetooth.h"
#include "forms/form_printer_name.h"
#include "forms/model_filter.h"
#include "ui/grid.h"

namespace orvello {

void CFormPrinterDriver::InitForm() { grid_ = Find<ui::Grid>(L"grid_form_printer_driver"); }

void CFormPrinterDriver::FillDriverList() {
  if (!grid_) return;
  bool wireless = app_.setupPortType == kPortBluetooth;
  FillModelRows(*grid_, app_,
                {findKey_,
                 // A wireless printer needs a model that speaks Bluetooth and is no dongle.
                 [wireless](const DriverRef& ref) {
                   return !wireless || (DriverBluetoothDriver(ref) && !DriverBtAdapter(ref));
                 },
                 nullptr});
}

void CFormPrinterDriver::ShowDriverPage() {
  FillDriverList();
  SelectPage(L"form_printer_driver");
}

void CFormPrinterDriver::OnTextChanged(ui::Notification& msg) {
  if (!msg.IsFrom(L"text_form_printer_driver_find_key")) return;
  findKey_ = msg.sender->Text();
  FillDriverList();
}

void CFormPrinterDriver::OnClick(ui::Notification& msg) {
  if (grid_ && msg.sender == grid_) {
    int row = ClickedDataRow(msg, *grid_);
    if (row == 0) return;
    grid_->CheckOnly(row);
    app_.selected.model = grid_->CellText(row, 1);
    app_.selected.driver = FindDriver(app_.profile.name, app_.selected.model, app_.catalogue.doc);
  } else if (msg.IsFrom(L"btn_form_printer_driver_pre")) {
    forms_.formPrinterBluetooth->EnterBluetoothPage();
  } else if (msg.IsFrom(L"btn_form_printer_driver_next")) {
    forms_.formPrinterName->EnterNamePage();
  } else if (msg.IsFrom(L"btn_form_printer_driver_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
