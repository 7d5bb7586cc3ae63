#pragma once
// The toolkit without a screen: windows exist only as their models. Tests
// drive them through the user actions of headless/actions.h, run the UI
// thread's queue with Pump and move a fake clock with AdvanceTime.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "ui/backend.h"
#include "ui/window.h"

namespace orvello::ui::headless {

struct ChangeRecord {
  Window* window;
  Control* control;
  Change what;
  int item;
};

class HeadlessBackend : public IBackend {
 public:
  // Installs itself; the constructing thread becomes the UI thread.
  HeadlessBackend();
  // Destroys the windows still open, releases kept modeless windows and
  // uninstalls itself (queued work is dropped).
  ~HeadlessBackend() override;
  HeadlessBackend(const HeadlessBackend&) = delete;
  HeadlessBackend& operator=(const HeadlessBackend&) = delete;

  // The installed headless backend, or null.
  static HeadlessBackend* Current();

  // Runs posted work, then "paints": lays out windows that asked for it
  // and lets every shown virtual grid that needs drawing ask for its rows
  // ("drawitem" for all its data rows); repeats until nothing is left.
  void Pump();

  // The fake clock, in ms since the backend started.
  uint64_t Now() const { return now_; }
  // Moves the clock on, firing every timer that falls due on the way in
  // the order of its due time (timers due at the same time in the order
  // they were started); posted work runs after each firing.
  void AdvanceTime(uint32_t ms);
  size_t RunningTimerCount() const { return timers_.size(); }

  void SetKeyDown(int virtualKey, bool down);

  // Called once in every modal loop after the dialog's first posted work
  // (its "windowinit") has run: the test acts as the user there. Without
  // a handler, or after it returns, the loop waits for posted work (from
  // other threads) until the dialog is destroyed.
  void SetModalHandler(std::function<void(Window&)> handler) { modalHandler_ = std::move(handler); }
  // A loop that waits this long for work that never comes gives up, so a
  // broken test fails instead of hanging: a modal dialog is destroyed.
  void SetIdleLimit(std::chrono::milliseconds limit) { idleLimit_ = limit; }
  bool LoopGaveUp() const { return gaveUp_; }
  int ModalLoopsRun() const { return modalLoops_; }

  // Created windows, in creation order.
  const std::vector<Window*>& Windows() const { return windows_; }
  Window* FindWindowByClass(std::wstring_view className) const;

  // The point the last menu was shown at.
  Point LastMenuPoint() const { return lastMenuPoint_; }

  const std::vector<ChangeRecord>& Changes() const { return changes_; }
  void ClearChanges() { changes_.clear(); }
  // The exit code of the last QuitMessageLoop, or -1 while none came.
  int QuitCode() const { return quitCode_; }

  // IBackend
  bool CreateNativeWindow(Window& window) override;
  void DestroyNativeWindow(Window& window) override;
  void WindowChanged(Window& window) override {}
  void ControlChanged(Window& window, Control& control, Change what, int item) override;
  void LayoutRequested(Window& window) override {}
  void StartTimer(Window& window, uint32_t key, uint32_t intervalMs) override;
  void StopTimer(Window& window, uint32_t key) override;
  void ShowMenu(Window& window, Menu& menu, Point at) override { lastMenuPoint_ = at; }
  void RunModalLoop(Window& window) override;
  int RunMessageLoop() override;
  void QuitMessageLoop(int exitCode) override;
  void WakeUp() override {}
  bool IsKeyDown(int virtualKey) override;

 private:
  struct FakeTimer {
    Window* window;
    uint32_t key;
    uint32_t interval;
    uint64_t due;
    uint64_t order;
  };

  bool Paint();

  std::vector<Window*> windows_;
  std::vector<FakeTimer> timers_;
  uint64_t now_ = 0;
  uint64_t timerOrder_ = 0;
  std::vector<int> keysDown_;
  std::function<void(Window&)> modalHandler_;
  std::chrono::milliseconds idleLimit_{10000};
  bool gaveUp_ = false;
  int modalLoops_ = 0;
  bool quitPending_ = false;
  int quitCode_ = -1;
  Point lastMenuPoint_;
  std::vector<ChangeRecord> changes_;
};

}  // namespace orvello::ui::headless
