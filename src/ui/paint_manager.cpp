#include "ui/paint_manager.h"

#include <algorithm>

#include "system/text.h"
#include "ui/basic_controls.h"
#include "ui/window.h"

namespace orvello::ui {

namespace {

void Visit(Control& control, const std::function<void(Control&)>& visit) {
  visit(control);
  for (size_t i = 0; i < control.ChildCount(); ++i) Visit(*control.ChildAt(i), visit);
}

bool IsWithin(const Control* control, const Control* ancestor) {
  for (; control; control = control->Parent())
    if (control == ancestor) return true;
  return false;
}

// Position of a control in depth-first order, to keep the first of
// repeated names first also when controls are added later.
std::vector<size_t> TreePath(const Control* control) {
  std::vector<size_t> path;
  for (; control && control->Parent(); control = control->Parent()) {
    const Control* parent = control->Parent();
    for (size_t i = 0; i < parent->ChildCount(); ++i) {
      if (parent->ChildAt(i) == control) {
        path.push_back(i);
        break;
      }
    }
  }
  std::reverse(path.begin(), path.end());
  return path;
}

}  // namespace

Control* PaintManager::FindControl(std::wstring_view name) const {
  if (name.empty()) return nullptr;
  auto found = names_.find(ToUpper(name));
  return found == names_.end() || found->second.empty() ? nullptr : found->second.front();
}

Control* PaintManager::FindSubControl(Control* parent, std::wstring_view name) const {
  if (!parent || name.empty()) return nullptr;
  auto found = names_.find(ToUpper(name));
  if (found == names_.end()) return nullptr;
  for (Control* control : found->second)
    if (IsWithin(control, parent)) return control;
  return nullptr;
}

std::vector<Option*> PaintManager::OptionGroup(std::wstring_view group) const {
  std::vector<Option*> options;
  if (!root_ || group.empty()) return options;
  Visit(*root_, [&](Control& control) {
    auto* option = dynamic_cast<Option*>(&control);
    if (option && EqualsIgnoreCase(option->Group(), group)) options.push_back(option);
  });
  return options;
}

void PaintManager::ForEachControl(const std::function<void(Control&)>& visit) const {
  if (root_) Visit(*root_, visit);
}

void PaintManager::SendNotify(Control* sender, std::wstring_view type, WParam wParam, LParam lParam) {
  Notification notification{std::wstring(type), sender, wParam, lParam};
  window_.DispatchNotify(notification);
}

void PaintManager::ControlChanged(Control& control, Change what, int item) { window_.ControlChanged(control, what, item); }

void PaintManager::RequestLayout() { window_.RequestLayout(); }

void PaintManager::SetRoot(Control* root) {
  if (root_) Detach(*root_);
  root_ = root;
  if (root_) Attach(*root_);
}

void PaintManager::Attach(Control& subtree) {
  Visit(subtree, [&](Control& control) {
    control.manager_ = this;
    Index(control);
  });
  Visit(subtree, [](Control& control) { control.OnAttached(); });
}

void PaintManager::Detach(Control& subtree) {
  Visit(subtree, [&](Control& control) {
    control.OnDetaching();
    window_.KillTimers(&control);
    Unindex(control);
    control.manager_ = nullptr;
  });
}

void PaintManager::Index(Control& control) {
  if (control.Name().empty()) return;
  std::vector<Control*>& list = names_[ToUpper(control.Name())];
  std::vector<size_t> path = TreePath(&control);
  auto at = std::find_if(list.begin(), list.end(), [&](Control* other) { return path < TreePath(other); });
  list.insert(at, &control);
}

void PaintManager::Unindex(Control& control) {
  if (control.Name().empty()) return;
  auto found = names_.find(ToUpper(control.Name()));
  if (found == names_.end()) return;
  std::erase(found->second, &control);
  if (found->second.empty()) names_.erase(found);
}

}  // namespace orvello::ui
