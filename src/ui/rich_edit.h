#pragma once
// Read-only coloured text, kept as runs of one colour each: the model of
// the message log. Line breaks are "\r\n", "\r" or "\n".
#include <string>
#include <vector>

#include "ui/color.h"
#include "ui/control.h"

namespace orvello::ui {

struct TextRun {
  std::wstring text;
  Color color;
};

class RichEdit : public Control {
 public:
  RichEdit() : Control(ControlKind::kRichEdit) {}

  // Replaces the whole content by one run in the default colour.
  void SetText(std::wstring text) override;
  // Adds a run at the end (Change::kAppend; the backend reads LastRun).
  void AppendText(std::wstring text, Color color);
  void Clear();
  const std::vector<TextRun>& Runs() const { return runs_; }
  const TextRun* LastRun() const { return runs_.empty() ? nullptr : &runs_.back(); }
  // As a multi-line edit control counts them: breaks plus one.
  size_t LineCount() const { return breaks_ + 1; }

 protected:
  explicit RichEdit(ControlKind kind) : Control(kind) {}

 private:
  void CountBreaks(const std::wstring& text);

  std::vector<TextRun> runs_;
  size_t breaks_ = 0;
  bool endsWithCr_ = false;
};

}  // namespace orvello::ui
