#pragma once
// The new printer's name, proposed so that no existing printer has it, and
// whether it becomes the default printer. The last page before the run.
#include <string>

#include "forms/wizard_form.h"
#include "platform/spooler.h"

namespace orvello {

class CFormPrinterName : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void OnClick(ui::Notification& msg) override;

  void EnterNamePage();
  // Back the way the port type came.
  void NameBack();

  // Whether the default-printer box was selected when Next was pressed.
  bool setDefaultChoice() const { return setDefaultChoice_; }

 private:
  void NameNext();

  bool setDefaultChoice_ = false;
};

// `base`, or "base(n)" with the smallest n from 1 that no local or connected
// printer has (ignoring letter case); "" when the printers cannot be listed.
std::wstring UniquePrinterName(platform::ISpooler& spooler, const std::wstring& base);

}  // namespace orvello
