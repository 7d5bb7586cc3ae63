#pragma once
// The message log control of the setup pages ("MsgWnd2" in a layout): a
// read-only coloured text that the engine and the worker threads write to
// from any thread. Lines are composed where they are written and added on
// the UI thread, in the order each thread wrote them.
#include <memory>
#include <mutex>
#include <string>

#include "platform/system_facts.h"
#include "shell/message_log.h"
#include "ui/rich_edit.h"

namespace orvello {

class CMsgWnd2UI : public ui::RichEdit, public IMessageLog {
 public:
  static constexpr const wchar_t* kClassName = L"CMsgWnd2UI";
  // More lines than this and the text is cleared before the next one.
  static constexpr size_t kMaxLines = 4999;

  // Becomes the current message log.
  explicit CMsgWnd2UI(platform::ISystemFacts& system);
  // Stops being the current message log; lines still queued are dropped.
  ~CMsgWnd2UI() override;

  std::wstring ClassName() const override { return kClassName; }
  ui::AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value) override;

  bool ShowsDate() const { return showDate_; }
  bool ShowsTime() const { return showTime_; }
  // The line as it will be shown, stamped with the local time as configured.
  std::wstring ComposeLine(const std::wstring& text) const;

  // IMessageLog, any thread.
  void InsertMsg(const std::wstring& text, uint32_t colour) override;
  void SetText(const std::wstring& text) override;

 private:
  // What a queued line needs to find its control: cleared when it goes.
  struct Target {
    std::mutex mutex;
    CMsgWnd2UI* control = nullptr;
  };
  void AddLine(const std::wstring& line, uint32_t colour);

  platform::ISystemFacts& system_;
  bool showDate_ = true;
  bool showTime_ = true;
  std::shared_ptr<Target> target_;
};

// The program's own control classes, made available to the layouts.
void RegisterProgramControls(platform::ISystemFacts& system);

}  // namespace orvello
