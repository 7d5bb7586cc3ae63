#include "forms/form_setup_prepare.h"

#include "app/app.h"
#include "forms/form_printer_name.h"
#include "forms/form_setup_end.h"
#include "lang/language.h"
#include "lang/messages.h"

namespace orvello {

void CFormSetupPrepare::InitForm() {
  driver_ = FindControl(L"td_driver_name");
  port_ = FindControl(L"td_port");
  printerName_ = FindControl(L"td_printer_name");
  isDefault_ = FindControl(L"td_is_default");
}

void CFormSetupPrepare::EnterPreparePage() {
  const PrinterDevice& selected = app_.selected;
  if (driver_) driver_->SetText(selected.model);
  if (port_) port_->SetText(selected.portName);
  if (printerName_) printerName_->SetText(selected.printerName);
  if (isDefault_) isDefault_->SetText(Translate(forms_.formPrinterName->setDefaultChoice() ? msg::kYes : msg::kNo));
  SelectPage(L"form_setup_prepare");
}

void CFormSetupPrepare::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_form_setup_prepare_pre")) {
    forms_.formPrinterName->EnterNamePage();
  } else if (msg.IsFrom(L"btn_form_setup_prepare_next")) {
    forms_.formSetupEnd->StartInstallation();
  } else if (msg.IsFrom(L"btn_form_setup_prepare_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
