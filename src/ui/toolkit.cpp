#include "ui/toolkit.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "ui/backend.h"

namespace orvello::ui {

namespace {

struct PostQueue {
  std::mutex mutex;
  std::condition_variable posted;
  std::deque<std::function<void()>> work;
  IBackend* backend = nullptr;
  std::thread::id uiThread;
};

PostQueue& Queue() {
  static PostQueue queue;
  return queue;
}

// Tells a waiting sender that its work ran or was dropped: whichever way
// the posted closure ends, this ends with it.
struct Completion {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  bool ran = false;
};

struct CompletionSignal {
  explicit CompletionSignal(std::shared_ptr<Completion> c) : completion(std::move(c)) {}
  CompletionSignal(const CompletionSignal&) = delete;
  CompletionSignal& operator=(const CompletionSignal&) = delete;
  std::shared_ptr<Completion> completion;
  ~CompletionSignal() {
    std::lock_guard lock(completion->mutex);
    completion->finished = true;
    completion->done.notify_all();
  }
};

}  // namespace

void InstallBackend(IBackend* backend) {
  std::deque<std::function<void()>> dropped;
  {
    PostQueue& queue = Queue();
    std::lock_guard lock(queue.mutex);
    queue.backend = backend;
    queue.uiThread = std::this_thread::get_id();
    if (!backend) dropped.swap(queue.work);
  }
  // Destroyed outside the lock: a dropped send wakes its sender here.
}

IBackend* CurrentBackend() {
  std::lock_guard lock(Queue().mutex);
  return Queue().backend;
}

bool IsUiThread() {
  std::lock_guard lock(Queue().mutex);
  return Queue().uiThread == std::this_thread::get_id();
}

void PostToUi(std::function<void()> work) {
  if (!work) return;
  PostQueue& queue = Queue();
  std::lock_guard lock(queue.mutex);
  queue.work.push_back(std::move(work));
  queue.posted.notify_all();
  // Under the lock: a worker's last post may race with the UI thread taking
  // its backend down (InstallBackend takes the same lock).
  if (queue.backend) queue.backend->WakeUp();
}

bool RunPostedWork() {
  bool ran = false;
  PostQueue& queue = Queue();
  while (true) {
    std::function<void()> next;
    {
      std::lock_guard lock(queue.mutex);
      if (queue.work.empty()) return ran;
      next = std::move(queue.work.front());
      queue.work.pop_front();
    }
    next();
    ran = true;
  }
}

bool WaitForPostedWork(std::chrono::milliseconds limit) {
  PostQueue& queue = Queue();
  std::unique_lock lock(queue.mutex);
  return queue.posted.wait_for(lock, limit, [&] { return !queue.work.empty(); });
}

bool RunOnUiAndWait(std::function<void()> work) {
  if (IsUiThread()) {
    work();
    return true;
  }
  if (!CurrentBackend()) return false;
  auto completion = std::make_shared<Completion>();
  auto signal = std::make_shared<CompletionSignal>(completion);
  PostToUi([signal, work = std::move(work)] {
    work();
    signal->completion->ran = true;
  });
  signal.reset();
  std::unique_lock lock(completion->mutex);
  completion->done.wait(lock, [&] { return completion->finished; });
  return completion->ran;
}

int RunMessageLoop() {
  IBackend* backend = CurrentBackend();
  return backend ? backend->RunMessageLoop() : -1;
}

void QuitMessageLoop(int exitCode) {
  if (IBackend* backend = CurrentBackend()) backend->QuitMessageLoop(exitCode);
}

bool IsKeyDown(int virtualKey) {
  IBackend* backend = CurrentBackend();
  return backend && backend->IsKeyDown(virtualKey);
}

}  // namespace orvello::ui
