#include "platform/win32/win32_services.h"

#include "platform/win32/handles.h"

namespace orvello::win32 {

using platform::Result;
using platform::ServiceState;
using platform::Status;

namespace {

constexpr DWORD kManagerAccess = GENERIC_EXECUTE;                                      // 0x20000000
constexpr DWORD kServiceAccess = SERVICE_QUERY_STATUS | SERVICE_START | SERVICE_STOP;  // 0x34

struct OpenedService {
  UniqueServiceHandle manager;
  UniqueServiceHandle service;
  DWORD error = ERROR_SUCCESS;
};

OpenedService OpenNamedService(const std::wstring& name) {
  OpenedService opened;
  opened.manager.reset(::OpenSCManagerW(nullptr, nullptr, kManagerAccess));
  if (!opened.manager) {
    opened.error = ::GetLastError();
    return opened;
  }
  opened.service.reset(::OpenServiceW(opened.manager.get(), name.c_str(), kServiceAccess));
  if (!opened.service) opened.error = ::GetLastError();
  return opened;
}

}  // namespace

Result<ServiceState> Win32Services::Query(const std::wstring& name) {
  OpenedService opened = OpenNamedService(name);
  if (opened.error) return Result<ServiceState>::Fail(opened.error);
  SERVICE_STATUS status{};
  if (!::QueryServiceStatus(opened.service.get(), &status)) return Result<ServiceState>::Fail(::GetLastError());
  return Result<ServiceState>::Ok(static_cast<ServiceState>(status.dwCurrentState));
}

Status Win32Services::Start(const std::wstring& name) {
  OpenedService opened = OpenNamedService(name);
  if (opened.error) return Status::Fail(opened.error);
  if (!::StartServiceW(opened.service.get(), 0, nullptr)) return Status::Fail(::GetLastError());
  return Status::Ok();
}

Status Win32Services::Stop(const std::wstring& name) {
  OpenedService opened = OpenNamedService(name);
  if (opened.error) return Status::Fail(opened.error);
  SERVICE_STATUS status{};
  if (!::ControlService(opened.service.get(), SERVICE_CONTROL_STOP, &status)) return Status::Fail(::GetLastError());
  return Status::Ok();
}

}  // namespace orvello::win32
