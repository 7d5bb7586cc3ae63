#pragma once
// An in-memory Windows machine for tests. Each service lives in its own
// fake_<service>.h; a FakeMachine owns one of each and hands the core a
// Platform over them. Tests reach into the services to arrange a machine
// (a printer plugged in, a service stopped, a scripted child process) and
// to inspect what the core did.
#include <memory>

#include "platform/fake/fake_bluetooth.h"
#include "platform/fake/fake_code_pages.h"
#include "platform/fake/fake_debug_output.h"
#include "platform/fake/fake_devices.h"
#include "platform/fake/fake_files.h"
#include "platform/fake/fake_network.h"
#include "platform/fake/fake_processes.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_resources.h"
#include "platform/fake/fake_services.h"
#include "platform/fake/fake_session.h"
#include "platform/fake/fake_spooler.h"
#include "platform/fake/fake_system_facts.h"
#include "platform/platform.h"

namespace orvello::fake {

class FakeMachine {
 public:
  FakeMachine();
  FakeMachine(const FakeMachine&) = delete;
  FakeMachine& operator=(const FakeMachine&) = delete;

  platform::Platform& platform() { return platform_; }

  FakeRegistry registry;
  FakeFiles files;
  FakeServices services;
  FakeProcesses processes;
  FakeSystemFacts system;
  FakeResources resources;
  FakeDebugOutput debug;
  FakeSession session;
  FakeSpooler spooler;
  FakeDevices devices;
  FakeBluetooth bluetooth;
  FakeNetwork network;
  FakeCodePages codePages;

 private:
  platform::Platform platform_;
};

}  // namespace orvello::fake
