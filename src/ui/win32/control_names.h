#pragma once
// How a process outside Orvello finds the toolkit's native windows and acts
// on them (tools/uidriver and the end-to-end tests). Both sides include
// this header, so the names below are the whole contract.
//
// Every native control of a toolkit window carries two window properties:
//   "OrvelloName": a global atom holding kNamePrefix + the control's
//                  toolkit name (atoms ignore letter case, so the prefix
//                  keeps a name from meeting an older atom such as a
//                  window class name, whose spelling it would take);
//   "OrvelloKind": the control's ui::ControlKind plus one.
// Window properties and global atoms live in the window manager (on Wine:
// in the wineserver), so GetPropW and GlobalGetAtomNameW answer them in
// any process of the desktop.
//
// Actions a native message cannot carry (a grid row, a cell text, a key
// with Ctrl held) go through the registered message "OrvelloUiAction",
// sent to the top-level window: wParam is the native control (or the key),
// lParam packs the action and its arguments (PackUiAction). The window
// carries them out exactly as it handles the user's input.
#include <windows.h>

#include <cstdint>
#include <string>

namespace orvello::ui::win32 {

inline constexpr wchar_t kNameProperty[] = L"OrvelloName";
inline constexpr wchar_t kKindProperty[] = L"OrvelloKind";
inline constexpr wchar_t kNamePrefix[] = L"OrvelloControl:";
inline constexpr wchar_t kActionMessageName[] = L"OrvelloUiAction";

enum class UiAction : uint32_t {
  kClickRow = 1,   // a click on a grid cell: row, column
  kCheckRow = 2,   // a click on a row's check box
  kCellText = 3,   // answers a global atom "=" + the cell's text (the caller deletes it)
  kKeyDown = 4,    // wParam: the virtual key; row: 1 when Ctrl is held
  kSelectItem = 5, // a combo item chosen: row is the index
  kRowChecked = 6, // answers 1 when the row's box is ticked
};

// Row up to 65535, column up to 127.
inline LPARAM PackUiAction(UiAction action, int row = 0, int column = 0) {
  return static_cast<LPARAM>(static_cast<uint32_t>(action) | (static_cast<uint32_t>(row & 0xFFFF) << 8) |
                             (static_cast<uint32_t>(column & 0x7F) << 24));
}
inline UiAction UnpackAction(LPARAM value) { return static_cast<UiAction>(static_cast<uint32_t>(value) & 0xFF); }
inline int UnpackRow(LPARAM value) { return static_cast<int>((static_cast<uint32_t>(value) >> 8) & 0xFFFF); }
inline int UnpackColumn(LPARAM value) { return static_cast<int>((static_cast<uint32_t>(value) >> 24) & 0x7F); }

// The layout tags of ui::ControlKind, in its order, for drivers that list
// controls without linking the toolkit.
inline constexpr const wchar_t* kKindNames[] = {
    L"Container", L"VerticalLayout", L"HorizontalLayout", L"TabLayout", L"ChildLayout", L"Label",
    L"Text",      L"Button",         L"Option",           L"CheckBox",  L"Edit",        L"Progress",
    L"Picture",   L"Combo",          L"Grid",             L"RichEdit",  L"Tree"};

// The toolkit name of a native control; "" when it has none.
inline std::wstring ControlNameOf(HWND window) {
  auto atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(GetPropW(window, kNameProperty)));
  if (atom == 0) return {};
  wchar_t buffer[256] = {};
  std::wstring name(buffer, GlobalGetAtomNameW(atom, buffer, 256));
  std::wstring prefix = kNamePrefix;
  return name.compare(0, prefix.size(), prefix) == 0 ? name.substr(prefix.size()) : std::wstring();
}

// The ui::ControlKind number of a native control; -1 when it has none.
inline int ControlKindOf(HWND window) {
  return static_cast<int>(reinterpret_cast<uintptr_t>(GetPropW(window, kKindProperty))) - 1;
}

}  // namespace orvello::ui::win32
