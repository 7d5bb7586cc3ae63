#pragma once
// The box layout. A control gets a rectangle from its parent; containers
// share their rectangle, less their inset, among the children:
// - VerticalLayout: top to bottom. A child with a height keeps it (plus
//   its top and bottom padding); the others share what is left equally,
//   the last taking the remainder. Width: its own, else the full width.
//   childpadding separates neighbours.
// - HorizontalLayout: the same from left to right.
// - Any other container (TabLayout, ChildLayout, Container): every child
//   gets the whole area less its padding, sized by its own width and
//   height where it has them.
// Invisible children take no space and get an empty rectangle. Floating
// children ("float" with "pos" l,t,r,b) are placed relative to the
// parent's top-left corner; a zero r or b is taken from width or height.
#include "ui/control.h"
#include "ui/geometry.h"

namespace orvello::ui {

void ArrangeControl(Control& control, const Rect& rect);

}  // namespace orvello::ui
