#include "ui/win32/native_grid.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/dpi_fonts.h"
#include "ui/win32/native_controls.h"
#include "ui/win32/win32_backend.h"

namespace orvello::ui::win32 {

namespace {

constexpr int kDefaultColumnWidth = 100;

void SetColumns(NativeFrame& frame, Grid& grid, HWND list) {
  double scale = frame.backend->Scale();
  while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (size_t i = 0; i < grid.ColumnCount(); ++i) {
    const GridColumn* column = grid.Column(static_cast<int>(i));
    std::wstring text = column->text;
    LVCOLUMNW lv{};
    lv.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
    lv.fmt = LVCFMT_LEFT;
    lv.pszText = text.data();
    lv.cx = Scaled(column->width > 0 ? column->width : kDefaultColumnWidth, scale);
    lv.iSubItem = static_cast<int>(i);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&lv));
  }
}

void SetRowHeight(NativeFrame& frame, Grid& grid, HWND list) {
  // The list takes its row height from the small image list; the model
  // answers its row height only for data rows.
  int rowHeight = 0;
  for (int row = 1; row < grid.RowCount(); ++row) rowHeight = std::max(rowHeight, grid.RowHeight(row));
  if (rowHeight <= 0) return;
  // Grid lines add a pixel below every row.
  int imageHeight = Scaled(rowHeight, frame.backend->Scale()) - 1;
  if (imageHeight < 1) return;
  HIMAGELIST images = ImageList_Create(1, imageHeight, ILC_COLOR32, 0, 0);
  HIMAGELIST old = reinterpret_cast<HIMAGELIST>(
      SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)));
  if (old) ImageList_Destroy(old);
}

void SetCount(Grid& grid, HWND list) {
  SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(grid.RowCount() - 1), LVSICF_NOSCROLL);
}

void ShowSelection(Grid& grid, NativeControl& native) {
  native.programChange = true;
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(native.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  if (grid.SelectedRow() >= 1) {
    LVITEMW select{};
    select.state = select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(native.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(grid.SelectedRow() - 1),
                 reinterpret_cast<LPARAM>(&select));
    SendMessageW(native.hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(grid.SelectedRow() - 1), FALSE);
  }
  native.programChange = false;
}

// A click on a row's box: the click itself (the form may tick the box
// there), then the tick unless the form already changed the box.
void ClickCheckBox(NativeFrame& frame, Grid& grid, int row) {
  bool before = grid.IsChecked(row, 0);
  WindowHandle window = frame.window->Handle();
  if (!grid.UserClick(row, 0) || !window.IsAlive()) return;
  if (grid.IsChecked(row, 0) == before) grid.UserSetCheck(row, 0, !before);
}

// The header's own height follows its font; the layout's `headerheight`
// replaces it.
LRESULT CALLBACK HeaderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR height) {
  if (message == HDM_LAYOUT) {
    LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
    if (layout && layout->prc && layout->pwpos) {
      int cy = static_cast<int>(height);
      layout->pwpos->cy = cy;
      layout->prc->top = layout->pwpos->y + cy;
    }
    return result;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &HeaderProc, 1);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

HWND CreateGridWindow(NativeFrame& frame, Grid& grid, int id) {
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                              0, 0, 0, 0, frame.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              frame.backend->Instance(), nullptr);
  if (!list) return nullptr;
  DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_GRIDLINES;
  if (grid.HasCheckBoxColumn()) extended |= LVS_EX_CHECKBOXES;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  if (grid.HasCheckBoxColumn()) SendMessageW(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  if (grid.HeaderHeight() > 0)
    if (HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)))
      SetWindowSubclass(header, &HeaderProc, 1,
                        static_cast<DWORD_PTR>(Scaled(grid.HeaderHeight(), frame.backend->Scale())));
  SetColumns(frame, grid, list);
  SetRowHeight(frame, grid, list);
  SetCount(grid, list);
  return list;
}

void UpdateGrid(NativeFrame& frame, Grid& grid, NativeControl& native, Change what, int item) {
  switch (what) {
    case Change::kRows:
      if (item == 0) {
        SetColumns(frame, grid, native.hwnd);
        return;
      }
      // A form fills a list row by row and cell by cell; the list view
      // catches up once, when the UI thread is next idle, instead of after
      // every change (hundreds of rows took tens of seconds otherwise).
      if (!native.rowsPosted) {
        native.rowsPosted = true;
        PostMessageW(frame.hwnd, kMsgSyncRows, reinterpret_cast<WPARAM>(native.hwnd), 0);
      }
      return;
    case Change::kSelected:
      ShowSelection(grid, native);
      return;
    case Change::kStyle:
      SendMessageW(native.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(frame, grid)), TRUE);
      return;
    default:
      return;
  }
}

void AskForShownRows(NativeFrame& frame, Grid& grid) {
  NativeControl* native = NativeOf(grid);
  if (!native || !grid.IsVirtual() || !grid.IsVisibleOnScreen()) return;
  int top = static_cast<int>(SendMessageW(native->hwnd, LVM_GETTOPINDEX, 0, 0));
  int perPage = static_cast<int>(SendMessageW(native->hwnd, LVM_GETCOUNTPERPAGE, 0, 0));
  int first = top + 1;
  // One more than fits: the row cut off at the bottom is shown too.
  int last = std::min(top + perPage + 1, grid.RowCount() - 1);
  if (!grid.NeedsDraw() && first == native->drawnFirst && last == native->drawnLast) return;
  native->drawnFirst = first;
  native->drawnLast = last;
  grid.RequestDraw(first, last);
}

void SyncGridRows(NativeFrame& frame, Grid& grid, NativeControl& native) {
  native.rowsPosted = false;
  if (SendMessageW(native.hwnd, LVM_GETITEMCOUNT, 0, 0) != grid.RowCount() - 1) {
    SetCount(grid, native.hwnd);
    SetRowHeight(frame, grid, native.hwnd);
    ShowSelection(grid, native);
  }
  InvalidateRect(native.hwnd, nullptr, FALSE);
  if (grid.IsVirtual() && grid.NeedsDraw()) PostMessageW(frame.hwnd, kMsgAskRows, reinterpret_cast<WPARAM>(native.hwnd), 0);
}

LRESULT GridNotify(NativeFrame& frame, Grid& grid, NMHDR& header, bool& handled) {
  NativeControl* native = NativeOf(grid);
  if (!native) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      handled = true;
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      int row = item.iItem + 1;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        std::wstring text = grid.CellText(row, item.iSubItem);
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
      }
      if ((item.mask & LVIF_STATE) && grid.HasCheckBoxColumn()) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(grid.IsChecked(row, 0) ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
      }
      return 0;
    }
    case NM_CUSTOMDRAW: {
      handled = true;
      auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
      if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
        if (grid.IsVirtual()) PostMessageW(frame.hwnd, kMsgAskRows, reinterpret_cast<WPARAM>(native->hwnd), 0);
        return CDRF_NOTIFYITEMDRAW;
      }
      if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYSUBITEMDRAW;
      if (draw.nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
        int row = static_cast<int>(draw.nmcd.dwItemSpec) + 1;
        auto color = grid.CellTextColor(row, draw.iSubItem);
        if (!color && grid.TextColor()) color = grid.TextColor();
        draw.clrText = color ? color->ToColorRef() : GetSysColor(COLOR_WINDOWTEXT);
        return CDRF_NEWFONT;
      }
      return CDRF_DODEFAULT;
    }
    case NM_CLICK: {
      handled = true;
      auto& click = reinterpret_cast<NMITEMACTIVATE&>(header);
      LVHITTESTINFO hit{};
      hit.pt = click.ptAction;
      SendMessageW(native->hwnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      if (hit.iItem < 0) return 0;
      if (grid.HasCheckBoxColumn() && (hit.flags & LVHT_ONITEMSTATEICON))
        ClickCheckBox(frame, grid, hit.iItem + 1);
      else
        grid.UserClick(hit.iItem + 1, hit.iSubItem);
      return 0;
    }
    case LVN_KEYDOWN: {
      // Space ticks the focused row's box, as a click on it would.
      auto& key = reinterpret_cast<NMLVKEYDOWN&>(header);
      if (key.wVKey == VK_SPACE && grid.HasCheckBoxColumn() && grid.SelectedRow() >= 1) {
        handled = true;
        ClickCheckBox(frame, grid, grid.SelectedRow());
      }
      return 0;
    }
    case LVN_ITEMCHANGED: {
      handled = true;
      auto& change = reinterpret_cast<NMLISTVIEW&>(header);
      // The keyboard moved the highlight.
      if (!native->programChange && change.iItem >= 0 && (change.uChanged & LVIF_STATE) &&
          (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED))
        grid.SelectRow(change.iItem + 1);
      return 0;
    }
    case LVN_COLUMNCLICK:
      handled = true;
      grid.UserClick(0, reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
      return 0;
    default:
      return 0;
  }
}

LRESULT GridAction(NativeFrame& frame, Grid& grid, UiAction action, int row, int column) {
  switch (action) {
    case UiAction::kClickRow:
      return grid.UserClick(row, column) ? 1 : 0;
    case UiAction::kCheckRow:
      if (!grid.HasCheckBoxColumn() || row < 1 || row >= grid.RowCount()) return 0;
      ClickCheckBox(frame, grid, row);
      return 1;
    case UiAction::kRowChecked:
      return grid.IsChecked(row, 0) ? 1 : 0;
    case UiAction::kCellText: {
      std::wstring text = L"=" + grid.CellText(row, column);
      if (text.size() > 255) text.resize(255);
      return GlobalAddAtomW(text.c_str());
    }
    default:
      return 0;
  }
}

}  // namespace orvello::ui::win32
