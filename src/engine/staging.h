#pragma once
// Staging: copying a manufacturer's driver package out of the embedded
// package into the working folder, in the layout the driver installation
// reads from. Every failure is written to the message log in red and the
// next file follows; nothing is returned.
#include <cstdint>
#include <string>

#include "devices/printer_device.h"
#include "platform/platform.h"

namespace orvello {

class CApp;

struct StagingJob {
  platform::Platform& platform;
  const PrinterDevice& selected;  // its driver and model choose the Lumatrix files
  int32_t& newFileNames;          // set from the INF names the package holds
};

void StageDriverPackage(StagingJob& job, const std::wstring& mode);
// The same for the application's selected printer and file-name style.
void StageDriverPackage(CApp& app, const std::wstring& mode);

// Writes the package entry "Drivers\" + subPath + fileName as destFolder +
// "\" + fileName (subPath is empty or ends with "\"). True when written.
bool ExtractPackageFile(platform::Platform& platform, const std::wstring& subPath, const std::wstring& fileName,
                        const std::wstring& destFolder);

// Copies what the INF's source-disk section for this processor lists. Lines
// that name an absolute path or climb out with ".." are refused and reported.
void ExtractInfSourceFiles(platform::Platform& platform, const std::wstring& mode, const std::wstring& infFileName);

// True for a relative name that stays below the folder it is joined to: no
// drive, no leading separator, no ".." part.
bool IsContainedRelativePath(const std::wstring& path);

}  // namespace orvello
