#pragma once
// The engine over the real spooler: the shipped package staged into a
// scratch working folder, the catalogue's first model without a language
// monitor chosen, and whatever a test leaves (its printers, the driver in
// both environments, the driver files) taken away before and after it, so
// that the tests can run again and again in one prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/manufacturer_profile.h"
#include "devices/printer_device.h"
#include "engine/driver_install.h"
#include "engine/printers.h"
#include "engine/staging.h"
#include "payload/package.h"
#include "platform/win32/win32_platform.h"
#include "support/build_paths.h"
#include "system/printer_connection.h"
#include "system/system_facts.h"
#include "system/text.h"
#include "unit/system_test_support.h"

namespace orvello::test {

inline constexpr wchar_t kEnginePrinterName[] = L"Orvello Engine Test";

inline bool RunningOnWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

inline std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::vector<uint8_t> bytes(::GetFileSize(file, nullptr));
  DWORD got = 0;
  if (!bytes.empty()) ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  ::CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

inline void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(folder.c_str());
}

// The real system's facts, with the program-files folder moved to a
// scratch folder so that staging does not touch the machine's own one.
class ScratchProgramFiles : public platform::ISystemFacts {
 public:
  ScratchProgramFiles(platform::ISystemFacts& real, std::wstring folder) : real_(real), folder_(std::move(folder)) {}

  // Answers the processor questions as 32-bit Windows does.
  bool as32BitWindows = false;

  platform::OsVersion Version() override { return real_.Version(); }
  bool VersionAtLeast(uint32_t major, uint32_t minor, uint16_t sp) override {
    return real_.VersionAtLeast(major, minor, sp);
  }
  std::optional<platform::Wow64Machines> IsWow64Process2() override {
    if (as32BitWindows) return platform::Wow64Machines{platform::kMachineUnknown, platform::kMachineI386};
    return real_.IsWow64Process2();
  }
  std::optional<bool> IsWow64Process() override { return as32BitWindows ? false : real_.IsWow64Process(); }
  std::optional<bool> EnableWow64FsRedirection(bool enable) override { return real_.EnableWow64FsRedirection(enable); }
  platform::Result<std::wstring> SpecialFolder(int csidl) override {
    if (csidl == platform::kCsidlProgramFiles) return platform::Result<std::wstring>::Ok(folder_);
    return real_.SpecialFolder(csidl);
  }
  std::wstring SystemDirectory() override { return real_.SystemDirectory(); }
  std::wstring ModuleFileName() override { return real_.ModuleFileName(); }
  std::wstring ComputerName() override { return real_.ComputerName(); }
  uint16_t UserDefaultUILanguage() override { return real_.UserDefaultUILanguage(); }
  void SetThreadUILanguage(uint16_t id) override { real_.SetThreadUILanguage(id); }
  platform::LocalTime Now() override { return real_.Now(); }
  void Sleep(uint32_t ms) override { real_.Sleep(ms); }
  std::wstring ErrorText(uint32_t code) override { return real_.ErrorText(code); }
  uint32_t LastError() override { return real_.LastError(); }
  platform::Result<std::unique_ptr<platform::ILibrary>> LoadSystemLibrary(const std::wstring& name) override {
    return real_.LoadSystemLibrary(name);
  }
  platform::Status EnablePrivilege(const std::wstring& name) override { return real_.EnablePrivilege(name); }

 private:
  platform::ISystemFacts& real_;
  std::wstring folder_;
};

class EngineWin32Fixture : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    scratch_ = std::wstring(temp, length) + L"orvello-engine-" + std::to_wstring(::GetCurrentProcessId());
    RemoveTree(scratch_);
    ASSERT_TRUE(::CreateDirectoryW(scratch_.c_str(), nullptr)) << ::GetLastError();
    facts_ = std::make_unique<ScratchProgramFiles>(real().system, scratch_);
    platform::Platform& r = real();
    platform_ = std::make_unique<platform::Platform>(
        platform::Platform{r.registry, r.files, r.services, r.processes, *facts_, r.resources, r.debug, r.session,
                           r.spooler, r.devices, r.bluetooth, r.network, r.codePages});

    zip_ = ReadWholeFile(WindowsPath(ORVELLO_PACKAGE_ZIP));
    archive_ = PackageArchive::Open(zip_);
    ASSERT_NE(archive_, nullptr) << "the package is built with the orvello_package target";
    SetCurrentPackage(archive_.get());
    ASSERT_TRUE(catalogue_.load_file(WindowsPath(ORVELLO_CATALOGUE_XML).c_str()));
    ManufacturerProfile header;
    LoadCatalogueHeader(catalogue_, header);
    mode_ = header.name;

    // A model without a language monitor: the monitor DLL of the package is
    // built for the native processor, which this 32-bit process (and Wine's
    // in-process spooler with it) cannot load.
    for (DriverRef d = FirstDriver(mode_, catalogue_); d; NextDriver(mode_, d, catalogue_)) {
      if (!DriverLanguageMonitor(d)) {
        selected_.driver = d;
        break;
      }
    }
    ASSERT_TRUE(selected_.driver);
    selected_.model = DriverName(selected_.driver);
    selected_.printerName = kEnginePrinterName;
    selected_.portName = L"FILE:";
    environment_ = EnvironmentName(p().system);
    Cleanup();  // whatever an aborted earlier run left
  }

  void TearDown() override {
    Cleanup();
    EXPECT_FALSE(DriverInstalledAnywhere());
    for (const std::wstring& name : printerNames_) {
      PrinterConnection printer(p());
      EXPECT_FALSE(OpenPrinterConnection(printer, name)) << WideToUtf8(name);
    }
    SetCurrentPackage(nullptr);
    RemoveTree(scratch_);
  }

  // Wine's spooler runs inside this 32-bit process and looks for a
  // printer's driver in the "Windows NT x86" environment only: AddPrinter
  // with the "Windows x64" driver that 64-bit Windows uses fails there with
  // 1797. A test that makes printers therefore installs as on 32-bit Windows.
  void InstallAs32BitWindowsOnWine() {
    if (!RunningOnWine()) return;
    facts_->as32BitWindows = true;
    environment_ = EnvironmentName(p().system);
    ASSERT_EQ(environment_, platform::kEnvironmentX86);
    Cleanup();
  }

  // Takes away the test's printers, the driver in both environments and the
  // driver files the installation copied, so that the prefix stays as it was.
  void Cleanup() {
    for (const std::wstring& name : printerNames_) {
      PrinterConnection printer(p());
      if (OpenPrinterConnection(printer, name)) printer.handle()->DeletePrinter();
    }
    const std::wstring model = DriverName(selected_.driver);
    for (const wchar_t* env : {platform::kEnvironmentX86, platform::kEnvironmentX64}) {
      // Wine refuses the file-deleting flags; the files go below.
      p().spooler.DeletePrinterDriverEx(env, model, 0, 0);
      auto dir = p().spooler.GetPrinterDriverDirectory(env);
      if (!dir) continue;
      for (const std::wstring& name :
           {mode_ + L"UniNew.dll", mode_ + L"UiNew.dll", mode_ + L"New.inf", model + L".dat"}) {
        ::DeleteFileW((dir.value + L"\\" + name).c_str());
        ::DeleteFileW((dir.value + L"\\3\\" + name).c_str());
      }
    }
  }

  bool DriverInstalledAnywhere() {
    for (const wchar_t* env : {platform::kEnvironmentX86, platform::kEnvironmentX64}) {
      auto drivers = p().spooler.EnumPrinterDrivers(env, 1);
      if (!drivers) continue;
      for (const auto& d : drivers.value) {
        if (EqualsIgnoreCase(d.name, DriverName(selected_.driver))) return true;
      }
    }
    return false;
  }

  std::string LogText() {
    std::string out;
    for (const auto& line : log_.Lines()) out += WideToUtf8(line.text) + "\n";
    return out;
  }

  platform::Platform& real() { return win32_.platform(); }
  platform::Platform& p() { return *platform_; }

  void Stage() {
    StagingJob job{p(), selected_, newFileNames_};
    StageDriverPackage(job, mode_);
    ASSERT_EQ(newFileNames_, 1);
  }

  DriverInstallJob Job(platform::ILibrary* spoolerLib) {
    return DriverInstallJob{p(), catalogue_, spoolerLib, newFileNames_};
  }

  std::optional<platform::DriverInfo> InstalledDriver() {
    auto drivers = p().spooler.EnumPrinterDrivers(environment_, 8);
    if (!drivers) return std::nullopt;
    for (auto& d : drivers.value) {
      if (EqualsIgnoreCase(d.name, selected_.model)) return d;
    }
    return std::nullopt;
  }

  win32::Win32Platform win32_;
  std::unique_ptr<ScratchProgramFiles> facts_;
  std::unique_ptr<platform::Platform> platform_;
  std::wstring scratch_;
  std::vector<uint8_t> zip_;
  std::unique_ptr<PackageArchive> archive_;
  pugi::xml_document catalogue_;
  std::wstring mode_;
  std::wstring environment_;
  PrinterDevice selected_;
  int32_t newFileNames_ = 1;
  // Every printer a test may leave behind; a test that makes others adds
  // their names in its own SetUp and calls Cleanup once more.
  std::vector<std::wstring> printerNames_{kEnginePrinterName};
  RecordingMessageLog log_;
};

}  // namespace orvello::test
