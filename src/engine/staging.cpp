#include "engine/staging.h"

#include <array>

#include "catalogue/catalogue.h"
#include "engine/inf_file.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "payload/package.h"
#include "shell/message_log.h"
#include "system/driver_file_names.h"
#include "system/error_text.h"
#include "system/folders.h"
#include "system/system_facts.h"
#include "system/text.h"

namespace orvello {

namespace {

constexpr std::array<const wchar_t*, 4> kDevconTools = {L"devcon32.exe", L"devcon64.exe", L"devconARM64.exe",
                                                        L"devconXP32.exe"};
constexpr std::array<const wchar_t*, 4> kUnidrvFiles = {L"UNIDRV.dll", L"UNIDRVUI.DLL", L"UNIRES.DLL",
                                                        L"STDNAMES.gpd"};

bool IsLumatrixModel(const DriverRef& driver) {
  std::wstring usbName = DriverUsbName(driver);
  for (const wchar_t* id : {L"USBPRINT\\Lumatrix_A6B36A", L"USBPRINT\\Lumatrix_A877EB", L"USBPRINT\\Lumatrix_A773AB"}) {
    if (EqualsIgnoreCase(usbName, id)) return true;
  }
  return false;
}

// Creates the folder (existing is fine) and deletes whatever is in it.
void PrepareEmptyFolder(platform::IFiles& files, const std::wstring& folder) {
  files.CreateDirectory(folder);
  DeleteFolderContents(files, folder);
}

const InfSection* NonEmptySection(const CInfFile& inf, const wchar_t* name) {
  const InfSection* section = inf.FindSection(name);
  return section && !section->lines.empty() ? section : nullptr;
}

// The source-disk section for the processor Windows runs on; there is no
// fallback between processors, only between the two x86 spellings.
const InfSection* SourceDisksSection(platform::ISystemFacts& system, const CInfFile& inf) {
  if (IsNativeAmd64(system)) return NonEmptySection(inf, L"SourceDisksFiles.amd64");
  if (IsNativeArm64(system)) return NonEmptySection(inf, L"SourceDisksFiles.arm64");
  if (const InfSection* i386 = NonEmptySection(inf, L"SourceDisksFiles.i386")) return i386;
  return NonEmptySection(inf, L"SourceDisksFiles.x86");
}

}  // namespace

bool IsContainedRelativePath(const std::wstring& path) {
  if (path.empty()) return true;
  if (path.front() == L'\\' || path.front() == L'/') return false;
  if (path.find(L':') != std::wstring::npos) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of(L"\\/", start);
    if (end == std::wstring::npos) end = path.size();
    std::wstring part = path.substr(start, end - start);
    // Windows drops trailing dots and blanks from a path part, so ".. " and
    // "..." climb just like "..".
    size_t last = part.find_last_not_of(L". ");
    if (!part.empty() && last == std::wstring::npos && part.find(L"..") != std::wstring::npos) return false;
    start = end + 1;
  }
  return true;
}

bool ExtractPackageFile(platform::Platform& platform, const std::wstring& subPath, const std::wstring& fileName,
                        const std::wstring& destFolder) {
  platform.files.CreateDirectory(destFolder);
  std::wstring folder = WithTrailingBackslash(destFolder);
  std::wstring entry = L"Drivers\\" + subPath + fileName;
  auto bytes = ReadPackageFile(entry);
  if (!bytes) {
    LogMessageColored(kColourRed, Translate(msg::kExtractFileFailed).c_str(), entry.c_str());
    return false;
  }
  auto file = platform.files.Open(folder + fileName, platform::OpenMode::CreateAlways);
  if (!file.ok()) {
    LogMessageColored(kColourRed, Translate(msg::kWriteFileFailed).c_str(), fileName.c_str(),
                      static_cast<int>(file.error), SystemErrorText(platform.system, file.error).c_str());
    return false;
  }
  auto written = file.value->Write(*bytes);
  if (!written.ok()) {
    LogMessageColored(kColourRed, Translate(msg::kWriteFileFailed).c_str(), fileName.c_str(),
                      static_cast<int>(written.error), SystemErrorText(platform.system, written.error).c_str());
    return false;
  }
  return true;
}

void ExtractInfSourceFiles(platform::Platform& platform, const std::wstring& mode, const std::wstring& infFileName) {
  std::wstring modeFolder = WorkingFolder(platform.system, platform.session) + L"Drivers\\" + mode + L"\\";
  CInfFile inf(platform.devices);
  if (!inf.Open(modeFolder + infFileName) || !NonEmptySection(inf, L"Manufacturer")) return;
  const InfSection* section = SourceDisksSection(platform.system, inf);
  if (!section) return;
  for (const InfLine& line : section->lines) {
    const std::wstring& file = line.key;
    std::wstring sub = line.values.size() >= 2 ? line.values[1] : std::wstring();
    // The INF comes from the package, but the files land wherever it says
    // with the installer's rights: keep every one below the manufacturer folder.
    if (!IsContainedRelativePath(file) || !IsContainedRelativePath(sub)) {
      std::wstring shown = sub.empty() ? file : sub + L"\\" + file;
      LogMessageColored(kColourRed, Translate(msg::kUnsafeSourceFileRefused).c_str(), shown.c_str());
      continue;
    }
    if (sub.empty()) {
      ExtractPackageFile(platform, mode + L"\\", file, modeFolder);
    } else {
      ExtractPackageFile(platform, mode + L"\\" + sub + L"\\", file, modeFolder + sub);
    }
  }
}

void StageDriverPackage(StagingJob& job, const std::wstring& mode) {
  auto& platform = job.platform;
  auto& files = platform.files;
  std::wstring work = WorkingFolder(platform.system, platform.session);
  std::wstring arch = ArchitectureFolder(platform.system);
  files.CreateDirectory(work);

  std::wstring drivers = work + L"Drivers\\";
  PrepareEmptyFolder(files, drivers);
  for (const wchar_t* tool : kDevconTools) ExtractPackageFile(platform, L"", tool, drivers);

  std::wstring modeFolder = drivers + mode + L"\\";
  PrepareEmptyFolder(files, modeFolder);
  std::wstring modeSub = mode + L"\\";
  if (ReadPackageFile(L"Drivers\\" + modeSub + mode + L".inf")) job.newFileNames = 0;
  if (ReadPackageFile(L"Drivers\\" + modeSub + mode + L"New.inf")) job.newFileNames = 1;
  std::wstring infName = InfFileName(mode, job.newFileNames);
  ExtractPackageFile(platform, modeSub, infName, modeFolder);
  ExtractPackageFile(platform, modeSub, CatFileName(mode, job.newFileNames), modeFolder);

  if (job.newFileNames == 0) {
    files.CreateDirectory(drivers + L"unidrv\\");
    for (const wchar_t* file : kUnidrvFiles) {
      ExtractPackageFile(platform, L"common\\" + arch + L"\\", file, drivers + L"unidrv\\" + arch);
    }
  }

  if (!IsLumatrixModel(job.selected.driver)) {
    ExtractInfSourceFiles(platform, mode, infName);
    return;
  }
  std::wstring archSub = modeSub + arch + L"\\";
  const std::wstring& model = job.selected.model;
  if (job.newFileNames != 0) {
    for (const wchar_t* file : {L"LumatrixUniNew.dll", L"LumatrixUiNew.dll"}) {
      ExtractPackageFile(platform, archSub, file, modeFolder + arch);
    }
    ExtractPackageFile(platform, modeSub, model + L".dat", modeFolder);
  } else {
    for (const wchar_t* file : {L"LumatrixRes.dll", L"LumatrixUNI.dll", L"LumatrixUI.dll"}) {
      ExtractPackageFile(platform, archSub, file, modeFolder + arch);
    }
    ExtractPackageFile(platform, modeSub, L"Lumatrix.ini", modeFolder);
    ExtractPackageFile(platform, modeSub, model + L".gpd", modeFolder);
  }
}

}  // namespace orvello
