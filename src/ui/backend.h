#pragma once
// What the portable toolkit asks of a native backend. The model owns all
// state (controls, timers' meaning, the post queue); a backend shows it and
// feeds the user's input back through the model's entry points:
//   Control::Activate, Edit::UserEdit, Grid::UserClick / UserSetCheck /
//   RequestDraw, Combo::UserSelect, Tree::UserSelect / UserExpand,
//   Window::RouteMessage (keys, WM_CLOSE from the caption),
//   Window::OnTimerElapsed, Window::ChooseMenuItem / DismissMenu,
//   Window::Arrange, RunPostedWork.
// Every call happens on the UI thread except WakeUp.
//
// What is on screen: a control is shown when Control::IsVisibleOnScreen;
// a kVisible change of a container or a kSelected change of a tab layout
// changes that for the whole subtree below it. A virtual grid that
// NeedsDraw asks for the rows it shows with Grid::RequestDraw before it
// paints them. A close from the native caption is routed as WM_CLOSE with
// kResultCancel; the window decides whether it closes.
#include <cstdint>

#include "ui/control.h"
#include "ui/geometry.h"

namespace orvello::ui {

class Menu;
class Window;

class IBackend {
 public:
  virtual ~IBackend() = default;

  // The window's controls are built; create its native window and the
  // native controls. False when that is impossible (Window::Create fails).
  virtual bool CreateNativeWindow(Window& window) = 0;
  virtual void DestroyNativeWindow(Window& window) = 0;
  // Window::IsShown, State or Title changed.
  virtual void WindowChanged(Window& window) = 0;
  // One control's state changed; `item` is the row, page or item when only
  // that one changed, else -1.
  virtual void ControlChanged(Window& window, Control& control, Change what, int item) = 0;
  // Sizes, visibility or pages changed: call Window::Arrange before the
  // next paint and move the native controls to the new rectangles.
  virtual void LayoutRequested(Window& window) = 0;

  // Call window.OnTimerElapsed(key) every intervalMs until stopped; a key
  // started again restarts with the new interval.
  virtual void StartTimer(Window& window, uint32_t key, uint32_t intervalMs) = 0;
  virtual void StopTimer(Window& window, uint32_t key) = 0;

  // Show the window's open menu (Window::OpenMenu) at a point in window
  // coordinates; report the outcome with ChooseMenuItem or DismissMenu.
  virtual void ShowMenu(Window& window, Menu& menu, Point at) = 0;

  // Run the UI thread's loop (posted work, timers, input) until the window
  // is no longer created; the owner is disabled meanwhile.
  virtual void RunModalLoop(Window& window) = 0;
  // Run the loop until QuitMessageLoop; answer its exit code.
  virtual int RunMessageLoop() = 0;
  virtual void QuitMessageLoop(int exitCode) = 0;

  // Any thread: work was posted; make the UI thread call RunPostedWork.
  // Called with the post queue locked: it must not block or post work.
  virtual void WakeUp() = 0;
  // Whether a key is down at the moment the current input was generated.
  virtual bool IsKeyDown(int virtualKey) = 0;
};

}  // namespace orvello::ui
