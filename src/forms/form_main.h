#pragma once
// The first page: install, upgrade or remove. The choice is `setupMode`,
// stored in the registry the moment an option is selected.
#include "forms/wizard_form.h"

namespace orvello {

namespace ui {
class Option;
}

class CFormMain : public CWizardForm {
 public:
  using CWizardForm::CWizardForm;

  void InitForm() override;
  void OnClick(ui::Notification& msg) override;
  void OnSelectChanged(ui::Notification& msg) override;

  // Makes sure the spooler runs, shows the page and marks the option of the
  // current mode (silently). Every "Home" and first-page "Previous" ends here.
  void ShowMainForm();

 private:
  void MainNext();
  // True when a catalogue driver of the current manufacturer is installed
  // under exactly its name.
  bool CatalogueDriverInstalled() const;

  ui::Option* install_ = nullptr;
  ui::Option* update_ = nullptr;
  ui::Option* uninstall_ = nullptr;
};

}  // namespace orvello
