// The print spooler's service, as the wizard checks, starts and restarts it.
// Changing a service needs administrator rights on Windows; Wine gives them
// to every program. The case leaves the service as it found it.
#include <gtest/gtest.h>

#include "support/contract_env.h"

namespace orvello::test {
namespace {

using platform::IServices;
using platform::ServiceState;
namespace err = platform::err;

constexpr const wchar_t* kSpooler = L"Spooler";

class ServicesContract : public ::testing::Test {
 protected:
  // Services take a moment to get where they were sent; the program polls
  // the same way.
  bool ReachesState(ServiceState wanted) {
    for (int attempt = 0; attempt < 150; ++attempt) {
      auto state = services.Query(kSpooler);
      if (state.ok() && state.value == wanted) return true;
      Env().platform().system.Sleep(100);
    }
    return false;
  }

  IServices& services = Env().platform().services;
};

TEST_F(ServicesContract, UnknownServiceIsReportedAsSuch) {
  const wchar_t* name = L"OrvelloNoSuchService";
  EXPECT_EQ(services.Query(name).error, err::kServiceDoesNotExist);
  EXPECT_EQ(services.Start(name).error, err::kServiceDoesNotExist);
  EXPECT_EQ(services.Stop(name).error, err::kServiceDoesNotExist);
}

TEST_F(ServicesContract, SpoolerStopsAndStartsAndRefusesRepeats) {
  // Windows normally runs the spooler; a fresh Wine prefix has it stopped.
  auto initial = services.Query(kSpooler);
  ASSERT_TRUE(initial.ok()) << initial.error;
  ASSERT_TRUE(initial.value == ServiceState::Running || initial.value == ServiceState::Stopped)
      << static_cast<int>(initial.value);
  bool wasRunning = initial.value == ServiceState::Running;

  if (wasRunning) {
    ASSERT_TRUE(services.Stop(kSpooler).ok());
    ASSERT_TRUE(ReachesState(ServiceState::Stopped));
  }
  EXPECT_EQ(services.Stop(kSpooler).error, err::kServiceNotActive);
  ASSERT_TRUE(services.Start(kSpooler).ok());
  ASSERT_TRUE(ReachesState(ServiceState::Running));
  EXPECT_EQ(services.Start(kSpooler).error, err::kServiceAlreadyRunning);
  if (!wasRunning) {
    ASSERT_TRUE(services.Stop(kSpooler).ok());
    EXPECT_TRUE(ReachesState(ServiceState::Stopped));
  }
}

}  // namespace
}  // namespace orvello::test
