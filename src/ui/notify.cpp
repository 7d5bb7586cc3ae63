#include "ui/notify.h"

#include "system/text.h"
#include "ui/control.h"

namespace orvello::ui {

bool Notification::Is(std::wstring_view otherType) const { return EqualsIgnoreCase(type, otherType); }

bool Notification::IsFrom(std::wstring_view name) const { return sender && EqualsIgnoreCase(sender->Name(), name); }

const std::wstring& Notification::SenderName() const {
  static const std::wstring kNone;
  return sender ? sender->Name() : kNone;
}

}  // namespace orvello::ui
