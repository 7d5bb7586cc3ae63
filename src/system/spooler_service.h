#pragma once
// The "Spooler" service: waiting for its state, and the check made when the
// wizard starts and when it returns to its first page.
#include "platform/platform.h"

namespace orvello {

inline constexpr const wchar_t* kSpoolerService = L"Spooler";

// Waits a second, then looks up to 36 times, a second apart, for the state.
// The error is the last query's, or ERROR_SERVICE_REQUEST_TIMEOUT when the
// queries answered with another state.
platform::Status WaitForServiceState(platform::Platform& platform, platform::ServiceState wanted);

// The spooler runs, or is started and then awaited. The error is the
// failing step's.
platform::Status EnsureSpoolerRunning(platform::Platform& platform);

// EnsureSpoolerRunning; when the spooler still does not run, a message box
// says so with the error number and the system's text. The wizard goes on
// in every case.
void CheckSpoolerService(platform::Platform& platform);

}  // namespace orvello
