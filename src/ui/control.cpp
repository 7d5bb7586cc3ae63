#include "ui/control.h"

#include "system/text.h"
#include "ui/containers.h"
#include "ui/layout_values.h"
#include "ui/paint_manager.h"
#include "ui/window.h"

namespace orvello::ui {

std::wstring_view KindTag(ControlKind kind) {
  switch (kind) {
    case ControlKind::kContainer: return L"Container";
    case ControlKind::kVerticalLayout: return L"VerticalLayout";
    case ControlKind::kHorizontalLayout: return L"HorizontalLayout";
    case ControlKind::kTabLayout: return L"TabLayout";
    case ControlKind::kChildLayout: return L"ChildLayout";
    case ControlKind::kLabel: return L"Label";
    case ControlKind::kText: return L"Text";
    case ControlKind::kButton: return L"Button";
    case ControlKind::kOption: return L"Option";
    case ControlKind::kCheckBox: return L"CheckBox";
    case ControlKind::kEdit: return L"Edit";
    case ControlKind::kProgress: return L"Progress";
    case ControlKind::kPicture: return L"Picture";
    case ControlKind::kCombo: return L"Combo";
    case ControlKind::kGrid: return L"Grid";
    case ControlKind::kRichEdit: return L"RichEdit";
    case ControlKind::kTree: return L"Tree";
  }
  return L"";
}

Control::Control(ControlKind kind) : kind_(kind) {}

Control::~Control() = default;

std::wstring Control::ClassName() const { return std::wstring(KindTag(kind_)); }

void Control::SetName(std::wstring name) {
  if (name == name_) return;
  // The paint manager indexes names, so a renamed control is re-entered.
  PaintManager* manager = manager_;
  if (manager) manager->Unindex(*this);
  name_ = std::move(name);
  if (manager) manager->Index(*this);
}

void Control::SetText(std::wstring text) {
  if (text == text_) return;
  text_ = std::move(text);
  Changed(Change::kText);
}

void Control::SetTooltip(std::wstring tooltip) {
  if (tooltip == tooltip_) return;
  tooltip_ = std::move(tooltip);
  Changed(Change::kTooltip);
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed(Change::kVisible);
  RequestLayout();
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed(Change::kEnabled);
}

bool Control::IsVisibleOnScreen() const {
  for (const Control* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
    if (c->parent_ && c->parent_->kind_ == ControlKind::kTabLayout &&
        static_cast<const TabLayout*>(c->parent_)->SelectedChild() != c)
      return false;
  }
  return true;
}

bool Control::IsEnabledOnScreen() const {
  for (const Control* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void Control::SetTextColor(std::optional<Color> color) {
  if (color == textColor_) return;
  textColor_ = color;
  Changed(Change::kStyle);
}

void Control::SetBkColor(std::optional<Color> color) {
  if (color == bkColor_) return;
  bkColor_ = color;
  Changed(Change::kStyle);
}

void Control::SetBorderColor(std::optional<Color> color) {
  if (color == borderColor_) return;
  borderColor_ = color;
  Changed(Change::kStyle);
}

void Control::SetFont(int font) {
  if (font == font_) return;
  font_ = font;
  Changed(Change::kStyle);
  RequestLayout();
}

void Control::SetHints(const LayoutHints& hints) {
  hints_ = hints;
  RequestLayout();
}

const std::wstring* Control::Attribute(std::wstring_view name) const {
  auto found = extra_.find(ToLower(name));
  return found == extra_.end() ? nullptr : &found->second;
}

AttributeResult Control::SetAttribute(std::wstring_view name, std::wstring_view value) {
  // Through the setters, so that a program changing an attribute later is
  // reported to the backend like any other change.
  auto color = [&](void (Control::*set)(std::optional<Color>)) {
    auto parsed = ParseColor(value);
    if (!parsed) return AttributeResult::kBadValue;
    (this->*set)(parsed);
    return AttributeResult::kApplied;
  };
  auto flag = [&](void (Control::*set)(bool)) {
    auto parsed = ParseLayoutBool(value);
    if (!parsed) return AttributeResult::kBadValue;
    (this->*set)(*parsed);
    return AttributeResult::kApplied;
  };
  auto hint = [&](auto parse, auto apply) {
    auto parsed = parse(value);
    if (!parsed) return AttributeResult::kBadValue;
    LayoutHints hints = hints_;
    apply(hints, *parsed);
    SetHints(hints);
    return AttributeResult::kApplied;
  };

  if (name == L"name") {
    SetName(std::wstring(value));
    return AttributeResult::kApplied;
  }
  if (name == L"text") {
    SetText(std::wstring(value));
    return AttributeResult::kApplied;
  }
  if (name == L"tooltip") {
    SetTooltip(std::wstring(value));
    return AttributeResult::kApplied;
  }
  if (name == L"userdata") {
    userData_ = value;
    return AttributeResult::kApplied;
  }
  if (name == L"resourceid") {
    auto parsed = ParseLayoutInt(value);
    if (!parsed || *parsed < 0) return AttributeResult::kBadValue;
    resourceId_ = *parsed;
    return AttributeResult::kApplied;
  }
  if (name == L"font") {
    auto parsed = ParseLayoutInt(value);
    if (!parsed) return AttributeResult::kBadValue;
    SetFont(*parsed);
    return AttributeResult::kApplied;
  }
  if (name == L"visible") return flag(&Control::SetVisible);
  if (name == L"enabled") return flag(&Control::SetEnabled);
  if (name == L"textcolor") return color(&Control::SetTextColor);
  if (name == L"bkcolor") return color(&Control::SetBkColor);
  if (name == L"bordercolor") return color(&Control::SetBorderColor);
  if (name == L"width") return hint(ParseLayoutInt, [](LayoutHints& h, int v) { h.width = v; });
  if (name == L"height") return hint(ParseLayoutInt, [](LayoutHints& h, int v) { h.height = v; });
  if (name == L"padding") return hint(ParseLayoutRect, [](LayoutHints& h, Rect v) { h.padding = v; });
  if (name == L"pos") return hint(ParseLayoutRect, [](LayoutHints& h, Rect v) { h.pos = v; });
  if (name == L"float") return hint(ParseLayoutBool, [](LayoutHints& h, bool v) { h.floating = v; });
  return AttributeResult::kUnknown;
}

bool Control::AddItemElement(std::wstring_view, const AttributeList&, std::wstring&) { return false; }

Window* Control::OwnerWindow() const { return manager_ ? &manager_->OwnerWindow() : nullptr; }

bool Control::Activate() { return false; }

void Control::Changed(Change what, int item) {
  if (manager_) manager_->ControlChanged(*this, what, item);
}

void Control::RequestLayout() {
  if (manager_) manager_->RequestLayout();
}

void Control::SendNotify(std::wstring_view type, WParam wParam, LParam lParam) {
  if (manager_) manager_->SendNotify(this, type, wParam, lParam);
}

bool Control::SetToolkitTimer(uint32_t id, uint32_t intervalMs) {
  Window* window = OwnerWindow();
  return window && window->SetToolkitTimer(this, id, intervalMs);
}

bool Control::KillToolkitTimer(uint32_t id) {
  Window* window = OwnerWindow();
  return window && window->KillToolkitTimer(this, id);
}

}  // namespace orvello::ui
