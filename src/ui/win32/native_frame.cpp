#include "ui/win32/native_frame.h"

#include <commctrl.h>

#include "ui/combo.h"
#include "ui/containers.h"
#include "ui/grid.h"
#include "ui/win32/control_names.h"
#include "ui/win32/dpi_fonts.h"
#include "ui/win32/native_controls.h"
#include "ui/win32/native_grid.h"
#include "ui/win32/native_tree.h"
#include "ui/win32/win32_backend.h"

namespace orvello::ui::win32 {

namespace {

constexpr Size kFallbackSize{400, 300};

Size LogicalSize(const NativeFrame& frame) {
  RECT client;
  GetClientRect(frame.hwnd, &client);
  double scale = frame.backend->Scale();
  Size layout = frame.window->Attributes().size;
  // The layout's own size exactly, rather than a rounded copy of it.
  if (client.right == Scaled(layout.width, scale) && client.bottom == Scaled(layout.height, scale)) return layout;
  return Size{Unscaled(client.right, scale), Unscaled(client.bottom, scale)};
}

bool InCaption(const NativeFrame& frame, POINT screen) {
  const Rect& caption = frame.window->Attributes().caption;
  if (caption.IsEmpty() && caption.bottom == 0) return false;
  POINT p = screen;
  ScreenToClient(frame.hwnd, &p);
  RECT client;
  GetClientRect(frame.hwnd, &client);
  double scale = frame.backend->Scale();
  // left, top and bottom from the top-left corner; right from the right edge.
  return p.x >= Scaled(caption.left, scale) && p.x < client.right - Scaled(caption.right, scale) &&
         p.y >= Scaled(caption.top, scale) && p.y < Scaled(caption.bottom, scale);
}

void PaintBackgrounds(NativeFrame& frame, HDC dc, const Control& control) {
  if (!control.IsVisible()) return;
  double scale = frame.backend->Scale();
  RECT r = ToNative(control.Pos(), scale);
  if (control.BkColor() && control.BkColor()->Alpha() != 0)
    FillRect(dc, &r, frame.brushes.Get(control.BkColor()->ToColorRef()));
  if (control.Kind() == ControlKind::kTabLayout) {
    if (Control* page = static_cast<const TabLayout&>(control).SelectedChild()) PaintBackgrounds(frame, dc, *page);
  } else {
    for (size_t i = 0; i < control.ChildCount(); ++i) PaintBackgrounds(frame, dc, *control.ChildAt(i));
  }
  // The border goes over the children's colours, as a frame around them.
  if (control.BorderColor() && control.BorderColor()->Alpha() != 0 && !HasNativeWindow(control))
    FrameRect(dc, &r, frame.brushes.Get(control.BorderColor()->ToColorRef()));
}

void Paint(NativeFrame& frame) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(frame.hwnd, &paint);
  RECT client;
  GetClientRect(frame.hwnd, &client);
  const auto& bk = frame.window->Attributes().bkColor;
  FillRect(dc, &client, frame.brushes.Get(bk ? bk->ToColorRef() : RGB(255, 255, 255)));
  if (Control* root = frame.window->Root()) PaintBackgrounds(frame, dc, *root);
  EndPaint(frame.hwnd, &paint);
}

void FocusFirst(NativeFrame& frame) {
  HWND first = GetNextDlgTabItem(frame.hwnd, nullptr, FALSE);
  if (first && IsWindowVisible(first) && IsWindowEnabled(first))
    SetFocus(first);
  else
    SetFocus(frame.hwnd);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<NativeFrame*>(create->lpCreateParams)->hwnd = hwnd;
  }
  auto* frame = reinterpret_cast<NativeFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!frame || frame->destroying) return DefWindowProcW(hwnd, message, wParam, lParam);
  Window& window = *frame->window;
  if (message == frame->backend->ActionMessage()) return CarryOutAction(*frame, wParam, lParam);
  if (message != 0 && message == frame->backend->ActivationMessage()) {
    if (!window.Owner() && window.IsShown()) {
      if (IsIconic(hwnd)) window.Restore();
      ShowWindow(hwnd, SW_SHOW);
      SetForegroundWindow(hwnd);
    }
    return 0;
  }
  switch (message) {
    case WM_NCHITTEST: {
      LRESULT hit = DefWindowProcW(hwnd, message, wParam, lParam);
      POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (hit == HTCLIENT && InCaption(*frame, p)) return HTCAPTION;
      return hit;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(*frame);
      return 0;
    case WM_COMMAND:
      if (lParam && HandleCommand(*frame, reinterpret_cast<HWND>(lParam), HIWORD(wParam))) return 0;
      break;
    case WM_NOTIFY: {
      bool handled = false;
      LRESULT result = HandleNotify(*frame, *reinterpret_cast<NMHDR*>(lParam), handled);
      if (handled) return result;
      break;
    }
    case WM_DRAWITEM:
      if (DrawItem(*frame, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (HBRUSH brush = ControlColors(*frame, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message))
        return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) return 0;
      if (wParam == SIZE_RESTORED && window.State() != WindowState::kNormal) window.Restore();
      LayOut(*frame);
      return 0;
    case WM_SETFOCUS:
      if (GetNextDlgTabItem(hwnd, nullptr, FALSE)) FocusFirst(*frame);
      return 0;
    case kMsgLayout:
      frame->layoutPosted = false;
      LayOut(*frame);
      return 0;
    case kMsgAskRows:
      if (Control* control = ControlOfHwnd(*frame, reinterpret_cast<HWND>(wParam)))
        if (control->Kind() == ControlKind::kGrid) AskForShownRows(*frame, static_cast<Grid&>(*control));
      return 0;
    case kMsgSyncRows:
      if (Control* control = ControlOfHwnd(*frame, reinterpret_cast<HWND>(wParam)))
        if (control->Kind() == ControlKind::kGrid && NativeOf(*control))
          SyncGridRows(*frame, static_cast<Grid&>(*control), *NativeOf(*control));
      return 0;
    case kMsgFillTree:
      if (Control* control = ControlOfHwnd(*frame, reinterpret_cast<HWND>(wParam)))
        if (control->Kind() == ControlKind::kTree && NativeOf(*control))
          FillTree(static_cast<Tree&>(*control), *NativeOf(*control));
      return 0;
    case WM_CLOSE:
      // The caption's close box or the system: the window decides.
      window.RouteMessage(kWmClose, kResultCancel, 0);
      return 0;
    case WM_DESTROY:
      // Destroyed from outside the toolkit: the model follows.
      window.Destroy();
      return 0;
    case WM_DEVICECHANGE:
      if (window.RouteMessage(message, wParam, lParam)) return TRUE;
      break;
    default:
      if (message >= WM_USER && message < WM_APP) {
        window.RouteMessage(message, wParam, lParam);
        return 0;
      }
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterFrameClass(HINSTANCE instance, const std::wstring& name) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, name.c_str(), &existing)) return existing.lpfnWndProc == &FrameProc;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS | CS_DROPSHADOW;
  wc.lpfnWndProc = &FrameProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.lpszClassName = name.c_str();
  return RegisterClassExW(&wc) != 0;
}

void Centre(NativeFrame& frame, HWND owner, int width, int height) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  HMONITOR handle = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                          : MonitorFromWindow(frame.hwnd, MONITOR_DEFAULTTOPRIMARY);
  if (!GetMonitorInfoW(handle, &monitor)) return;
  const RECT& work = monitor.rcWork;
  int x = work.left + ((work.right - work.left) - width) / 2;
  int y = work.top + ((work.bottom - work.top) - height) / 2;
  SetWindowPos(frame.hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

NativeFrame::~NativeFrame() = default;

NativeFrame* FrameOfHwnd(HWND hwnd) {
  if (!hwnd || GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&FrameProc)) return nullptr;
  return reinterpret_cast<NativeFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

NativeFrame* FrameOf(const Window& window) { return static_cast<NativeFrame*>(window.native.get()); }
NativeControl* NativeOf(const Control& control) { return static_cast<NativeControl*>(control.native.get()); }

std::shared_ptr<NativeFrame> CreateFrame(Win32Backend& backend, Window& window) {
  HINSTANCE instance = backend.Instance();
  const std::wstring& className = window.ClassName().empty() ? std::wstring(L"OrvelloWindow") : window.ClassName();
  if (!RegisterFrameClass(instance, className)) return nullptr;

  auto frame = std::make_shared<NativeFrame>();
  frame->backend = &backend;
  frame->window = &window;
  double scale = backend.Scale();
  for (const FontDef& def : window.Fonts()) {
    frame->fonts.push_back(MakeFont(def, scale));
    if (def.isDefault && !frame->defaultFont) frame->defaultFont = frame->fonts.back().get();
  }
  if (!frame->defaultFont) {
    if (!frame->fonts.empty()) {
      frame->defaultFont = frame->fonts.front().get();
    } else {
      frame->fonts.push_back(MakeFont(FontDef{}, scale));
      frame->defaultFont = frame->fonts.back().get();
    }
  }

  Size size = window.Attributes().size;
  if (size.width <= 0 || size.height <= 0) size = kFallbackSize;
  int width = Scaled(size.width, scale), height = Scaled(size.height, scale);
  HWND owner = window.Owner() ? Win32Backend::WindowHandleOf(*window.Owner()) : nullptr;
  DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
  DWORD exStyle = owner ? 0 : WS_EX_APPWINDOW;
  HWND hwnd = CreateWindowExW(exStyle, className.c_str(), window.Title().c_str(), style, 0, 0, width, height, owner,
                              nullptr, instance, frame.get());
  if (!hwnd) return nullptr;
  frame->tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, instance,
                                   nullptr);
  if (frame->tooltip) SendMessageW(frame->tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(frame->defaultFont), FALSE);
  Centre(*frame, owner, width, height);
  if (Control* root = window.Root()) CreateNativeControls(*frame, *root);
  PostLayout(*frame);
  return frame;
}

void DestroyFrame(NativeFrame& frame) {
  frame.destroying = true;
  Window& window = *frame.window;
  // Before the dialog goes, so that the system activates its owner again.
  if (window.IsModal() && window.Owner())
    if (HWND owner = Win32Backend::WindowHandleOf(*window.Owner())) EnableWindow(owner, TRUE);
  window.Manager().ForEachControl([](Control& control) { control.native.reset(); });
  HWND hwnd = frame.hwnd;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (frame.tooltip) DestroyWindow(frame.tooltip);
  DestroyWindow(hwnd);
}

void ApplyWindowState(NativeFrame& frame) {
  Window& window = *frame.window;
  SetWindowTextW(frame.hwnd, window.Title().c_str());
  if (!window.IsShown()) {
    ShowWindow(frame.hwnd, SW_HIDE);
    return;
  }
  bool first = !IsWindowVisible(frame.hwnd);
  if (first) LayOut(frame);
  switch (window.State()) {
    case WindowState::kMinimized:
      if (!IsIconic(frame.hwnd)) ShowWindow(frame.hwnd, SW_MINIMIZE);
      break;
    case WindowState::kMaximized:
      if (!IsZoomed(frame.hwnd)) ShowWindow(frame.hwnd, SW_MAXIMIZE);
      break;
    case WindowState::kNormal:
      if (IsIconic(frame.hwnd) || IsZoomed(frame.hwnd))
        ShowWindow(frame.hwnd, SW_RESTORE);
      else if (first)
        ShowWindow(frame.hwnd, SW_SHOW);
      break;
  }
  if (first) {
    // The native controls were hidden while the window was.
    PlaceNativeControls(frame);
    SetForegroundWindow(frame.hwnd);
    // Focus rectangles appear once the keyboard is used, as in dialogs.
    SendMessageW(frame.hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    FocusFirst(frame);
  }
}

void PostLayout(NativeFrame& frame) {
  if (frame.layoutPosted) return;
  frame.layoutPosted = PostMessageW(frame.hwnd, kMsgLayout, 0, 0) != FALSE;
}

void LayOut(NativeFrame& frame) {
  frame.window->Arrange(LogicalSize(frame));
  PlaceNativeControls(frame);
  InvalidateRect(frame.hwnd, nullptr, TRUE);
}

LRESULT CarryOutAction(NativeFrame& frame, WPARAM wParam, LPARAM lParam) {
  UiAction action = UnpackAction(lParam);
  Window& window = *frame.window;
  if (!window.AcceptsInput()) return 0;
  if (action == UiAction::kKeyDown) {
    frame.backend->PressKey(window, static_cast<int>(wParam), UnpackRow(lParam) != 0);
    return 1;
  }
  Control* control = ControlOfHwnd(frame, reinterpret_cast<HWND>(wParam));
  if (!control || !control->IsVisibleOnScreen()) return 0;
  if (control->Kind() == ControlKind::kGrid)
    return GridAction(frame, static_cast<Grid&>(*control), action, UnpackRow(lParam), UnpackColumn(lParam));
  if (control->Kind() == ControlKind::kCombo && action == UiAction::kSelectItem)
    return static_cast<Combo&>(*control).UserSelect(UnpackRow(lParam)) ? 1 : 0;
  return 0;
}

}  // namespace orvello::ui::win32
