#include "system/spooler_service.h"

#include "lang/language.h"
#include "lang/messages.h"
#include "system/error_text.h"
#include "system/text.h"

namespace orvello {

namespace {

constexpr uint32_t kServiceRequestTimeout = 1053;
constexpr uint32_t kServiceWaitMs = 1000;
constexpr int kServiceStatusQueries = 36;
constexpr uint32_t kMessageBoxIconError = 0x10;  // MB_ICONERROR

}  // namespace

platform::Status WaitForServiceState(platform::Platform& platform, platform::ServiceState wanted) {
  platform.system.Sleep(kServiceWaitMs);
  uint32_t error = kServiceRequestTimeout;
  for (int query = 0; query < kServiceStatusQueries; ++query) {
    auto state = platform.services.Query(kSpoolerService);
    if (state && state.value == wanted) return platform::Status::Ok();
    error = state ? kServiceRequestTimeout : state.error;
    platform.system.Sleep(kServiceWaitMs);
  }
  return platform::Status::Fail(error);
}

platform::Status EnsureSpoolerRunning(platform::Platform& platform) {
  auto state = platform.services.Query(kSpoolerService);
  if (state && state.value == platform::ServiceState::Running) return platform::Status::Ok();
  platform::Status started = platform.services.Start(kSpoolerService);
  // Another program may have started it meanwhile; the wait settles that.
  if (!started && started.error != platform::err::kServiceAlreadyRunning) return started;
  return WaitForServiceState(platform, platform::ServiceState::Running);
}

void CheckSpoolerService(platform::Platform& platform) {
  platform::Status running = EnsureSpoolerRunning(platform);
  if (running) return;
  std::wstring text = FormatText(Translate(msg::kOpenSpoolerFailed).c_str(), static_cast<int>(running.error),
                                 SystemErrorText(platform.system, running.error).c_str());
  platform.session.MessageBox(text, L"Orvello", kMessageBoxIconError);
}

}  // namespace orvello
