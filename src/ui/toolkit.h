#pragma once
// The toolkit's process-wide state: the backend, the UI thread and the
// queue of work posted to it. Worker threads (message log writers, device
// discovery, the operation thread) reach the UI only through this queue;
// work posted by one thread runs in posting order.
#include <chrono>
#include <functional>

namespace orvello::ui {

class IBackend;

// The calling thread becomes the UI thread. Null uninstalls the backend
// and drops work still queued.
void InstallBackend(IBackend* backend);
IBackend* CurrentBackend();
bool IsUiThread();

// Any thread.
void PostToUi(std::function<void()> work);
// UI thread: runs queued work until the queue is empty, including work
// posted meanwhile; true when something ran.
bool RunPostedWork();
// UI thread, for loops without native messages: waits until work is queued
// or the limit passes; true when work is queued.
bool WaitForPostedWork(std::chrono::milliseconds limit);
// Any thread: runs `work` on the UI thread and waits for it (directly when
// called on the UI thread). False when the work was dropped unrun because
// the backend went away.
bool RunOnUiAndWait(std::function<void()> work);

int RunMessageLoop();
void QuitMessageLoop(int exitCode);
// False without a backend.
bool IsKeyDown(int virtualKey);

}  // namespace orvello::ui
