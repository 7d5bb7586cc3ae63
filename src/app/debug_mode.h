#pragma once
#include <atomic>

namespace orvello {

// 1 in debug mode: the file log, the command echo and the debug-only
// controls. Read by worker threads, toggled on the UI thread.
inline std::atomic<int> debugMode{0};

}  // namespace orvello
