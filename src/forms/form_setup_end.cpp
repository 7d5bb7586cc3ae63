#include "forms/form_setup_end.h"

#include "app/app.h"
#include "forms/form_main.h"
#include "forms/form_printer_name.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "shell/dlg_loading.h"
#include "shell/message_log.h"
#include "system/printer_actions.h"

namespace orvello {

namespace {
constexpr const wchar_t* kPrinterButtons[] = {
    L"btn_form_setup_printer_document_properties",
    L"btn_form_setup_printer_device_properties",
    L"btn_form_setup_print_test_page",
};
}  // namespace

void CFormSetupEnd::ShowPrinterButtons(bool show) {
  for (const wchar_t* name : kPrinterButtons) {
    if (ui::Control* button = FindControl(name)) button->SetVisible(show);
  }
}

void CFormSetupEnd::PrepareRun(const std::wstring& title) {
  if (ui::Control* heading = FindControl(L"text_form_setup_end_title")) heading->SetText(title);
  SetMessageLogText(L"");
  endPrinterName_.clear();
  ShowPrinterButtons(false);
  SelectPage(L"form_setup_end");
}

void CFormSetupEnd::StartInstallation() {
  PrepareRun(Translate(msg::kInstallingPrinter));
  RunSetupInstall(app_, *this, forms_.formPrinterName->setDefaultChoice());
}

int CFormSetupEnd::RunLoadingDialog(IEngineOperations& engine) {
  return orvello::RunLoadingDialog(app_, GetFrame(), engine);
}

void CFormSetupEnd::ShowInstalledPrinter(const std::wstring& printerName) {
  ShowPrinterButtons(true);
  endPrinterName_ = printerName;
}

void CFormSetupEnd::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_form_setup_first")) {
    forms_.formMain->ShowMainForm();
  } else if (msg.IsFrom(L"btn_form_setup_cancel")) {
    CloseWizard();
  } else if (msg.IsFrom(L"btn_form_setup_printer_document_properties")) {
    ShowPrintingPreferences(Machine(), endPrinterName_);
  } else if (msg.IsFrom(L"btn_form_setup_printer_device_properties")) {
    if (!endPrinterName_.empty()) ShowPrinterProperties(Machine(), endPrinterName_);
  } else if (msg.IsFrom(L"btn_form_setup_print_test_page")) {
    if (!endPrinterName_.empty()) PrintTestPage(Machine(), endPrinterName_);
  }
}

}  // namespace orvello
