#include "platform/fake/fake_system_facts.h"

#include <algorithm>

#include "system/text.h"

namespace orvello::fake {

using platform::ILibrary;
using platform::LocalTime;
using platform::OsVersion;
using platform::Result;
using platform::Status;
using platform::Wow64Machines;
namespace err = platform::err;

namespace {

constexpr uint32_t kModNotFound = 126;       // ERROR_MOD_NOT_FOUND
constexpr uint32_t kNoSuchPrivilege = 1313;  // ERROR_NO_SUCH_PRIVILEGE
constexpr uint64_t kMsPerDay = 86'400'000;

// The system's English texts for the codes the program reports, as
// FormatMessageW returns them (with the trailing line break).
const std::map<uint32_t, std::wstring>& SystemTexts() {
  static const std::map<uint32_t, std::wstring> texts = {
      {0, L"The operation completed successfully.\r\n"},
      {2, L"The system cannot find the file specified.\r\n"},
      {3, L"The system cannot find the path specified.\r\n"},
      {5, L"Access is denied.\r\n"},
      {6, L"The handle is invalid.\r\n"},
      {8, L"Not enough memory resources are available to process this command.\r\n"},
      {13, L"The data is invalid.\r\n"},
      {32, L"The process cannot access the file because it is being used by another process.\r\n"},
      {80, L"The file exists.\r\n"},
      {87, L"The parameter is incorrect.\r\n"},
      {109, L"The pipe has been ended.\r\n"},
      {120, L"This function is not supported on this system.\r\n"},
      {122, L"The data area passed to a system call is too small.\r\n"},
      {123, L"The filename, directory name, or volume label syntax is incorrect.\r\n"},
      {126, L"The specified module could not be found.\r\n"},
      {127, L"The specified procedure could not be found.\r\n"},
      {145, L"The directory is not empty.\r\n"},
      {161, L"The specified path is invalid.\r\n"},
      {183, L"Cannot create a file when that file already exists.\r\n"},
      {193, L"%1 is not a valid Win32 application.\r\n"},
      {232, L"The pipe is being closed.\r\n"},
      {234, L"More data is available.\r\n"},
      {259, L"No more data is available.\r\n"},
      {267, L"The directory name is invalid.\r\n"},
      {1053, L"The service did not respond to the start or control request in a timely fashion.\r\n"},
      {1056, L"An instance of the service is already running.\r\n"},
      {1058, L"The service cannot be started, either because it is disabled or because it has no enabled devices associated with it.\r\n"},
      {1060, L"The specified service does not exist as an installed service.\r\n"},
      {1061, L"The service cannot accept control messages at this time.\r\n"},
      {1062, L"The service has not been started.\r\n"},
      {1168, L"Element not found.\r\n"},
      {1300, L"Not all privileges or groups referenced are assigned to the caller.\r\n"},
      {1313, L"A specified privilege does not exist.\r\n"},
      {1795, L"The specified printer driver is already installed.\r\n"},
      {1796, L"The specified port is unknown.\r\n"},
      {1797, L"The printer driver is unknown.\r\n"},
      {1801, L"The printer name is invalid.\r\n"},
      {1802, L"The printer already exists.\r\n"},
      {1803, L"The printer command is invalid.\r\n"},
      {3001, L"The specified printer driver is currently in use.\r\n"},
  };
  return texts;
}

bool IsKnownSystemLibrary(const std::wstring& fileName) {
  static const wchar_t* const known[] = {
      L"WinSpool.drv", L"SetupAPI.dll", L"Cfgmgr32.dll", L"bthprops.cpl", L"kernel32.dll", L"user32.dll",
      L"advapi32.dll", L"shell32.dll", L"ws2_32.dll",   L"ntdll.dll",    L"Riched20.dll", L"comctl32.dll"};
  return std::any_of(std::begin(known), std::end(known), [&](const wchar_t* k) { return EqualsIgnoreCase(k, fileName); });
}

// Days since 1601-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int64_t sinceEpoch1970 = era * 146097 + static_cast<int64_t>(doe) - 719468;
  return sinceEpoch1970 + 134774;  // 1601-01-01 is 134774 days before 1970-01-01
}

void CivilFromDays(int64_t days1601, int64_t& y, unsigned& m, unsigned& d) {
  int64_t z = days1601 - 134774 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

}  // namespace

struct FakeSystemFacts::LibraryState {
  std::mutex mutex;
  std::vector<std::wstring> loaded;
  std::vector<std::wstring> alive;
  std::map<std::wstring, uint32_t> loadErrors;                   // upper-case file name
  std::map<std::wstring, std::set<std::string>> removedExports;  // upper-case file name
};

namespace {

class FakeLibrary : public ILibrary {
 public:
  FakeLibrary(std::shared_ptr<FakeSystemFacts::LibraryState> state, std::wstring name)
      : state_(std::move(state)), name_(std::move(name)) {}
  ~FakeLibrary() override {
    std::lock_guard lock(state_->mutex);
    auto it = std::find(state_->alive.begin(), state_->alive.end(), name_);
    if (it != state_->alive.end()) state_->alive.erase(it);
  }
  bool HasExport(const char* name) override {
    std::lock_guard lock(state_->mutex);
    auto removed = state_->removedExports.find(ToUpper(name_));
    return removed == state_->removedExports.end() || !removed->second.count(name);
  }

 private:
  std::shared_ptr<FakeSystemFacts::LibraryState> state_;
  std::wstring name_;
};

}  // namespace

FakeSystemFacts::FakeSystemFacts() : libraries_(std::make_shared<LibraryState>()) {
  SetMachine(Machine::X64);
  specialFolders_[platform::kCsidlProgramFiles] = L"C:\\Program Files (x86)";
  specialFolders_[platform::kCsidlSystem] = L"C:\\Windows\\system32";
  specialFolders_[platform::kCsidlWindows] = L"C:\\Windows";
  SetLocalTime({2024, 1, 1, 15, 10, 0, 0, 0});
}

FakeSystemFacts::~FakeSystemFacts() = default;

OsVersion FakeSystemFacts::Version() { return version_; }

bool FakeSystemFacts::VersionAtLeast(uint32_t major, uint32_t minor, uint16_t servicePackMajor) {
  // VerifyVersionInfoW compares the three as one ordered key when all three are given.
  if (version_.major != major) return version_.major > major;
  if (version_.minor != minor) return version_.minor > minor;
  return version_.servicePackMajor >= servicePackMajor;
}

std::optional<Wow64Machines> FakeSystemFacts::IsWow64Process2() { return wow64Process2_; }
std::optional<bool> FakeSystemFacts::IsWow64Process() { return wow64Process_; }

std::optional<bool> FakeSystemFacts::EnableWow64FsRedirection(bool enable) {
  if (!fsRedirectionExported_) return std::nullopt;
  fsRedirectionCalls_.push_back(enable ? L"on" : L"off");
  if (wow64Process_ != true) return false;
  fsRedirectionEnabled_ = enable;
  return true;
}

void FakeSystemFacts::SetMachine(Machine machine, bool hasWow64Process2) {
  switch (machine) {
    case Machine::X86:
      wow64Process_ = false;
      wow64Process2_ = Wow64Machines{platform::kMachineUnknown, platform::kMachineI386};
      break;
    case Machine::X64:
      wow64Process_ = true;
      wow64Process2_ = Wow64Machines{platform::kMachineI386, platform::kMachineAmd64};
      break;
    case Machine::Arm64:
      wow64Process_ = true;
      wow64Process2_ = Wow64Machines{platform::kMachineI386, platform::kMachineArm64};
      break;
  }
  if (!hasWow64Process2) wow64Process2_.reset();
}

Result<std::wstring> FakeSystemFacts::SpecialFolder(int csidl) {
  auto it = specialFolders_.find(csidl);
  if (it == specialFolders_.end() || !it->second) return Result<std::wstring>::Fail(err::kPathNotFound);
  return Result<std::wstring>::Ok(*it->second);
}

void FakeSystemFacts::SetSpecialFolder(int csidl, std::optional<std::wstring> path) {
  specialFolders_[csidl] = std::move(path);
}

std::wstring FakeSystemFacts::SystemDirectory() { return systemDirectory_; }
std::wstring FakeSystemFacts::ModuleFileName() { return moduleFileName_; }
std::wstring FakeSystemFacts::ComputerName() { return computerName_; }
uint16_t FakeSystemFacts::UserDefaultUILanguage() { return uiLanguage_; }
void FakeSystemFacts::SetThreadUILanguage(uint16_t languageId) { threadUiLanguage_ = languageId; }

LocalTime FakeSystemFacts::Now() {
  int64_t days = static_cast<int64_t>(clockMs_ / kMsPerDay);
  uint64_t inDay = clockMs_ % kMsPerDay;
  int64_t y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  LocalTime t;
  t.year = static_cast<uint16_t>(y);
  t.month = static_cast<uint16_t>(m);
  t.day = static_cast<uint16_t>(d);
  t.dayOfWeek = static_cast<uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
  t.hour = static_cast<uint16_t>(inDay / 3'600'000);
  t.minute = static_cast<uint16_t>(inDay / 60'000 % 60);
  t.second = static_cast<uint16_t>(inDay / 1000 % 60);
  t.milliseconds = static_cast<uint16_t>(inDay % 1000);
  return t;
}

void FakeSystemFacts::SetLocalTime(const LocalTime& time) {
  int64_t days = DaysFromCivil(time.year, time.month, time.day);
  clockMs_ = static_cast<uint64_t>(days) * kMsPerDay + time.hour * 3'600'000ull + time.minute * 60'000ull +
             time.second * 1000ull + time.milliseconds;
}

void FakeSystemFacts::AdvanceClock(uint64_t milliseconds) { clockMs_ += milliseconds; }

void FakeSystemFacts::Sleep(uint32_t milliseconds) {
  slept_ += milliseconds;
  clockMs_ += milliseconds;
}

std::wstring FakeSystemFacts::ErrorText(uint32_t code) {
  if (auto own = errorTexts_.find(code); own != errorTexts_.end()) return own->second;
  auto it = SystemTexts().find(code);
  return it == SystemTexts().end() ? std::wstring() : it->second;
}

uint32_t FakeSystemFacts::LastError() { return lastError_; }

Result<std::unique_ptr<ILibrary>> FakeSystemFacts::LoadSystemLibrary(const std::wstring& fileName) {
  using R = Result<std::unique_ptr<ILibrary>>;
  if (fileName.empty() || fileName.find_first_of(L"\\/:") != std::wstring::npos)
    return R::Fail(err::kInvalidParameter);  // only names from the system folder
  std::lock_guard lock(libraries_->mutex);
  if (auto e = libraries_->loadErrors.find(ToUpper(fileName)); e != libraries_->loadErrors.end())
    return R::Fail(e->second);
  if (!IsKnownSystemLibrary(fileName)) return R::Fail(kModNotFound);
  libraries_->loaded.push_back(fileName);
  libraries_->alive.push_back(fileName);
  return R::Ok(std::make_unique<FakeLibrary>(libraries_, fileName));
}

void FakeSystemFacts::SetLibraryLoadError(const std::wstring& fileName, std::optional<uint32_t> error) {
  std::lock_guard lock(libraries_->mutex);
  if (error)
    libraries_->loadErrors[ToUpper(fileName)] = *error;
  else
    libraries_->loadErrors.erase(ToUpper(fileName));
}

void FakeSystemFacts::RemoveExport(const std::wstring& fileName, const std::string& exportName) {
  std::lock_guard lock(libraries_->mutex);
  libraries_->removedExports[ToUpper(fileName)].insert(exportName);
}

std::vector<std::wstring> FakeSystemFacts::LoadedLibraries() {
  std::lock_guard lock(libraries_->mutex);
  return libraries_->loaded;
}

std::vector<std::wstring> FakeSystemFacts::LibrariesStillLoaded() {
  std::lock_guard lock(libraries_->mutex);
  return libraries_->alive;
}

Status FakeSystemFacts::EnablePrivilege(const std::wstring& privilegeName) {
  static const wchar_t* const known[] = {
      L"SeLoadDriverPrivilege", L"SeShutdownPrivilege",  L"SeBackupPrivilege",        L"SeRestorePrivilege",
      L"SeDebugPrivilege",      L"SeSecurityPrivilege",  L"SeTakeOwnershipPrivilege", L"SeChangeNotifyPrivilege",
      L"SeSystemtimePrivilege", L"SeIncreaseQuotaPrivilege"};
  bool exists = std::any_of(std::begin(known), std::end(known),
                            [&](const wchar_t* k) { return EqualsIgnoreCase(k, privilegeName); });
  if (!exists) return Status::Fail(kNoSuchPrivilege);  // LookupPrivilegeValueW
  privileges_.push_back(privilegeName);
  if (privilegeError_) return Status::Fail(*privilegeError_);
  return Status::Ok();
}

}  // namespace orvello::fake
