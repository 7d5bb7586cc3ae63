#pragma once
// The simple kinds: labels, buttons, option and check boxes, edit boxes and
// progress bars.
#include <string>

#include "ui/control.h"

namespace orvello::ui {

// "Label" and "Text": text the user reads.
class Label : public Control {
 public:
  explicit Label(ControlKind kind = ControlKind::kLabel) : Control(kind) {}
};

class Button : public Control {
 public:
  Button() : Control(ControlKind::kButton) {}
  // Raises "click".
  bool Activate() override;

 protected:
  explicit Button(ControlKind kind) : Control(kind) {}
};

// An option box. Within a group at most one is selected: selecting one
// unselects the others. Without a group a click toggles it.
class Option : public Button {
 public:
  Option() : Button(ControlKind::kOption) {}

  const std::wstring& Group() const { return group_; }
  void SetGroup(std::wstring group) { group_ = std::move(group); }
  bool IsSelected() const { return selected_; }
  // With `notify`, every option of the group that loses its selection
  // raises "selectchanged" (wParam 0), then this one (wParam 1 or 0).
  // Without, the change is silent.
  void SetSelected(bool selected, bool notify = true);

  // "click", then a grouped option becomes selected and a lone one toggles.
  bool Activate() override;

  AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value) override;

 protected:
  explicit Option(ControlKind kind) : Button(kind) {}

 private:
  std::wstring group_;
  bool selected_ = false;
};

// A check box: an option that is normally in no group.
class CheckBox : public Option {
 public:
  CheckBox() : Option(ControlKind::kCheckBox) {}
  bool IsChecked() const { return IsSelected(); }
  void SetCheck(bool checked, bool notify = true) { SetSelected(checked, notify); }
};

class Edit : public Control {
 public:
  Edit() : Control(ControlKind::kEdit) {}

  // SetText is the program's and raises nothing; this is the user's edit
  // (from the backend or a test) and raises "textchanged". False when the
  // box is disabled or read-only.
  bool UserEdit(std::wstring text);

  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool IsPassword() const { return password_; }
  // 0: no limit.
  int MaxChars() const { return maxChars_; }

  AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value) override;

 private:
  bool readOnly_ = false;
  bool password_ = false;
  int maxChars_ = 0;
};

class Progress : public Control {
 public:
  Progress() : Control(ControlKind::kProgress) {}

  int Value() const;
  int Min() const { return min_; }
  int Max() const { return max_; }
  // Clamped to the range.
  void SetValue(int value);
  void SetRange(int min, int max);

  AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value) override;

 private:
  int value_ = 0;
  int min_ = 0;
  int max_ = 100;
};

}  // namespace orvello::ui
