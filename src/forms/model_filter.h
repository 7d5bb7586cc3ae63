#pragma once
// The model lists of the wizard: the current manufacturer's catalogue
// models, narrowed by a find key (the key, lower-cased, anywhere in the
// lower-cased model name; an empty key keeps every model).
#include <functional>
#include <string>
#include <string_view>

#include "catalogue/driver_ref.h"

namespace orvello {

namespace ui {
class Grid;
}
class CApp;

bool MatchesFindKey(std::wstring_view modelName, std::wstring_view findKey);

struct ModelRowsFill {
  std::wstring_view findKey;
  // Which models may be listed at all; none: every model.
  std::function<bool(const DriverRef&)> keep;
  // Fills the row's other cells (the name is in column 1 already).
  std::function<void(int row, const std::wstring& name)> fillRow;
};

// Empties the grid and adds one row per listed model, the model name in
// column 1; the row of the model being set up is highlighted.
void FillModelRows(ui::Grid& grid, const CApp& app, const ModelRowsFill& fill);

}  // namespace orvello
