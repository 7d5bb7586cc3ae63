#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/app.h"
#include "app/debug_mode.h"
#include "lang/language.h"
#include "platform/fake/fake_machine.h"
#include "system/text.h"

namespace orvello {
namespace {

// Records what the application asks of the toolkit, in order.
class RecordingHost : public IAppHost {
 public:
  bool InitializeFramework() override { return Note(L"framework", frameworkOk); }
  bool InitializeCom() override { return Note(L"com", comOk); }
  void UninitializeCom() override { Note(L"uncom", true); }
  bool LoadRichEdit() override { return Note(L"richedit", true); }
  void RegisterControlTypes() override { Note(L"controls", true); }
  void SetActivationMessage(uint32_t message) override { activation = message; }
  bool CreateMainFrame(CApp&, const std::wstring& title) override {
    frameTitle = title;
    return Note(L"frame", frameOk);
  }
  void DestroyMainFrame() override { Note(L"destroy", true); }
  int RunMessageLoop() override { return Note(L"loop", true) ? 0 : 0; }

  bool Note(const wchar_t* step, bool result) {
    steps.push_back(step);
    return result;
  }

  std::vector<std::wstring> steps;
  std::wstring frameTitle;
  uint32_t activation = 0;
  bool frameworkOk = true, comOk = true, frameOk = true;
};

std::vector<uint8_t> FileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    debugMode = 0;
    catalogue_ = FileBytes(ORVELLO_CATALOGUE_XML);
    profiles_ = FileBytes(ORVELLO_PROFILES_XML);
    package_ = FileBytes(ORVELLO_PACKAGE_ZIP);
    machine_.resources.Add(L"XML", 131, catalogue_);
    machine_.resources.Add(L"XML", 132, profiles_);
    machine_.resources.Add(L"ZIPRES", 129, package_);
    machine_.system.SetUserDefaultUILanguage(0x0409);
  }
  void TearDown() override {
    debugMode = 0;
    SetCurrentPackage(nullptr);
  }

  std::wstring Setting(const wchar_t* name) {
    auto v = machine_.registry.QueryValue(platform::RegistryRoot::CurrentUser,
                                          L"software\\QOVA\\Orvello\\SetupMode", name);
    return v ? Utf16BytesToWide(v.value.data) : L"<missing>";
  }

  fake::FakeMachine machine_;
  RecordingHost host_;
  std::vector<uint8_t> catalogue_, profiles_, package_;
};

TEST_F(StartupTest, StartsInTheSpecifiedOrderAndShutsDownCleanly) {
  CMyLog log(machine_.files, machine_.system);
  CApp app(machine_.platform(), host_, &log);
  ASSERT_TRUE(app.InitInstance());
  EXPECT_EQ(host_.steps, (std::vector<std::wstring>{L"com", L"richedit", L"controls", L"frame"}));
  EXPECT_EQ(host_.frameTitle, L"Orvello");
  EXPECT_NE(host_.activation, 0u);
  EXPECT_EQ(machine_.system.EnabledPrivileges(), std::vector<std::wstring>{L"SeLoadDriverPrivilege"});
  EXPECT_EQ(machine_.system.LoadedLibraries(),
            (std::vector<std::wstring>{L"WinSpool.drv", L"SetupAPI.dll", L"Cfgmgr32.dll", L"bthprops.cpl"}));
  EXPECT_EQ(machine_.system.ThreadUILanguage(), std::optional<uint16_t>(0x0409));
  EXPECT_EQ(machine_.session.WinsockStartups(), 1);
  EXPECT_TRUE(machine_.session.MutexExists(kSingleInstanceName));

  // The catalogue header fills the profile; the package is the toolkit's skin.
  EXPECT_EQ(app.catalogue.loaded, 1);
  EXPECT_EQ(app.profiles.loaded, 1);
  EXPECT_EQ(app.profile.name, L"TessarEx");
  EXPECT_NE(CurrentPackage(), nullptr);
  EXPECT_EQ(CurrentLanguageName(), L"English");

  app.ExitInstance();
  EXPECT_TRUE(machine_.system.LibrariesStillLoaded().empty());
  EXPECT_EQ(machine_.session.WinsockCleanups(), 1);
  EXPECT_FALSE(machine_.session.MutexExists(kSingleInstanceName));
  EXPECT_EQ(host_.steps.back(), L"uncom");
  EXPECT_FALSE(log.opened());  // no log outside debug mode
}

TEST_F(StartupTest, WithoutRegistryKeyTheWizardStartsInInstallModeOnUsb) {
  CApp app(machine_.platform(), host_);
  ASSERT_TRUE(app.InitInstance());
  EXPECT_EQ(app.setupMode, kModeInstall);
  EXPECT_EQ(app.setupPortType, kPortUsb);
  EXPECT_EQ(app.selected.model, L"");
  EXPECT_EQ(app.rememberedManufacturer, L"");
  EXPECT_EQ(app.newFileNames, 1);
  // Reading creates nothing.
  EXPECT_FALSE(machine_.registry.KeyExists(platform::RegistryRoot::CurrentUser, L"software\\QOVA"));
}

TEST_F(StartupTest, RestoresTheSixSettingsAndWritesChoicesAtOnce) {
  {
    CApp first(machine_.platform(), host_);
    ASSERT_TRUE(first.InitInstance());
    first.SetSetupMode(kModeRemove);
    first.SetSetupPortType(kPortCustom);
    first.SetSelectedModel(L"TX-420B");
    first.SetRememberedManufacturer(L"TessarEx");
    first.SetRememberedUpgradePrinter(L"Label printer");
    first.SetRememberedDeletePrinter(L"Old printer");
    EXPECT_EQ(Setting(L"SetupPrinter"), L"TX-420B");
    first.ExitInstance();
  }
  CApp second(machine_.platform(), host_);
  ASSERT_TRUE(second.InitInstance());
  EXPECT_EQ(second.setupMode, kModeRemove);
  EXPECT_EQ(second.setupPortType, kPortCustom);
  EXPECT_EQ(second.selected.model, L"TX-420B");
  EXPECT_EQ(second.rememberedManufacturer, L"TessarEx");
  EXPECT_EQ(second.rememberedUpgradePrinter, L"Label printer");
  EXPECT_EQ(second.rememberedDeletePrinter, L"Old printer");
}

TEST_F(StartupTest, SecondCopyBroadcastsAndEndsWithoutAWindow) {
  CApp first(machine_.platform(), host_);
  ASSERT_TRUE(first.InitInstance());
  RecordingHost secondHost;
  CApp second(machine_.platform(), secondHost);
  EXPECT_FALSE(second.InitInstance());
  EXPECT_EQ(machine_.session.Broadcasts(), std::vector<uint32_t>{host_.activation});
  EXPECT_EQ(std::count(secondHost.steps.begin(), secondHost.steps.end(), L"frame"), 0);
  second.ExitInstance();
  // The first copy still holds the mutex.
  EXPECT_TRUE(machine_.session.MutexExists(kSingleInstanceName));
}

TEST_F(StartupTest, DebugModeOpensTheLogBesideTheProgram) {
  debugMode = 1;
  machine_.system.SetModuleFileName(L"C:\\Tools\\Orvello.exe");
  machine_.system.SetLocalTime({2025, 3, 6, 15, 9, 5, 7, 42});
  CMyLog log(machine_.files, machine_.system);
  CApp app(machine_.platform(), host_, &log);
  ASSERT_TRUE(app.InitInstance());
  ASSERT_TRUE(log.Flush());
  auto bytes = machine_.files.FileBytes(L"C:\\Tools\\Log\\Orvello 2025-03-15.log");
  ASSERT_TRUE(bytes);
  std::vector<uint8_t> expected{0xFF, 0xFE};
  auto line = WideToUtf16Bytes(L"2025-03-15 09:05:07.042 : Run Orvello application\r\n", false);
  expected.insert(expected.end(), line.begin(), line.end());
  EXPECT_EQ(*bytes, expected);
}

TEST_F(StartupTest, WinsockOfAnotherVersionIsReportedAndReleased) {
  machine_.session.SetWinsockAnswer(platform::WinsockStart{0, 0x0101});
  CApp app(machine_.platform(), host_);
  ASSERT_TRUE(app.InitInstance());
  auto boxes = machine_.session.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"Incorrect version of WS2_32.dll found");
  EXPECT_EQ(boxes[0].title, L"Error");
  EXPECT_EQ(machine_.session.WinsockCleanups(), 1);
  app.ExitInstance();
  EXPECT_EQ(machine_.session.WinsockCleanups(), 1);  // not released twice
}

TEST_F(StartupTest, FailedWinsockStartIsSilent) {
  machine_.session.SetWinsockAnswer(platform::WinsockStart{10091, 0});
  CApp app(machine_.platform(), host_);
  ASSERT_TRUE(app.InitInstance());
  EXPECT_TRUE(machine_.session.MessageBoxes().empty());
  app.ExitInstance();
  EXPECT_EQ(machine_.session.WinsockCleanups(), 0);
}

TEST_F(StartupTest, MissingLibraryLeavesItsHandleNull) {
  machine_.system.SetLibraryLoadError(L"bthprops.cpl", 126);
  CApp app(machine_.platform(), host_);
  ASSERT_TRUE(app.InitInstance());
  EXPECT_NE(app.spoolerLib, nullptr);
  EXPECT_EQ(app.bthPropsLib, nullptr);
}

TEST_F(StartupTest, StartupLanguageFollowsTheUserInterfaceLanguage) {
  struct Case {
    uint16_t language;
    const char* catalogueModel;
    const wchar_t* expected;
  } cases[] = {
      {0x0404, "TessarEx", L"ChineseSimplified"},  // Traditional Chinese
      {0x0407, "TessarEx", L"German"},
      {0x0407, "Pavlin", L"English"},
      {0x0804, "Pavlin", L"ChineseSimplified"},
      {0x0407, "pavlin", L"German"},  // the rule is case-sensitive
  };
  for (const auto& c : cases) {
    fake::FakeMachine machine;
    std::string xml = std::string("<Drivers model=\"") + c.catalogueModel + "\"/>";
    machine.resources.Add(L"XML", 131, xml);
    machine.system.SetUserDefaultUILanguage(c.language);
    RecordingHost host;
    CApp app(machine.platform(), host);
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.startupLanguage(), c.expected) << c.language << " " << c.catalogueModel;
    // The thread keeps the full language, not the table's choice.
    EXPECT_EQ(machine.system.ThreadUILanguage(), std::optional<uint16_t>(c.language));
  }
}

TEST_F(StartupTest, ProcessEntryExitCodes) {
  RecordingHost broken;
  broken.frameworkOk = false;
  EXPECT_EQ(RunProcess(machine_.platform(), broken, L"Orvello.exe"), 1);

  // COM failing ends start-up before the log would open, so the
  // process-wide log stays untouched by this test.
  RecordingHost noCom;
  noCom.comOk = false;
  EXPECT_EQ(RunProcess(machine_.platform(), noCom, L"\"C:\\Tools\\Orvello.exe\" x-debugx"), 0);
  EXPECT_EQ(std::count(noCom.steps.begin(), noCom.steps.end(), L"loop"), 0);
  EXPECT_EQ(debugMode.load(), 1);

  debugMode = 0;
  RecordingHost normal;
  EXPECT_EQ(RunProcess(machine_.platform(), normal, L"Orvello.exe -DEBUG"), 0);
  EXPECT_EQ(debugMode.load(), 0);
  EXPECT_EQ(std::count(normal.steps.begin(), normal.steps.end(), L"loop"), 1);
}

}  // namespace
}  // namespace orvello
