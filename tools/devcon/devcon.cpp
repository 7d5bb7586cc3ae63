#include "devcon.h"

#include "console.h"
#include "operations.h"

namespace orvello::devcon {
namespace {

wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameWord(const wchar_t* a, const wchar_t* b) {
  while (*a && Lower(*a) == Lower(*b)) {
    ++a;
    ++b;
  }
  return *a == *b;
}

int Usage(const wchar_t* problem) {
  WriteLine(problem);
  WriteLine(L"Usage: devcon [/r] update <inf> <hardware id>");
  WriteLine(L"       devcon [/r] remove @<instance id>");
  WriteLine(L"       devcon [/r] rescan");
  WriteLine(L"  update  install the driver of the INF on the present devices with that hardware ID");
  WriteLine(L"  remove  remove the device with that instance ID");
  WriteLine(L"  rescan  look for hardware that is new or gone");
  WriteLine(L"  /r      the caller restarts Windows when asked: exit code 1 asks for it;");
  WriteLine(L"          the tool itself never restarts Windows");
  WriteLine(L"Exit codes: 0 done, 1 done but a restart is needed, 2 failed, 3 bad arguments.");
  return kBadArguments;
}

}  // namespace

int Run(int argc, wchar_t** argv) {
  int i = 1;
  // A restart is never started from here, so /r changes nothing but is
  // what the installer passes.
  while (i < argc && (argv[i][0] == L'/' || argv[i][0] == L'-') && argv[i][1]) {
    if (!SameWord(argv[i] + 1, L"r")) return Usage(L"Unknown option.");
    ++i;
  }
  if (i >= argc) return Usage(L"No command given.");
  const wchar_t* command = argv[i++];
  int rest = argc - i;
  if (SameWord(command, L"update")) {
    if (rest != 2 || !argv[i][0] || !argv[i + 1][0]) return Usage(L"update needs an INF file and a hardware ID.");
    return UpdateDriver(argv[i], argv[i + 1]);
  }
  if (SameWord(command, L"remove")) {
    if (rest != 1 || argv[i][0] != L'@' || !argv[i][1])
      return Usage(L"remove needs one instance ID written as @<instance id>.");
    return RemoveDevice(argv[i] + 1);
  }
  if (SameWord(command, L"rescan")) {
    if (rest != 0) return Usage(L"rescan takes no arguments.");
    return Rescan();
  }
  return Usage(L"Unknown command.");
}

}  // namespace orvello::devcon
