#pragma once
// A list with columns. Row 0 is the header (the column texts); data rows
// follow from 1. With the "checkbox" attribute column 0 is a check-box
// column; any other column may be one too. The program checks boxes and
// highlights a row; the two are independent. A click of the user raises
// "click" with the row and column and highlights a data row; it never
// changes a check box by itself, that is the form's decision.
//
// In virtual mode the program only sets the number of rows; whenever the
// grid is redrawn the backend asks for the rows it shows with "drawitem"
// (wParam first row, lParam last row) and the form fills their cells.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/color.h"
#include "ui/control.h"

namespace orvello::ui {

struct GridColumn {
  std::wstring text;
  int width = 0;
  bool checkBox = false;
  std::optional<int> resourceId;
  std::wstring layoutText;
};

struct GridCell {
  std::wstring text;
  std::optional<Color> textColor;
  bool checked = false;
};

struct GridRow {
  std::vector<GridCell> cells;
  uintptr_t data = 0;
  int height = 0;  // 0: the grid's row height
};

class Grid : public Control {
 public:
  Grid() : Control(ControlKind::kGrid) {}

  size_t ColumnCount() const { return columns_.size(); }
  const GridColumn* Column(int column) const;
  int AddColumn(std::wstring text, int width = 0, bool checkBox = false);
  bool SetColumnText(int column, std::wstring text);
  bool HasCheckBoxColumn() const { return checkBoxes_; }

  // Rows including the header, so 1 for an empty list.
  int RowCount() const { return static_cast<int>(rows_.size()) + 1; }
  // Appends an empty data row; returns its index.
  int AddRow();
  bool RemoveRow(int row);
  // Removes every data row; the header stays.
  void RemoveAllRows();

  // Row 0 reads and writes the column texts. Out of range: "" / false.
  std::wstring CellText(int row, int column) const;
  bool SetCellText(int row, int column, std::wstring text);
  std::optional<Color> CellTextColor(int row, int column) const;
  bool SetCellTextColor(int row, int column, std::optional<Color> color);

  // Check boxes of data rows in check-box columns.
  bool IsChecked(int row, int column = 0) const;
  bool SetCheck(int row, bool checked, int column = 0);
  void ClearChecks(int column = 0);
  // Clears every box of the column, then checks `row` (a data row).
  void CheckOnly(int row, int column = 0);
  std::vector<int> CheckedRows(int column = 0) const;

  uintptr_t ItemData(int row) const;
  bool SetItemData(int row, uintptr_t data);
  int RowHeight(int row) const;
  bool SetRowHeight(int row, int height);
  int HeaderHeight() const { return headerHeight_; }

  // The highlighted data row, -1 for none.
  int SelectedRow() const { return selected_; }
  // -1 clears; the header cannot be highlighted.
  bool SelectRow(int row);

  bool IsVirtual() const { return virtual_; }
  // Number of data rows; rows beyond it are dropped, new ones are empty.
  void SetVirtualRowCount(int dataRows);
  // Marks the grid for drawing; in virtual mode the backend then raises
  // "drawitem" for the rows it shows (RequestDraw).
  void Redraw();
  bool NeedsDraw() const { return needsDraw_; }
  // Backend: asks the form to fill rows first..last (clipped to the data
  // rows); nothing is raised when no data row is in the range.
  void RequestDraw(int firstRow, int lastRow);

  // The user's click on a cell (row 0: the header). False when disabled or
  // outside the grid.
  bool UserClick(int row, int column);
  // The user ticked or cleared a box: the state changes and "valuechanged"
  // follows (wParam row, lParam column).
  bool UserSetCheck(int row, int column, bool checked);

  AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value) override;
  bool AddItemElement(std::wstring_view tag, const AttributeList& attributes, std::wstring& problem) override;

 private:
  GridRow* DataRow(int row);
  const GridRow* DataRow(int row) const;
  GridCell* Cell(int row, int column);
  const GridCell* CellIfAny(int row, int column) const;
  bool IsCheckColumn(int column) const;

  std::vector<GridColumn> columns_;
  std::vector<GridRow> rows_;
  bool checkBoxes_ = false;
  int checkBoxWidth_ = 80;
  bool virtual_ = false;
  int rowHeight_ = 0;
  int headerHeight_ = 0;
  int selected_ = -1;
  bool needsDraw_ = false;
};

}  // namespace orvello::ui
