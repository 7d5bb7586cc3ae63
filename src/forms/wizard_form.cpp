#include "forms/wizard_form.h"

#include "app/app.h"
#include "ui/containers.h"
#include "ui/grid.h"

namespace orvello {

bool CWizardForm::SelectPage(std::wstring_view page) const {
  auto* tabs = Find<ui::TabLayout>(L"tab_main");
  return tabs && tabs->SelectItem(page);
}

platform::Platform& CWizardForm::Machine() const { return app_.platform(); }

int CWizardForm::ClickedDataRow(const ui::Notification& msg, const ui::Grid& grid) {
  int row = static_cast<int>(msg.wParam);
  return row >= 1 && row < grid.RowCount() ? row : 0;
}

}  // namespace orvello
