#include "ui/basic_controls.h"

#include <algorithm>

#include "ui/layout_values.h"
#include "ui/notify.h"
#include "ui/paint_manager.h"

namespace orvello::ui {

bool Button::Activate() {
  if (!IsEnabled()) return false;
  SendNotify(notify::kClick);
  return true;
}

void Option::SetSelected(bool selected, bool notify) {
  if (selected == selected_) return;
  if (selected && !group_.empty()) {
    if (PaintManager* manager = Manager()) {
      for (Option* other : manager->OptionGroup(group_)) {
        if (other != this && other->IsSelected()) other->SetSelected(false, notify);
      }
    }
  }
  selected_ = selected;
  Changed(Change::kSelected);
  if (notify) SendNotify(notify::kSelectChanged, selected ? 1 : 0);
}

bool Option::Activate() {
  if (!IsEnabled()) return false;
  SendNotify(notify::kClick);
  if (!group_.empty())
    SetSelected(true);
  else
    SetSelected(!selected_);
  return true;
}

AttributeResult Option::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"group") {
    group_ = value;
    return AttributeResult::kApplied;
  }
  if (name == L"selected") {
    auto selected = ParseLayoutBool(value);
    if (!selected) return AttributeResult::kBadValue;
    SetSelected(*selected, false);
    return AttributeResult::kApplied;
  }
  return Button::SetAttribute(name, value);
}

bool Edit::UserEdit(std::wstring text) {
  if (!IsEnabled() || readOnly_) return false;
  if (maxChars_ > 0 && text.size() > static_cast<size_t>(maxChars_)) text.resize(static_cast<size_t>(maxChars_));
  if (text == Text()) return true;
  SetText(std::move(text));
  SendNotify(notify::kTextChanged);
  return true;
}

void Edit::SetReadOnly(bool readOnly) {
  if (readOnly == readOnly_) return;
  readOnly_ = readOnly;
  Changed(Change::kStyle);
}

AttributeResult Edit::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"readonly" || name == L"password") {
    auto flag = ParseLayoutBool(value);
    if (!flag) return AttributeResult::kBadValue;
    (name == L"readonly" ? readOnly_ : password_) = *flag;
    return AttributeResult::kApplied;
  }
  if (name == L"maxchar") {
    auto count = ParseLayoutInt(value);
    if (!count || *count < 0) return AttributeResult::kBadValue;
    maxChars_ = *count;
    return AttributeResult::kApplied;
  }
  return Control::SetAttribute(name, value);
}

int Progress::Value() const { return std::clamp(value_, min_, std::max(min_, max_)); }

void Progress::SetValue(int value) {
  value = std::clamp(value, min_, std::max(min_, max_));
  if (value == value_) return;
  value_ = value;
  Changed(Change::kValue);
}

void Progress::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  value_ = std::clamp(value_, min_, max_);
  Changed(Change::kValue);
}

AttributeResult Progress::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"min" || name == L"max" || name == L"value") {
    auto number = ParseLayoutInt(value);
    if (!number) return AttributeResult::kBadValue;
    // Attributes come in any order: the value is clamped when it is read.
    (name == L"min" ? min_ : name == L"max" ? max_ : value_) = *number;
    return AttributeResult::kApplied;
  }
  return Control::SetAttribute(name, value);
}

}  // namespace orvello::ui
