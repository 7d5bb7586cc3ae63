#include "ui/headless/headless_backend.h"

#include <algorithm>

#include "system/text.h"
#include "ui/grid.h"
#include "ui/toolkit.h"

namespace orvello::ui::headless {

namespace {
HeadlessBackend* g_current = nullptr;
}

HeadlessBackend::HeadlessBackend() {
  InstallBackend(this);
  g_current = this;
}

HeadlessBackend::~HeadlessBackend() {
  std::vector<Window*> open = windows_;
  for (Window* window : open) window->Destroy();
  ReleaseDestroyedWindows();
  if (g_current == this) g_current = nullptr;
  if (CurrentBackend() == this) InstallBackend(nullptr);
}

HeadlessBackend* HeadlessBackend::Current() { return g_current; }

void HeadlessBackend::Pump() {
  while (true) {
    bool ran = RunPostedWork();
    bool painted = Paint();
    if (!ran && !painted) return;
  }
}

bool HeadlessBackend::Paint() {
  std::vector<Window*> open = windows_;
  for (Window* window : open) {
    if (window->IsLayoutPending()) {
      window->Arrange(window->ClientSize());
      return true;
    }
  }
  for (Window* window : open) {
    if (!window->IsShown()) continue;
    Grid* pending = nullptr;
    window->Manager().ForEachControl([&](Control& control) {
      auto* grid = dynamic_cast<Grid*>(&control);
      if (!pending && grid && grid->IsVirtual() && grid->NeedsDraw() && grid->IsVisibleOnScreen()) pending = grid;
    });
    if (pending) {
      // One grid per round: its handlers may change the window.
      pending->RequestDraw(1, pending->RowCount() - 1);
      return true;
    }
  }
  return false;
}

void HeadlessBackend::AdvanceTime(uint32_t ms) {
  uint64_t target = now_ + ms;
  while (true) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const FakeTimer& a, const FakeTimer& b) {
      return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (next == timers_.end() || next->due > target) break;
    now_ = next->due;
    next->due += next->interval;
    Window* window = next->window;
    uint32_t key = next->key;
    window->OnTimerElapsed(key);
    Pump();
  }
  now_ = target;
}

void HeadlessBackend::SetKeyDown(int virtualKey, bool down) {
  std::erase(keysDown_, virtualKey);
  if (down) keysDown_.push_back(virtualKey);
}

bool HeadlessBackend::IsKeyDown(int virtualKey) {
  return std::find(keysDown_.begin(), keysDown_.end(), virtualKey) != keysDown_.end();
}

Window* HeadlessBackend::FindWindowByClass(std::wstring_view className) const {
  for (Window* window : windows_)
    if (EqualsIgnoreCase(window->ClassName(), className)) return window;
  return nullptr;
}

bool HeadlessBackend::CreateNativeWindow(Window& window) {
  windows_.push_back(&window);
  return true;
}

void HeadlessBackend::DestroyNativeWindow(Window& window) {
  std::erase(windows_, &window);
  std::erase_if(timers_, [&](const FakeTimer& timer) { return timer.window == &window; });
}

void HeadlessBackend::ControlChanged(Window& window, Control& control, Change what, int item) {
  changes_.push_back(ChangeRecord{&window, &control, what, item});
}

void HeadlessBackend::StartTimer(Window& window, uint32_t key, uint32_t intervalMs) {
  StopTimer(window, key);
  timers_.push_back(FakeTimer{&window, key, intervalMs, now_ + intervalMs, timerOrder_++});
}

void HeadlessBackend::StopTimer(Window& window, uint32_t key) {
  std::erase_if(timers_, [&](const FakeTimer& timer) { return timer.window == &window && timer.key == key; });
}

void HeadlessBackend::RunModalLoop(Window& window) {
  ++modalLoops_;
  WindowHandle handle = window.Handle();
  bool handed = false;
  while (handle.IsAlive()) {
    Pump();
    if (!handle.IsAlive()) break;
    if (modalHandler_ && !handed) {
      handed = true;
      auto handler = modalHandler_;
      handler(window);
      continue;
    }
    if (!WaitForPostedWork(idleLimit_)) {
      gaveUp_ = true;
      window.Destroy();
    }
  }
}

int HeadlessBackend::RunMessageLoop() {
  quitPending_ = false;
  while (true) {
    Pump();
    if (quitPending_) {
      quitPending_ = false;
      return quitCode_;
    }
    if (!WaitForPostedWork(idleLimit_)) {
      gaveUp_ = true;
      return -1;
    }
  }
}

void HeadlessBackend::QuitMessageLoop(int exitCode) {
  quitPending_ = true;
  quitCode_ = exitCode;
}

}  // namespace orvello::ui::headless
