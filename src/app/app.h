#pragma once
// The application object: start-up, the wizard state every form shares,
// and shutdown.
#include <cstdint>
#include <memory>
#include <string>

#include "app/app_host.h"
#include "app/settings.h"
#include "catalogue/catalogue.h"
#include "catalogue/xml_document.h"
#include "devices/printer_device.h"
#include "log/my_log.h"
#include "payload/package.h"
#include "platform/platform.h"

namespace orvello {

class CMainFrame;

inline constexpr const wchar_t* kApplicationName = L"Orvello";
inline constexpr const wchar_t* kCompanyKey = L"QOVA";
inline constexpr const wchar_t* kSingleInstanceName = L"9FF1EC1E-3EF5-4B76-A618-2288977D2E05";

// Setup modes and port types, stored as REG_DWORD values.
enum SetupMode : int32_t { kModeInstall = 0, kModeUpgrade = 1, kModeRemove = 2 };
enum SetupPortType : int32_t {
  kPortUsb = 0,
  kPortNetwork = 1,
  kPortBluetooth = 2,
  kPortBluetoothAdapter = 3,
  kPortParallel = 4,
  kPortSerial = 5,
  kPortCustom = 6,
};

class CApp {
 public:
  // `log` stands in for the program's log (tests); by default the
  // process-wide CMyLog.
  CApp(platform::Platform& platform, IAppHost& host, CMyLog* log = nullptr);
  ~CApp();
  CApp(const CApp&) = delete;
  CApp& operator=(const CApp&) = delete;

  // True when the main window is up; false for a second copy or when the
  // framework cannot start.
  bool InitInstance();
  void ExitInstance();

  platform::Platform& platform() { return platform_; }
  CMyLog& log() { return log_; }
  ProfileSettings& settings() { return settings_; }

  // Each setter writes the registry value at once, so field and registry agree.
  void SetSetupMode(int32_t mode);
  void SetSetupPortType(int32_t portType);
  void SetSelectedModel(const std::wstring& model);
  void SetRememberedManufacturer(const std::wstring& name);
  void SetRememberedUpgradePrinter(const std::wstring& name);
  void SetRememberedDeletePrinter(const std::wstring& name);

  // The wizard state.
  XmlDocument catalogue;
  XmlDocument profiles;
  ManufacturerProfile profile;
  int32_t setupMode = kModeInstall;
  int32_t setupPortType = kPortUsb;
  int32_t newFileNames = 1;
  PrinterDevice selected;          // the printer being set up
  CPrinterDevices printerDevices;  // the printers the search found
  std::wstring rememberedManufacturer;
  std::wstring rememberedUpgradePrinter;
  std::wstring rememberedDeletePrinter;

  // Libraries loaded at start-up and released at exit (null when missing).
  std::unique_ptr<platform::ILibrary> spoolerLib;
  std::unique_ptr<platform::ILibrary> setupApiLib;
  std::unique_ptr<platform::ILibrary> cfgMgrLib;
  std::unique_ptr<platform::ILibrary> bthPropsLib;

  // The main window while it exists (null before and after).
  CMainFrame* mainFrame = nullptr;

  // The UI language chosen at start-up ("English", "ChineseSimplified", ...).
  const std::wstring& startupLanguage() const { return startupLanguage_; }

 private:
  bool InitializeFramework();
  bool EnsureSingleInstance();
  void StartWinsock();
  void ReadSettings();
  void LoadDocuments();
  void ChooseLanguage();
  void LoadLibraries();

  platform::Platform& platform_;
  IAppHost& host_;
  CMyLog& log_;
  ProfileSettings settings_;
  std::unique_ptr<platform::INamedMutex> instanceMutex_;
  std::unique_ptr<PackageArchive> package_;
  bool comInitialized_ = false;
  bool winsockStarted_ = false;
  bool mainFrameCreated_ = false;
  std::wstring startupLanguage_;
};

// The process entry: framework, the "-debug" switch, single instance, the
// application object and the message loop. Returns the exit code.
int RunProcess(platform::Platform& platform, IAppHost& host, const std::wstring& commandLine);

}  // namespace orvello
