#include "forms/form_printer_port.h"

#include "app/app.h"
#include "forms/form_custom_printer_mode.h"
#include "forms/form_main.h"
#include "forms/form_printer_bluetooth.h"
#include "forms/form_printer_mode2.h"
#include "forms/form_printer_search.h"
#include "ui/basic_controls.h"

namespace orvello {

namespace {

// The option of each port type; the numbering does not follow the order on
// screen (the dongle is listed before the wireless connection).
constexpr const wchar_t* kPortOptions[] = {
    L"chk_port_usb",         L"chk_port_net",          L"chk_port_blue_tooth", L"chk_port_blue_tooth_adapter",
    L"chk_port_parallel_port", L"chk_port_serial_port", L"chk_port_custom",
};

// These families connect by USB only, or through a port the user names.
bool OffersUsbAndCustomOnly(const std::wstring& manufacturer) {
  return manufacturer == L"Lumatrix" || manufacturer == L"Brightmoor";
}

}  // namespace

void CFormPrinterPort::InitForm() {
  for (size_t type = 0; type < options_.size(); ++type) options_[type] = Find<ui::Option>(kPortOptions[type]);
  if (!OffersUsbAndCustomOnly(app_.profile.name)) return;
  // The two Bluetooth boxes each share a row with their icon: the row goes.
  for (int32_t type : {kPortBluetooth, kPortBluetoothAdapter}) {
    if (ui::Option* option = options_[type]) {
      ui::Control* row = option->Parent();
      (row ? row : option)->SetVisible(false);
    }
  }
  for (int32_t type : {kPortNetwork, kPortParallel, kPortSerial}) {
    if (options_[type]) options_[type]->SetVisible(false);
  }
}

void CFormPrinterPort::EnterPortPage() {
  if (ui::Control* tip = FindControl(L"dudez_form_printer_port_msg2")) tip->SetVisible(app_.profile.name != L"Vantorel");
  SelectPage(L"form_printer_port");
  // Each visit starts from the manufacturer's default; only a choice of the
  // user is remembered in the registry.
  app_.setupPortType = app_.profile.defaultSetupPortType;
  if (app_.setupPortType >= 0 && app_.setupPortType < static_cast<int32_t>(options_.size())) {
    if (ui::Option* option = options_[app_.setupPortType]) option->SetSelected(true, false);
  }
}

void CFormPrinterPort::OnSelectChanged(ui::Notification& msg) {
  if (msg.wParam != 1) return;
  for (size_t type = 0; type < options_.size(); ++type) {
    if (options_[type] && msg.sender == options_[type]) {
      app_.SetSetupPortType(static_cast<int32_t>(type));
      return;
    }
  }
}

void CFormPrinterPort::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_form_printer_port_pre")) {
    forms_.formMain->ShowMainForm();
  } else if (msg.IsFrom(L"btn_form_printer_port_next")) {
    PortNext();
  } else if (msg.IsFrom(L"btn_form_printer_port_cancel")) {
    CloseWizard();
  }
}

void CFormPrinterPort::PortNext() {
  switch (app_.setupPortType) {
    case kPortParallel:
    case kPortSerial:
    case kPortCustom:
      forms_.formCustomPrinterMode->FillCustomModelList();
      SelectPage(L"form_custom_printer_mode");
      // The first poll fills the connection columns of that list.
      app_.printerDevices.changed = 1;
      forms_.formPrinterSearch->StartDevicePoll();
      break;
    case kPortNetwork:
      forms_.formPrinterMode2->FillNetworkModelList();
      SelectPage(L"form_printer_mode2");
      break;
    case kPortBluetooth:
      forms_.formPrinterBluetooth->EnterBluetoothPage();
      break;
    default:
      forms_.formPrinterSearch->EnterSearchPage();
      break;
  }
}

}  // namespace orvello
