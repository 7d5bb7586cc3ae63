#include "platform/fake/fake_machine.h"

namespace orvello::fake {

FakeMachine::FakeMachine()
    : files(),
      processes(files),
      spooler(files),
      devices(files),
      platform_{registry, files,   services, processes, system,    resources,
                debug,    session, spooler,  devices,   bluetooth, network, codePages} {}

}  // namespace orvello::fake
