#include "forms/form_printer_manufacturer.h"

#include "app/app.h"
#include "catalogue/profiles.h"
#include "forms/form_main.h"
#include "forms/form_printer_port.h"
#include "forms/form_update_driver.h"
#include "ui/grid.h"

namespace orvello {

void CFormPrinterManufacturer::InitForm() { grid_ = Find<ui::Grid>(L"grid_printer_manufacturer"); }

void CFormPrinterManufacturer::EnterManufacturerPage() {
  SelectPage(L"form_printer_manufacturer");
  if (!grid_) return;
  grid_->RemoveAllRows();
  pugi::xml_node list = app_.profiles.doc.child("Manufacturers");
  for (pugi::xml_node element = list.child("Manufacturer"); element; element = element.next_sibling("Manufacturer")) {
    ManufacturerProfile read;
    ParseProfile(element, read);
    // The base models' holder is no manufacturer of its own.
    if (read.name == kNativeManufacturer) continue;
    int row = grid_->AddRow();
    grid_->SetCellText(row, 1, read.name);
    if (read.name == app_.rememberedManufacturer) grid_->SelectRow(row);
  }
  if (grid_->RowCount() == 2) {
    grid_->SelectRow(1);
    ManufacturerNext();
  }
}

void CFormPrinterManufacturer::ManufacturerNext() {
  if (grid_) {
    for (int row : grid_->CheckedRows()) {
      std::wstring name = grid_->CellText(row, 1);
      app_.SetRememberedManufacturer(name);
      app_.profile.name = name;
      pugi::xml_node element = FindProfileByName(app_.profiles.doc, name);
      if (element) ParseProfile(element, app_.profile);
    }
  }
  switch (app_.setupMode) {
    case kModeInstall: forms_.formPrinterPort->EnterPortPage(); break;
    case kModeUpgrade: forms_.formUpdateDriver->EnterUpdateDriverPage(); break;
    default: break;
  }
}

void CFormPrinterManufacturer::OnClick(ui::Notification& msg) {
  if (grid_ && msg.sender == grid_) {
    if (int row = ClickedDataRow(msg, *grid_)) grid_->CheckOnly(row);
  } else if (msg.IsFrom(L"btn_form_printer_manufacturer_pre")) {
    forms_.formMain->ShowMainForm();
  } else if (msg.IsFrom(L"btn_form_printer_manufacturer_next")) {
    ManufacturerNext();
  } else if (msg.IsFrom(L"btn_form_printer_manufacturer_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
