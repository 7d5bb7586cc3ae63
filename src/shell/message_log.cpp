#include "shell/message_log.h"

#include <atomic>
#include <cstdarg>

#include "system/text.h"

namespace orvello {

namespace {
std::atomic<IMessageLog*> g_current{nullptr};
}

void SetCurrentMessageLog(IMessageLog* log) { g_current.store(log); }
IMessageLog* CurrentMessageLog() { return g_current.load(); }

void InsertMsg(const std::wstring& text, uint32_t colour) {
  if (IMessageLog* log = g_current.load()) log->InsertMsg(text, colour);
}

void LogMessage(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = FormatTextV(format, args);
  va_end(args);
  InsertMsg(text, kColourBlack);
}

void LogMessageColored(uint32_t colour, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = FormatTextV(format, args);
  va_end(args);
  InsertMsg(text, colour);
}

void SetMessageLogText(const std::wstring& text) {
  if (IMessageLog* log = g_current.load()) log->SetText(text);
}

}  // namespace orvello
