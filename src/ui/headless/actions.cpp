#include "ui/headless/actions.h"

#include "ui/basic_controls.h"
#include "ui/combo.h"
#include "ui/grid.h"
#include "ui/headless/headless_backend.h"
#include "ui/messages.h"

namespace orvello::ui::headless {

namespace {

template <typename T>
T* Reachable(Window& window, std::wstring_view name) {
  if (!window.AcceptsInput()) return nullptr;
  T* control = window.Find<T>(name);
  if (!control || !control->IsVisibleOnScreen() || !control->IsEnabledOnScreen()) return nullptr;
  return control;
}

bool Finish(bool done) {
  if (HeadlessBackend* backend = HeadlessBackend::Current()) backend->Pump();
  return done;
}

}  // namespace

bool Click(Window& window, std::wstring_view name) {
  Control* control = Reachable<Control>(window, name);
  if (!control) return false;
  return Finish(control->Activate());
}

bool TypeText(Window& window, std::wstring_view name, std::wstring_view text) {
  Edit* edit = Reachable<Edit>(window, name);
  if (!edit || edit->IsReadOnly()) return false;
  if (text.empty()) return Finish(edit->UserEdit(L""));
  for (size_t typed = 1; typed <= text.size(); ++typed)
    if (!edit->UserEdit(std::wstring(text.substr(0, typed)))) return Finish(false);
  return Finish(true);
}

bool Select(Window& window, std::wstring_view name) {
  Option* option = Reachable<Option>(window, name);
  if (!option) return false;
  if (option->IsSelected()) return true;
  return Finish(option->Activate());
}

bool SetChecked(Window& window, std::wstring_view name, bool checked) {
  CheckBox* box = Reachable<CheckBox>(window, name);
  if (!box) return false;
  if (box->IsChecked() == checked) return true;
  return Finish(box->Activate());
}

bool ClickGridRow(Window& window, std::wstring_view grid, int row, int column) {
  Grid* target = Reachable<Grid>(window, grid);
  if (!target) return false;
  return Finish(target->UserClick(row, column));
}

bool CheckGridRow(Window& window, std::wstring_view grid, int row, bool checked, int column) {
  Grid* target = Reachable<Grid>(window, grid);
  if (!target) return false;
  return Finish(target->UserSetCheck(row, column, checked));
}

bool SelectComboItem(Window& window, std::wstring_view combo, int index) {
  Combo* target = Reachable<Combo>(window, combo);
  if (!target || !target->Item(index)) return false;
  return Finish(target->UserSelect(index));
}

bool SelectTreeNode(Window& window, std::wstring_view tree, TreeNode* node) {
  Tree* target = Reachable<Tree>(window, tree);
  if (!target || !target->Contains(node)) return false;
  return Finish(target->UserSelect(node));
}

bool ExpandTreeNode(Window& window, std::wstring_view tree, TreeNode* node, bool expand) {
  Tree* target = Reachable<Tree>(window, tree);
  if (!target || !target->Contains(node)) return false;
  return Finish(target->UserExpand(node, expand));
}

bool ChooseMenuItem(Window& window, std::wstring_view item) {
  if (!window.IsCreated() || !window.OpenMenu()) return false;
  return Finish(window.ChooseMenuItem(item));
}

bool PressKey(Window& window, int virtualKey, bool withControl) {
  if (!window.AcceptsInput()) return false;
  HeadlessBackend* backend = HeadlessBackend::Current();
  if (backend && withControl) backend->SetKeyDown(kVkControl, true);
  bool handled = window.RouteMessage(kWmKeyDown, static_cast<WParam>(virtualKey), 0);
  if (backend && withControl) backend->SetKeyDown(kVkControl, false);
  return Finish(handled);
}

bool CloseFromCaption(Window& window) {
  if (!window.AcceptsInput()) return false;
  return Finish(window.RouteMessage(kWmClose, kResultCancel, 0));
}

}  // namespace orvello::ui::headless
