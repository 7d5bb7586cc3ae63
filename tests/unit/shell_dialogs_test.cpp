// The about, loading and language dialogs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "lang/dlg_soft_language.h"
#include "shell/dlg_about.h"
#include "shell/dlg_loading.h"
#include "shell_test_support.h"
#include "ui/basic_controls.h"
#include "ui/containers.h"
#include "ui/picture.h"
#include "ui/toolkit.h"

namespace orvello {
namespace {

class DialogsTest : public test::ShellTest {
 protected:
  void TearDown() override { skin_.Language().SetLanguage(L"", L""); }
};

constexpr char kAboutLayout[] = R"(<Window size="400,260"><VerticalLayout>
  <Label name="dudez_product" text="-"/><Label name="dudez_company" text="-"/><Label name="dudez_website" text="-"/>
  <Label name="dudez_tel" text="-"/><Label name="dudez_email" text="-"/><Label name="dudez_version"/>
  <Label name="dudez_create_time"/><Button name="windowclosebtn"/></VerticalLayout></Window>)";

TEST_F(DialogsTest, AboutShowsThePackagesOwnDataInTheUiLanguage) {
  struct Case {
    const char* language;
    const char* catalogue;
    const wchar_t* product;
    const wchar_t* company;
    bool timeShown;
  } cases[] = {
      {"English", R"(<Drivers product="标签打印机" product_en="" company="公司" company_en="Qova" time="2026-01-02"/>)",
       L"标签打印机", L"Qova", true},
      {"ChineseSimplified", R"(<Drivers product="标签打印机" product_en="Label printer" company="公司" company_en="Qova"/>)",
       L"标签打印机", L"公司", false},
      {"German", R"(<Drivers product="标签打印机" product_en="Label printer" website="" tel="1"/>)", L"Label printer",
       L"-", false},
  };
  skin_.Put(CDlgAbout::kLayout, kAboutLayout);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    SetLanguage(L"", Utf8ToWide(c.language));
    SetCatalogue(c.catalogue);
    app_.profile.productName = L"chosen manufacturer";  // not what the dialog shows
    CDlgAbout about(app_);
    ASSERT_TRUE(about.Create(CDlgAbout::kLayout, CDlgAbout::kClassName).ok());
    EXPECT_EQ(about.FindControl(L"dudez_product")->Text(), c.product);
    EXPECT_EQ(about.FindControl(L"dudez_company")->Text(), c.company);
    EXPECT_EQ(about.FindControl(L"dudez_website")->Text(), L"-");  // empty values leave the label alone
    EXPECT_EQ(about.FindControl(L"dudez_version")->Text(), L"0.0.0.0");
    EXPECT_EQ(about.FindControl(L"dudez_create_time")->IsVisible(), c.timeShown);
  }
  SetCatalogue("<Other/>");
  CDlgAbout about(app_);
  ASSERT_TRUE(about.Create(CDlgAbout::kLayout, CDlgAbout::kClassName).ok());
  EXPECT_FALSE(about.FindControl(L"dudez_version")->IsVisible());
  SetLanguage(L"", L"");
}

// Answers the dispatch with fixed outcomes and notes which thread ran it.
class ScriptedEngine : public IEngineOperations {
 public:
  explicit ScriptedEngine(bool succeeds) : succeeds_(succeeds) {}
  bool InstallNetworkPrinter() override { return Ran(); }
  bool InstallBluetoothPrinter() override { return Ran(); }
  bool InstallByDeviceConsole() override { return Ran(); }
  DriverRef SelectedDriver() override { return {}; }
  bool InstallDriverForPort(bool) override { return Ran(); }
  bool AddPrinterForModel() override { return succeeds_; }
  void UpgradePrinterDrivers() override { Ran(); }
  void DeleteSelectedPrinters(std::vector<std::wstring>&) override {}
  void DeleteSelectedDrivers() override {}
  void RemoveStaleUsbPrintDevices() override {}
  void DeletePortIfStandardTcpIp(const std::wstring&) override {}

  std::atomic<bool> ranOffUiThread{false};
  // The work holds on until the test has looked at the open dialog.
  std::atomic<bool> release{false};

 private:
  bool Ran() {
    ranOffUiThread = !ui::IsUiThread();
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return succeeds_;
  }
  bool succeeds_;
};

TEST_F(DialogsTest, LoadingClosesByItselfWhenTheOperationEndsAndReportsTheOutcome) {
  skin_.Put(CDlgLoading::kLayout, R"(<Window size="200,120"><VerticalLayout><GifAnim name="pic_loading"/></VerticalLayout></Window>)");
  for (bool succeeds : {true, false}) {
    SCOPED_TRACE(succeeds);
    app_.setupMode = kModeInstall;
    app_.setupPortType = kPortCustom;
    ScriptedEngine engine(succeeds);
    std::vector<std::wstring> frames;
    backend_.SetModalHandler([&](ui::Window& dialog) {
      frames = dialog.Find<ui::Picture>(L"pic_loading")->Frames();
      // A close by the user while the worker runs is refused.
      dialog.RouteMessage(ui::kWmClose, ui::kResultCancel, 0);
      EXPECT_TRUE(dialog.IsCreated());
      engine.release = true;
    });
    EXPECT_EQ(RunLoadingDialog(app_, nullptr, engine), succeeds ? 1 : 0);
    EXPECT_TRUE(engine.ranOffUiThread);
    EXPECT_FALSE(backend_.LoopGaveUp());
    ASSERT_EQ(frames.size(), 8u);
    EXPECT_EQ(frames.front(), L"images\\Loading\\1.png");
    EXPECT_EQ(frames.back(), L"images\\Loading\\8.png");
  }
}

TEST_F(DialogsTest, ChoosingALanguageSwitchesTheMainWindowAndTheDialogAtOnce) {
  skin_.Put(L"Lang\\English\\main.lng", R"(<Language><Text id="1" text="A"/><Text id="2" text="B"/></Language>)");
  skin_.Put(L"Lang\\ChineseTraditional\\main.lng", R"(<Language><Text id="2" text="乙繁"/></Language>)");
  skin_.Put(CDlgSoftLanguage::kLayout, R"(<Window><VerticalLayout>
      <Label name="heading" text="语言" resourceid="1"/>
      <Option name="menu_lang_English" userdata="English" group="lang"/>
      <Option name="menu_lang_ChineseTraditional" userdata="ChineseTraditional" group="lang"/></VerticalLayout></Window>)");
  skin_.Put(L"Lang\\ChineseTraditional\\DlgSoftLanguage.lng", R"(<Language><Text id="1" text="語言"/></Language>)");
  skin_.Language().SetLanguage(L"Lang\\English", L"English");
  ui::Window main;
  Open(main, L"main.xml", R"(<Window><TabLayout name="tab_main">
      <VerticalLayout name="form_a"><Label name="a" text="甲" resourceid="1"/></VerticalLayout>
      <VerticalLayout name="form_b"><Label name="b" text="乙" resourceid="2"/></VerticalLayout></TabLayout></Window>)");
  main.Find<ui::TabLayout>(L"tab_main")->SelectItem(L"form_b");
  ASSERT_EQ(main.FindControl(L"b")->Text(), L"B");

  bool englishMarked = false;
  std::wstring heading;
  backend_.SetModalHandler([&](ui::Window& dialog) {
    englishMarked = dialog.Find<ui::Option>(L"menu_lang_English")->IsSelected();
    dialog.FindControl(L"menu_lang_ChineseTraditional")->Activate();
    heading = dialog.FindControl(L"heading")->Text();
    dialog.Close();
  });
  ShowLanguageDialog(&main);
  EXPECT_TRUE(englishMarked);
  EXPECT_EQ(heading, L"語言");
  EXPECT_EQ(skin_.Language().CurrentLanguageName(), L"ChineseTraditional");
  // The visible page follows at once; an id the pack lacks shows the layout's text.
  EXPECT_EQ(main.FindControl(L"b")->Text(), L"乙繁");
  EXPECT_EQ(main.FindControl(L"a")->Text(), L"甲");
}

}  // namespace
}  // namespace orvello
