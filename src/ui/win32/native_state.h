#pragma once
// What the Win32 backend keeps beside the model: one NativeFrame per
// toolkit window (Window::native) and one NativeControl per control that
// has a native window (Control::native). Releasing either destroys the
// native window it holds.
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "ui/control.h"
#include "ui/window.h"
#include "ui/win32/gdi_objects.h"

namespace orvello::ui::win32 {

class Win32Backend;

// Private messages of the top-level window.
inline constexpr UINT kMsgLayout = WM_APP + 1;    // lay out and place the native controls
inline constexpr UINT kMsgAskRows = WM_APP + 2;   // wParam: a virtual grid's list view
inline constexpr UINT kMsgFillTree = WM_APP + 3;  // wParam: a tree view
inline constexpr UINT kMsgSyncRows = WM_APP + 4;  // wParam: a grid's list view
struct NativeFrame;

struct NativeControl {
  NativeControl() = default;
  NativeControl(const NativeControl&) = delete;
  NativeControl& operator=(const NativeControl&) = delete;
  ~NativeControl();

  NativeFrame* frame = nullptr;
  HWND hwnd = nullptr;
  ATOM nameAtom = 0;
  // Set while the program's own change is written to the native control,
  // so that the notifications it causes are not taken for the user's.
  bool programChange = false;
  bool hot = false;        // the mouse is over an image button
  bool tracking = false;   // TrackMouseEvent is armed
  // Virtual grids: the rows last asked for, to ask again when they change.
  int drawnFirst = 0;
  int drawnLast = -1;
  // Grids: a row sync is queued (a form filling a list changes it row by row).
  bool rowsPosted = false;
  std::map<const void*, void*> treeItems;  // tree node -> HTREEITEM
};

struct NativeFrame {
  NativeFrame() = default;
  NativeFrame(const NativeFrame&) = delete;
  NativeFrame& operator=(const NativeFrame&) = delete;
  ~NativeFrame();

  Win32Backend* backend = nullptr;
  Window* window = nullptr;
  HWND hwnd = nullptr;
  HWND tooltip = nullptr;
  std::vector<GdiObject<HFONT>> fonts;  // by index into Window::Fonts()
  HFONT defaultFont = nullptr;
  BrushCache brushes;
  std::map<HWND, Control*> controls;
  bool layoutPosted = false;
  bool destroying = false;
};

NativeFrame* FrameOf(const Window& window);
NativeControl* NativeOf(const Control& control);

}  // namespace orvello::ui::win32
