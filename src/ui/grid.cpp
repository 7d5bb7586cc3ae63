#include "ui/grid.h"

#include <algorithm>

#include "system/text.h"
#include "ui/layout_values.h"
#include "ui/notify.h"

namespace orvello::ui {

const GridColumn* Grid::Column(int column) const {
  return column >= 0 && column < static_cast<int>(columns_.size()) ? &columns_[static_cast<size_t>(column)] : nullptr;
}

int Grid::AddColumn(std::wstring text, int width, bool checkBox) {
  columns_.push_back(GridColumn{text, width, checkBox, std::nullopt, text});
  Changed(Change::kRows, 0);
  return static_cast<int>(columns_.size()) - 1;
}

bool Grid::SetColumnText(int column, std::wstring text) {
  if (column < 0 || column >= static_cast<int>(columns_.size())) return false;
  if (columns_[static_cast<size_t>(column)].text == text) return true;
  columns_[static_cast<size_t>(column)].text = std::move(text);
  Changed(Change::kRows, 0);
  return true;
}

int Grid::AddRow() {
  rows_.emplace_back();
  int row = RowCount() - 1;
  Changed(Change::kRows, row);
  return row;
}

bool Grid::RemoveRow(int row) {
  if (!DataRow(row)) return false;
  rows_.erase(rows_.begin() + (row - 1));
  if (selected_ == row)
    selected_ = -1;
  else if (selected_ > row)
    --selected_;
  Changed(Change::kRows);
  return true;
}

void Grid::RemoveAllRows() {
  rows_.clear();
  selected_ = -1;
  Changed(Change::kRows);
}

GridRow* Grid::DataRow(int row) {
  return row >= 1 && row < RowCount() ? &rows_[static_cast<size_t>(row - 1)] : nullptr;
}

const GridRow* Grid::DataRow(int row) const {
  return row >= 1 && row < RowCount() ? &rows_[static_cast<size_t>(row - 1)] : nullptr;
}

GridCell* Grid::Cell(int row, int column) {
  GridRow* data = DataRow(row);
  if (!data || column < 0 || column >= static_cast<int>(columns_.size())) return nullptr;
  if (data->cells.size() < columns_.size()) data->cells.resize(columns_.size());
  return &data->cells[static_cast<size_t>(column)];
}

const GridCell* Grid::CellIfAny(int row, int column) const {
  const GridRow* data = DataRow(row);
  if (!data || column < 0 || column >= static_cast<int>(data->cells.size())) return nullptr;
  return &data->cells[static_cast<size_t>(column)];
}

bool Grid::IsCheckColumn(int column) const {
  const GridColumn* c = Column(column);
  return c && c->checkBox;
}

std::wstring Grid::CellText(int row, int column) const {
  if (row == 0) {
    const GridColumn* c = Column(column);
    return c ? c->text : std::wstring();
  }
  const GridCell* cell = CellIfAny(row, column);
  return cell ? cell->text : std::wstring();
}

bool Grid::SetCellText(int row, int column, std::wstring text) {
  if (row == 0) return SetColumnText(column, std::move(text));
  GridCell* cell = Cell(row, column);
  if (!cell) return false;
  if (cell->text != text) {
    cell->text = std::move(text);
    Changed(Change::kRows, row);
  }
  return true;
}

std::optional<Color> Grid::CellTextColor(int row, int column) const {
  const GridCell* cell = CellIfAny(row, column);
  return cell ? cell->textColor : std::nullopt;
}

bool Grid::SetCellTextColor(int row, int column, std::optional<Color> color) {
  GridCell* cell = Cell(row, column);
  if (!cell) return false;
  if (cell->textColor != color) {
    cell->textColor = color;
    Changed(Change::kRows, row);
  }
  return true;
}

bool Grid::IsChecked(int row, int column) const {
  const GridCell* cell = CellIfAny(row, column);
  return cell && IsCheckColumn(column) && cell->checked;
}

bool Grid::SetCheck(int row, bool checked, int column) {
  if (!IsCheckColumn(column)) return false;
  GridCell* cell = Cell(row, column);
  if (!cell) return false;
  if (cell->checked != checked) {
    cell->checked = checked;
    Changed(Change::kRows, row);
  }
  return true;
}

void Grid::ClearChecks(int column) {
  for (int row = 1; row < RowCount(); ++row) SetCheck(row, false, column);
}

void Grid::CheckOnly(int row, int column) {
  ClearChecks(column);
  SetCheck(row, true, column);
}

std::vector<int> Grid::CheckedRows(int column) const {
  std::vector<int> rows;
  for (int row = 1; row < RowCount(); ++row)
    if (IsChecked(row, column)) rows.push_back(row);
  return rows;
}

uintptr_t Grid::ItemData(int row) const {
  const GridRow* data = DataRow(row);
  return data ? data->data : 0;
}

bool Grid::SetItemData(int row, uintptr_t data) {
  GridRow* target = DataRow(row);
  if (!target) return false;
  target->data = data;
  return true;
}

int Grid::RowHeight(int row) const {
  if (row == 0) return headerHeight_;
  const GridRow* data = DataRow(row);
  if (!data) return 0;
  return data->height > 0 ? data->height : rowHeight_;
}

bool Grid::SetRowHeight(int row, int height) {
  GridRow* target = DataRow(row);
  if (!target || height < 0) return false;
  target->height = height;
  Changed(Change::kRows, row);
  return true;
}

bool Grid::SelectRow(int row) {
  if (row != -1 && !DataRow(row)) return false;
  if (row == selected_) return true;
  selected_ = row;
  Changed(Change::kSelected, row);
  return true;
}

void Grid::SetVirtualRowCount(int dataRows) {
  rows_.resize(static_cast<size_t>(std::max(0, dataRows)));
  if (selected_ >= RowCount()) selected_ = -1;
  Changed(Change::kRows);
}

void Grid::Redraw() {
  needsDraw_ = true;
  Changed(Change::kRows);
}

void Grid::RequestDraw(int firstRow, int lastRow) {
  needsDraw_ = false;
  firstRow = std::max(firstRow, 1);
  lastRow = std::min(lastRow, RowCount() - 1);
  if (firstRow > lastRow) return;
  SendNotify(notify::kDrawItem, static_cast<WParam>(firstRow), lastRow);
}

bool Grid::UserClick(int row, int column) {
  if (!IsEnabled() || row < 0 || row >= RowCount()) return false;
  if (row >= 1) SelectRow(row);
  SendNotify(notify::kClick, static_cast<WParam>(row), column);
  return true;
}

bool Grid::UserSetCheck(int row, int column, bool checked) {
  if (!IsEnabled() || !DataRow(row) || !IsCheckColumn(column)) return false;
  SetCheck(row, checked, column);
  SendNotify(notify::kValueChanged, static_cast<WParam>(row), column);
  return true;
}

AttributeResult Grid::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"checkbox" || name == L"virtual") {
    auto flag = ParseLayoutBool(value);
    if (!flag) return AttributeResult::kBadValue;
    if (name == L"virtual") {
      virtual_ = *flag;
    } else if (*flag && !checkBoxes_) {
      checkBoxes_ = true;
      columns_.insert(columns_.begin(), GridColumn{L"", checkBoxWidth_, true, std::nullopt, L""});
      for (GridRow& row : rows_)
        if (!row.cells.empty()) row.cells.insert(row.cells.begin(), GridCell{});
    }
    return AttributeResult::kApplied;
  }
  if (name == L"checkboxwidth" || name == L"rowheight" || name == L"headerheight") {
    auto number = ParseLayoutInt(value);
    if (!number || *number < 0) return AttributeResult::kBadValue;
    if (name == L"checkboxwidth") {
      checkBoxWidth_ = *number;
      if (checkBoxes_) columns_.front().width = *number;
    } else {
      (name == L"rowheight" ? rowHeight_ : headerHeight_) = *number;
    }
    return AttributeResult::kApplied;
  }
  return Control::SetAttribute(name, value);
}

bool Grid::AddItemElement(std::wstring_view tag, const AttributeList& attributes, std::wstring& problem) {
  if (!EqualsIgnoreCase(tag, L"Column")) return false;
  GridColumn column;
  for (const auto& [name, value] : attributes) {
    if (name == L"text") {
      column.text = value;
    } else if (name == L"width" || name == L"resourceid") {
      auto number = ParseLayoutInt(value);
      if (!number || *number < 0) {
        problem = L"bad value \"" + value + L"\" for attribute \"" + name + L"\" of Column";
        return true;
      }
      if (name == L"width")
        column.width = *number;
      else
        column.resourceId = *number;
    } else if (name == L"checkbox") {
      auto flag = ParseLayoutBool(value);
      if (!flag) {
        problem = L"bad value \"" + value + L"\" for attribute \"checkbox\" of Column";
        return true;
      }
      column.checkBox = *flag;
    }
  }
  column.layoutText = column.text;
  columns_.push_back(std::move(column));
  return true;
}

}  // namespace orvello::ui
