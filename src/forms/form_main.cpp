#include "forms/form_main.h"

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "forms/form_delete_printer.h"
#include "forms/form_printer_manufacturer.h"
#include "system/spooler_service.h"
#include "ui/basic_controls.h"

namespace orvello {

void CFormMain::InitForm() {
  install_ = Find<ui::Option>(L"chk_install_driver");
  update_ = Find<ui::Option>(L"chk_update_driver");
  uninstall_ = Find<ui::Option>(L"chk_uninstall_driver");
  // Selected with the event, so that the registry holds the mode the page
  // opens with; an installed catalogue driver makes removal the likely wish.
  if (install_) install_->SetSelected(true);
  if (uninstall_ && CatalogueDriverInstalled()) uninstall_->SetSelected(true);
}

bool CFormMain::CatalogueDriverInstalled() const {
  auto installed = Machine().spooler.EnumPrinterDrivers(L"", 3);
  if (!installed || installed.value.empty()) return false;
  const pugi::xml_document& catalogue = app_.catalogue.doc;
  const std::wstring& manufacturer = app_.profile.name;
  for (DriverRef ref = FirstDriver(manufacturer, catalogue); ref; NextDriver(manufacturer, ref, catalogue)) {
    std::wstring name = DriverName(ref);
    for (const platform::DriverInfo& driver : installed.value) {
      if (driver.name == name) return true;
    }
  }
  return false;
}

void CFormMain::OnSelectChanged(ui::Notification& msg) {
  if (msg.wParam != 1) return;
  if (msg.IsFrom(L"chk_install_driver")) {
    app_.SetSetupMode(kModeInstall);
  } else if (msg.IsFrom(L"chk_update_driver")) {
    app_.SetSetupMode(kModeUpgrade);
  } else if (msg.IsFrom(L"chk_uninstall_driver")) {
    app_.SetSetupMode(kModeRemove);
  }
}

void CFormMain::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_form_main_next")) {
    MainNext();
  } else if (msg.IsFrom(L"btn_form_main_cancel")) {
    CloseWizard();
  }
}

void CFormMain::ShowMainForm() {
  CheckSpoolerService(Machine());
  SelectPage(L"form_main");
  ui::Option* current = nullptr;
  switch (app_.setupMode) {
    case kModeInstall: current = install_; break;
    case kModeUpgrade: current = update_; break;
    case kModeRemove: current = uninstall_; break;
    default: break;
  }
  if (current) current->SetSelected(true, false);
}

void CFormMain::MainNext() {
  switch (app_.setupMode) {
    case kModeInstall:
      app_.selected.ResetDevice();
      forms_.formPrinterManufacturer->EnterManufacturerPage();
      break;
    case kModeUpgrade:
      forms_.formPrinterManufacturer->EnterManufacturerPage();
      break;
    case kModeRemove:
      forms_.formDeletePrinter->EnterDeletePrinterPage();
      break;
    default:
      break;
  }
}

}  // namespace orvello
