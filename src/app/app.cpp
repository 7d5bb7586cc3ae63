#include "app/app.h"

#include "app/command_line.h"
#include "app/debug_mode.h"
#include "lang/language.h"
#include "lang/language_choice.h"
#include "log/my_log.h"
#include "payload/xml_resource.h"

namespace orvello {

CApp::CApp(platform::Platform& platform, IAppHost& host, CMyLog* log)
    : platform_(platform), host_(host), log_(log ? *log : CMyLog::Instance()), settings_(platform.registry) {}

CApp::~CApp() { ExitInstance(); }

bool CApp::InitInstance() {
  if (!InitializeFramework()) return false;
  if (!EnsureSingleInstance()) return false;
  host_.LoadRichEdit();
  host_.RegisterControlTypes();
  StartWinsock();
  // Loading drivers needs this privilege; without it the spooler calls
  // report their own errors later.
  platform_.system.EnablePrivilege(L"SeLoadDriverPrivilege");
  settings_.SetRegistryKey(kCompanyKey, kApplicationName);
  ReadSettings();
  LoadDocuments();
  if (debugMode == 1) {
    log_.Open(kApplicationName);
    log_.WriteLine(L"Run Orvello application");
  }
  ChooseLanguage();
  platform_.system.SetThreadUILanguage(platform_.system.UserDefaultUILanguage());
  LoadLibraries();
  if (!host_.CreateMainFrame(*this, kApplicationName)) return false;
  mainFrameCreated_ = true;
  return true;
}

bool CApp::InitializeFramework() {
  if (!host_.InitializeCom()) return false;
  comInitialized_ = true;
  // The skin, the language packs and the driver files all live in the
  // package resource; without it the windows have no layouts, which is not
  // reported here.
  platform::ResourceBytes zip = platform_.resources.Find(kPackageResourceId, kPackageResourceType);
  if (zip.lookup == platform::ResourceLookup::Found) package_ = PackageArchive::Open(zip.bytes);
  SetCurrentPackage(package_.get());
  return true;
}

bool CApp::EnsureSingleInstance() {
  uint32_t message = platform_.session.RegisterWindowMessage(kSingleInstanceName);
  platform::NamedMutex mutex = platform_.session.CreateNamedMutex(kSingleInstanceName);
  if (mutex.alreadyExisted) {
    platform_.session.BroadcastToApplications(message);
    return false;
  }
  instanceMutex_ = std::move(mutex.handle);
  host_.SetActivationMessage(message);
  return true;
}

void CApp::StartWinsock() {
  platform::WinsockStart started = platform_.session.WinsockStartup(0x0202);
  if (started.error != 0) return;
  winsockStarted_ = true;
  if ((started.version & 0xFF) != 2 || (started.version >> 8) != 2) {
    platform_.session.MessageBox(L"Incorrect version of WS2_32.dll found", L"Error", platform::mb::kOk);
    platform_.session.WinsockCleanup();
    winsockStarted_ = false;
  }
}

void CApp::ReadSettings() {
  setupMode = settings_.ReadInt(kSettingsSection, kValueSetupMode, 0);
  setupPortType = settings_.ReadInt(kSettingsSection, kValueSetupPortType, 0);
  selected.model = settings_.ReadString(kSettingsSection, kValueSetupPrinter, L"");
  rememberedManufacturer = settings_.ReadString(kSettingsSection, kValueManufacturer, L"");
  rememberedUpgradePrinter = settings_.ReadString(kSettingsSection, kValueUpgradePrinter, L"");
  rememberedDeletePrinter = settings_.ReadString(kSettingsSection, kValueDeletePrinter, L"");
}

void CApp::LoadDocuments() {
  LoadXmlResource(platform_.resources, platform_.debug, kCatalogueResourceId, catalogue);
  LoadXmlResource(platform_.resources, platform_.debug, kProfilesResourceId, profiles);
  LoadCatalogueHeader(catalogue.doc, profile);
}

void CApp::ChooseLanguage() {
  uint16_t uiLanguage = platform_.system.UserDefaultUILanguage();
  std::wstring name = LanguageNameForUiLanguage(uiLanguage);
  name = ApplyManufacturerLanguageRule(profile.name, uiLanguage, name);
  startupLanguage_ = name;
  SetLanguage(L"Lang\\" + name, name);
}

void CApp::LoadLibraries() {
  // From the system folder only: an elevated program must not pick up a
  // planted copy from the folder it was started from.
  auto load = [this](const wchar_t* name) -> std::unique_ptr<platform::ILibrary> {
    auto lib = platform_.system.LoadSystemLibrary(name);
    return lib ? std::move(lib.value) : nullptr;
  };
  spoolerLib = load(L"WinSpool.drv");
  setupApiLib = load(L"SetupAPI.dll");
  cfgMgrLib = load(L"Cfgmgr32.dll");
  bthPropsLib = load(L"bthprops.cpl");
}

void CApp::ExitInstance() {
  spoolerLib.reset();
  setupApiLib.reset();
  cfgMgrLib.reset();
  bthPropsLib.reset();
  if (winsockStarted_) {
    platform_.session.WinsockCleanup();
    winsockStarted_ = false;
  }
  if (mainFrameCreated_) {
    host_.DestroyMainFrame();
    mainFrameCreated_ = false;
  }
  instanceMutex_.reset();
  if (comInitialized_) {
    host_.UninitializeCom();
    comInitialized_ = false;
  }
}

void CApp::SetSetupMode(int32_t mode) {
  setupMode = mode;
  settings_.WriteInt(kSettingsSection, kValueSetupMode, mode);
}

void CApp::SetSetupPortType(int32_t portType) {
  setupPortType = portType;
  settings_.WriteInt(kSettingsSection, kValueSetupPortType, portType);
}

void CApp::SetSelectedModel(const std::wstring& model) {
  selected.model = model;
  settings_.WriteString(kSettingsSection, kValueSetupPrinter, model);
}

void CApp::SetRememberedManufacturer(const std::wstring& name) {
  rememberedManufacturer = name;
  settings_.WriteString(kSettingsSection, kValueManufacturer, name);
}

void CApp::SetRememberedUpgradePrinter(const std::wstring& name) {
  rememberedUpgradePrinter = name;
  settings_.WriteString(kSettingsSection, kValueUpgradePrinter, name);
}

void CApp::SetRememberedDeletePrinter(const std::wstring& name) {
  rememberedDeletePrinter = name;
  settings_.WriteString(kSettingsSection, kValueDeletePrinter, name);
}

int RunProcess(platform::Platform& platform, IAppHost& host, const std::wstring& commandLine) {
  if (!host.InitializeFramework()) return 1;
  CMyLog::Bind(platform);
  if (HasDebugSwitch(SplitArguments(ArgumentsAfterProgramName(commandLine)))) debugMode = 1;
  CApp app(platform, host);
  if (app.InitInstance()) {
    host.RunMessageLoop();
    app.ExitInstance();
  }
  return 0;
}

}  // namespace orvello
