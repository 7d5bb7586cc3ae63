#include "ui/combo.h"

#include "system/text.h"
#include "ui/layout_values.h"
#include "ui/notify.h"

namespace orvello::ui {

int Combo::AddItem(std::wstring text, uintptr_t data, std::wstring userData) {
  items_.push_back(ComboItem{std::move(text), data, std::move(userData)});
  Changed(Change::kItems);
  return static_cast<int>(items_.size()) - 1;
}

void Combo::RemoveAll() {
  items_.clear();
  current_ = -1;
  Changed(Change::kItems);
}

const ComboItem* Combo::Item(int index) const {
  return index >= 0 && index < static_cast<int>(items_.size()) ? &items_[static_cast<size_t>(index)] : nullptr;
}

bool Combo::SelectItem(int index, bool notify) {
  if (index < -1 || index >= static_cast<int>(items_.size())) return false;
  if (index == current_) return true;
  int old = current_;
  current_ = index;
  Changed(Change::kSelected, index);
  if (notify) SendNotify(notify::kItemSelect, static_cast<WParam>(index), old);
  return true;
}

bool Combo::UserSelect(int index) {
  if (!IsEnabled()) return false;
  return SelectItem(index, true);
}

bool Combo::AddItemElement(std::wstring_view tag, const AttributeList& attributes, std::wstring& problem) {
  if (!EqualsIgnoreCase(tag, L"Item")) return false;
  ComboItem item;
  bool selected = false;
  for (const auto& [name, value] : attributes) {
    if (name == L"text") {
      item.text = value;
    } else if (name == L"userdata") {
      item.userData = value;
    } else if (name == L"data") {
      auto number = ParseLayoutInt(value);
      if (!number || *number < 0) {
        problem = L"bad value \"" + value + L"\" for attribute \"data\"";
        return true;
      }
      item.data = static_cast<uintptr_t>(*number);
    } else if (name == L"selected") {
      selected = ParseLayoutBool(value).value_or(false);
    }
  }
  items_.push_back(std::move(item));
  if (selected) current_ = static_cast<int>(items_.size()) - 1;
  return true;
}

}  // namespace orvello::ui
