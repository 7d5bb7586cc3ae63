#include "ui/win32/native_tree.h"

#include <commctrl.h>

#include "ui/win32/win32_backend.h"

namespace orvello::ui::win32 {

namespace {

void Insert(HWND view, NativeControl& native, TreeNode& node, HTREEITEM parent) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
  insert.item.pszText = node.text.data();
  insert.item.lParam = reinterpret_cast<LPARAM>(&node);
  insert.item.cChildren = node.ChildCount() > 0 || node.expandable ? 1 : 0;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(view, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!item) return;
  native.treeItems[&node] = item;
  for (size_t i = 0; i < node.ChildCount(); ++i) Insert(view, native, *node.ChildAt(i), item);
  if (node.IsExpanded()) SendMessageW(view, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

void ShowSelection(Tree& tree, NativeControl& native) {
  auto found = native.treeItems.find(tree.SelectedNode());
  native.programChange = true;
  SendMessageW(native.hwnd, TVM_SELECTITEM, TVGN_CARET,
               reinterpret_cast<LPARAM>(found == native.treeItems.end() ? nullptr : found->second));
  native.programChange = false;
}

}  // namespace

HWND CreateTreeWindow(NativeFrame& frame, Tree& tree, int id) {
  HWND view = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                              WS_CHILD | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                              0, 0, 0, 0, frame.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              frame.backend->Instance(), nullptr);
  if (view) PostMessageW(frame.hwnd, kMsgFillTree, reinterpret_cast<WPARAM>(view), 0);
  return view;
}

void FillTree(Tree& tree, NativeControl& native) {
  native.programChange = true;
  SendMessageW(native.hwnd, WM_SETREDRAW, FALSE, 0);
  SendMessageW(native.hwnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  native.treeItems.clear();
  for (size_t i = 0; i < tree.Root().ChildCount(); ++i) Insert(native.hwnd, native, *tree.Root().ChildAt(i), TVI_ROOT);
  SendMessageW(native.hwnd, WM_SETREDRAW, TRUE, 0);
  native.programChange = false;
  ShowSelection(tree, native);
}

void UpdateTree(NativeFrame& frame, Tree& tree, NativeControl& native, Change what) {
  if (what == Change::kItems || what == Change::kText) {
    // Nodes may change inside the view's own notifications (filled on
    // expansion): rebuild once they are over.
    PostMessageW(frame.hwnd, kMsgFillTree, reinterpret_cast<WPARAM>(native.hwnd), 0);
  } else if (what == Change::kSelected) {
    ShowSelection(tree, native);
  }
}

LRESULT TreeNotify(NativeFrame& frame, Tree& tree, NMHDR& header, bool& handled) {
  NativeControl* native = NativeOf(tree);
  if (!native || native->programChange) return 0;
  if (header.code == TVN_SELCHANGEDW) {
    handled = true;
    auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
    auto* node = reinterpret_cast<TreeNode*>(change.itemNew.lParam);
    if (tree.Contains(node)) tree.UserSelect(node);
    return 0;
  }
  if (header.code == TVN_ITEMEXPANDINGW) {
    handled = true;
    auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
    auto* node = reinterpret_cast<TreeNode*>(change.itemNew.lParam);
    if (tree.Contains(node)) tree.UserExpand(node, change.action == TVE_EXPAND);
    return FALSE;
  }
  return 0;
}

}  // namespace orvello::ui::win32
