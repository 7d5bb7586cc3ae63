#include "forms/form_custom_port.h"

#include "app/app.h"
#include "engine/dlg_port_monitor_list.h"
#include "forms/form_custom_printer_mode.h"
#include "forms/form_printer_name.h"
#include "forms/form_printer_search.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "system/error_text.h"
#include "system/text.h"
#include "ui/grid.h"

namespace orvello {

std::wstring PortTypeText(uint32_t portType) {
  std::wstring text;
  if (portType & platform::kPortTypeWrite) text += L"+w";
  if (portType & platform::kPortTypeRead) text += L"+r";
  if (portType & platform::kPortTypeRedirected) text += L"+d";
  if (portType & platform::kPortTypeNetAttached) text += L"+n";
  return text;
}

void CFormCustomPort::InitForm() {
  grid_ = Find<ui::Grid>(L"grid_custom_port");
  if (ui::Control* manager = FindControl(L"btn_port_manager")) manager->SetVisible(false);
}

void CFormCustomPort::FillCustomPortList() {
  if (!grid_) return;
  grid_->RemoveAllRows();
  auto ports = Machine().spooler.EnumPorts2();
  if (!ports) return;
  const std::wstring& chosen = app_.selected.portName;
  for (const platform::PortInfo2& port : ports.value) {
    if (app_.setupPortType == kPortSerial && !StartsWithIgnoreCase(port.portName, L"COM")) continue;
    if (app_.setupPortType == kPortParallel && !StartsWithIgnoreCase(port.portName, L"LPT")) continue;
    int row = grid_->AddRow();
    grid_->SetCellText(row, 1, port.portName);
    grid_->SetCellText(row, 2, port.monitorName);
    grid_->SetCellText(row, 3, PortTypeText(port.portType));
    grid_->SetCellText(row, 4, port.description);
    // Without a choice yet, the file port is offered; it is not taken until clicked.
    bool highlight = chosen.empty() ? port.portName == L"FILE:" : port.portName == chosen;
    if (highlight) grid_->SelectRow(row);
  }
}

std::wstring CFormCustomPort::HighlightedPort() const {
  if (!grid_ || grid_->SelectedRow() < 1) return L"";
  return grid_->CellText(grid_->SelectedRow(), 1);
}

void CFormCustomPort::AddPort() {
  CDlgPortMonitorList dialog(Machine());
  if (!dialog.Create(CDlgPortMonitorList::kLayout, CDlgPortMonitorList::kClassName, GetFrame()).created) return;
  dialog.ShowModal();
  if (dialog.portAdded()) FillCustomPortList();
}

void CFormCustomPort::DeletePort() {
  if (!grid_ || grid_->SelectedRow() < 1) return;
  std::wstring name = HighlightedPort();
  platform::ISession& session = Machine().session;
  std::wstring question = FormatText(Translate(msg::kConfirmDeletePort).c_str(), name.c_str());
  if (session.MessageBox(question, kWizardCaption, platform::mb::kOkCancel) != platform::mb::kIdOk) return;
  platform::Status deleted = Machine().spooler.DeletePort(session.OwnerWindow(), name);
  if (deleted) {
    session.MessageBox(FormatText(Translate(msg::kDeletePortSucceeded).c_str(), name.c_str()), kWizardCaption,
                       platform::mb::kOk);
    FillCustomPortList();
    return;
  }
  std::wstring failure = FormatText(Translate(msg::kDeletePortFailed).c_str(), name.c_str(),
                                    static_cast<int>(deleted.error),
                                    SystemErrorText(Machine().system, deleted.error).c_str());
  session.MessageBox(failure, kWizardCaption, platform::mb::kOk);
}

void CFormCustomPort::ConfigurePort() {
  std::wstring name = HighlightedPort();
  if (name.empty()) return;
  // The port monitor shows its own dialog; its outcome is its own business.
  Machine().spooler.ConfigurePort(Machine().session.OwnerWindow(), name);
}

void CFormCustomPort::CustomPortBack() {
  forms_.formCustomPrinterMode->FillCustomModelList();
  SelectPage(L"form_custom_printer_mode");
  if (app_.setupPortType != kPortNetwork) {
    app_.printerDevices.changed = 1;
    forms_.formPrinterSearch->StartDevicePoll();
  }
}

void CFormCustomPort::OnMenuCommand(const ui::MenuItem& item) {
  if (EqualsIgnoreCase(item.name, L"menu_add_port")) {
    AddPort();
  } else if (EqualsIgnoreCase(item.name, L"menu_delete_port")) {
    DeletePort();
  } else if (EqualsIgnoreCase(item.name, L"menu_configure_port")) {
    ConfigurePort();
  }
}

void CFormCustomPort::OnClick(ui::Notification& msg) {
  if (grid_ && msg.sender == grid_) {
    if (int row = ClickedDataRow(msg, *grid_)) {
      grid_->CheckOnly(row);
      app_.selected.portName = grid_->CellText(row, 1);
    }
  } else if (msg.IsFrom(L"btn_add_port")) {
    AddPort();
  } else if (msg.IsFrom(L"btn_delete_port")) {
    DeletePort();
  } else if (msg.IsFrom(L"btn_configure_port")) {
    ConfigurePort();
  } else if (msg.IsFrom(L"btn_form_custom_port_pre")) {
    CustomPortBack();
  } else if (msg.IsFrom(L"btn_form_custom_port_next")) {
    forms_.formPrinterName->EnterNamePage();
  } else if (msg.IsFrom(L"btn_form_custom_port_cancel")) {
    CloseWizard();
  }
}

}  // namespace orvello
