#pragma once
// Grids as SysListView32 report views. Every grid is an owner-data list:
// the list asks the model for texts and check boxes of the rows it paints,
// so the model stays the only copy. Column 0 of a check-box grid shows the
// list's own check boxes; a click on one is the user's tick.
#include <windows.h>

#include "ui/grid.h"
#include "ui/win32/control_names.h"
#include "ui/win32/native_state.h"

namespace orvello::ui::win32 {

HWND CreateGridWindow(NativeFrame& frame, Grid& grid, int id);
void UpdateGrid(NativeFrame& frame, Grid& grid, NativeControl& native, Change what, int item);
// Brings the list view up to the model after row changes (queued by
// UpdateGrid).
void SyncGridRows(NativeFrame& frame, Grid& grid, NativeControl& native);
LRESULT GridNotify(NativeFrame& frame, Grid& grid, NMHDR& header, bool& handled);
// Virtual grids: "drawitem" for the rows on screen when they changed or
// the grid asked to be drawn.
void AskForShownRows(NativeFrame& frame, Grid& grid);
// What an outside driver asks of a grid (control_names.h).
LRESULT GridAction(NativeFrame& frame, Grid& grid, UiAction action, int row, int column);

}  // namespace orvello::ui::win32
