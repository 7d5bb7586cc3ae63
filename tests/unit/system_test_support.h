#pragma once
// Shared by the system tests: a message log that keeps its lines, and
// scopes that set the process-wide debug mode and message log for one test.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "app/debug_mode.h"
#include "shell/message_log.h"

namespace orvello::test {

struct LogLine {
  std::wstring text;
  uint32_t colour = 0;
  bool operator==(const LogLine&) const = default;
};

class RecordingMessageLog : public IMessageLog {
 public:
  RecordingMessageLog() : previous_(CurrentMessageLog()) { SetCurrentMessageLog(this); }
  ~RecordingMessageLog() override { SetCurrentMessageLog(previous_); }
  RecordingMessageLog(const RecordingMessageLog&) = delete;
  RecordingMessageLog& operator=(const RecordingMessageLog&) = delete;

  void InsertMsg(const std::wstring& text, uint32_t colour) override {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back({text, colour});
  }
  void SetText(const std::wstring&) override {}

  std::vector<LogLine> Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  std::vector<std::wstring> Texts() {
    std::vector<std::wstring> texts;
    for (const LogLine& line : Lines()) texts.push_back(line.text);
    return texts;
  }
  std::wstring Joined() {
    std::wstring all;
    for (const LogLine& line : Lines()) all += line.text;
    return all;
  }

 private:
  IMessageLog* previous_;
  std::mutex mutex_;
  std::vector<LogLine> lines_;
};

class DebugModeScope {
 public:
  explicit DebugModeScope(int mode) : previous_(debugMode.load()) { debugMode = mode; }
  ~DebugModeScope() { debugMode = previous_; }
  DebugModeScope(const DebugModeScope&) = delete;
  DebugModeScope& operator=(const DebugModeScope&) = delete;

 private:
  int previous_;
};

}  // namespace orvello::test
