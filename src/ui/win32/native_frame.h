#pragma once
// The top-level window of a toolkit window: one window class per
// Window::ClassName, a popup without native caption (the skin draws the
// title bar; its `caption` rectangle drags the window), sized from the
// layout times the DPI scale and centred on its monitor's work area.
#include <windows.h>

#include "ui/window.h"
#include "ui/win32/native_state.h"

namespace orvello::ui::win32 {

// The toolkit window behind a top-level window of this backend; null for
// any other window.
NativeFrame* FrameOfHwnd(HWND hwnd);

// Creates the window (hidden) and the native controls; null on failure.
std::shared_ptr<NativeFrame> CreateFrame(Win32Backend& backend, Window& window);
// Destroys the native controls and the window; `frame` is gone afterwards.
void DestroyFrame(NativeFrame& frame);
// Shown or hidden, minimised, maximised or restored, and the title.
void ApplyWindowState(NativeFrame& frame);
void PostLayout(NativeFrame& frame);
// Window::Arrange for the current client size, then every native control
// is placed.
void LayOut(NativeFrame& frame);
// A driver's request (control_names.h), as the window procedure takes it.
LRESULT CarryOutAction(NativeFrame& frame, WPARAM wParam, LPARAM lParam);

}  // namespace orvello::ui::win32
