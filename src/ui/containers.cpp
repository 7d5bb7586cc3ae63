#include "ui/containers.h"

#include "system/text.h"
#include "ui/layout_values.h"
#include "ui/notify.h"
#include "ui/paint_manager.h"

namespace orvello::ui {

Container::~Container() = default;

Control* Container::ChildAt(size_t index) const { return index < children_.size() ? children_[index].get() : nullptr; }

int Container::IndexOf(const Control* child) const {
  for (size_t i = 0; i < children_.size(); ++i)
    if (children_[i].get() == child) return static_cast<int>(i);
  return -1;
}

Control* Container::Add(std::unique_ptr<Control> child) {
  if (!child) return nullptr;
  Control* added = child.get();
  added->parent_ = this;
  children_.push_back(std::move(child));
  OnChildAdded(children_.size() - 1);
  if (PaintManager* manager = Manager()) {
    manager->Attach(*added);
    Changed(Change::kChildren);
    RequestLayout();
  }
  return added;
}

bool Container::Remove(Control* child) {
  int index = IndexOf(child);
  if (index < 0) return false;
  if (PaintManager* manager = Manager()) manager->Detach(*child);
  std::unique_ptr<Control> removed = std::move(children_[index]);
  children_.erase(children_.begin() + index);
  OnChildRemoved(static_cast<size_t>(index));
  Changed(Change::kChildren);
  RequestLayout();
  return true;
}

void Container::RemoveAll() {
  while (!children_.empty()) Remove(children_.back().get());
}

AttributeResult Container::SetAttribute(std::wstring_view name, std::wstring_view value) {
  LayoutHints hints = Hints();
  if (name == L"inset") {
    auto rect = ParseLayoutRect(value);
    if (!rect) return AttributeResult::kBadValue;
    hints.inset = *rect;
    SetHints(hints);
    return AttributeResult::kApplied;
  }
  if (name == L"childpadding") {
    auto padding = ParseLayoutInt(value);
    if (!padding) return AttributeResult::kBadValue;
    hints.childPadding = *padding;
    SetHints(hints);
    return AttributeResult::kApplied;
  }
  return Control::SetAttribute(name, value);
}

bool TabLayout::SelectItem(std::wstring_view name) {
  for (size_t i = 0; i < ChildCount(); ++i)
    if (EqualsIgnoreCase(ChildAt(i)->Name(), name)) return SelectItem(static_cast<int>(i));
  return false;
}

bool TabLayout::SelectItem(int index) {
  if (index < 0 || index >= static_cast<int>(ChildCount())) return false;
  if (index == current_) return true;
  int old = current_;
  current_ = index;
  Changed(Change::kSelected, index);
  RequestLayout();
  SendNotify(notify::kTabSelect, static_cast<WParam>(index), old);
  return true;
}

int TabLayout::CurrentSelection() const {
  return current_ >= 0 && current_ < static_cast<int>(ChildCount()) ? current_ : -1;
}

Control* TabLayout::SelectedChild() const {
  int index = CurrentSelection();
  return index < 0 ? nullptr : ChildAt(static_cast<size_t>(index));
}

AttributeResult TabLayout::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"selectedid") {
    auto index = ParseLayoutInt(value);
    if (!index || *index < 0) return AttributeResult::kBadValue;
    current_ = *index;
    return AttributeResult::kApplied;
  }
  return Container::SetAttribute(name, value);
}

void TabLayout::OnChildAdded(size_t) {
  if (current_ < 0) current_ = 0;
}

void TabLayout::OnChildRemoved(size_t index) {
  int removed = static_cast<int>(index);
  if (removed < current_) {
    --current_;
  } else if (removed == current_ && current_ >= static_cast<int>(ChildCount())) {
    current_ = static_cast<int>(ChildCount()) - 1;
  }
}

AttributeResult ChildLayout::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"xmlfile") {
    xmlFile_ = value;
    return AttributeResult::kApplied;
  }
  return Container::SetAttribute(name, value);
}

}  // namespace orvello::ui
