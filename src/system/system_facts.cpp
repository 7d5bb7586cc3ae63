#include "system/system_facts.h"

namespace orvello {

bool IsNativeAmd64(platform::ISystemFacts& system) {
  if (auto machines = system.IsWow64Process2()) return machines->nativeMachine == platform::kMachineAmd64;
  // Older systems know no ARM64; a 32-bit process under WOW64 runs on x64.
  return system.IsWow64Process().value_or(false);
}

bool IsNativeArm64(platform::ISystemFacts& system) {
  auto machines = system.IsWow64Process2();
  return machines && machines->nativeMachine == platform::kMachineArm64;
}

std::wstring ArchitectureFolder(platform::ISystemFacts& system) {
  if (IsNativeArm64(system)) return L"arm64";
  if (IsNativeAmd64(system)) return L"amd64";
  return L"i386";
}

std::wstring EnvironmentName(platform::ISystemFacts& system) {
  if (IsNativeArm64(system)) return L"Windows ARM64";
  if (IsNativeAmd64(system)) return L"Windows x64";
  return L"Windows NT x86";
}

bool IsVistaOrLater(platform::ISystemFacts& system) { return system.VersionAtLeast(6, 0, 0); }

std::wstring WithTrailingBackslash(std::wstring path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

std::wstring WorkingFolder(platform::ISystemFacts& system, platform::ISession& session) {
  platform::Result<std::wstring> programFiles = system.SpecialFolder(platform::kCsidlProgramFiles);
  if (!programFiles) {
    session.MessageBox(L"SHGetSpecialFolderPath failed", L"Error", platform::mb::kOk);
    return L"";
  }
  return WithTrailingBackslash(std::move(programFiles.value)) + kWorkingFolderName;
}

std::wstring DriverDirectory(platform::ISystemFacts& system, platform::ISpooler& spooler,
                             platform::ISession& session) {
  platform::Result<std::wstring> directory = spooler.GetPrinterDriverDirectory(EnvironmentName(system));
  if (!directory) {
    session.MessageBox(L"GetPrinterDriverDirectory failed", L"Error", platform::mb::kOk);
    return L"";
  }
  return WithTrailingBackslash(std::move(directory.value));
}

}  // namespace orvello
