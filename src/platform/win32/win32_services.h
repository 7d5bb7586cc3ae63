#pragma once
// IServices over the service control manager: the manager is opened with
// GENERIC_EXECUTE and the service with SERVICE_QUERY_STATUS | SERVICE_START |
// SERVICE_STOP (0x34), for each call, and both are closed again.
#include "platform/services.h"

namespace orvello::win32 {

class Win32Services : public platform::IServices {
 public:
  platform::Result<platform::ServiceState> Query(const std::wstring& name) override;
  platform::Status Start(const std::wstring& name) override;
  platform::Status Stop(const std::wstring& name) override;
};

}  // namespace orvello::win32
