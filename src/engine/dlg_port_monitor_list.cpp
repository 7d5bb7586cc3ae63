#include "engine/dlg_port_monitor_list.h"

#include "ui/grid.h"

namespace orvello {

namespace {
// Column 0 is the narrow marker column.
int NameColumn(const ui::Grid&) { return 1; }
}  // namespace

void CDlgPortMonitorList::InitWindow() {
  auto* grid = Find<ui::Grid>(L"grid_port_monitor_list");
  if (!grid) return;
  grid->RemoveAllRows();
  auto monitors = platform_.spooler.EnumMonitors2();
  if (!monitors) return;
  for (const platform::MonitorInfo2& monitor : monitors.value) {
    int row = grid->AddRow();
    grid->SetCellText(row, NameColumn(*grid), monitor.name);
  }
}

void CDlgPortMonitorList::AddPortOfSelectedMonitor() {
  auto* grid = Find<ui::Grid>(L"grid_port_monitor_list");
  if (!grid || grid->SelectedRow() < 1) return;
  std::wstring monitor = grid->CellText(grid->SelectedRow(), NameColumn(*grid));
  // The monitor's own dialog is owned by the window that owns the program's
  // message boxes.
  if (platform_.spooler.AddPort(platform_.session.OwnerWindow(), monitor)) portAdded_ = 1;
}

void CDlgPortMonitorList::Notify(ui::Notification& notification) {
  if (!notification.Is(L"click")) return;
  auto* grid = Find<ui::Grid>(L"grid_port_monitor_list");
  if (grid && notification.sender == grid) {
    int row = static_cast<int>(notification.wParam);
    if (row >= 1 && row < grid->RowCount()) grid->CheckOnly(row);
  } else if (notification.IsFrom(L"btn_add_port")) {
    AddPortOfSelectedMonitor();
  }
}

}  // namespace orvello
