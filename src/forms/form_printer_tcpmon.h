#pragma once
// The network printer's address and the name of the TCP/IP port to create.
#include "forms/wizard_form.h"

namespace orvello {

class CFormPrinterTcpMon : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;

  // Puts `selected.ipAddress` and `selected.portName` into the boxes and
  // shows the page.
  void ShowTcpMonPage();

 private:
  void TcpMonNext();
  bool PortExists(const std::wstring& portName) const;

  ui::Control* ip_ = nullptr;
  ui::Control* portName_ = nullptr;
};

}  // namespace orvello
