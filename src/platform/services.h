#pragma once
// The service control manager, for the one service the program manages.
#include <cstdint>
#include <string>

#include "platform/result.h"

namespace orvello::platform {

// SERVICE_STATUS.dwCurrentState values.
enum class ServiceState : uint32_t {
  Stopped = 1,
  StartPending = 2,
  StopPending = 3,
  Running = 4,
  ContinuePending = 5,
  PausePending = 6,
  Paused = 7,
};

class IServices {
 public:
  virtual ~IServices() = default;
  // OpenSCManagerW + OpenServiceW + QueryServiceStatus. Error 1060 when the service is unknown.
  virtual Result<ServiceState> Query(const std::wstring& name) = 0;
  // StartServiceW; 1056 when it already runs.
  virtual Status Start(const std::wstring& name) = 0;
  // ControlService(SERVICE_CONTROL_STOP); 1062 when it is not running.
  virtual Status Stop(const std::wstring& name) = 0;
};

}  // namespace orvello::platform
