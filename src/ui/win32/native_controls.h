#pragma once
// The common controls that show the model's controls: which native class
// each kind gets, how each change of the model reaches it, and how the
// native notifications of the user become the model's entry points.
#include <windows.h>

#include "ui/control.h"
#include "ui/win32/native_state.h"

namespace orvello::ui::win32 {

// Whether this kind is shown by a native window of its own.
bool HasNativeWindow(const Control& control);

// Creates the native windows of every control in the subtree that has
// none yet (hidden, unplaced: PlaceNativeControls does the rest).
void CreateNativeControls(NativeFrame& frame, Control& subtree);
void UpdateNativeControl(NativeFrame& frame, Control& control, Change what, int item);
// Moves every native control to its layout rectangle times the scale and
// shows, hides, enables and disables it as the model says.
void PlaceNativeControls(NativeFrame& frame);

Control* ControlOfHwnd(const NativeFrame& frame, HWND hwnd);
// What a control's own background shows: its colour or the nearest
// ancestor's, else the window's.
COLORREF BackgroundOf(const NativeFrame& frame, const Control& control);
HFONT FontOf(const NativeFrame& frame, const Control& control);

// WM_COMMAND from a child; true when it was one of ours.
bool HandleCommand(NativeFrame& frame, HWND child, UINT code);
// WM_NOTIFY; `handled` false leaves it to DefWindowProc.
LRESULT HandleNotify(NativeFrame& frame, NMHDR& header, bool& handled);
// WM_DRAWITEM of image buttons and pictures.
bool DrawItem(NativeFrame& frame, const DRAWITEMSTRUCT& item);
// WM_CTLCOLORSTATIC / EDIT / BTN; null leaves it to DefWindowProc.
HBRUSH ControlColors(NativeFrame& frame, HDC dc, HWND child, UINT message);

}  // namespace orvello::ui::win32
