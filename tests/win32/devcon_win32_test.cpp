// The device console tools and the sample driver as the package ZIP ships
// them: their images (processor, subsystem, exports), the tools run as
// child processes, the i386 DLLs loaded and called in this process, the
// amd64 DLLs loaded by a 64-bit helper. The ARM64 images can only be read.
#include "platform/win32/handles.h"  // windows.h first, without the renaming macros

#include <setupapi.h>
#include <cfgmgr32.h>
#include <shellapi.h>
#include <winspool.h>
#include <winsplp.h>
#include <compstui.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../../tools/devcon/command_line.h"
#include "catalogue/catalogue.h"
#include "catalogue/manufacturer_profile.h"
#include "payload/package.h"
#include "system/text.h"
#include "support/build_paths.h"

namespace orvello {
namespace {

using test::WindowsPath;

using win32::UniqueFileHandle;
using win32::UniqueKernelHandle;
using win32::UniqueModule;


bool RunningOnWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// --- the package -------------------------------------------------------------

class Package {
 public:
  static Package& Get() {
    static Package package;
    return package;
  }
  const PackageArchive* archive() const { return archive_.get(); }
  const std::wstring& mode() const { return mode_; }
  // The package's Drivers folder written out below a scratch folder, as
  // staging lays it out; "" when that failed.
  const std::wstring& drivers() const { return drivers_; }

 private:
  Package() {
    zip_ = ReadFile(WindowsPath(ORVELLO_PACKAGE_ZIP));
    archive_ = PackageArchive::Open(zip_);
    pugi::xml_document catalogue;
    catalogue.load_file(WindowsPath(ORVELLO_CATALOGUE_XML).c_str());
    ManufacturerProfile header;
    LoadCatalogueHeader(catalogue, header);
    mode_ = header.name;
    if (archive_) Extract();
  }
  ~Package() {
    if (!scratch_.empty()) RemoveTree(scratch_);
  }

  static std::vector<uint8_t> ReadFile(const std::wstring& path) {
    UniqueFileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::vector<uint8_t> bytes(::GetFileSize(file.get(), nullptr));
    DWORD got = 0;
    if (!bytes.empty() && !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
      return {};
    bytes.resize(got);
    return bytes;
  }

  void Extract() {
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    scratch_ = std::wstring(temp, length) + L"orvello-devcon-" + std::to_wstring(::GetCurrentProcessId());
    RemoveTree(scratch_);
    ::CreateDirectoryW(scratch_.c_str(), nullptr);
    for (const auto& name : archive_->EntryNames()) {
      if (name.rfind(L"Drivers/", 0) != 0 || name.back() == L'/') continue;
      std::wstring relative = name;
      for (auto& c : relative)
        if (c == L'/') c = L'\\';
      // Folders one level at a time, as the names come.
      for (size_t slash = relative.find(L'\\'); slash != std::wstring::npos; slash = relative.find(L'\\', slash + 1))
        ::CreateDirectoryW((scratch_ + L"\\" + relative.substr(0, slash)).c_str(), nullptr);
      auto bytes = archive_->Read(relative);
      if (!bytes) return;
      UniqueFileHandle file(::CreateFileW((scratch_ + L"\\" + relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      DWORD written = 0;
      if (!file || !::WriteFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &written, nullptr))
        return;
    }
    drivers_ = scratch_ + L"\\Drivers\\";
  }

  static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    win32::UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
      do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveTree(path);
        else
          ::DeleteFileW(path.c_str());
      } while (::FindNextFileW(find.get(), &data));
    }
    find.reset();
    ::RemoveDirectoryW(folder.c_str());
  }

  std::vector<uint8_t> zip_;
  std::unique_ptr<PackageArchive> archive_;
  std::wstring mode_;
  std::wstring scratch_;
  std::wstring drivers_;
};

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Package::Get().archive(), nullptr) << ORVELLO_PACKAGE_ZIP;
    ASSERT_FALSE(Package::Get().mode().empty()) << ORVELLO_CATALOGUE_XML;
    ASSERT_FALSE(Package::Get().drivers().empty()) << "the package's Drivers folder could not be written out";
  }
  static const std::wstring& Mode() { return Package::Get().mode(); }
  static const std::wstring& Drivers() { return Package::Get().drivers(); }
  static std::wstring Dll(const wchar_t* arch, const wchar_t* suffix) {
    return Drivers() + Mode() + L"\\" + arch + L"\\" + Mode() + suffix + L".dll";
  }
};

// --- images ----------------------------------------------------------------------

struct PeImage {
  WORD machine = 0;
  bool dll = false;
  WORD subsystem = 0;
  WORD subsystemMajor = 0;
  WORD subsystemMinor = 0;
  std::set<std::string> exports;
};

template <class T>
bool ReadAt(const std::vector<uint8_t>& b, size_t offset, T& out) {
  if (offset > b.size() || b.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, b.data() + offset, sizeof(T));
  return true;
}

std::optional<PeImage> ReadPe(const std::vector<uint8_t>& b) {
  IMAGE_DOS_HEADER dos;
  DWORD signature = 0;
  IMAGE_FILE_HEADER file;
  if (!ReadAt(b, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return std::nullopt;
  size_t at = static_cast<size_t>(dos.e_lfanew);
  if (!ReadAt(b, at, signature) || signature != IMAGE_NT_SIGNATURE || !ReadAt(b, at + 4, file)) return std::nullopt;
  size_t optional = at + 4 + sizeof(IMAGE_FILE_HEADER);
  WORD magic = 0;
  if (!ReadAt(b, optional, magic)) return std::nullopt;
  PeImage pe;
  pe.machine = file.Machine;
  pe.dll = (file.Characteristics & IMAGE_FILE_DLL) != 0;
  IMAGE_DATA_DIRECTORY exportDir{};
  if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
    IMAGE_OPTIONAL_HEADER32 h;
    if (!ReadAt(b, optional, h)) return std::nullopt;
    pe.subsystem = h.Subsystem;
    pe.subsystemMajor = h.MajorSubsystemVersion;
    pe.subsystemMinor = h.MinorSubsystemVersion;
    exportDir = h.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    IMAGE_OPTIONAL_HEADER64 h;
    if (!ReadAt(b, optional, h)) return std::nullopt;
    pe.subsystem = h.Subsystem;
    pe.subsystemMajor = h.MajorSubsystemVersion;
    pe.subsystemMinor = h.MinorSubsystemVersion;
    exportDir = h.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  } else {
    return std::nullopt;
  }
  if (!exportDir.VirtualAddress) return pe;

  size_t sections = optional + file.SizeOfOptionalHeader;
  auto fileOffset = [&](DWORD rva) -> std::optional<size_t> {
    for (WORD i = 0; i < file.NumberOfSections; ++i) {
      IMAGE_SECTION_HEADER s;
      if (!ReadAt(b, sections + i * sizeof(s), s)) return std::nullopt;
      DWORD size = s.Misc.VirtualSize ? s.Misc.VirtualSize : s.SizeOfRawData;
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + size) return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return std::nullopt;
  };
  IMAGE_EXPORT_DIRECTORY exports;
  auto dirAt = fileOffset(exportDir.VirtualAddress);
  if (!dirAt || !ReadAt(b, *dirAt, exports)) return std::nullopt;
  auto namesAt = fileOffset(exports.AddressOfNames);
  for (DWORD i = 0; namesAt && i < exports.NumberOfNames; ++i) {
    DWORD nameRva = 0;
    if (!ReadAt(b, *namesAt + i * 4, nameRva)) return std::nullopt;
    auto nameAt = fileOffset(nameRva);
    if (!nameAt) return std::nullopt;
    std::string name;
    for (size_t p = *nameAt; p < b.size() && b[p]; ++p) name += static_cast<char>(b[p]);
    pe.exports.insert(name);
  }
  return pe;
}

const std::set<std::string> kMonitorExports{"InitializePrintMonitor2"};
const std::set<std::string> kConfigExports{"DrvDeviceCapabilities", "DrvDocumentPropertySheets",
                                           "DrvDevicePropertySheets", "DrvPrinterEvent", "DrvUpgradePrinter"};
const std::set<std::string> kDriverExports{"DrvQueryDriverInfo", "DrvEnableDriver", "DrvDisableDriver"};

constexpr WORD kArm64 = 0xAA64;  // IMAGE_FILE_MACHINE_ARM64

TEST_F(PackageTest, ImagesAreBuiltForTheProcessorOfTheirName) {
  struct Case {
    std::wstring entry;
    WORD machine;
    bool dll;
    std::set<std::string> exports;
  } cases[] = {
      {L"devcon32.exe", IMAGE_FILE_MACHINE_I386, false, {}},
      {L"devconXP32.exe", IMAGE_FILE_MACHINE_I386, false, {}},
      {L"devcon64.exe", IMAGE_FILE_MACHINE_AMD64, false, {}},
      {L"devconARM64.exe", kArm64, false, {}},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  const std::pair<const wchar_t*, WORD> arches[] = {
      {L"i386", IMAGE_FILE_MACHINE_I386}, {L"amd64", IMAGE_FILE_MACHINE_AMD64}, {L"arm64", kArm64}};
  for (const auto& [arch, machine] : arches) {
    std::wstring folder = Mode() + L"\\" + arch + L"\\" + Mode();
    all.push_back({folder + L"LM.dll", machine, true, kMonitorExports});
    all.push_back({folder + L"UiNew.dll", machine, true, kConfigExports});
    all.push_back({folder + L"UniNew.dll", machine, true, kDriverExports});
  }
  for (const auto& c : all) {
    SCOPED_TRACE(WideToUtf8(c.entry));
    auto bytes = Package::Get().archive()->Read(L"Drivers\\" + c.entry);
    ASSERT_TRUE(bytes) << "not in the package";
    auto pe = ReadPe(*bytes);
    ASSERT_TRUE(pe) << "not a PE image";
    EXPECT_EQ(pe->machine, c.machine);
    EXPECT_EQ(pe->dll, c.dll);
    if (!c.dll) EXPECT_EQ(pe->subsystem, IMAGE_SUBSYSTEM_WINDOWS_CUI);
    for (const auto& name : c.exports) EXPECT_TRUE(pe->exports.count(name)) << name;
  }
}

TEST_F(PackageTest, XpBuildAsksForNoNewerSubsystemThanXp) {
  auto bytes = Package::Get().archive()->Read(L"Drivers\\devconXP32.exe");
  ASSERT_TRUE(bytes);
  auto pe = ReadPe(*bytes);
  ASSERT_TRUE(pe);
  EXPECT_LE(pe->subsystemMajor * 100 + pe->subsystemMinor, 501);
}

// --- the device console tools, run ------------------------------------------------

struct ChildRun {
  bool started = false;
  DWORD exitCode = 0;
  std::string output;
};

// Runs a command line with standard output and error on a pipe, as the
// installer does, and reads everything the child writes.
ChildRun RunChild(std::wstring commandLine) {
  ChildRun run;
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  UniqueKernelHandle readEnd;
  UniqueKernelHandle writeEnd;
  if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0)) return run;
  ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = writeEnd.get();
  startup.hStdError = writeEnd.get();
  PROCESS_INFORMATION info{};
  BOOL created = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                  &info);
  writeEnd.reset();
  if (!created) return run;
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);
  run.started = true;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(readEnd.get(), buffer, sizeof(buffer), &got, nullptr) && got) run.output.append(buffer, got);
  ::WaitForSingleObject(process.get(), INFINITE);
  ::GetExitCodeProcess(process.get(), &run.exitCode);
  return run;
}

class DevconTest : public PackageTest {
 protected:
  static std::vector<std::wstring> Tools() {
    // All the ones this machine can run: not ARM64.
    return {L"devcon32.exe", L"devconXP32.exe", L"devcon64.exe"};
  }
  static ChildRun Devcon(const std::wstring& tool, const std::wstring& arguments) {
    return RunChild(L"\"" + Drivers() + tool + L"\" " + arguments);
  }
};

TEST_F(DevconTest, BadArgumentsGiveTheUsageAndExitCode3) {
  const wchar_t* cases[] = {
      L"",
      L"/r",
      L"frobnicate",
      L"/x rescan",
      L"update",
      L"update only-an.inf",
      L"/r update a.inf HWID extra",
      L"update \"\" HWID",
      L"remove",
      L"remove USB\\VID_0000",  // no @
      L"remove @",
      L"/r remove \"@A\" \"@B\"",
      L"rescan now",
  };
  for (const auto& tool : Tools()) {
    for (const wchar_t* arguments : cases) {
      SCOPED_TRACE(WideToUtf8(tool + L" " + arguments));
      ChildRun run = Devcon(tool, arguments);
      ASSERT_TRUE(run.started);
      EXPECT_EQ(run.exitCode, 3u);
      EXPECT_NE(run.output.find("Usage: devcon [/r] update <inf> <hardware id>"), std::string::npos) << run.output;
    }
  }
}

TEST_F(DevconTest, UpdateWithAMissingInfFails) {
  for (const auto& tool : Tools()) {
    SCOPED_TRACE(WideToUtf8(tool));
    ChildRun run = Devcon(tool, L"/r update \"" + Drivers() + L"no such.inf\" \"USBPRINT\\QOVA_NONE0000\"");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.output.find("cannot be read"), std::string::npos) << run.output;
  }
}

TEST_F(DevconTest, UpdateWithNoDeviceOfThatHardwareId) {
  const std::wstring inf = Drivers() + Mode() + L"\\" + Mode() + L"New.inf";
  for (const auto& tool : Tools()) {
    SCOPED_TRACE(WideToUtf8(tool));
    ChildRun run = Devcon(tool, L"/r update \"" + inf + L"\" \"USBPRINT\\QOVA_NOSUCHPRINTER0000\"");
    if (RunningOnWine()) {
      // Wine differs from Windows: its UpdateDriverForPlugAndPlayDevicesW
      // reports success when no present device has the hardware ID
      // (Windows fails with ERROR_NO_SUCH_DEVINST, exit code 2).
      EXPECT_EQ(run.exitCode, 0u) << run.output;
    } else {
      EXPECT_EQ(run.exitCode, 2u) << run.output;
      EXPECT_NE(run.output.find("No present device has the hardware ID"), std::string::npos) << run.output;
    }
    EXPECT_NE(run.output.find("Updating the driver of \"USBPRINT\\QOVA_NOSUCHPRINTER0000\""), std::string::npos);
  }
}

TEST_F(DevconTest, Rescan) {
  for (const auto& tool : Tools()) {
    SCOPED_TRACE(WideToUtf8(tool));
    ChildRun run = Devcon(tool, L"rescan");
    if (RunningOnWine()) {
      // Wine differs from Windows: CM_Locate_DevNodeW for the root of the
      // device tree (no device ID) fails with CR_FAILURE, so there is
      // nothing to enumerate again. Windows (elevated) gives exit code 0.
      EXPECT_EQ(run.exitCode, 2u) << run.output;
      EXPECT_NE(run.output.find("CM_Locate_DevNode gave configuration manager result 0x00000013"), std::string::npos)
          << run.output;
    } else {
      EXPECT_EQ(run.exitCode, 0u) << run.output;
    }
  }
}

class DeviceInfoSet {
 public:
  explicit DeviceInfoSet(const GUID* classGuid) : set_(::SetupDiCreateDeviceInfoList(classGuid, nullptr)) {}
  ~DeviceInfoSet() {
    if (ok()) ::SetupDiDestroyDeviceInfoList(set_);
  }
  DeviceInfoSet(const DeviceInfoSet&) = delete;
  DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
  bool ok() const { return set_ != INVALID_HANDLE_VALUE; }
  HDEVINFO get() const { return set_; }

 private:
  HDEVINFO set_;
};

// A root-enumerated device that only this test knows, registered but never
// started; removed again by the test, or at the end when the test did not.
class TestDevice {
 public:
  TestDevice() {
    if (!set_.ok()) return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    if (!::SetupDiCreateDeviceInfoW(set_.get(), L"ORVELLO_DEVCON_TEST", &kUnknownClass, nullptr, nullptr,
                                    DICD_GENERATE_ID, &device) ||
        !::SetupDiRegisterDeviceInfo(set_.get(), &device, 0, nullptr, nullptr, nullptr))
      return;
    wchar_t id[MAX_DEVICE_ID_LEN] = {};
    if (::SetupDiGetDeviceInstanceIdW(set_.get(), &device, id, MAX_DEVICE_ID_LEN, nullptr)) id_ = id;
  }
  ~TestDevice() {
    if (id_.empty() || !Exists(id_)) return;
    DeviceInfoSet set(nullptr);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    if (set.ok() && ::SetupDiOpenDeviceInfoW(set.get(), id_.c_str(), nullptr, 0, &device))
      ::SetupDiRemoveDevice(set.get(), &device);
  }
  const std::wstring& id() const { return id_; }

  static bool Exists(const std::wstring& id) {
    DeviceInfoSet set(nullptr);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    return set.ok() && ::SetupDiOpenDeviceInfoW(set.get(), id.c_str(), nullptr, 0, &device);
  }

 private:
  // GUID_DEVCLASS_UNKNOWN: no class installer gets involved.
  static constexpr GUID kUnknownClass = {0x4d36e97e, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
  DeviceInfoSet set_{&kUnknownClass};
  std::wstring id_;
};

TEST_F(DevconTest, RemoveTakesTheDeviceOutOfTheTreeAndFailsForAnUnknownId) {
  for (const auto& tool : Tools()) {
    SCOPED_TRACE(WideToUtf8(tool));
    TestDevice device;
    ASSERT_FALSE(device.id().empty()) << "could not create a device to remove";
    ASSERT_TRUE(TestDevice::Exists(device.id()));

    ChildRun run = Devcon(tool, L"/r remove \"@" + device.id() + L"\"");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("is removed"), std::string::npos) << run.output;
    EXPECT_FALSE(TestDevice::Exists(device.id()));

    // The installer retries once on any exit code but 0 and 1.
    ChildRun again = Devcon(tool, L"/r remove \"@" + device.id() + L"\"");
    EXPECT_EQ(again.exitCode, 2u) << again.output;
    EXPECT_NE(again.output.find("No device has the instance ID"), std::string::npos) << again.output;
  }
}

// --- the command line of the build without a C runtime ------------------------------

TEST(DevconCommandLine, SplitsLikeCommandLineToArgvW) {
  const wchar_t* cases[] = {
      L"devcon.exe",
      L"devcon.exe rescan",
      L"\"C:\\Program Files (x86)\\DudezPrinterDriver\\Drivers\\devcon32.exe\" /r update "
      L"\"C:\\Program Files (x86)\\DudezPrinterDriver\\Drivers\\TessarEx\\TessarExNew.inf\" "
      L"\"USBPRINT\\QOVA_TX-210A4B6\"",
      L"\"C:\\x y\\devcon.exe\" /r remove \"@USB\\VID_1234&PID_5678\\6&2A0&0&1\"",
      L"devcon.exe  \t spaced   out\t",
      L"devcon.exe a\\\\b c\\d\\ \\",
      L"devcon.exe \"a b\"c \"\" d",
      L"devcon.exe \\\"quoted\\\" \\\\\"x y\" \\\\\\\"z",
      L"devcon.exe \"a\"\"b\" \"\"\"\" \"c\"\"\"d e\"",
      L"devcon.exe \"unterminated arg",
      L"\"C:\\dir\\\" tail",
      L"C:\\odd\"quote a",
  };
  for (const wchar_t* line : cases) {
    SCOPED_TRACE(WideToUtf8(line));
    int expectedCount = 0;
    win32::UniqueLocalMemory memory;
    wchar_t** expected = ::CommandLineToArgvW(line, &expectedCount);
    memory.reset(reinterpret_cast<HLOCAL>(expected));
    ASSERT_NE(expected, nullptr);

    int length = devcon::CommandLineLength(line);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    std::vector<wchar_t*> args(static_cast<size_t>(length) + 1);
    int count = devcon::SplitCommandLine(line, buffer.data(), args.data());
    ASSERT_EQ(count, expectedCount);
    for (int i = 0; i < count; ++i) EXPECT_EQ(WideToUtf8(args[i]), WideToUtf8(expected[i])) << "argument " << i;
  }
}

// --- the sample driver's DLLs ----------------------------------------------------------

class SampleDriverTest : public PackageTest {
 protected:
  template <class F>
  static F* Entry(HMODULE module, const char* name) {
    return reinterpret_cast<F*>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
  }
};

TEST_F(SampleDriverTest, DriverDllIsAUserModeDriverThatDeclinesToRender) {
  UniqueModule dll(::LoadLibraryW(Dll(L"i386", L"UniNew").c_str()));
  ASSERT_TRUE(dll) << ::GetLastError();
  auto* query = Entry<BOOL WINAPI(DWORD, PVOID, DWORD, PDWORD)>(dll.get(), "DrvQueryDriverInfo");
  auto* enable = Entry<BOOL WINAPI(ULONG, ULONG, void*)>(dll.get(), "DrvEnableDriver");
  auto* disable = Entry<VOID WINAPI()>(dll.get(), "DrvDisableDriver");
  ASSERT_TRUE(query && enable && disable);

  DWORD userMode = 0;
  DWORD needed = 0;
  EXPECT_TRUE(query(1 /* DRVQUERY_USERMODE */, &userMode, sizeof(userMode), &needed));
  EXPECT_EQ(userMode, 1u);
  EXPECT_EQ(needed, sizeof(DWORD));
  ::SetLastError(0);
  EXPECT_FALSE(query(1, nullptr, 0, &needed));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_FALSE(query(7, &userMode, sizeof(userMode), &needed));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  unsigned char enableData[64] = {};
  ::SetLastError(0);
  EXPECT_FALSE(enable(0x00030000, sizeof(enableData), enableData));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  disable();
}

// Published layout of the header DocumentProperties hands the config DLL.
struct DocumentPropertyHeader {
  WORD cbSize;
  WORD Reserved;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
  PDEVMODEW pdmIn;
  PDEVMODEW pdmOut;
  DWORD cbOut;
  DWORD fMode;
};

TEST_F(SampleDriverTest, ConfigDllGivesDefaultsAndNoPages) {
  UniqueModule dll(::LoadLibraryW(Dll(L"i386", L"UiNew").c_str()));
  ASSERT_TRUE(dll) << ::GetLastError();
  auto* caps = Entry<DWORD WINAPI(HANDLE, PWSTR, WORD, PVOID, PDEVMODEW)>(dll.get(), "DrvDeviceCapabilities");
  auto* document = Entry<LONG WINAPI(PPROPSHEETUI_INFO, LPARAM)>(dll.get(), "DrvDocumentPropertySheets");
  auto* device = Entry<LONG WINAPI(PPROPSHEETUI_INFO, LPARAM)>(dll.get(), "DrvDevicePropertySheets");
  auto* event = Entry<BOOL WINAPI(LPWSTR, INT, DWORD, LPARAM)>(dll.get(), "DrvPrinterEvent");
  auto* upgrade = Entry<BOOL WINAPI(DWORD, LPBYTE)>(dll.get(), "DrvUpgradePrinter");
  ASSERT_TRUE(caps && document && device && event && upgrade);

  wchar_t printer[] = L"Label printer";
  struct Case {
    WORD capability;
    DWORD expected;
  } cases[] = {
      {DC_COPIES, 999},  {DC_SIZE, sizeof(DEVMODEW)}, {DC_EXTRA, 0},         {DC_VERSION, DM_SPECVERSION},
      {DC_PAPERS, 0},    {DC_BINS, 0},                {DC_ORIENTATION, 90},  {DC_FIELDS, DM_ORIENTATION | DM_COPIES},
      {DC_DUPLEX, 0},    {DC_COLORDEVICE, 0},         {0x7FFF, GDI_ERROR},
  };
  for (const auto& c : cases)
    EXPECT_EQ(caps(nullptr, printer, c.capability, nullptr, nullptr), c.expected) << "capability " << c.capability;

  // DocumentProperties without a dialog: size first, then the defaults
  // with what the caller's DEVMODE asked for taken over.
  DocumentPropertyHeader header{};
  header.cbSize = sizeof(header);
  header.pszPrinterName = printer;
  EXPECT_EQ(document(nullptr, reinterpret_cast<LPARAM>(&header)), static_cast<LONG>(sizeof(DEVMODEW)));
  DEVMODEW in{};
  in.dmSize = sizeof(in);
  in.dmFields = DM_ORIENTATION | DM_COPIES;
  in.dmOrientation = DMORIENT_LANDSCAPE;
  in.dmCopies = 5000;
  DEVMODEW out{};
  header.pdmIn = &in;
  header.pdmOut = &out;
  header.cbOut = sizeof(out);
  header.fMode = DM_IN_BUFFER | DM_OUT_BUFFER;
  EXPECT_EQ(document(nullptr, reinterpret_cast<LPARAM>(&header)), CPSUI_OK);
  EXPECT_EQ(std::wstring(out.dmDeviceName), L"Label printer");
  EXPECT_EQ(out.dmSize, sizeof(DEVMODEW));
  EXPECT_EQ(out.dmSpecVersion, DM_SPECVERSION);
  EXPECT_EQ(out.dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(out.dmCopies, 999);  // capped at the device's maximum
  header.cbOut = sizeof(out) - 1;
  EXPECT_EQ(document(nullptr, reinterpret_cast<LPARAM>(&header)), ERR_CPSUI_GETLASTERROR);

  // Property sheets: no pages are added, the header names the printer.
  DocumentPropertyHeader init = header;
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof(info);
  info.lParamInit = reinterpret_cast<LPARAM>(&init);
  info.Reason = PROPSHEETUI_REASON_INIT;
  EXPECT_EQ(document(&info, 0), CPSUI_OK);
  PROPSHEETUI_INFO_HEADER sheetHeader{};
  sheetHeader.cbSize = sizeof(sheetHeader);
  info.Reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
  EXPECT_EQ(document(&info, reinterpret_cast<LPARAM>(&sheetHeader)), CPSUI_OK);
  EXPECT_EQ(std::wstring(sheetHeader.pTitle), L"Label printer");
  EXPECT_EQ(sheetHeader.hInst, dll.get());
  EXPECT_EQ(device(nullptr, 0), ERR_CPSUI_GETLASTERROR);

  EXPECT_TRUE(event(printer, 3 /* PRINTER_EVENT_INITIALIZE */, 0, 0));
  EXPECT_TRUE(upgrade(1, nullptr));
}

// A port monitor of our own behind the language monitor: records what
// reaches it.
struct FakePortMonitor {
  static inline std::vector<std::string> calls;
  static inline std::string written;
  static inline HANDLE openedWith = nullptr;
  static inline bool failOpen = false;
  static inline int token = 0;  // its port handle

  static BOOL WINAPI OpenPort(HANDLE monitor, LPWSTR name, PHANDLE handle) {
    calls.push_back("OpenPort " + WideToUtf8(name));
    openedWith = monitor;
    if (failOpen) {
      ::SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    *handle = &token;
    return TRUE;
  }
  static bool Mine(HANDLE port) { return port == &token; }
  static BOOL WINAPI StartDocPort(HANDLE port, LPWSTR printer, DWORD job, DWORD, LPBYTE) {
    calls.push_back("StartDocPort " + WideToUtf8(printer) + " " + std::to_string(job) + (Mine(port) ? "" : " ?"));
    return TRUE;
  }
  static BOOL WINAPI WritePort(HANDLE port, LPBYTE data, DWORD size, LPDWORD done) {
    calls.push_back(std::string("WritePort") + (Mine(port) ? "" : " ?"));
    written.append(reinterpret_cast<char*>(data), size);
    *done = size;
    return TRUE;
  }
  static BOOL WINAPI ReadPort(HANDLE port, LPBYTE data, DWORD size, LPDWORD done) {
    calls.push_back(std::string("ReadPort") + (Mine(port) ? "" : " ?"));
    if (size) data[0] = 'S';
    *done = size ? 1 : 0;
    return TRUE;
  }
  static BOOL WINAPI EndDocPort(HANDLE port) {
    calls.push_back(std::string("EndDocPort") + (Mine(port) ? "" : " ?"));
    return TRUE;
  }
  static BOOL WINAPI ClosePort(HANDLE port) {
    calls.push_back(std::string("ClosePort") + (Mine(port) ? "" : " ?"));
    return TRUE;
  }
};

TEST_F(SampleDriverTest, LanguageMonitorPassesEveryCallToThePortMonitor) {
  UniqueModule dll(::LoadLibraryW(Dll(L"i386", L"LM").c_str()));
  ASSERT_TRUE(dll) << ::GetLastError();
  auto* initialize = Entry<LPMONITOR2 WINAPI(PMONITORINIT, PHANDLE)>(dll.get(), "InitializePrintMonitor2");
  ASSERT_NE(initialize, nullptr);
  MONITORINIT init{};
  init.cbSize = sizeof(init);
  init.bLocal = TRUE;
  HANDLE monitorHandle = nullptr;
  LPMONITOR2 lm = initialize(&init, &monitorHandle);
  ASSERT_NE(lm, nullptr);
  ASSERT_NE(monitorHandle, nullptr);
  EXPECT_GE(lm->cbSize, offsetof(MONITOR2, pfnShutdown) + sizeof(lm->pfnShutdown));
  ASSERT_TRUE(lm->pfnOpenPortEx && lm->pfnStartDocPort && lm->pfnWritePort && lm->pfnReadPort &&
              lm->pfnEndDocPort && lm->pfnClosePort && lm->pfnShutdown);
  // A language monitor owns no ports: listing and adding stay with the port monitor.
  EXPECT_EQ(lm->pfnEnumPorts, nullptr);
  EXPECT_EQ(lm->pfnOpenPort, nullptr);

  MONITOR2 port{};
  port.cbSize = offsetof(MONITOR2, pfnGetPrinterDataFromPort);  // an old, short table
  port.pfnOpenPort = FakePortMonitor::OpenPort;
  port.pfnStartDocPort = FakePortMonitor::StartDocPort;
  port.pfnWritePort = FakePortMonitor::WritePort;
  port.pfnReadPort = FakePortMonitor::ReadPort;
  port.pfnEndDocPort = FakePortMonitor::EndDocPort;
  port.pfnClosePort = FakePortMonitor::ClosePort;
  FakePortMonitor::calls.clear();
  FakePortMonitor::written.clear();

  wchar_t portName[] = L"USB001";
  wchar_t printer[] = L"Label printer";
  HANDLE portMonitorHandle = reinterpret_cast<HANDLE>(0x5150);
  HANDLE handle = nullptr;
  ASSERT_TRUE(lm->pfnOpenPortEx(monitorHandle, portMonitorHandle, portName, printer, &handle, &port));
  EXPECT_EQ(FakePortMonitor::openedWith, portMonitorHandle);
  EXPECT_TRUE(lm->pfnStartDocPort(handle, printer, 7, 1, nullptr));
  char job[] = "SIZE 50 mm,30 mm\r\nPRINT 1\r\n";
  DWORD done = 0;
  EXPECT_TRUE(lm->pfnWritePort(handle, reinterpret_cast<LPBYTE>(job), sizeof(job) - 1, &done));
  EXPECT_EQ(done, sizeof(job) - 1);
  BYTE status[8] = {};
  EXPECT_TRUE(lm->pfnReadPort(handle, status, sizeof(status), &done));
  EXPECT_EQ(status[0], 'S');
  // Members beyond the port monitor's table are not called.
  DWORD returned = 0;
  wchar_t value[] = L"x";
  EXPECT_FALSE(lm->pfnGetPrinterDataFromPort(handle, 0, value, nullptr, 0, nullptr, 0, &returned));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_TRUE(lm->pfnEndDocPort(handle));
  EXPECT_TRUE(lm->pfnClosePort(handle));
  EXPECT_EQ(FakePortMonitor::written, job);
  EXPECT_EQ(FakePortMonitor::calls, (std::vector<std::string>{"OpenPort USB001", "StartDocPort Label printer 7",
                                                              "WritePort", "ReadPort", "EndDocPort", "ClosePort"}));

  // A port that does not open gives the port monitor's error.
  FakePortMonitor::failOpen = true;
  ::SetLastError(0);
  EXPECT_FALSE(lm->pfnOpenPortEx(monitorHandle, portMonitorHandle, portName, printer, &handle, &port));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  FakePortMonitor::failOpen = false;
  lm->pfnShutdown(monitorHandle);
}

TEST_F(SampleDriverTest, Amd64DllsLoadAndExportTheirEntryPoints) {
  const std::wstring probe = WindowsPath(ORVELLO_TOOLS_DIR "/dll_probe64.exe");
  struct Case {
    const wchar_t* suffix;
    const std::set<std::string>* exports;
  } cases[] = {{L"LM", &kMonitorExports}, {L"UiNew", &kConfigExports}, {L"UniNew", &kDriverExports}};
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.suffix));
    std::wstring line = L"\"" + probe + L"\" \"" + Dll(L"amd64", c.suffix) + L"\"";
    for (const auto& name : *c.exports) line += L" " + Utf8ToWide(name);
    ChildRun run = RunChild(line);
    ASSERT_TRUE(run.started) << WideToUtf8(probe);
    EXPECT_EQ(run.exitCode, 0u) << run.output;

    // The probe does tell a missing export.
    ChildRun missing = RunChild(L"\"" + probe + L"\" \"" + Dll(L"amd64", c.suffix) + L"\" NoSuchExport");
    EXPECT_EQ(missing.exitCode, 1u) << missing.output;
  }
}

}  // namespace
}  // namespace orvello
