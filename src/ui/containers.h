#pragma once
// Controls that hold controls: the plain container (children overlap and
// fill it), the two box layouts, the page switcher and the included layout.
#include <memory>
#include <string>
#include <vector>

#include "ui/control.h"

namespace orvello::ui {

class Container : public Control {
 public:
  Container() : Container(ControlKind::kContainer) {}
  ~Container() override;

  bool IsContainer() const override { return true; }
  size_t ChildCount() const override { return children_.size(); }
  Control* ChildAt(size_t index) const override;
  int IndexOf(const Control* child) const;

  // Appends a child; in a built window it joins at once (names, backend).
  Control* Add(std::unique_ptr<Control> child);
  // Removes and destroys a child; false when it is not a child of this one.
  bool Remove(Control* child);
  void RemoveAll();

  AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value) override;

 protected:
  explicit Container(ControlKind kind) : Control(kind) {}
  // A child was removed at `index` (the tab layout keeps its page).
  virtual void OnChildRemoved(size_t index) {}
  virtual void OnChildAdded(size_t index) {}

 private:
  std::vector<std::unique_ptr<Control>> children_;
};

// Children top to bottom: fixed heights first, the rest share what is left.
class VerticalLayout : public Container {
 public:
  VerticalLayout() : Container(ControlKind::kVerticalLayout) {}
};

// Children left to right: fixed widths first, the rest share what is left.
class HorizontalLayout : public Container {
 public:
  HorizontalLayout() : Container(ControlKind::kHorizontalLayout) {}
};

// Shows one child at a time: the wizard's page switcher.
class TabLayout : public Container {
 public:
  TabLayout() : Container(ControlKind::kTabLayout) {}

  // Selects the child whose name equals `name` ignoring letter case. A name
  // that matches no child changes nothing and answers false.
  bool SelectItem(std::wstring_view name);
  bool SelectItem(int index);
  // -1 without children.
  int CurrentSelection() const;
  Control* SelectedChild() const;

  AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value) override;

 protected:
  void OnChildAdded(size_t index) override;
  void OnChildRemoved(size_t index) override;

 private:
  int current_ = -1;
};

// Includes the layout file named by its "xmlfile" attribute; the included
// root becomes its only child.
class ChildLayout : public Container {
 public:
  ChildLayout() : Container(ControlKind::kChildLayout) {}

  const std::wstring& XmlFile() const { return xmlFile_; }

  AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value) override;

 private:
  std::wstring xmlFile_;
};

}  // namespace orvello::ui
