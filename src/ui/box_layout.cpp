#include "ui/box_layout.h"

#include <algorithm>
#include <vector>

namespace orvello::ui {

namespace {

Rect Inner(const Rect& rect, const Rect& inset) {
  Rect inner{rect.left + inset.left, rect.top + inset.top, rect.right - inset.right, rect.bottom - inset.bottom};
  inner.right = std::max(inner.right, inner.left);
  inner.bottom = std::max(inner.bottom, inner.top);
  return inner;
}

void PlaceFloating(Control& child, const Rect& parent) {
  const LayoutHints& h = child.Hints();
  Rect rect{parent.left + h.pos.left, parent.top + h.pos.top, parent.left + h.pos.right, parent.top + h.pos.bottom};
  if (h.pos.right == 0) rect.right = rect.left + h.width;
  if (h.pos.bottom == 0) rect.bottom = rect.top + h.height;
  ArrangeControl(child, rect);
}

// Lays out a box along one axis; `vertical` picks which.
void ArrangeBox(Control& box, const Rect& inner, bool vertical) {
  std::vector<Control*> flow;
  for (size_t i = 0; i < box.ChildCount(); ++i) {
    Control* child = box.ChildAt(i);
    if (!child->IsVisible()) {
      ArrangeControl(*child, Rect{});
    } else if (child->Hints().floating) {
      PlaceFloating(*child, inner);
    } else {
      flow.push_back(child);
    }
  }
  if (flow.empty()) return;

  auto along = [&](const Control& c) { return vertical ? c.Hints().height : c.Hints().width; };
  auto before = [&](const Control& c) { return vertical ? c.Hints().padding.top : c.Hints().padding.left; };
  auto after = [&](const Control& c) { return vertical ? c.Hints().padding.bottom : c.Hints().padding.right; };

  int length = vertical ? inner.Height() : inner.Width();
  int fixed = box.Hints().childPadding * static_cast<int>(flow.size() - 1);
  int stretchCount = 0;
  for (const Control* child : flow) {
    fixed += before(*child) + after(*child);
    if (along(*child) > 0)
      fixed += along(*child);
    else
      ++stretchCount;
  }
  int left = std::max(0, length - fixed);
  int share = stretchCount > 0 ? left / stretchCount : 0;
  int remainder = stretchCount > 0 ? left - share * stretchCount : 0;

  int at = vertical ? inner.top : inner.left;
  int stretchSeen = 0;
  for (Control* child : flow) {
    at += before(*child);
    int size = along(*child);
    if (size <= 0) size = share + (++stretchSeen == stretchCount ? remainder : 0);
    const LayoutHints& h = child->Hints();
    Rect rect;
    if (vertical) {
      int width = h.width > 0 ? h.width : inner.Width() - h.padding.left - h.padding.right;
      rect = Rect{inner.left + h.padding.left, at, inner.left + h.padding.left + std::max(0, width), at + size};
    } else {
      int height = h.height > 0 ? h.height : inner.Height() - h.padding.top - h.padding.bottom;
      rect = Rect{at, inner.top + h.padding.top, at + size, inner.top + h.padding.top + std::max(0, height)};
    }
    ArrangeControl(*child, rect);
    at += size + after(*child) + box.Hints().childPadding;
  }
}

void ArrangeStack(Control& container, const Rect& inner) {
  for (size_t i = 0; i < container.ChildCount(); ++i) {
    Control* child = container.ChildAt(i);
    const LayoutHints& h = child->Hints();
    if (!child->IsVisible()) {
      ArrangeControl(*child, Rect{});
    } else if (h.floating) {
      PlaceFloating(*child, inner);
    } else {
      Rect rect{inner.left + h.padding.left, inner.top + h.padding.top, inner.right - h.padding.right,
                inner.bottom - h.padding.bottom};
      if (h.width > 0) rect.right = rect.left + h.width;
      if (h.height > 0) rect.bottom = rect.top + h.height;
      rect.right = std::max(rect.right, rect.left);
      rect.bottom = std::max(rect.bottom, rect.top);
      ArrangeControl(*child, rect);
    }
  }
}

}  // namespace

void ArrangeControl(Control& control, const Rect& rect) {
  control.SetPos(rect);
  if (control.ChildCount() == 0) return;
  Rect inner = Inner(rect, control.Hints().inset);
  switch (control.Kind()) {
    case ControlKind::kVerticalLayout:
      ArrangeBox(control, inner, true);
      break;
    case ControlKind::kHorizontalLayout:
      ArrangeBox(control, inner, false);
      break;
    default:
      ArrangeStack(control, inner);
      break;
  }
}

}  // namespace orvello::ui
