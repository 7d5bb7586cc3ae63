#pragma once
// Debug strings of a test machine: kept in the order they were written, from
// any thread.
#include <mutex>
#include <string>
#include <vector>

#include "platform/debug_output.h"

namespace orvello::fake {

class FakeDebugOutput : public platform::IDebugOutput {
 public:
  void Write(const std::wstring& text) override;

  std::vector<std::wstring> Lines();
  // Whether any line contains `part` (letter case counts).
  bool Contains(const std::wstring& part);
  void Clear();

 private:
  std::mutex mutex_;
  std::vector<std::wstring> lines_;
};

}  // namespace orvello::fake
