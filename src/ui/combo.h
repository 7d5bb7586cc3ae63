#pragma once
// A drop-down list of items, each with a text, a number and a text of
// user data.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/control.h"

namespace orvello::ui {

struct ComboItem {
  std::wstring text;
  uintptr_t data = 0;
  std::wstring userData;
};

class Combo : public Control {
 public:
  Combo() : Control(ControlKind::kCombo) {}

  int AddItem(std::wstring text, uintptr_t data = 0, std::wstring userData = {});
  void RemoveAll();
  size_t ItemCount() const { return items_.size(); }
  // Null outside the list.
  const ComboItem* Item(int index) const;
  int CurrentSelection() const { return current_; }
  // Selects an item (-1: none); with `notify` a change raises "itemselect"
  // (wParam the new index, lParam the old one). False for an index outside
  // the list.
  bool SelectItem(int index, bool notify = true);
  // The user's choice: the same, refused when the combo is disabled.
  bool UserSelect(int index);

  bool AddItemElement(std::wstring_view tag, const AttributeList& attributes, std::wstring& problem) override;

 private:
  std::vector<ComboItem> items_;
  int current_ = -1;
};

}  // namespace orvello::ui
