#include "ui/win32/win32_backend.h"

#include <commctrl.h>

#include <vector>

#include "system/text.h"
#include "ui/basic_controls.h"
#include "ui/menu.h"
#include "ui/toolkit.h"
#include "ui/window.h"
#include "ui/win32/control_names.h"
#include "ui/win32/dpi_fonts.h"
#include "ui/win32/native_controls.h"
#include "ui/win32/native_frame.h"

namespace orvello::ui::win32 {

namespace {

constexpr wchar_t kHelperClass[] = L"OrvelloUiThread";
constexpr UINT kMsgWake = WM_APP + 20;

Win32Backend* g_current = nullptr;
std::unique_ptr<Win32Backend> g_installed;

bool IsTrue(const Control& control, std::wstring_view attribute) {
  const std::wstring* value = control.Attribute(attribute);
  return value && EqualsIgnoreCase(*value, L"true");
}

// The first visible, enabled button of the window carrying the attribute.
Control* ButtonWith(Window& window, std::wstring_view attribute) {
  Control* found = nullptr;
  window.Manager().ForEachControl([&](Control& control) {
    if (!found && control.Kind() == ControlKind::kButton && IsTrue(control, attribute) &&
        control.IsVisibleOnScreen() && control.IsEnabledOnScreen())
      found = &control;
  });
  return found;
}

NativeFrame* FrameOfTopLevel(HWND hwnd) {
  HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
  NativeFrame* frame = root ? FrameOfHwnd(root) : nullptr;
  return frame && !frame->destroying ? frame : nullptr;
}

BOOL CALLBACK CollectFrame(HWND hwnd, LPARAM param) {
  if (NativeFrame* frame = FrameOfTopLevel(hwnd))
    reinterpret_cast<std::vector<WindowHandle>*>(param)->push_back(frame->window->Handle());
  return TRUE;
}

void AppendMenuItems(HMENU menu, const std::vector<MenuItem>& items, std::vector<std::wstring>& names) {
  for (const MenuItem& item : items) {
    if (!item.visible) continue;
    if (item.separator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (item.checked ? MF_CHECKED : 0) | (item.enabled ? 0 : MF_GRAYED);
    if (!item.children.empty()) {
      HMENU sub = CreatePopupMenu();
      AppendMenuItems(sub, item.children, names);
      AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), item.text.c_str());
    } else {
      names.push_back(item.name);
      AppendMenuW(menu, flags, names.size(), item.text.c_str());
    }
  }
}

}  // namespace

Win32Backend::Win32Backend(HINSTANCE instance, double scale)
    : instance_(instance), scale_(scale > 0 ? scale : SystemScale()) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);
  actionMessage_ = RegisterWindowMessageW(kActionMessageName);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &Win32Backend::HelperProc;
  wc.hInstance = instance_;
  wc.lpszClassName = kHelperClass;
  RegisterClassExW(&wc);
  helper_ = CreateWindowExW(0, kHelperClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, this);
  g_current = this;
  InstallBackend(this);
}

Win32Backend::~Win32Backend() {
  // Every toolkit window still open goes with its native window.
  std::vector<WindowHandle> open;
  EnumThreadWindows(GetCurrentThreadId(), &CollectFrame, reinterpret_cast<LPARAM>(&open));
  for (const WindowHandle& handle : open)
    if (Window* window = handle.Get()) window->Destroy();
  ReleaseDestroyedWindows();
  for (const auto& [id, target] : timers_) KillTimer(helper_, id);
  if (helper_) DestroyWindow(helper_);
  if (CurrentBackend() == this) InstallBackend(nullptr);
  if (g_current == this) g_current = nullptr;
}

Win32Backend* Win32Backend::Current() { return g_current; }

HWND Win32Backend::WindowHandleOf(const Window& window) {
  NativeFrame* frame = FrameOf(window);
  return frame ? frame->hwnd : nullptr;
}

HWND Win32Backend::ControlHandleOf(const Control& control) {
  NativeControl* native = NativeOf(control);
  return native ? native->hwnd : nullptr;
}

LRESULT CALLBACK Win32Backend::HelperProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == kMsgWake) {
    self->wakePending_ = false;
    RunPostedWork();
    return 0;
  }
  if (message == WM_TIMER) {
    auto found = self->timers_.find(wParam);
    if (found != self->timers_.end()) {
      TimerTarget target = found->second;
      if (Window* window = target.window.Get()) window->OnTimerElapsed(target.key);
    }
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32Backend::Dispatch(MSG& message) {
  if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && TranslateKey(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Backend::ProcessPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    Dispatch(message);
  }
  RunPostedWork();
}

bool Win32Backend::TranslateKey(const MSG& message) {
  NativeFrame* frame = FrameOfTopLevel(message.hwnd);
  if (!frame || message.message != WM_KEYDOWN) return false;
  Window& window = *frame->window;
  if (!window.AcceptsInput()) return false;
  int key = static_cast<int>(message.wParam);
  Control* focused = ControlOfHwnd(*frame, GetFocus());
  // An open drop-down list keeps its own keys.
  if (focused && focused->Kind() == ControlKind::kCombo &&
      SendMessageW(ControlHandleOf(*focused), CB_GETDROPPEDSTATE, 0, 0))
    return false;
  if (key == VK_TAB && !IsKeyDown(VK_CONTROL)) {
    SendMessageW(frame->hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    HWND next = GetNextDlgTabItem(frame->hwnd, GetFocus(), IsKeyDown(VK_SHIFT));
    if (next) {
      SetFocus(next);
      if (ControlKindOf(next) == static_cast<int>(ControlKind::kEdit)) SendMessageW(next, EM_SETSEL, 0, -1);
    }
    return true;
  }
  if (key == VK_RETURN) {
    if (focused && focused->Kind() == ControlKind::kRichEdit) return false;
    Control* target = focused && focused->Kind() == ControlKind::kButton ? focused : ButtonWith(window, L"default");
    if (target) {
      target->Activate();
      return true;
    }
  }
  if (key == VK_ESCAPE) {
    if (Control* cancel = ButtonWith(window, L"cancel"))
      cancel->Activate();
    else
      window.RouteMessage(kWmClose, kResultCancel, 0);
    return true;
  }
  // Every other key reaches the window's routing first (Ctrl+F9 of the
  // frame), whichever child has the focus.
  WindowHandle handle = window.Handle();
  if (window.RouteMessage(kWmKeyDown, message.wParam, message.lParam)) return true;
  return !handle.IsAlive();
}

void Win32Backend::PressKey(Window& window, int virtualKey, bool withControl) {
  NativeFrame* frame = FrameOf(window);
  if (!frame) return;
  if (withControl) ++forcedControl_;
  MSG message{};
  HWND focus = GetFocus();
  message.hwnd = focus && GetAncestor(focus, GA_ROOT) == frame->hwnd ? focus : frame->hwnd;
  message.message = WM_KEYDOWN;
  message.wParam = static_cast<WPARAM>(virtualKey);
  message.lParam = 1;
  if (!TranslateKey(message) && IsWindow(message.hwnd)) SendMessageW(message.hwnd, WM_KEYDOWN, message.wParam, 1);
  if (withControl) --forcedControl_;
}

bool Win32Backend::CreateNativeWindow(Window& window) {
  std::shared_ptr<NativeFrame> frame = CreateFrame(*this, window);
  if (!frame) return false;
  window.native = frame;
  return true;
}

void Win32Backend::DestroyNativeWindow(Window& window) {
  NativeFrame* frame = FrameOf(window);
  if (!frame || frame->destroying) return;
  for (auto it = timerIds_.begin(); it != timerIds_.end();) {
    if (it->first.first == &window) {
      KillTimer(helper_, it->second);
      timers_.erase(it->second);
      it = timerIds_.erase(it);
    } else {
      ++it;
    }
  }
  DestroyFrame(*frame);
  window.native.reset();
}

void Win32Backend::WindowChanged(Window& window) {
  if (NativeFrame* frame = FrameOf(window)) ApplyWindowState(*frame);
}

void Win32Backend::ControlChanged(Window& window, Control& control, Change what, int item) {
  if (NativeFrame* frame = FrameOf(window)) UpdateNativeControl(*frame, control, what, item);
}

void Win32Backend::LayoutRequested(Window& window) {
  if (NativeFrame* frame = FrameOf(window)) PostLayout(*frame);
}

void Win32Backend::StartTimer(Window& window, uint32_t key, uint32_t intervalMs) {
  auto slot = std::make_pair(static_cast<const Window*>(&window), key);
  auto found = timerIds_.find(slot);
  UINT_PTR id = found != timerIds_.end() ? found->second : nextTimerId_++;
  timerIds_[slot] = id;
  timers_[id] = TimerTarget{window.Handle(), key};
  SetTimer(helper_, id, intervalMs, nullptr);
}

void Win32Backend::StopTimer(Window& window, uint32_t key) {
  auto found = timerIds_.find(std::make_pair(static_cast<const Window*>(&window), key));
  if (found == timerIds_.end()) return;
  KillTimer(helper_, found->second);
  timers_.erase(found->second);
  timerIds_.erase(found);
}

void Win32Backend::ShowMenu(Window& window, Menu& menu, Point at) {
  NativeFrame* frame = FrameOf(window);
  if (!frame) return;
  HMENU popup = CreatePopupMenu();
  std::vector<std::wstring> names;
  AppendMenuItems(popup, menu.Items(), names);
  POINT p{Scaled(at.x, scale_), Scaled(at.y, scale_)};
  ClientToScreen(frame->hwnd, &p);
  SetForegroundWindow(frame->hwnd);
  UINT chosen = static_cast<UINT>(
      TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN, p.x, p.y, 0, frame->hwnd, nullptr));
  DestroyMenu(popup);
  // The outcome arrives after TrackMenu has returned, as a click would.
  std::wstring name = chosen >= 1 && chosen <= names.size() ? names[chosen - 1] : std::wstring();
  PostToUi([handle = window.Handle(), name] {
    Window* target = handle.Get();
    if (!target) return;
    if (name.empty() || !target->ChooseMenuItem(name)) target->DismissMenu();
  });
}

void Win32Backend::RunModalLoop(Window& window) {
  HWND owner = window.Owner() ? WindowHandleOf(*window.Owner()) : nullptr;
  bool ownerEnabled = owner && IsWindowEnabled(owner);
  if (owner) EnableWindow(owner, FALSE);
  WindowHandle handle = window.Handle();
  MSG message;
  while (handle.IsAlive()) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // WM_QUIT ends the outer loop too.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    Dispatch(message);
  }
  if (handle.IsAlive()) window.Destroy();
  if (owner && IsWindow(owner)) {
    if (ownerEnabled) EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
  }
}

int Win32Backend::RunMessageLoop() {
  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) Dispatch(message);
  RunPostedWork();
  return got == 0 ? static_cast<int>(message.wParam) : -1;
}

void Win32Backend::QuitMessageLoop(int exitCode) { PostQuitMessage(exitCode); }

void Win32Backend::WakeUp() {
  if (!wakePending_.exchange(true)) PostMessageW(helper_, kMsgWake, 0, 0);
}

bool Win32Backend::IsKeyDown(int virtualKey) {
  if (virtualKey == VK_CONTROL && forcedControl_ > 0) return true;
  return (GetKeyState(virtualKey) & 0x8000) != 0;
}

bool InstallWin32Backend(HINSTANCE instance) {
  if (!g_installed) g_installed = std::make_unique<Win32Backend>(instance);
  return g_installed->IsReady();
}

void UninstallWin32Backend() { g_installed.reset(); }

}  // namespace orvello::ui::win32
