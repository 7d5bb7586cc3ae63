#include "forms/form_printer_mode.h"

#include <algorithm>

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "forms/form_printer_name.h"
#include "forms/form_printer_port.h"
#include "forms/form_printer_search.h"
#include "forms/status_texts.h"
#include "ui/grid.h"

namespace orvello {

void CFormPrinterMode::InitForm() { grid_ = Find<ui::Grid>(L"grid_printer_mode"); }

void CFormPrinterMode::RefreshRows() {
  if (!grid_) return;
  grid_->SetVirtualRowCount(static_cast<int>(app_.printerDevices.devices.size()));
  grid_->Redraw();
}

void CFormPrinterMode::EnterDeviceListPage() {
  RefreshRows();
  SelectPage(L"form_printer_mode");
}

void CFormPrinterMode::DrawRows(int first, int last) {
  const auto& devices = app_.printerDevices.devices;
  for (int row = std::max(first, 1); row <= last; ++row) {
    if (row > static_cast<int>(devices.size())) break;
    const PrinterDevice& device = devices[row - 1];
    std::wstring shown = DriverCustomName(device.driver);
    grid_->SetCellText(row, 1, shown.empty() ? device.model : shown);
    grid_->SetCellText(row, 2, device.portName);
    SetInstalledCell(*grid_, row, 3, device.installed != 0);
    if (device.model == app_.selected.model) {
      grid_->SetCheck(row, true);
      grid_->SelectRow(row);
      app_.selected = device;
    } else {
      grid_->SetCheck(row, false);
    }
  }
}

void CFormPrinterMode::OnDrawItem(ui::Notification& msg) {
  if (!grid_ || msg.sender != grid_) return;
  DrawRows(static_cast<int>(msg.wParam), static_cast<int>(msg.lParam));
}

void CFormPrinterMode::OnClick(ui::Notification& msg) {
  if (grid_ && msg.sender == grid_) {
    int row = ClickedDataRow(msg, *grid_);
    const auto& devices = app_.printerDevices.devices;
    if (row == 0 || row > static_cast<int>(devices.size())) return;
    grid_->CheckOnly(row);
    app_.selected = devices[row - 1];
    app_.SetSelectedModel(app_.selected.model);
    // A device that already has a printer cannot be taken further.
    if (ui::Control* next = FindControl(L"btn_form_printer_mode_next")) next->SetEnabled(app_.selected.installed == 0);
  } else if (msg.IsFrom(L"btn_form_printer_mode_pre")) {
    forms_.formPrinterSearch->StopDevicePoll();
    forms_.formPrinterPort->EnterPortPage();
  } else if (msg.IsFrom(L"btn_form_printer_mode_next")) {
    forms_.formPrinterSearch->StopDevicePoll();
    forms_.formPrinterName->EnterNamePage();
  } else if (msg.IsFrom(L"btn_form_printer_mode_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
