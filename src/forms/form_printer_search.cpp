#include "forms/form_printer_search.h"

#include "app/app.h"
#include "devices/usb_printers.h"
#include "forms/form_custom_printer_mode.h"
#include "forms/form_printer_mode.h"
#include "forms/form_printer_port.h"
#include "system/text.h"
#include "ui/picture.h"
#include "ui/window.h"

namespace orvello {

void SetLoadingFrames(ui::Control* control) {
  auto* picture = dynamic_cast<ui::Picture*>(control);
  if (!picture) return;
  picture->ResetFrames();
  for (int frame = 1; frame <= 8; ++frame) picture->AddFrame(FormatText(L"images\\Loading\\%d.png", frame));
}

void CFormPrinterSearch::InitForm() {
  loading_ = FindControl(L"pic_form_printer_search_loading");
  SetLoadingFrames(loading_);
}

void CFormPrinterSearch::EnterSearchPage() {
  SelectPage(L"form_printer_search");
  app_.printerDevices.devices.clear();
  SearchTick();
  int32_t type = app_.setupPortType;
  if (type == kPortUsb || type == kPortBluetoothAdapter || type == kPortCustom) StartDevicePoll();
}

void CFormPrinterSearch::RefreshUsb() {
  DeviceScan scan{Machine(), app_.catalogue.doc, app_.profile.name, app_.setupPortType, nullptr};
  RefreshUsbPrinters(scan, app_.printerDevices);
}

void CFormPrinterSearch::SearchTick() {
  CPrinterDevices& found = app_.printerDevices;
  switch (app_.setupPortType) {
    case kPortUsb:
    case kPortBluetoothAdapter:
      RefreshUsb();
      if (!found.devices.empty()) {
        forms_.formPrinterMode->EnterDeviceListPage();
      } else {
        SelectPage(L"form_printer_search");
      }
      if (found.changed) {
        forms_.formPrinterMode->RefreshRows();
        found.changed = 0;
      }
      break;
    case kPortCustom:
      RefreshUsb();
      if (found.changed) {
        forms_.formCustomPrinterMode->FillCustomModelList();
        found.changed = 0;
      }
      break;
    default:
      break;
  }
}

void CFormPrinterSearch::StartDevicePoll() {
  if (loading_) SetTimer(loading_, kDevicePollTimerId, kDevicePollIntervalMs);
}

void CFormPrinterSearch::StopDevicePoll() {
  if (loading_) KillTimer(loading_, kDevicePollTimerId);
}

bool CFormPrinterSearch::DevicePollRunning() const {
  return loading_ && GetFrame() && GetFrame()->HasTimer(loading_, kDevicePollTimerId);
}

void CFormPrinterSearch::OnTimer(ui::Notification& msg) {
  if (loading_ && msg.sender == loading_ && msg.wParam == kDevicePollTimerId) SearchTick();
}

void CFormPrinterSearch::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_form_printer_search_pre")) {
    StopDevicePoll();
    forms_.formPrinterPort->EnterPortPage();
  } else if (msg.IsFrom(L"btn_form_printer_search_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
