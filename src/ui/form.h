#pragma once
// The form contract. A form is not a window: it is registered with one and
// receives all of the window's notifications and window messages, acting
// only on its own controls (each handler tests the sender's name). Every
// wizard page has a form derived from CUIForm.
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/menu.h"
#include "ui/messages.h"
#include "ui/notify.h"
#include "ui/paint_manager.h"

namespace orvello::ui {

class Window;

class CUIFrmBase {
 public:
  CUIFrmBase() = default;
  // A registered form leaves its window.
  virtual ~CUIFrmBase();
  CUIFrmBase(const CUIFrmBase&) = delete;
  CUIFrmBase& operator=(const CUIFrmBase&) = delete;

  // Hands the notification to the handler of its type (ignoring letter
  // case). An empty type goes to OnSciNotify; a type not listed below
  // reaches no handler.
  virtual void Notify(Notification& msg);

  // Null until the form is registered with a window.
  PaintManager* GetPaintManager() const { return manager_; }
  Window* GetFrame() const { return frame_; }

  // One handler per notification type, in this order.
  virtual void OnClick(Notification& msg) {}               // "click"
  virtual void OnRClick(Notification& msg) {}              // "rclick"
  virtual void OnDbClick(Notification& msg) {}             // "dbclick"
  virtual void OnMenu(Notification& msg) {}                // "menu"
  virtual void OnLink(Notification& msg) {}                // "link"
  virtual void OnTimer(Notification& msg) {}               // "timer"
  virtual void OnReturn(Notification& msg) {}              // "return"
  virtual void OnScroll(Notification& msg) {}              // "scroll"
  virtual void OnPreDropDown(Notification& msg) {}         // "predropdown"
  virtual void OnDropDown(Notification& msg) {}            // "dropdown"
  virtual void OnSetFocus(Notification& msg) {}            // "setfocus"
  virtual void OnKillFocus(Notification& msg) {}           // "killfocus"
  virtual void OnItemClick(Notification& msg) {}           // "itemclick"
  virtual void OnItemRClick(Notification& msg) {}          // "itemrclick"
  virtual void OnTabSelect(Notification& msg) {}           // "tabselect"
  virtual void OnItemSelect(Notification& msg) {}          // "itemselect"
  virtual void OnItemExpand(Notification& msg) {}          // "itemexpand"
  virtual void OnWindowInit(Notification& msg) {}          // "windowinit"
  virtual void OnWindowSize(Notification& msg) {}          // "windowsize"
  virtual void OnButtonDown(Notification& msg) {}          // "buttondown"
  virtual void OnMouseEnter(Notification& msg) {}          // "mouseenter"
  virtual void OnMouseLeave(Notification& msg) {}          // "mouseleave"
  virtual void OnTextChanged(Notification& msg) {}         // "textchanged"
  virtual void OnHeaderClick(Notification& msg) {}         // "headerclick"
  virtual void OnItemDbClick(Notification& msg) {}         // "itemdbclick"
  virtual void OnShowActiveX(Notification& msg) {}         // "showactivex"
  virtual void OnItemCollapse(Notification& msg) {}        // "itemcollapse"
  virtual void OnItemActivate(Notification& msg) {}        // "itemactivate"
  virtual void OnValueChanged(Notification& msg) {}        // "valuechanged"
  virtual void OnSelectChanged(Notification& msg) {}       // "selectchanged"
  virtual void OnSizeChanged(Notification& msg) {}         // "sizechanged"
  virtual void OnAcceptFile(Notification& msg) {}          // "acceptfile"
  virtual void OnInitCell(Notification& msg) {}            // "initcell"
  virtual void OnDrawItem(Notification& msg) {}            // "drawitem"
  virtual void OnSortItem(Notification& msg) {}            // "sortitem"
  virtual void OnStartEdit(Notification& msg) {}           // "startedit"
  virtual void OnEndEdit(Notification& msg) {}             // "endedit"
  virtual void OnDeleteItem(Notification& msg) {}          // "deleteitem"
  virtual void OnStartSelChange(Notification& msg) {}      // "startselchange"
  virtual void OnEndSelChange(Notification& msg) {}        // "endselchange"
  virtual void OnGridStartEdit(Notification& msg) {}       // "gridstartedit"
  virtual void OnGridEndEdit(Notification& msg) {}         // "gridendedit"
  virtual void OnGridStartSelChange(Notification& msg) {}  // "gridstartselchange"
  virtual void OnGridEndSelChange(Notification& msg) {}    // "gridendselchange"
  virtual void OnGridDropDownList(Notification& msg) {}    // "griddropdownlist"
  virtual void OnGridGetDispInfo(Notification& msg) {}     // "gridgetdispinfo"
  virtual void OnSciNotify(Notification& msg) {}           // "scinotify" and the empty type

  // A menu item was chosen.
  virtual void OnMenuCommand(const MenuItem& item) {}
  // A menu item is about to be shown: set its check mark.
  virtual void OnMenuUpdate(MenuItem& item) {}
  // A window message; true when the form took it (routing stops).
  virtual bool HandleMessage(uint32_t message, WParam wParam, LParam lParam) { return false; }
  // The name of the form's root control, looked up before InitForm; ""
  // for none.
  virtual std::wstring RootControlName() const { return L""; }
  // Once, when the window's controls exist.
  virtual void InitForm() {}

 protected:
  // The control named by RootControlName, or null.
  Control* GetRoot() const { return root_; }

 private:
  friend class Window;
  Window* frame_ = nullptr;
  PaintManager* manager_ = nullptr;
  Control* root_ = nullptr;
};

// The form operations the wizard's forms use.
class CUIForm : public CUIFrmBase {
 public:
  using CUIFrmBase::GetRoot;

  // By name ignoring letter case: below the root control when the form has
  // one, else anywhere in the window. Null when absent or unregistered.
  Control* FindControl(std::wstring_view name) const;
  template <typename T>
  T* Find(std::wstring_view name) const {
    return dynamic_cast<T*>(FindControl(name));
  }

  bool SetTimer(Control* control, uint32_t id, uint32_t intervalMs) const;
  bool KillTimer(Control* control, uint32_t id) const;
  // Asks the window to close with a result (WM_CLOSE is posted).
  void CloseFrame(int result) const;
};

}  // namespace orvello::ui
