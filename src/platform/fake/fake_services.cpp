#include "platform/fake/fake_services.h"

#include <algorithm>

#include "system/text.h"

namespace orvello::fake {

using platform::Result;
using platform::ServiceState;
using platform::Status;
namespace err = platform::err;

namespace {
constexpr uint32_t kCannotAcceptControl = 1061;  // ERROR_SERVICE_CANNOT_ACCEPT_CTRL
}  // namespace

FakeServices::FakeServices() { AddService(L"Spooler", ServiceState::Running); }

FakeServices::Service* FakeServices::Find(const std::wstring& name) {
  for (auto& s : services_)
    if (EqualsIgnoreCase(s.name, name)) return &s;
  return nullptr;
}

Result<ServiceState> FakeServices::Query(const std::wstring& name) {
  std::lock_guard lock(mutex_);
  Service* s = Find(name);
  if (!s) return Result<ServiceState>::Fail(err::kServiceDoesNotExist);
  if (s->openError) return Result<ServiceState>::Fail(*s->openError);
  ServiceState shown = s->state;
  if (s->pendingLeft > 0 && --s->pendingLeft == 0) s->state = s->settlesTo;
  return Result<ServiceState>::Ok(shown);
}

Status FakeServices::Start(const std::wstring& name) {
  std::lock_guard lock(mutex_);
  requests_.push_back(L"Start " + name);
  Service* s = Find(name);
  if (!s) return Status::Fail(err::kServiceDoesNotExist);
  if (s->openError) return Status::Fail(*s->openError);
  if (s->state != ServiceState::Stopped) return Status::Fail(err::kServiceAlreadyRunning);
  if (s->startError) return Status::Fail(*s->startError);
  s->settlesTo = s->diesAfterStart ? ServiceState::Stopped : ServiceState::Running;
  s->pendingLeft = pendingQueries_;
  s->state = s->pendingLeft > 0 ? ServiceState::StartPending : s->settlesTo;
  return Status::Ok();
}

Status FakeServices::Stop(const std::wstring& name) {
  std::lock_guard lock(mutex_);
  requests_.push_back(L"Stop " + name);
  Service* s = Find(name);
  if (!s) return Status::Fail(err::kServiceDoesNotExist);
  if (s->openError) return Status::Fail(*s->openError);
  if (s->state == ServiceState::Stopped) return Status::Fail(err::kServiceNotActive);
  if (s->state == ServiceState::StartPending || s->state == ServiceState::StopPending)
    return Status::Fail(kCannotAcceptControl);
  s->settlesTo = ServiceState::Stopped;
  s->pendingLeft = pendingQueries_;
  s->state = s->pendingLeft > 0 ? ServiceState::StopPending : s->settlesTo;
  return Status::Ok();
}

void FakeServices::AddService(const std::wstring& name, ServiceState state) {
  std::lock_guard lock(mutex_);
  Service* s = Find(name);
  if (!s) {
    services_.push_back({});
    s = &services_.back();
    s->name = name;
  }
  s->state = s->settlesTo = state;
  s->pendingLeft = 0;
}

void FakeServices::RemoveService(const std::wstring& name) {
  std::lock_guard lock(mutex_);
  std::erase_if(services_, [&](const Service& s) { return EqualsIgnoreCase(s.name, name); });
}

void FakeServices::SetState(const std::wstring& name, ServiceState state) { AddService(name, state); }

void FakeServices::SetStartError(const std::wstring& name, std::optional<uint32_t> error) {
  std::lock_guard lock(mutex_);
  if (Service* s = Find(name)) s->startError = error;
}

void FakeServices::SetOpenError(const std::wstring& name, std::optional<uint32_t> error) {
  std::lock_guard lock(mutex_);
  if (Service* s = Find(name)) s->openError = error;
}

void FakeServices::SetDiesAfterStart(const std::wstring& name, bool dies) {
  std::lock_guard lock(mutex_);
  if (Service* s = Find(name)) s->diesAfterStart = dies;
}

std::vector<std::wstring> FakeServices::Requests() {
  std::lock_guard lock(mutex_);
  return requests_;
}

}  // namespace orvello::fake
