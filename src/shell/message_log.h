#pragma once
// The wizard's progress log as the engine and the worker threads see it:
// lines written from any thread, shown in the message-log control on the UI
// thread. Colours are COLORREF values (0x00BBGGRR).
#include <cstdint>
#include <string>

namespace orvello {

inline constexpr uint32_t kColourBlack = 0x000000;  // debug output
inline constexpr uint32_t kColourBlue = 0xFF0000;   // success
inline constexpr uint32_t kColourRed = 0x0000FF;    // failure

// The control that currently shows the log. It composes the line (date and
// time as configured) and hands it to the UI thread.
class IMessageLog {
 public:
  virtual ~IMessageLog() = default;
  virtual void InsertMsg(const std::wstring& text, uint32_t colour) = 0;
  virtual void SetText(const std::wstring& text) = 0;
};

// The most recently created log control; lines written while none exists
// are dropped.
void SetCurrentMessageLog(IMessageLog* log);
IMessageLog* CurrentMessageLog();

void InsertMsg(const std::wstring& text, uint32_t colour);
// printf-style (Windows semantics: %s is wide text), black.
void LogMessage(const wchar_t* format, ...);
void LogMessageColored(uint32_t colour, const wchar_t* format, ...);
void SetMessageLogText(const std::wstring& text);

}  // namespace orvello
