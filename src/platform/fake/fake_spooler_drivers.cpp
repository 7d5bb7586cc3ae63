// The fake spooler's printer drivers: adding them from the driver
// directory, listing them at every level, deleting them with their files,
// and the driver store.
#include <algorithm>
#include <cstdio>

#include "platform/fake/fake_files.h"
#include "platform/fake/fake_inf_file.h"
#include "platform/fake/fake_spooler.h"
#include "platform/fake/fake_spooler_internal.h"
#include "system/text.h"

namespace orvello::fake {

using platform::DriverInfo;
using platform::DriverInfo3;
using platform::Result;
using platform::Status;
namespace err = platform::err;
namespace hr = platform::hr;
using namespace spooler_detail;

namespace {

using Lock = std::lock_guard<std::mutex>;

constexpr wchar_t kDriverStoreRoot[] = L"C:\\Windows\\System32\\DriverStore\\FileRepository\\";

uint32_t HresultFromWin32(uint32_t code) { return code == 0 ? 0 : (0x80070000u | (code & 0xFFFF)); }
uint32_t HresultFromSetupApi(uint32_t code) { return 0x800F0000u | (code & 0xFFFF); }

std::wstring FileNameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsFullPath(const std::wstring& p) {
  return (p.size() > 2 && p[1] == L':') || p.rfind(L"\\\\", 0) == 0;
}

// Every file a driver record names, as full paths.
std::vector<std::wstring> FilesOf(const DriverInfo& d) {
  std::vector<std::wstring> files;
  for (const std::wstring* f : {&d.driverPath, &d.dataFile, &d.configFile, &d.helpFile}) {
    if (!f->empty()) files.push_back(*f);
  }
  files.insert(files.end(), d.dependentFiles.begin(), d.dependentFiles.end());
  return files;
}

bool FileUsedByOther(FakeSpooler::State& s, const FakeDriver& self, const std::wstring& file) {
  for (const auto& d : s.drivers) {
    if (&d == &self) continue;
    for (const auto& f : FilesOf(d.record)) {
      if (EqualsIgnoreCase(f, file)) return true;
    }
  }
  return false;
}

void PutDriver(FakeSpooler::State& s, DriverInfo record) {
  FakeDriver* existing = DriverByName(s, record.environment, record.name);
  if (existing) {
    existing->record = std::move(record);
  } else {
    FakeDriver d;
    d.record = std::move(record);
    s.drivers.push_back(std::move(d));
  }
}

// FNV-1a over the package, for the store folder's name.
uint64_t PackageHash(const std::vector<uint8_t>& bytes) {
  uint64_t h = 1469598103934665603ull;
  for (uint8_t b : bytes) {
    h ^= b;
    h *= 1099511628211ull;
  }
  return h;
}

// "mm/dd/yyyy" as a FILETIME value (midnight UTC).
uint64_t ParseDriverDate(const std::wstring& text) {
  unsigned m = 0, d = 0, y = 0;
  if (std::swscanf(text.c_str(), L"%u/%u/%u", &m, &d, &y) != 3 || m < 1 || m > 12 || d < 1 || d > 31) return 0;
  // Days since 1601-01-01 by the civil-from-days method.
  int yy = static_cast<int>(y) - (m <= 2 ? 1 : 0);
  int era = (yy >= 0 ? yy : yy - 399) / 400;
  unsigned yoe = static_cast<unsigned>(yy - era * 400);
  unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  int64_t daysSince1970 = static_cast<int64_t>(era) * 146097 + static_cast<int64_t>(doe) - 719468;
  int64_t daysSince1601 = daysSince1970 + 134774;
  return static_cast<uint64_t>(daysSince1601) * 86400ull * 10000000ull;
}

// "a.b.c.d" packed as DWORDLONG, major part highest.
uint64_t ParseDriverVersion(const std::wstring& text) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  std::swscanf(text.c_str(), L"%u.%u.%u.%u", &a, &b, &c, &d);
  return (static_cast<uint64_t>(a & 0xFFFF) << 48) | (static_cast<uint64_t>(b & 0xFFFF) << 32) |
         (static_cast<uint64_t>(c & 0xFFFF) << 16) | (d & 0xFFFF);
}

struct ModelMatch {
  std::wstring manufacturer;
  const InfDocument::Line* line = nullptr;
};

// Finds the model line of driverName in the models sections that the
// [Manufacturer] section names for this environment.
ModelMatch FindModel(const InfDocument& doc, const std::wstring& driverName, const Environment& env) {
  const InfDocument::Section* mfg = doc.Find(L"Manufacturer");
  if (!mfg) return {};
  for (const auto& l : mfg->lines) {
    if (l.fields.empty()) continue;
    std::wstring base = doc.Substitute(l.fields[0]);
    std::vector<std::wstring> candidates{base};
    for (size_t i = 1; i < l.fields.size(); ++i) {
      std::wstring decoration = doc.Substitute(l.fields[i]);
      if (StartsWithIgnoreCase(decoration, env.decoration)) candidates.push_back(base + L"." + decoration);
    }
    for (const auto& name : candidates) {
      const InfDocument::Section* models = doc.Find(name);
      if (!models) continue;
      for (const auto& m : models->lines) {
        if (m.key && EqualsIgnoreCase(doc.Substitute(*m.key), driverName)) {
          return ModelMatch{l.key ? doc.Substitute(*l.key) : std::wstring(), &m};
        }
      }
    }
  }
  return {};
}

}  // namespace

namespace spooler_detail {

bool ProjectDriver(const DriverInfo& full, uint32_t level, DriverInfo* out) {
  if (level < 1 || level == 7 || level > 8) return false;
  DriverInfo d;
  d.level = level;
  d.name = full.name;
  if (level >= 2) {
    d.version = full.version;
    d.environment = full.environment;
    d.driverPath = full.driverPath;
    d.dataFile = full.dataFile;
    d.configFile = full.configFile;
  }
  if (level >= 3) {
    d.helpFile = full.helpFile;
    d.dependentFiles = full.dependentFiles;
    d.monitorName = full.monitorName;
    d.defaultDataType = full.defaultDataType;
  }
  if (level == 4 || level == 6 || level == 8) d.previousNames = full.previousNames;
  if (level == 5) {
    d.driverAttributes = full.driverAttributes;
    d.configVersion = full.configVersion;
    d.fileDriverVersion = full.fileDriverVersion;
    // DRIVER_INFO_5 carries no help file, dependent files, monitor or data type.
    d.helpFile.clear();
    d.dependentFiles.clear();
    d.monitorName.clear();
    d.defaultDataType.clear();
  }
  if (level == 6 || level == 8) {
    d.driverDate = full.driverDate;
    d.driverVersion = full.driverVersion;
    d.mfgName = full.mfgName;
    d.oemUrl = full.oemUrl;
    d.hardwareId = full.hardwareId;
    d.provider = full.provider;
  }
  if (level == 8) {
    d.printProcessor = full.printProcessor;
    d.vendorSetup = full.vendorSetup;
    d.colorProfiles = full.colorProfiles;
    d.infPath = full.infPath;
    d.printerDriverAttributes = full.printerDriverAttributes;
    d.coreDriverDependencies = full.coreDriverDependencies;
    d.minInboxDriverVerDate = full.minInboxDriverVerDate;
    d.minInboxDriverVerVersion = full.minInboxDriverVerVersion;
  }
  *out = std::move(d);
  return true;
}

}  // namespace spooler_detail

Result<std::vector<DriverInfo>> FakeSpooler::EnumPrinterDrivers(const std::wstring& environment, uint32_t level) {
  using R = Result<std::vector<DriverInfo>>;
  Lock lock(state_->mutex);
  State& s = *state_;
  const Environment* env = ResolveEnvironment(s, environment);
  if (!env) return R::Fail(err::kInvalidEnvironment);
  DriverInfo probe;
  if (!ProjectDriver(probe, level, &probe)) return R::Fail(err::kInvalidLevel);
  std::vector<DriverInfo> out;
  for (const auto& d : s.drivers) {
    if (!EqualsIgnoreCase(d.record.environment, env->name)) continue;
    DriverInfo view;
    ProjectDriver(d.record, level, &view);
    out.push_back(std::move(view));
  }
  return R::Ok(std::move(out));
}

Status FakeSpooler::AddPrinterDriver3(const DriverInfo3& info) {
  return AddPrinterDriverEx3(info, platform::kApdCopyNewFiles);
}

Status FakeSpooler::AddPrinterDriverEx3(const DriverInfo3& info, uint32_t flags) {
  Lock lock(state_->mutex);
  State& s = *state_;
  const Environment* env = ResolveEnvironment(s, info.environment);
  if (!env) return Status::Fail(err::kInvalidEnvironment);
  if (info.name.empty() || info.driverPath.empty() || info.dataFile.empty() || info.configFile.empty()) {
    return Status::Fail(err::kInvalidParameter);
  }
  if (!info.monitorName.empty() && !MonitorByName(s, info.monitorName)) return Status::Fail(err::kUnknownPrintMonitor);
  const std::wstring dir = DriverDirectory(*env);
  const std::wstring versionDir = dir + L"\\3\\";
  // Every file must be there before anything is copied.
  auto source = [&](const std::wstring& f) { return IsFullPath(f) ? f : dir + L"\\" + f; };
  std::vector<const std::wstring*> named{&info.driverPath, &info.dataFile, &info.configFile};
  if (!info.helpFile.empty()) named.push_back(&info.helpFile);
  for (const auto& f : info.dependentFiles) named.push_back(&f);
  for (const std::wstring* f : named) {
    if (!s.files->Exists(source(*f)) || s.files->IsDirectory(source(*f))) return Status::Fail(err::kFileNotFound);
  }
  // Without file dates every file counts as new, so APD_COPY_NEW_FILES copies them all.
  for (const std::wstring* f : named) {
    std::wstring from = source(*f);
    std::wstring target = versionDir + FileNameOf(*f);
    if (EqualsIgnoreCase(from, target)) continue;
    Status copied = s.files->CopyFile(from, target, false);
    if (!copied) return copied;
  }
  DriverInfo record;
  record.level = 8;
  record.version = 3;
  record.name = info.name;
  record.environment = env->name;
  record.driverPath = versionDir + FileNameOf(info.driverPath);
  record.dataFile = versionDir + FileNameOf(info.dataFile);
  record.configFile = versionDir + FileNameOf(info.configFile);
  if (!info.helpFile.empty()) record.helpFile = versionDir + FileNameOf(info.helpFile);
  for (const auto& f : info.dependentFiles) record.dependentFiles.push_back(versionDir + FileNameOf(f));
  record.monitorName = info.monitorName;
  record.defaultDataType = info.defaultDataType;
  PutDriver(s, std::move(record));
  return Status::Ok();
}

Status FakeSpooler::DeletePrinterDriverEx(const std::wstring& environment, const std::wstring& driverName,
                                          uint32_t deleteFlags, uint32_t versionFlag) {
  Lock lock(state_->mutex);
  State& s = *state_;
  const Environment* env = ResolveEnvironment(s, environment);
  if (!env) return Status::Fail(err::kInvalidEnvironment);
  FakeDriver* d = DriverByName(s, env->name, driverName);
  if (!d) return Status::Fail(err::kUnknownPrinterDriver);
  if ((deleteFlags & platform::kDpdDeleteSpecificVersion) && d->record.version != versionFlag) {
    return Status::Fail(err::kUnknownPrinterDriver);
  }
  if (EqualsIgnoreCase(env->name, s.serverEnvironment)) {
    for (const auto& p : s.printers) {
      if (EqualsIgnoreCase(p.info.driverName, d->record.name)) return Status::Fail(err::kPrinterDriverInUse);
    }
  }
  std::vector<std::wstring> files = FilesOf(d->record);
  if (deleteFlags & platform::kDpdDeleteAllFiles) {
    for (const auto& f : files) {
      if (FileUsedByOther(s, *d, f)) return Status::Fail(err::kPrinterDriverInUse);
    }
  }
  if (deleteFlags & (platform::kDpdDeleteAllFiles | platform::kDpdDeleteUnusedFiles)) {
    for (const auto& f : files) {
      if (!FileUsedByOther(s, *d, f)) s.files->DeleteFile(f);
    }
  }
  EraseElement(s.drivers, d);
  return Status::Ok();
}

Result<std::wstring> FakeSpooler::GetPrinterDriverDirectory(const std::wstring& environment) {
  Lock lock(state_->mutex);
  const Environment* env = ResolveEnvironment(*state_, environment);
  if (!env) return Result<std::wstring>::Fail(err::kInvalidEnvironment);
  return Result<std::wstring>::Ok(DriverDirectory(*env));
}

platform::DriverStoreExports FakeSpooler::DriverStore() {
  Lock lock(state_->mutex);
  return state_->driverStoreExports;
}

std::optional<platform::DriverPackageUpload> FakeSpooler::UploadPrinterDriverPackage(const std::wstring& infPath,
                                                                                     const std::wstring& environment,
                                                                                     uint32_t) {
  Lock lock(state_->mutex);
  State& s = *state_;
  if (!s.driverStoreExports.upload) return std::nullopt;
  platform::DriverPackageUpload out;
  const Environment* env = ResolveEnvironment(s, environment);
  if (!env) {
    out.hresult = HresultFromWin32(err::kInvalidEnvironment);
    return out;
  }
  auto doc = ReadInfDocument(*s.files, infPath, L"Printer");
  if (!doc) {
    out.hresult = doc.error >= 0xE0000000u ? HresultFromSetupApi(doc.error) : HresultFromWin32(doc.error);
    return out;
  }
  auto file = s.files->Open(infPath, platform::OpenMode::OpenExisting);
  auto bytes = file ? file.value->ReadAll() : Result<std::vector<uint8_t>>::Fail(file.error);
  file.value.reset();
  if (!bytes) {
    out.hresult = HresultFromWin32(bytes.error);
    return out;
  }
  const std::wstring infName = ToLower(FileNameOf(infPath));
  wchar_t hash[17];
  std::swprintf(hash, 17, L"%016llx", static_cast<unsigned long long>(PackageHash(bytes.value)));
  const std::wstring folder = std::wstring(kDriverStoreRoot) + infName + L"_" + env->storeArch + L"_" + hash;
  s.files->AddDirectory(folder);
  // The package is the INF and the files its [SourceDisksFiles] sections list beside it.
  std::vector<std::wstring> names{FileNameOf(infPath)};
  for (const auto& section : doc.value.sections()) {
    if (!StartsWithIgnoreCase(section.name, L"SourceDisksFiles")) continue;
    for (const auto& l : section.lines) {
      if (l.key) names.push_back(doc.value.Substitute(*l.key));
    }
  }
  for (const auto& n : names) {
    std::wstring from = FolderOf(infPath) + L"\\" + n;
    if (s.files->Exists(from)) s.files->CopyFile(from, folder + L"\\" + n, false);
  }
  out.driverStoreInfPath = folder + L"\\" + infName;
  bool known = std::any_of(s.driverStore.begin(), s.driverStore.end(), [&](const FakeDriverPackage& p) {
    return EqualsIgnoreCase(p.storeInfPath, out.driverStoreInfPath);
  });
  if (!known) s.driverStore.push_back(FakeDriverPackage{out.driverStoreInfPath, env->name, bytes.value});
  return out;
}

std::optional<uint32_t> FakeSpooler::InstallPrinterDriverFromPackage(const std::wstring& driverStoreInfPath,
                                                                     const std::wstring& driverName,
                                                                     const std::wstring& environment, uint32_t) {
  Lock lock(state_->mutex);
  State& s = *state_;
  if (!s.driverStoreExports.install) return std::nullopt;
  const Environment* env = ResolveEnvironment(s, environment);
  if (!env) return HresultFromWin32(err::kInvalidEnvironment);
  auto package = std::find_if(s.driverStore.begin(), s.driverStore.end(), [&](const FakeDriverPackage& p) {
    return EqualsIgnoreCase(p.storeInfPath, driverStoreInfPath);
  });
  if (package == s.driverStore.end()) return hr::kFileNotFound;
  auto doc = InfDocument::Parse(package->infBytes);
  if (!doc) return HresultFromSetupApi(doc.error);
  ModelMatch model = FindModel(doc.value, driverName, *env);
  if (!model.line) return hr::kUnknownPrinterDriver;
  const InfDocument& inf = doc.value;
  std::wstring install = model.line->fields.empty() ? std::wstring() : inf.Substitute(model.line->fields[0]);
  const std::wstring versionDir = DriverDirectory(*env) + L"\\3\\";
  auto file = [&](const wchar_t* key) {
    std::wstring name = inf.Value(install, key);
    return name.empty() ? name : versionDir + name;
  };
  DriverInfo record;
  record.level = 8;
  record.version = 3;
  record.name = inf.Substitute(*model.line->key);
  record.environment = env->name;
  record.driverPath = file(L"DriverFile");
  record.dataFile = file(L"DataFile");
  record.configFile = file(L"ConfigFile");
  record.helpFile = file(L"HelpFile");
  if (const InfDocument::Section* sec = inf.Find(install)) {
    for (const auto& l : sec->lines) {
      if (!l.key || !EqualsIgnoreCase(*l.key, L"CopyFiles")) continue;
      for (const auto& listName : l.fields) {
        const InfDocument::Section* list = inf.Find(inf.Substitute(listName));
        if (!list) continue;
        for (const auto& entry : list->lines) {
          std::wstring name = entry.key ? inf.Substitute(*entry.key) : inf.Substitute(entry.fields[0]);
          if (!name.empty()) record.dependentFiles.push_back(versionDir + name);
        }
      }
    }
  }
  record.defaultDataType = L"RAW";
  record.mfgName = model.manufacturer;
  record.provider = inf.Value(L"Version", L"Provider");
  if (model.line->fields.size() > 1) record.hardwareId = inf.Substitute(model.line->fields[1]);
  if (const InfDocument::Section* version = inf.Find(L"Version")) {
    for (const auto& l : version->lines) {
      if (l.key && EqualsIgnoreCase(*l.key, L"DriverVer") && !l.fields.empty()) {
        record.driverDate = ParseDriverDate(inf.Substitute(l.fields[0]));
        if (l.fields.size() > 1) record.driverVersion = ParseDriverVersion(inf.Substitute(l.fields[1]));
      }
    }
  }
  record.printProcessor = L"winprint";
  record.vendorSetup = inf.Value(install, L"VendorSetup");
  record.infPath = package->storeInfPath;
  PutDriver(s, std::move(record));
  return hr::kOk;
}

std::optional<uint32_t> FakeSpooler::DeletePrinterDriverPackage(const std::wstring& driverStoreInfPath,
                                                                const std::wstring& environment) {
  Lock lock(state_->mutex);
  State& s = *state_;
  if (!s.driverStoreExports.deletePackage) return std::nullopt;
  if (!ResolveEnvironment(s, environment)) return HresultFromWin32(err::kInvalidEnvironment);
  auto package = std::find_if(s.driverStore.begin(), s.driverStore.end(), [&](const FakeDriverPackage& p) {
    return EqualsIgnoreCase(p.storeInfPath, driverStoreInfPath);
  });
  if (package == s.driverStore.end()) return hr::kFileNotFound;
  for (const auto& d : s.drivers) {
    if (EqualsIgnoreCase(d.record.infPath, package->storeInfPath)) return hr::kDriverPackageInUse;
  }
  std::wstring folder = FolderOf(package->storeInfPath);
  auto listed = s.files->Find(folder + L"\\*");
  if (listed) {
    for (const auto& e : listed.value) {
      if (!e.isDirectory) s.files->DeleteFile(folder + L"\\" + e.name);
    }
  }
  s.files->RemoveDirectory(folder);
  s.driverStore.erase(package);
  return hr::kOk;
}

}  // namespace orvello::fake
