#include "forms/form_printer_tcpmon.h"

#include "app/app.h"
#include "forms/form_printer_mode2.h"
#include "forms/form_printer_name.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "system/text.h"

namespace orvello {

void CFormPrinterTcpMon::InitForm() {
  ip_ = FindControl(L"text_tcpmon_ip");
  portName_ = FindControl(L"text_tcpmon_port_name");
}

void CFormPrinterTcpMon::ShowTcpMonPage() {
  if (ip_) ip_->SetText(app_.selected.ipAddress);
  if (portName_) portName_->SetText(app_.selected.portName);
  SelectPage(L"form_printer_tcpmon");
}

bool CFormPrinterTcpMon::PortExists(const std::wstring& portName) const {
  auto ports = Machine().spooler.EnumPorts2();
  if (!ports) return false;
  for (const platform::PortInfo2& port : ports.value) {
    if (EqualsIgnoreCase(port.portName, portName)) return true;
  }
  return false;
}

void CFormPrinterTcpMon::TcpMonNext() {
  // Neither text is checked: the port monitor has the last word on both.
  if (ip_) app_.selected.ipAddress = ip_->Text();
  if (portName_) app_.selected.portName = portName_->Text();
  if (PortExists(app_.selected.portName)) {
    Machine().session.MessageBox(Translate(msg::kPortNameExists), L"Error", platform::mb::kOk);
    return;
  }
  forms_.formPrinterName->EnterNamePage();
}

void CFormPrinterTcpMon::OnClick(ui::Notification& msg) {
  if (msg.IsFrom(L"btn_form_printer_tcpmon_pre")) {
    forms_.formPrinterMode2->FillNetworkModelList();
    SelectPage(L"form_printer_mode2");
  } else if (msg.IsFrom(L"btn_form_printer_tcpmon_next")) {
    TcpMonNext();
  } else if (msg.IsFrom(L"btn_form_printer_tcpmon_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
