#pragma once
// Trees as SysTreeView32. The native items are rebuilt from the model
// after a change of its nodes (outside the tree view's own notifications);
// each item's lParam is its node.
#include <windows.h>

#include "ui/tree.h"
#include "ui/win32/native_state.h"

namespace orvello::ui::win32 {

HWND CreateTreeWindow(NativeFrame& frame, Tree& tree, int id);
void UpdateTree(NativeFrame& frame, Tree& tree, NativeControl& native, Change what);
// kMsgFillTree: the deferred rebuild.
void FillTree(Tree& tree, NativeControl& native);
LRESULT TreeNotify(NativeFrame& frame, Tree& tree, NMHDR& header, bool& handled);

}  // namespace orvello::ui::win32
