#pragma once
// Builds a control tree from a layout file (format: docs/ui-layouts.md).
// Included layouts (ChildLayout xmlfile="...") are read through the same
// skin reader. Every problem is collected while loading: an unreadable or
// malformed file, an unknown control class, a bad attribute value, an
// included file that is missing or includes itself. A control with a
// problem of its own is left out with everything inside it; the rest of
// the tree is still built.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/color.h"
#include "ui/control.h"
#include "ui/geometry.h"

namespace orvello::ui {

struct FontDef {
  int id = 0;
  std::wstring face;
  int size = 12;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool isDefault = false;
};

struct WindowAttributes {
  Size size;
  Rect caption;  // the part of the window that drags it
  Rect sizeBox;  // the border that resizes it
  Size minSize;
  Size maxSize;
  std::wstring title;
  std::optional<Color> bkColor;
  std::map<std::wstring, std::wstring, std::less<>> extra;
};

struct LoadedLayout {
  std::unique_ptr<Control> root;
  WindowAttributes window;
  std::vector<FontDef> fonts;
  // The loaded file first, then every included file once, in the order of
  // their first inclusion. Control::LayoutFileIndex points into it.
  std::vector<std::wstring> files;
  std::vector<std::wstring> problems;
};

LoadedLayout LoadLayout(std::wstring_view file);

}  // namespace orvello::ui
