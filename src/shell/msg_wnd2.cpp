#include "shell/msg_wnd2.h"

#include "system/text.h"
#include "ui/control_factory.h"
#include "ui/toolkit.h"

namespace orvello {

CMsgWnd2UI::CMsgWnd2UI(platform::ISystemFacts& system)
    : system_(system), target_(std::make_shared<Target>()) {
  target_->control = this;
  SetCurrentMessageLog(this);
}

CMsgWnd2UI::~CMsgWnd2UI() {
  if (CurrentMessageLog() == this) SetCurrentMessageLog(nullptr);
  std::lock_guard lock(target_->mutex);
  target_->control = nullptr;
}

ui::AttributeResult CMsgWnd2UI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  bool* flag = EqualsIgnoreCase(name, L"showdate")   ? &showDate_
               : EqualsIgnoreCase(name, L"showtime") ? &showTime_
                                                      : nullptr;
  if (!flag) return RichEdit::SetAttribute(name, value);
  *flag = EqualsIgnoreCase(value, L"true");
  return ui::AttributeResult::kApplied;
}

std::wstring CMsgWnd2UI::ComposeLine(const std::wstring& text) const {
  if (!showDate_ && !showTime_) return text;
  platform::LocalTime t = system_.Now();
  if (showDate_ && showTime_) {
    return FormatText(L"%04d-%02d-%02d %02d:%02d:%02d.%03d : %s", t.year, t.month, t.day, t.hour, t.minute,
                      t.second, t.milliseconds, text.c_str());
  }
  if (showDate_) return FormatText(L"%04d-%02d-%02d : %s", t.year, t.month, t.day, text.c_str());
  return FormatText(L"%02d:%02d:%02d.%03d : %s", t.hour, t.minute, t.second, t.milliseconds, text.c_str());
}

void CMsgWnd2UI::InsertMsg(const std::wstring& text, uint32_t colour) {
  // The toolkit's post queue keeps each thread's order, as the posted
  // window message of the native log would.
  ui::PostToUi([target = target_, line = ComposeLine(text), colour] {
    std::lock_guard lock(target->mutex);
    if (target->control) target->control->AddLine(line, colour);
  });
}

void CMsgWnd2UI::SetText(const std::wstring& text) {
  ui::PostToUi([target = target_, text] {
    std::lock_guard lock(target->mutex);
    if (target->control) target->control->RichEdit::SetText(text);
  });
}

void CMsgWnd2UI::AddLine(const std::wstring& line, uint32_t colour) {
  if (LineCount() > kMaxLines) Clear();
  AppendText(line + L"\r\n", ui::Color::FromColorRef(colour));
}

void RegisterProgramControls(platform::ISystemFacts& system) {
  ui::RegisterControlClass(CMsgWnd2UI::kClassName, [&system] { return std::make_unique<CMsgWnd2UI>(system); });
}

}  // namespace orvello
