#pragma once
// A message log that keeps every line with its colour, for tests of code
// that reports progress and failures to the user.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "shell/message_log.h"

namespace orvello::test {

class RecordingLog : public IMessageLog {
 public:
  void InsertMsg(const std::wstring& text, uint32_t colour) override { lines.push_back({text, colour}); }
  void SetText(const std::wstring&) override {}

  std::vector<std::wstring> Red() const {
    std::vector<std::wstring> out;
    for (const auto& [text, colour] : lines)
      if (colour == kColourRed) out.push_back(text);
    return out;
  }

  std::vector<std::pair<std::wstring, uint32_t>> lines;
};

}  // namespace orvello::test
