#pragma once
// The state cells of the model and device lists ("already installed" in
// blue, "Not installed" in red, "Connected" in blue), in the current language.
#include "ui/grid.h"

namespace orvello {

void SetInstalledCell(ui::Grid& grid, int row, int column, bool installed);
void SetConnectedCell(ui::Grid& grid, int row, int column);

}  // namespace orvello
