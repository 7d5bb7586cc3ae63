#pragma once
// What a user can do to a window, for tests. Each action is refused (false,
// nothing happens) when the user could not do it: the window is not shown
// or waits for a modal dialog it owns, the control does not exist or is of
// another kind, or it is hidden (also on a page that is not selected) or
// disabled. After an action the UI
// thread's queue runs (HeadlessBackend::Pump), as the message loop would.
#include <string_view>

#include "ui/tree.h"
#include "ui/window.h"

namespace orvello::ui::headless {

// A button, option or check box.
bool Click(Window& window, std::wstring_view name);
// Selects everything in an edit box and types `text` character by
// character: one "textchanged" per character (one for an empty text).
bool TypeText(Window& window, std::wstring_view name, std::wstring_view text);
// Clicks an option or check box that is not selected yet; true without a
// click when it already is.
bool Select(Window& window, std::wstring_view name);
// Clicks a check box when its state differs from `checked`.
bool SetChecked(Window& window, std::wstring_view name, bool checked);
// A click on a grid cell; row 0 is the header.
bool ClickGridRow(Window& window, std::wstring_view grid, int row, int column = 1);
// Ticks or clears a row's box in a check-box column ("valuechanged").
bool CheckGridRow(Window& window, std::wstring_view grid, int row, bool checked, int column = 0);
bool SelectComboItem(Window& window, std::wstring_view combo, int index);
bool SelectTreeNode(Window& window, std::wstring_view tree, TreeNode* node);
bool ExpandTreeNode(Window& window, std::wstring_view tree, TreeNode* node, bool expand = true);
// Picks an item of the window's open menu.
bool ChooseMenuItem(Window& window, std::wstring_view item);
// WM_KEYDOWN to the window with Ctrl held or not; answers whether a
// handler took it.
bool PressKey(Window& window, int virtualKey, bool withControl = false);
// The caption's close box: WM_CLOSE with the cancel result, as the
// native caption sends it.
bool CloseFromCaption(Window& window);

}  // namespace orvello::ui::headless
