#include "ui/rich_edit.h"

namespace orvello::ui {

void RichEdit::SetText(std::wstring text) {
  runs_.clear();
  breaks_ = 0;
  endsWithCr_ = false;
  if (!text.empty()) {
    runs_.push_back(TextRun{text, TextColor().value_or(Color{})});
    CountBreaks(text);
  }
  if (text == Text()) return;
  StoreText(std::move(text));
  Changed(Change::kText);
}

void RichEdit::AppendText(std::wstring text, Color color) {
  if (text.empty()) return;
  CountBreaks(text);
  StoreText(Text() + text);
  runs_.push_back(TextRun{std::move(text), color});
  Changed(Change::kAppend);
}

void RichEdit::Clear() { SetText(L""); }

void RichEdit::CountBreaks(const std::wstring& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n') {
      // The second half of a "\r\n" that began in the previous run.
      if (!(i == 0 && endsWithCr_)) ++breaks_;
    } else if (text[i] == L'\r') {
      ++breaks_;
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    }
  }
  endsWithCr_ = text.back() == L'\r';
}

}  // namespace orvello::ui
