#include "platform/fake/fake_debug_output.h"

#include <algorithm>

namespace orvello::fake {

void FakeDebugOutput::Write(const std::wstring& text) {
  std::lock_guard lock(mutex_);
  lines_.push_back(text);
}

std::vector<std::wstring> FakeDebugOutput::Lines() {
  std::lock_guard lock(mutex_);
  return lines_;
}

bool FakeDebugOutput::Contains(const std::wstring& part) {
  std::lock_guard lock(mutex_);
  return std::any_of(lines_.begin(), lines_.end(),
                     [&](const std::wstring& line) { return line.find(part) != std::wstring::npos; });
}

void FakeDebugOutput::Clear() {
  std::lock_guard lock(mutex_);
  lines_.clear();
}

}  // namespace orvello::fake
