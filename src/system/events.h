#pragma once
// Kernel-style events for the portable core: an auto-reset event (one
// waiter consumes each Set) and a manual-reset event (stays set until
// Reset), with a wait on two events at once. Built on the standard library
// so that the same code runs on the fake platform and on Windows.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

namespace orvello {

class Event {
 public:
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  ~Event() = default;

  void Set();
  void Reset();
  // Waits until the event is set (and consumes it when auto-reset).
  void Wait();
  // As Wait, for at most `timeout`; false when the time ran out.
  bool WaitFor(std::chrono::milliseconds timeout);

 protected:
  Event(bool manualReset, bool initiallySet) : manualReset_(manualReset), set_(initiallySet) {}

 private:
  friend int WaitAny(Event& first, Event& second);

  // One blocked call of Wait/WaitAny; every event it waits on pokes it on Set.
  struct Waiter {
    std::mutex mutex;
    std::condition_variable wake;
    bool poked = false;
  };

  // nullopt: no deadline.
  bool WaitUntil(std::optional<std::chrono::steady_clock::time_point> deadline);
  // Under the event's lock: takes the signal if there is one.
  bool TryConsume();
  void Attach(Waiter& waiter);
  void Detach(Waiter& waiter);

  const bool manualReset_;
  std::mutex mutex_;
  bool set_;
  std::vector<Waiter*> waiters_;
};

class AutoResetEvent : public Event {
 public:
  explicit AutoResetEvent(bool initiallySet = false) : Event(false, initiallySet) {}
};

class ManualResetEvent : public Event {
 public:
  explicit ManualResetEvent(bool initiallySet = false) : Event(true, initiallySet) {}
};

// Blocks until one of the two events is set and returns its index (0 for
// `first`, 1 for `second`). When both are set, `first` wins, as with
// WaitForMultipleObjects; only the winning event is consumed.
int WaitAny(Event& first, Event& second);

}  // namespace orvello
