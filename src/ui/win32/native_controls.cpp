#include "ui/win32/native_controls.h"

#include <commctrl.h>

#include "system/text.h"
#include "ui/basic_controls.h"
#include "ui/combo.h"
#include "ui/containers.h"
#include "ui/grid.h"
#include "ui/picture.h"
#include "ui/rich_edit.h"
#include "ui/tree.h"
#include "ui/win32/control_names.h"
#include "ui/win32/dpi_fonts.h"
#include "ui/win32/native_grid.h"
#include "ui/win32/native_rich_edit.h"
#include "ui/win32/native_tree.h"
#include "ui/win32/win32_backend.h"

namespace orvello::ui::win32 {

namespace {

// A combo's list opens below its field; the layout only sizes the field.
constexpr int kComboListHeight = 200;

bool AttributeIs(const Control& control, std::wstring_view name, std::wstring_view value) {
  const std::wstring* found = control.Attribute(name);
  return found && EqualsIgnoreCase(*found, value);
}

bool HasImage(const Control& control) {
  const std::wstring* image = control.Attribute(L"image");
  return image && !image->empty();
}

DWORD LabelStyle(const Control& control) {
  DWORD style = SS_NOPREFIX;
  bool wrap = AttributeIs(control, L"wordbreak", L"true");
  if (AttributeIs(control, L"align", L"center"))
    style |= SS_CENTER;
  else if (AttributeIs(control, L"align", L"right"))
    style |= SS_RIGHT;
  else
    style |= wrap || !AttributeIs(control, L"valign", L"top") ? SS_LEFT : SS_LEFTNOWORDWRAP;
  // One line, centred vertically, unless the label wraps or asks for the top.
  if (!wrap && !AttributeIs(control, L"valign", L"top")) style |= SS_CENTERIMAGE | SS_ENDELLIPSIS;
  return style;
}

struct NativeClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

NativeClass ClassFor(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::kLabel:
    case ControlKind::kText:
      return {WC_STATICW, LabelStyle(control), 0};
    case ControlKind::kButton:
      if (HasImage(control)) return {WC_BUTTONW, BS_OWNERDRAW, 0};
      return {WC_BUTTONW,
              static_cast<DWORD>(WS_TABSTOP | (AttributeIs(control, L"default", L"true") ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)),
              0};
    case ControlKind::kOption:
      return {WC_BUTTONW, WS_TABSTOP | BS_RADIOBUTTON, 0};
    case ControlKind::kCheckBox:
      return {WC_BUTTONW, WS_TABSTOP | BS_CHECKBOX, 0};
    case ControlKind::kEdit: {
      const auto& edit = static_cast<const Edit&>(control);
      DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
      if (edit.IsPassword()) style |= ES_PASSWORD;
      if (edit.IsReadOnly()) style |= ES_READONLY;
      return {WC_EDITW, style, WS_EX_CLIENTEDGE};
    }
    case ControlKind::kProgress:
      return {PROGRESS_CLASSW, 0, 0};
    case ControlKind::kPicture:
      return {WC_STATICW, SS_OWNERDRAW, 0};
    case ControlKind::kCombo:
      return {WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    default:
      return {nullptr, 0, 0};
  }
}

void SetNativeText(NativeControl& native, const std::wstring& text) {
  int length = GetWindowTextLengthW(native.hwnd);
  std::wstring current(static_cast<size_t>(length) + 1, L'\0');
  current.resize(static_cast<size_t>(GetWindowTextW(native.hwnd, current.data(), length + 1)));
  if (current == text) return;
  native.programChange = true;
  SetWindowTextW(native.hwnd, text.c_str());
  native.programChange = false;
}

void UpdateTooltip(NativeFrame& frame, Control& control, NativeControl& native) {
  if (!frame.tooltip) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = frame.hwnd;
  tool.uId = reinterpret_cast<UINT_PTR>(native.hwnd);
  SendMessageW(frame.tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (control.Tooltip().empty()) return;
  std::wstring text = control.Tooltip();
  tool.lpszText = text.data();
  SendMessageW(frame.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FillCombo(NativeControl& native, const Combo& combo) {
  native.programChange = true;
  SendMessageW(native.hwnd, CB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < combo.ItemCount(); ++i)
    SendMessageW(native.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(combo.Item(static_cast<int>(i))->text.c_str()));
  SendMessageW(native.hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo.CurrentSelection()), 0);
  native.programChange = false;
}

void ShowState(NativeFrame& frame, Control& control, NativeControl& native) {
  switch (control.Kind()) {
    case ControlKind::kOption:
    case ControlKind::kCheckBox:
      SendMessageW(native.hwnd, BM_SETCHECK, static_cast<Option&>(control).IsSelected() ? BST_CHECKED : BST_UNCHECKED,
                   0);
      break;
    case ControlKind::kProgress: {
      auto& progress = static_cast<Progress&>(control);
      SendMessageW(native.hwnd, PBM_SETRANGE32, static_cast<WPARAM>(progress.Min()), progress.Max());
      SendMessageW(native.hwnd, PBM_SETPOS, static_cast<WPARAM>(progress.Value()), 0);
      break;
    }
    case ControlKind::kCombo:
      native.programChange = true;
      SendMessageW(native.hwnd, CB_SETCURSEL, static_cast<WPARAM>(static_cast<Combo&>(control).CurrentSelection()), 0);
      native.programChange = false;
      break;
    default:
      break;
  }
}

// Subclass of image buttons: hover highlight.
LRESULT CALLBACK HoverProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* native = reinterpret_cast<NativeControl*>(data);
  if (message == WM_MOUSEMOVE && !native->tracking) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd;
    native->tracking = TrackMouseEvent(&track) != FALSE;
    native->hot = true;
    InvalidateRect(hwnd, nullptr, FALSE);
  } else if (message == WM_MOUSELEAVE) {
    native->tracking = false;
    native->hot = false;
    InvalidateRect(hwnd, nullptr, FALSE);
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &HoverProc, 1);
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

HWND CreateNativeWindow(NativeFrame& frame, Control& control, int id) {
  HINSTANCE instance = frame.backend->Instance();
  switch (control.Kind()) {
    case ControlKind::kGrid:
      return CreateGridWindow(frame, static_cast<Grid&>(control), id);
    case ControlKind::kRichEdit:
      return CreateRichEditWindow(frame, static_cast<RichEdit&>(control), id);
    case ControlKind::kTree:
      return CreateTreeWindow(frame, static_cast<Tree&>(control), id);
    default:
      break;
  }
  NativeClass cls = ClassFor(control);
  if (!cls.className) return nullptr;
  return CreateWindowExW(cls.exStyle, cls.className, control.Text().c_str(), WS_CHILD | cls.style, 0, 0,
                         0, 0, frame.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void EnableSubtree(NativeFrame& frame, Control& control) {
  if (NativeControl* native = NativeOf(control)) EnableWindow(native->hwnd, control.IsEnabledOnScreen());
  for (size_t i = 0; i < control.ChildCount(); ++i) EnableSubtree(frame, *control.ChildAt(i));
}

void Place(NativeFrame& frame, Control& control) {
  NativeControl* native = NativeOf(control);
  if (native) {
    RECT r = ToNative(control.Pos(), frame.backend->Scale());
    int height = r.bottom - r.top;
    if (control.Kind() == ControlKind::kCombo) height += Scaled(kComboListHeight, frame.backend->Scale());
    bool show = control.IsVisibleOnScreen() && !control.Pos().IsEmpty() && frame.window->IsShown();
    SetWindowPos(native->hwnd, nullptr, r.left, r.top, r.right - r.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (control.Kind() == ControlKind::kCombo && r.bottom - r.top > 8) {
      // The closed field takes the layout's height (borders included).
      SendMessageW(native->hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), r.bottom - r.top - 6);
    }
    if (show && control.Kind() == ControlKind::kGrid) AskForShownRows(frame, static_cast<Grid&>(control));
  }
  for (size_t i = 0; i < control.ChildCount(); ++i) Place(frame, *control.ChildAt(i));
}

}  // namespace

bool HasNativeWindow(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::kLabel:
    case ControlKind::kText:
    case ControlKind::kButton:
    case ControlKind::kOption:
    case ControlKind::kCheckBox:
    case ControlKind::kEdit:
    case ControlKind::kProgress:
    case ControlKind::kPicture:
    case ControlKind::kCombo:
    case ControlKind::kGrid:
    case ControlKind::kRichEdit:
    case ControlKind::kTree:
      return true;
    default:
      return false;
  }
}

void CreateNativeControls(NativeFrame& frame, Control& subtree) {
  if (HasNativeWindow(subtree) && !subtree.native) {
    int id = static_cast<int>(frame.controls.size()) + 100;
    if (HWND hwnd = CreateNativeWindow(frame, subtree, id)) {
      auto native = std::make_shared<NativeControl>();
      native->hwnd = hwnd;
      native->frame = &frame;
      if (!subtree.Name().empty()) {
        native->nameAtom = GlobalAddAtomW((kNamePrefix + subtree.Name()).c_str());
        SetPropW(hwnd, kNameProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(native->nameAtom)));
      }
      SetPropW(hwnd, kKindProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(subtree.Kind()) + 1));
      SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(frame, subtree)), FALSE);
      frame.controls[hwnd] = &subtree;
      subtree.native = native;
      if (subtree.Kind() == ControlKind::kButton && HasImage(subtree))
        SetWindowSubclass(hwnd, &HoverProc, 1, reinterpret_cast<DWORD_PTR>(native.get()));
      if (subtree.Kind() == ControlKind::kEdit) {
        auto& edit = static_cast<Edit&>(subtree);
        if (edit.MaxChars() > 0) SendMessageW(hwnd, EM_LIMITTEXT, static_cast<WPARAM>(edit.MaxChars()), 0);
      }
      if (subtree.Kind() == ControlKind::kCombo) FillCombo(*native, static_cast<Combo&>(subtree));
      ShowState(frame, subtree, *native);
      UpdateTooltip(frame, subtree, *native);
      EnableWindow(hwnd, subtree.IsEnabledOnScreen());
    }
  }
  for (size_t i = 0; i < subtree.ChildCount(); ++i) CreateNativeControls(frame, *subtree.ChildAt(i));
}

NativeControl::~NativeControl() {
  if (frame) frame->controls.erase(hwnd);
  if (hwnd && IsWindow(hwnd)) {
    RemovePropW(hwnd, kNameProperty);
    RemovePropW(hwnd, kKindProperty);
    DestroyWindow(hwnd);
  }
  if (nameAtom) GlobalDeleteAtom(nameAtom);
}

void UpdateNativeControl(NativeFrame& frame, Control& control, Change what, int item) {
  if (what == Change::kChildren) {
    CreateNativeControls(frame, control);
    return;
  }
  if (what == Change::kEnabled) {
    EnableSubtree(frame, control);
    return;
  }
  if (control.IsContainer() && what == Change::kStyle) {
    // Containers' colours are painted by the window itself.
    RECT r = ToNative(control.Pos(), frame.backend->Scale());
    InvalidateRect(frame.hwnd, &r, TRUE);
    return;
  }
  NativeControl* native = NativeOf(control);
  if (!native) return;
  switch (control.Kind()) {
    case ControlKind::kGrid:
      UpdateGrid(frame, static_cast<Grid&>(control), *native, what, item);
      return;
    case ControlKind::kRichEdit:
      UpdateRichEdit(frame, static_cast<RichEdit&>(control), *native, what);
      return;
    case ControlKind::kTree:
      UpdateTree(frame, static_cast<Tree&>(control), *native, what);
      return;
    default:
      break;
  }
  switch (what) {
    case Change::kText:
      SetNativeText(*native, control.Text());
      if (control.Kind() == ControlKind::kLabel || control.Kind() == ControlKind::kText)
        InvalidateRect(native->hwnd, nullptr, TRUE);
      break;
    case Change::kTooltip:
      UpdateTooltip(frame, control, *native);
      break;
    case Change::kSelected:
    case Change::kValue:
      ShowState(frame, control, *native);
      break;
    case Change::kItems:
      if (control.Kind() == ControlKind::kCombo) FillCombo(*native, static_cast<Combo&>(control));
      break;
    case Change::kFrames:
      InvalidateRect(native->hwnd, nullptr, FALSE);
      break;
    case Change::kStyle:
      if (control.Kind() == ControlKind::kEdit)
        SendMessageW(native->hwnd, EM_SETREADONLY, static_cast<Edit&>(control).IsReadOnly(), 0);
      SendMessageW(native->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(frame, control)), FALSE);
      InvalidateRect(native->hwnd, nullptr, TRUE);
      break;
    default:
      break;
  }
}

void PlaceNativeControls(NativeFrame& frame) {
  if (Control* root = frame.window->Root()) Place(frame, *root);
}

Control* ControlOfHwnd(const NativeFrame& frame, HWND hwnd) {
  auto found = frame.controls.find(hwnd);
  return found == frame.controls.end() ? nullptr : found->second;
}

COLORREF BackgroundOf(const NativeFrame& frame, const Control& control) {
  for (const Control* c = &control; c; c = c->Parent())
    if (c->BkColor() && c->BkColor()->Alpha() != 0) return c->BkColor()->ToColorRef();
  if (frame.window->Attributes().bkColor) return frame.window->Attributes().bkColor->ToColorRef();
  return RGB(255, 255, 255);
}

HFONT FontOf(const NativeFrame& frame, const Control& control) {
  const auto& fonts = frame.window->Fonts();
  for (size_t i = 0; i < fonts.size() && i < frame.fonts.size(); ++i)
    if (fonts[i].id == control.Font()) return frame.fonts[i].get();
  return frame.defaultFont;
}

bool HandleCommand(NativeFrame& frame, HWND child, UINT code) {
  Control* control = ControlOfHwnd(frame, child);
  NativeControl* native = control ? NativeOf(*control) : nullptr;
  if (!native) return false;
  switch (control->Kind()) {
    case ControlKind::kButton:
    case ControlKind::kOption:
    case ControlKind::kCheckBox:
      if (code == BN_CLICKED) control->Activate();
      return true;
    case ControlKind::kEdit:
      if (code == EN_CHANGE && !native->programChange) {
        int length = GetWindowTextLengthW(child);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(child, text.data(), length + 1)));
        static_cast<Edit*>(control)->UserEdit(std::move(text));
      }
      return true;
    case ControlKind::kCombo:
      if (code == CBN_SELCHANGE && !native->programChange) {
        int index = static_cast<int>(SendMessageW(child, CB_GETCURSEL, 0, 0));
        auto* combo = static_cast<Combo*>(control);
        if (!combo->UserSelect(index)) ShowState(frame, *control, *native);
      }
      return true;
    default:
      return false;
  }
}

LRESULT HandleNotify(NativeFrame& frame, NMHDR& header, bool& handled) {
  handled = false;
  Control* control = ControlOfHwnd(frame, header.hwndFrom);
  if (!control) return 0;
  if (control->Kind() == ControlKind::kGrid) return GridNotify(frame, static_cast<Grid&>(*control), header, handled);
  if (control->Kind() == ControlKind::kTree) return TreeNotify(frame, static_cast<Tree&>(*control), header, handled);
  return 0;
}

bool DrawItem(NativeFrame& frame, const DRAWITEMSTRUCT& item) {
  Control* control = ControlOfHwnd(frame, item.hwndItem);
  if (!control) return false;
  double scale = frame.backend->Scale();
  HDC dc = item.hDC;
  RECT box = item.rcItem;
  COLORREF background = BackgroundOf(frame, *control);
  FillRect(dc, &box, frame.brushes.Get(background));
  if (control->Kind() == ControlKind::kPicture) {
    auto& picture = static_cast<Picture&>(*control);
    const std::wstring& path =
        picture.Frames().empty() ? picture.Image() : picture.Frames()[picture.CurrentFrame() % picture.Frames().size()];
    frame.backend->Images().DrawCentered(dc, path, box, scale);
    return true;
  }
  if (control->Kind() != ControlKind::kButton) return false;
  NativeControl* native = NativeOf(*control);
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  if (pressed || (native && native->hot)) {
    // A lighter (hover) or darker (pressed) shade of the bar behind it.
    auto shade = [&](int c) { return pressed ? c * 3 / 4 : c + (255 - c) / 5; };
    COLORREF tint = RGB(shade(GetRValue(background)), shade(GetGValue(background)), shade(GetBValue(background)));
    FillRect(dc, &box, frame.brushes.Get(tint));
  }
  const std::wstring* image = control->Attribute(L"image");
  const std::wstring* hot = control->Attribute(L"hotimage");
  const std::wstring& path = native && native->hot && hot && !hot->empty() ? *hot : *image;
  frame.backend->Images().DrawCentered(dc, path, box, scale);
  if (!control->Text().empty()) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, control->TextColor() ? control->TextColor()->ToColorRef() : GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ old = SelectObject(dc, FontOf(frame, *control));
    DrawTextW(dc, control->Text().c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &box);
  return true;
}

HBRUSH ControlColors(NativeFrame& frame, HDC dc, HWND child, UINT message) {
  Control* control = ControlOfHwnd(frame, child);
  if (!control) return nullptr;
  bool isEdit = control->Kind() == ControlKind::kEdit || control->Kind() == ControlKind::kCombo;
  COLORREF background;
  if (isEdit) {
    if (!control->BkColor() && !control->TextColor()) return nullptr;
    background = control->BkColor() ? control->BkColor()->ToColorRef() : GetSysColor(COLOR_WINDOW);
  } else {
    background = BackgroundOf(frame, *control);
  }
  if (control->TextColor()) SetTextColor(dc, control->TextColor()->ToColorRef());
  SetBkColor(dc, background);
  return frame.brushes.Get(background);
}

}  // namespace orvello::ui::win32
