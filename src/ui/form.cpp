#include "ui/form.h"

#include <array>
#include <utility>

#include "system/text.h"
#include "ui/window.h"

namespace orvello::ui {

namespace {

using Handler = void (CUIFrmBase::*)(Notification&);

constexpr std::array<std::pair<std::wstring_view, Handler>, 47> kHandlers{{
    {L"click", &CUIFrmBase::OnClick},
    {L"rclick", &CUIFrmBase::OnRClick},
    {L"dbclick", &CUIFrmBase::OnDbClick},
    {L"menu", &CUIFrmBase::OnMenu},
    {L"link", &CUIFrmBase::OnLink},
    {L"timer", &CUIFrmBase::OnTimer},
    {L"return", &CUIFrmBase::OnReturn},
    {L"scroll", &CUIFrmBase::OnScroll},
    {L"predropdown", &CUIFrmBase::OnPreDropDown},
    {L"dropdown", &CUIFrmBase::OnDropDown},
    {L"setfocus", &CUIFrmBase::OnSetFocus},
    {L"killfocus", &CUIFrmBase::OnKillFocus},
    {L"itemclick", &CUIFrmBase::OnItemClick},
    {L"itemrclick", &CUIFrmBase::OnItemRClick},
    {L"tabselect", &CUIFrmBase::OnTabSelect},
    {L"itemselect", &CUIFrmBase::OnItemSelect},
    {L"itemexpand", &CUIFrmBase::OnItemExpand},
    {L"windowinit", &CUIFrmBase::OnWindowInit},
    {L"windowsize", &CUIFrmBase::OnWindowSize},
    {L"buttondown", &CUIFrmBase::OnButtonDown},
    {L"mouseenter", &CUIFrmBase::OnMouseEnter},
    {L"mouseleave", &CUIFrmBase::OnMouseLeave},
    {L"textchanged", &CUIFrmBase::OnTextChanged},
    {L"headerclick", &CUIFrmBase::OnHeaderClick},
    {L"itemdbclick", &CUIFrmBase::OnItemDbClick},
    {L"showactivex", &CUIFrmBase::OnShowActiveX},
    {L"itemcollapse", &CUIFrmBase::OnItemCollapse},
    {L"itemactivate", &CUIFrmBase::OnItemActivate},
    {L"valuechanged", &CUIFrmBase::OnValueChanged},
    {L"selectchanged", &CUIFrmBase::OnSelectChanged},
    {L"sizechanged", &CUIFrmBase::OnSizeChanged},
    {L"acceptfile", &CUIFrmBase::OnAcceptFile},
    {L"initcell", &CUIFrmBase::OnInitCell},
    {L"drawitem", &CUIFrmBase::OnDrawItem},
    {L"sortitem", &CUIFrmBase::OnSortItem},
    {L"startedit", &CUIFrmBase::OnStartEdit},
    {L"endedit", &CUIFrmBase::OnEndEdit},
    {L"deleteitem", &CUIFrmBase::OnDeleteItem},
    {L"startselchange", &CUIFrmBase::OnStartSelChange},
    {L"endselchange", &CUIFrmBase::OnEndSelChange},
    {L"gridstartedit", &CUIFrmBase::OnGridStartEdit},
    {L"gridendedit", &CUIFrmBase::OnGridEndEdit},
    {L"gridstartselchange", &CUIFrmBase::OnGridStartSelChange},
    {L"gridendselchange", &CUIFrmBase::OnGridEndSelChange},
    {L"griddropdownlist", &CUIFrmBase::OnGridDropDownList},
    {L"gridgetdispinfo", &CUIFrmBase::OnGridGetDispInfo},
    {L"scinotify", &CUIFrmBase::OnSciNotify},
}};

}  // namespace

CUIFrmBase::~CUIFrmBase() {
  if (frame_) frame_->UnregisterForm(this);
}

void CUIFrmBase::Notify(Notification& msg) {
  if (msg.type.empty()) {
    OnSciNotify(msg);
    return;
  }
  for (const auto& [type, handler] : kHandlers) {
    if (EqualsIgnoreCase(type, msg.type)) {
      (this->*handler)(msg);
      return;
    }
  }
}

Control* CUIForm::FindControl(std::wstring_view name) const {
  PaintManager* manager = GetPaintManager();
  if (!manager) return nullptr;
  if (Control* root = GetRoot()) return manager->FindSubControl(root, name);
  return manager->FindControl(name);
}

bool CUIForm::SetTimer(Control* control, uint32_t id, uint32_t intervalMs) const {
  Window* frame = GetFrame();
  return frame && frame->SetTimer(control, id, intervalMs);
}

bool CUIForm::KillTimer(Control* control, uint32_t id) const {
  Window* frame = GetFrame();
  return frame && frame->KillTimer(control, id);
}

void CUIForm::CloseFrame(int result) const {
  if (Window* frame = GetFrame()) frame->Close(result);
}

}  // namespace orvello::ui
