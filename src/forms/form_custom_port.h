#pragma once
// The port of a parallel, serial or custom installation, chosen from the
// spooler's ports; ports can be added, deleted and configured here.
#include "forms/wizard_form.h"

namespace orvello {

class CFormCustomPort : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;
  // The port menu offers the page's three port buttons.
  void OnMenuCommand(const ui::MenuItem& item) override;

  void FillCustomPortList();
  void CustomPortBack();

 private:
  void AddPort();
  void DeletePort();
  void ConfigurePort();
  // The port name of the highlighted row, "" for none.
  std::wstring HighlightedPort() const;

  ui::Grid* grid_ = nullptr;
};

// "+w", "+r", "+d", "+n" for the PORT_TYPE_ bits that are set.
std::wstring PortTypeText(uint32_t portType);

}  // namespace orvello
