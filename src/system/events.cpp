#include "system/events.h"

#include <algorithm>

namespace orvello {

void Event::Set() {
  std::lock_guard lock(mutex_);
  set_ = true;
  for (Waiter* waiter : waiters_) {
    std::lock_guard waiterLock(waiter->mutex);
    waiter->poked = true;
    waiter->wake.notify_one();
  }
}

void Event::Reset() {
  std::lock_guard lock(mutex_);
  set_ = false;
}

bool Event::TryConsume() {
  std::lock_guard lock(mutex_);
  if (!set_) return false;
  if (!manualReset_) set_ = false;
  return true;
}

void Event::Attach(Waiter& waiter) {
  std::lock_guard lock(mutex_);
  waiters_.push_back(&waiter);
}

void Event::Detach(Waiter& waiter) {
  std::lock_guard lock(mutex_);
  waiters_.erase(std::find(waiters_.begin(), waiters_.end(), &waiter));
}

void Event::Wait() { WaitUntil(std::nullopt); }

bool Event::WaitFor(std::chrono::milliseconds timeout) {
  return WaitUntil(std::chrono::steady_clock::now() + timeout);
}

bool Event::WaitUntil(std::optional<std::chrono::steady_clock::time_point> deadline) {
  if (TryConsume()) return true;
  Waiter waiter;
  Attach(waiter);
  bool consumed = false;
  for (;;) {
    // A Set between this check and the wait below leaves `poked` true, so
    // the wait cannot miss it.
    if (TryConsume()) {
      consumed = true;
      break;
    }
    std::unique_lock lock(waiter.mutex);
    if (!deadline) {
      waiter.wake.wait(lock, [&] { return waiter.poked; });
    } else if (!waiter.wake.wait_until(lock, *deadline, [&] { return waiter.poked; })) {
      break;
    }
    waiter.poked = false;
  }
  Detach(waiter);
  // The signal may have come just as the time ran out.
  return consumed || TryConsume();
}

int WaitAny(Event& first, Event& second) {
  if (first.TryConsume()) return 0;
  if (second.TryConsume()) return 1;
  Event::Waiter waiter;
  first.Attach(waiter);
  second.Attach(waiter);
  int which = -1;
  while (which < 0) {
    if (first.TryConsume()) {
      which = 0;
    } else if (second.TryConsume()) {
      which = 1;
    } else {
      std::unique_lock lock(waiter.mutex);
      waiter.wake.wait(lock, [&] { return waiter.poked; });
      waiter.poked = false;
    }
  }
  first.Detach(waiter);
  second.Detach(waiter);
  return which;
}

}  // namespace orvello
