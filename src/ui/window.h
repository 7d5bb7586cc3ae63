#pragma once
// A toolkit window: a control tree built from a layout file, the forms that
// receive its notifications, its timers, its open menu, and its place in
// the UI thread's message routing. The main frame, the wizard's dialogs and
// the diagnostic windows are all Windows with their own layout and window
// class name.
//
// Routing. A notification goes to every registered form in registration
// order, then to the window's own Notify. A window message goes to the
// window's HandleMessage, then to each form's, and stops at the first that
// takes it; WM_CLOSE that nobody takes destroys the window, and its wParam
// becomes the window's result (what ShowModal answers).
//
// The member names Post and Send stand for posting and sending a window
// message; the Win32 headers define PostMessage and SendMessage as macros.
#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/geometry.h"
#include "ui/layout_loader.h"
#include "ui/menu.h"
#include "ui/messages.h"
#include "ui/notify.h"
#include "ui/paint_manager.h"

namespace orvello::ui {

class CUIFrmBase;
class IBackend;

struct LoadResult {
  bool created = false;
  std::vector<std::wstring> problems;
  bool ok() const { return created && problems.empty(); }
};

enum class WindowState { kNormal, kMinimized, kMaximized };

namespace detail {
struct WindowToken {
  std::atomic<bool> alive{false};
  Window* window = nullptr;  // touched on the UI thread only
};
}  // namespace detail

// A reference to a window that any thread may keep and post to. Once the
// window is destroyed, posting and sending fail and nothing is delivered.
class WindowHandle {
 public:
  WindowHandle() = default;

  bool IsAlive() const { return token_ && token_->alive; }
  // Queues the message for the window's routing on the UI thread.
  bool Post(uint32_t message, WParam wParam = 0, LParam lParam = 0) const;
  // Routes the message on the UI thread and waits; true when a handler
  // took it. On the UI thread it is routed at once.
  bool Send(uint32_t message, WParam wParam = 0, LParam lParam = 0) const;
  // UI thread only; null once the window is destroyed.
  Window* Get() const;

  bool operator==(const WindowHandle& other) const { return token_ == other.token_; }

 private:
  friend class Window;
  explicit WindowHandle(std::shared_ptr<detail::WindowToken> token) : token_(std::move(token)) {}
  std::shared_ptr<detail::WindowToken> token_;
};

class Window {
 public:
  Window();
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Builds the controls from the layout, applies the current language's
  // layout texts, creates the native window, initialises every registered
  // form (InitForm, in registration order) and then calls InitWindow.
  // `created` is false when the layout gave no root control or the native
  // window could not be made; `problems` lists everything wrong with the
  // layout either way.
  LoadResult Create(std::wstring layoutFile, std::wstring className, Window* owner = nullptr);
  bool IsCreated() const { return created_; }
  // Destroys the native window at once (no WM_CLOSE); the control tree
  // stays readable until the object goes. Deleting a window that still
  // exists destroys it too, but a subclass's OnFinalMessage is no longer
  // reached then: call Destroy (or Close) first.
  void Destroy();

  const std::wstring& ClassName() const { return className_; }
  const std::wstring& LayoutFile() const { return layoutFile_; }
  // The layout file and every file it included, in order of inclusion.
  const std::vector<std::wstring>& LayoutFiles() const { return layoutFiles_; }
  const WindowAttributes& Attributes() const { return attributes_; }
  const std::vector<FontDef>& Fonts() const { return fonts_; }
  Window* Owner() const { return owner_; }
  WindowHandle Handle() const { return WindowHandle(token_); }

  PaintManager& Manager() { return manager_; }
  const PaintManager& Manager() const { return manager_; }
  Control* Root() const { return root_.get(); }
  Control* FindControl(std::wstring_view name) const { return manager_.FindControl(name); }
  template <typename T>
  T* Find(std::wstring_view name) const {
    return manager_.Find<T>(name);
  }

  // The first showing queues the "windowinit" notification (sender: the
  // root control), which arrives once the UI thread's loop runs.
  void Show(bool show = true);
  bool IsShown() const { return shown_; }
  // Shows the window and runs a modal loop until it is destroyed; answers
  // the result it was closed with. -1 when the window does not exist.
  int ShowModal();
  bool IsModal() const { return modal_; }
  // Shown, and not waiting for a modal dialog it owns: what the user can
  // operate (the native owner is disabled meanwhile).
  bool AcceptsInput() const { return created_ && shown_ && modalChildren_ == 0; }
  // Posts WM_CLOSE with the result in wParam.
  void Close(int result = kResultOk);
  int Result() const { return result_; }
  void Minimize();
  void Maximize();
  void Restore();
  WindowState State() const { return state_; }
  const std::wstring& Title() const { return title_; }
  void SetTitle(std::wstring title);

  // A form already registered is ignored. The form learns the window and
  // its paint manager; registered after Create it is initialised at once.
  void RegisterForm(CUIFrmBase* form);
  void UnregisterForm(CUIFrmBase* form);
  const std::vector<CUIFrmBase*>& Forms() const { return forms_; }

  void SendNotify(Control* sender, std::wstring_view type, WParam wParam = 0, LParam lParam = 0);
  void DispatchNotify(Notification& notification);
  // UI thread: the routing described above; true when someone took it.
  bool RouteMessage(uint32_t message, WParam wParam, LParam lParam);
  bool Post(uint32_t message, WParam wParam = 0, LParam lParam = 0) const { return Handle().Post(message, wParam, lParam); }
  bool Send(uint32_t message, WParam wParam = 0, LParam lParam = 0) const { return Handle().Send(message, wParam, lParam); }

  // A repeating timer bound to one of the window's controls; each period
  // raises "timer" from that control with the id in wParam. Setting it
  // again restarts it with the new period; periods below 10 ms are 10 ms.
  bool SetTimer(Control* control, uint32_t id, uint32_t intervalMs);
  bool KillTimer(Control* control, uint32_t id);
  void KillTimers(Control* control);
  bool HasTimer(const Control* control, uint32_t id) const;
  // Backend: the timer with this key elapsed.
  void OnTimerElapsed(uint32_t key);

  // Loads a menu layout, lets the forms and the window update every item
  // (OnMenuUpdate), then has the backend show it.
  LoadResult TrackMenu(std::wstring layoutFile, Point at);
  Menu* OpenMenu() const { return menu_.get(); }
  // The user chose an item (by name, ignoring letter case): the menu
  // closes and OnMenuCommand reaches the forms, then the window. False for
  // an unknown, disabled, hidden or sub-menu item.
  bool ChooseMenuItem(std::wstring_view itemName);
  void DismissMenu();

  // Lays the controls out in a client area of this size.
  void Arrange(Size clientSize);
  Size ClientSize() const { return clientSize_; }
  bool IsLayoutPending() const { return layoutPending_; }

  // Whatever the native backend keeps for this window.
  std::shared_ptr<void> native;

 protected:
  // The controls exist and every registered form is initialised.
  virtual void InitWindow() {}
  // The window's own share of each notification, after the forms.
  virtual void Notify(Notification& notification) {}
  // First in line for every window message, before the forms.
  virtual bool HandleMessage(uint32_t message, WParam wParam, LParam lParam) { return false; }
  virtual void OnMenuCommand(const MenuItem& item) {}
  virtual void OnMenuUpdate(MenuItem& item) {}
  // The native window is gone (after Destroy or a WM_CLOSE nobody took).
  virtual void OnFinalMessage() {}

 private:
  friend class Control;
  friend class PaintManager;

  struct TimerRecord {
    Control* control;
    uint32_t id;
    bool toolkit;
    uint32_t key;
    uint32_t interval;
  };

  bool SetToolkitTimer(Control* control, uint32_t id, uint32_t intervalMs) {
    return StartTimer(control, id, intervalMs, true);
  }
  bool KillToolkitTimer(Control* control, uint32_t id) { return StopTimer(control, id, true); }
  bool StartTimer(Control* control, uint32_t id, uint32_t intervalMs, bool toolkit);
  bool StopTimer(Control* control, uint32_t id, bool toolkit);
  void ControlChanged(Control& control, Change what, int item);
  void RequestLayout();
  void CarryOutCaptionButton(const Notification& notification);
  void InitializeForm(CUIFrmBase* form);
  bool IsRegistered(const CUIFrmBase* form) const;
  void WindowChanged();

  PaintManager manager_{*this};
  std::unique_ptr<Control> root_;
  std::wstring layoutFile_;
  std::wstring className_;
  std::vector<std::wstring> layoutFiles_;
  WindowAttributes attributes_;
  std::vector<FontDef> fonts_;
  Window* owner_ = nullptr;
  std::shared_ptr<detail::WindowToken> token_;
  IBackend* backend_ = nullptr;
  bool created_ = false;
  bool nativeCreated_ = false;
  bool shown_ = false;
  bool modal_ = false;
  int modalChildren_ = 0;
  bool initQueued_ = false;
  bool layoutPending_ = false;
  int result_ = 0;
  WindowState state_ = WindowState::kNormal;
  std::wstring title_;
  Size clientSize_;
  std::vector<CUIFrmBase*> forms_;
  std::vector<TimerRecord> timers_;
  uint32_t nextTimerKey_ = 1;
  std::unique_ptr<Menu> menu_;
};

// Keeps a modeless window (shown without a modal loop, owned by nobody)
// alive until it is destroyed; it is then released on the UI thread.
void KeepUntilDestroyed(std::unique_ptr<Window> window);
// Releases the kept windows that are destroyed; the count still kept.
size_t ReleaseDestroyedWindows();

}  // namespace orvello::ui
