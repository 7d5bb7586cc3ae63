#pragma once
// A notification of a control: its type (matched ignoring letter case), the
// control that sent it and two parameters whose meaning depends on the type.
#include <string>
#include <string_view>

#include "ui/messages.h"

namespace orvello::ui {

class Control;

struct Notification {
  std::wstring type;
  Control* sender = nullptr;
  WParam wParam = 0;
  LParam lParam = 0;

  bool Is(std::wstring_view otherType) const;
  // The sender's name equals `name`, ignoring letter case.
  bool IsFrom(std::wstring_view name) const;
  // The sender's name, or "" without a sender.
  const std::wstring& SenderName() const;
};

// The types the toolkit itself raises, with their parameters.
namespace notify {
inline constexpr std::wstring_view kClick = L"click";  // grids: wParam row, lParam column
inline constexpr std::wstring_view kSelectChanged = L"selectchanged";  // wParam 1 selected / 0 unselected; trees: lParam node
inline constexpr std::wstring_view kTextChanged = L"textchanged";
inline constexpr std::wstring_view kTimer = L"timer";  // wParam timer id
inline constexpr std::wstring_view kTabSelect = L"tabselect";  // wParam new page, lParam old page
inline constexpr std::wstring_view kItemSelect = L"itemselect";  // combos: wParam new index, lParam old index
inline constexpr std::wstring_view kItemExpand = L"itemexpand";  // trees: lParam node
inline constexpr std::wstring_view kItemCollapse = L"itemcollapse";  // trees: lParam node
inline constexpr std::wstring_view kDrawItem = L"drawitem";  // virtual grids: wParam first row, lParam last row
inline constexpr std::wstring_view kValueChanged = L"valuechanged";  // grid check box ticked: wParam row, lParam column
inline constexpr std::wstring_view kWindowInit = L"windowinit";  // sender: the root control
}  // namespace notify

}  // namespace orvello::ui
