#include "forms/form_printer_name.h"

#include "app/app.h"
#include "catalogue/catalogue.h"
#include "forms/form_custom_port.h"
#include "forms/form_printer_driver.h"
#include "forms/form_printer_mode.h"
#include "forms/form_printer_tcpmon.h"
#include "forms/form_setup_end.h"
#include "forms/form_setup_prepare.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "system/text.h"
#include "ui/basic_controls.h"

namespace orvello {

std::wstring UniquePrinterName(platform::ISpooler& spooler, const std::wstring& base) {
  auto printers = spooler.EnumPrinters2(platform::kPrinterEnumLocal | platform::kPrinterEnumConnections);
  if (!printers) return L"";
  auto taken = [&](const std::wstring& name) {
    for (const platform::PrinterInfo2& printer : printers.value) {
      if (EqualsIgnoreCase(printer.printerName, name)) return true;
    }
    return false;
  };
  std::wstring candidate = base;
  for (int n = 1; taken(candidate); ++n) candidate = FormatText(L"%s(%d)", base.c_str(), n);
  return candidate;
}

void CFormPrinterName::EnterNamePage() {
  PrinterDevice& selected = app_.selected;
  std::wstring base = DriverCustomName(selected.driver);
  if (base.empty()) {
    base = selected.model;
    if (app_.setupPortType == kPortBluetooth) base += L"_" + Translate(msg::kBluetooth);
  }
  selected.printerName = UniquePrinterName(Machine().spooler, base);
  if (ui::Control* name = FindControl(L"text_printer_name")) name->SetText(selected.printerName);
  SelectPage(L"form_printer_name");
}

void CFormPrinterName::NameBack() {
  switch (app_.setupPortType) {
    case kPortNetwork:
      forms_.formPrinterTcpMon->ShowTcpMonPage();
      break;
    case kPortBluetooth:
      forms_.formPrinterDriver->ShowDriverPage();
      break;
    case kPortParallel:
    case kPortSerial:
    case kPortCustom:
      forms_.formCustomPort->FillCustomPortList();
      SelectPage(L"form_custom_port");
      break;
    default:
      forms_.formPrinterMode->EnterDeviceListPage();
      break;
  }
}

void CFormPrinterName::NameNext() {
  if (ui::Control* name = FindControl(L"text_printer_name")) app_.selected.printerName = name->Text();
  auto* makeDefault = Find<ui::Option>(L"chk_set_default_printer");
  setDefaultChoice_ = makeDefault && makeDefault->IsSelected();
  forms_.formSetupPrepare->EnterPreparePage();
  // Only network and custom ports wait on the summary for the user.
  if (app_.setupPortType != kPortNetwork && app_.setupPortType != kPortCustom) {
    forms_.formSetupEnd->StartInstallation();
  }
}

void CFormPrinterName::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_form_printer_name_pre")) {
    NameBack();
  } else if (msg.IsFrom(L"btn_form_printer_name_next")) {
    NameNext();
  } else if (msg.IsFrom(L"btn_form_printer_name_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
