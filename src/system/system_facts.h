#pragma once
// What kind of Windows and processor the program runs on, and the folders
// the driver package goes to on it. The program is a 32-bit process, so the
// processor it runs on is learnt from the WOW64 queries, not from itself.
#include <string>

#include "platform/session.h"
#include "platform/spooler.h"
#include "platform/system_facts.h"

namespace orvello {

// The package's folder below the working folder, where staging puts files.
inline constexpr const wchar_t* kWorkingFolderName = L"DudezPrinterDriver\\";

// The native processor is x64. Without IsWow64Process2 (before Windows 10
// 1511) a 32-bit process running under WOW64 counts as x64.
bool IsNativeAmd64(platform::ISystemFacts& system);
// The native processor is ARM64; never without IsWow64Process2.
bool IsNativeArm64(platform::ISystemFacts& system);

// "arm64", "amd64" or "i386": the driver package's sub-folder for this machine.
std::wstring ArchitectureFolder(platform::ISystemFacts& system);
// "Windows ARM64", "Windows x64" or "Windows NT x86": the spooler environment.
std::wstring EnvironmentName(platform::ISystemFacts& system);

// Windows 6.0 (Vista) or later.
bool IsVistaOrLater(platform::ISystemFacts& system);

// The program-files folder (the 32-bit one on 64-bit Windows) followed by
// "DudezPrinterDriver\". On failure a message box says so and the answer is "".
std::wstring WorkingFolder(platform::ISystemFacts& system, platform::ISession& session);

// The spooler's printer-driver directory for EnvironmentName, ending with a
// backslash. On failure a message box says so and the answer is "".
std::wstring DriverDirectory(platform::ISystemFacts& system, platform::ISpooler& spooler,
                             platform::ISession& session);

// Appends a backslash unless the text already ends with one.
std::wstring WithTrailingBackslash(std::wstring path);

}  // namespace orvello
