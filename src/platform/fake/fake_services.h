#pragma once
// A service control manager with a table of services. Names compare without
// regard to letter case. A new machine has "Spooler", running.
//
// Like the real manager, a start or stop can take a while: with
// SetPendingQueries(n) the next n queries after a request still report
// START_PENDING or STOP_PENDING before the service settles.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"

namespace orvello::fake {

class FakeServices : public platform::IServices {
 public:
  FakeServices();

  platform::Result<platform::ServiceState> Query(const std::wstring& name) override;
  platform::Status Start(const std::wstring& name) override;
  platform::Status Stop(const std::wstring& name) override;

  // Arranging a machine.
  void AddService(const std::wstring& name, platform::ServiceState state);
  void RemoveService(const std::wstring& name);
  void SetState(const std::wstring& name, platform::ServiceState state);
  // The service refuses to start with this error (e.g. 1058 disabled, 1053
  // no response); nullopt lets it start again.
  void SetStartError(const std::wstring& name, std::optional<uint32_t> error);
  // Opening the service fails with this error (e.g. 5 without rights).
  void SetOpenError(const std::wstring& name, std::optional<uint32_t> error);
  // The service accepts a start but stops again at once, as one that crashes
  // while starting: later queries report it stopped.
  void SetDiesAfterStart(const std::wstring& name, bool dies);
  void SetPendingQueries(int queries) { pendingQueries_ = queries; }

  // What the core asked for, e.g. {"Start Spooler", "Stop Spooler"}.
  std::vector<std::wstring> Requests();

 private:
  struct Service {
    std::wstring name;
    platform::ServiceState state = platform::ServiceState::Stopped;
    platform::ServiceState settlesTo = platform::ServiceState::Stopped;
    int pendingLeft = 0;
    std::optional<uint32_t> startError;
    std::optional<uint32_t> openError;
    bool diesAfterStart = false;
  };
  Service* Find(const std::wstring& name);

  std::mutex mutex_;
  std::vector<Service> services_;
  std::vector<std::wstring> requests_;
  int pendingQueries_ = 0;
};

}  // namespace orvello::fake
