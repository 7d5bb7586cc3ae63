#pragma once
// The device console tool of the driver package:
//   devcon [/r] update <inf> <hardware id>
//   devcon [/r] remove @<instance id>
//   devcon [/r] rescan
// Exit codes: 0 done, 1 done but Windows must restart to finish, 2 failed,
// 3 bad arguments (the usage text is written).

namespace orvello::devcon {

enum ExitCode : int {
  kDone = 0,
  kDoneRestartNeeded = 1,
  kFailed = 2,
  kBadArguments = 3,
};

int Run(int argc, wchar_t** argv);

}  // namespace orvello::devcon
