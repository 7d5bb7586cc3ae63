#include "forms/form_custom_printer_mode.h"

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "devices/usb_printers.h"
#include "forms/form_custom_port.h"
#include "forms/form_printer_port.h"
#include "forms/form_printer_search.h"
#include "forms/model_filter.h"
#include "forms/status_texts.h"
#include "ui/grid.h"

namespace orvello {

void CFormCustomPrinterMode::InitForm() { grid_ = Find<ui::Grid>(L"grid_custom_printer_mode"); }

PrinterDevice* CFormCustomPrinterMode::FoundDevice(const std::wstring& model) {
  for (PrinterDevice& device : app_.printerDevices.devices) {
    if (device.model == model) return &device;
  }
  return nullptr;
}

void CFormCustomPrinterMode::FillCustomModelList() {
  if (!grid_) return;
  FillModelRows(*grid_, app_,
                {findKey_, nullptr, [this](int row, const std::wstring& name) {
                   PrinterDevice* device = FoundDevice(name);
                   if (!device) return;
                   grid_->SetCellText(row, 2, device->portName);
                   SetConnectedCell(*grid_, row, 3);
                   SetInstalledCell(*grid_, row, 4, IsDeviceInstalled(Machine(), *device) != 0);
                 }});
}

void CFormCustomPrinterMode::OnTextChanged(ui::Notification& msg) {
  if (!msg.IsFrom(L"text_custom_printer_mode_find_key")) return;
  findKey_ = msg.sender->Text();
  FillCustomModelList();
}

void CFormCustomPrinterMode::ChooseRow(int row) {
  grid_->CheckOnly(row);
  PrinterDevice& selected = app_.selected;
  selected.model = grid_->CellText(row, 1);
  // A connected printer brings its port along; otherwise the port is chosen
  // on the next page.
  selected.portName = grid_->CellText(row, 2);
  app_.SetSelectedModel(selected.model);
  selected.driver = FindDriver(app_.profile.name, selected.model, app_.catalogue.doc);
  const PrinterDevice* device = FoundDevice(selected.model);
  if (ui::Control* next = FindControl(L"btn_form_custom_printer_mode_next")) {
    next->SetEnabled(!(device && device->installed));
  }
}

void CFormCustomPrinterMode::OnClick(ui::Notification& msg) {
  if (grid_ && msg.sender == grid_) {
    if (int row = ClickedDataRow(msg, *grid_)) ChooseRow(row);
  } else if (msg.IsFrom(L"btn_form_custom_printer_mode_pre")) {
    forms_.formPrinterSearch->StopDevicePoll();
    forms_.formPrinterPort->EnterPortPage();
  } else if (msg.IsFrom(L"btn_form_custom_printer_mode_next")) {
    forms_.formPrinterSearch->StopDevicePoll();
    forms_.formCustomPort->FillCustomPortList();
    SelectPage(L"form_custom_port");
  } else if (msg.IsFrom(L"btn_form_custom_printer_mode_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
