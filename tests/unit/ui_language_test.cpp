#include <gtest/gtest.h>

#include <string>

#include "system/text.h"
#include "ui/basic_controls.h"
#include "ui/grid.h"
#include "ui/headless/actions.h"
#include "ui/layout_texts.h"
#include "ui_test_support.h"

namespace orvello::ui::test {
namespace {

// Layout texts are Chinese; the packs replace them by resource id, which
// counts per layout file (id 1 of the frame is not id 1 of the page).
const char kMainFrame[] = R"(<Window><VerticalLayout name="root">
  <Label name="mainframe_title" text="打印机驱动安装" tooltip="标题" resourceid="1"/>
  <Label name="mainframe_dudez_version" text="0.0.0.0"/>
  <TabLayout name="tab_main"><ChildLayout name="form_main" xmlfile="form_main.xml"/></TabLayout>
</VerticalLayout></Window>)";

const char kFormMain[] = R"(<Window><VerticalLayout>
  <Label name="title_form_main" text="欢迎" resourceid="1"/>
  <Option name="chk_install_driver" group="group_setup_or_delete" text="安装" tooltip="安装打印机" resourceid="2"/>
  <Grid name="grid_delete_printer" checkbox="true"><Column text="打印机" resourceid="3"/><Column text="端口"/></Grid>
</VerticalLayout></Window>)";

const char kDialog[] = R"(<Window><VerticalLayout>
  <Label name="dlg_title" text="语言" resourceid="1"/>
  <Option name="menu_lang_English" group="lang" userdata="English" text="English"/>
  <Option name="menu_lang_German" group="lang" userdata="German" text="Deutsch"/>
  <Option name="menu_lang_ChineseSimplified" group="lang" userdata="ChineseSimplified" text="简体中文"/>
</VerticalLayout></Window>)";

std::string Pack(const std::string& entries) { return "<Language isocode=\"xx\">" + entries + "</Language>"; }

class UiLanguageTest : public UiTest {
 protected:
  void SetUp() override {
    skin_.Put(L"form_main.xml", kFormMain);
    skin_.Put(L"MainFrame.xml", kMainFrame);
    skin_.Put(L"DlgSoftLanguage.xml", kDialog);
    skin_.Put(L"Lang\\English\\StringResource.lng", Pack(""));
    skin_.Put(L"Lang\\English\\MainFrame.lng", Pack("<Text id=\"1\" text=\"Printer Driver Setup\" tooltip=\"Title\"/>"));
    skin_.Put(L"Lang\\English\\form_main.lng",
              Pack("<Text id=\"1\" text=\"Welcome\"/><Text id=\"2\" text=\"Install Printer Driver\" tooltip=\"Add a printer\"/>"
                   "<Text id=\"3\" text=\"Printer\"/>"));
    skin_.Put(L"Lang\\English\\DlgSoftLanguage.lng", Pack("<Text id=\"1\" text=\"Language\"/>"));
    skin_.Put(L"Lang\\German\\form_main.lng", Pack("<Text id=\"2\" text=\"Druckertreiber installieren\"/>"));
    skin_.Put(L"Lang\\English\\MenuLanguage.lng", Pack("<Text id=\"3\" text=\"German\"/>"));
    skin_.Put(L"MenuLanguage.xml", "<Menu><MenuItem name=\"menu_lang_German\" text=\"德语\" resourceid=\"3\"/></Menu>");
  }

  std::wstring TextOf(Window& window, const wchar_t* name) { return window.FindControl(name)->Text(); }
  std::wstring TooltipOf(Window& window, const wchar_t* name) { return window.FindControl(name)->Tooltip(); }

  Window frame_;
};

TEST_F(UiLanguageTest, TheCurrentPackIsAppliedWhenTheWindowIsBuilt) {
  skin_.Language().SetLanguage(L"Lang\\English", L"English");
  Open(frame_, L"MainFrame.xml", kMainFrame, L"MainFrame");

  EXPECT_EQ(TextOf(frame_, L"mainframe_title"), L"Printer Driver Setup");
  EXPECT_EQ(TooltipOf(frame_, L"mainframe_title"), L"Title");
  EXPECT_EQ(TextOf(frame_, L"title_form_main"), L"Welcome");
  EXPECT_EQ(TextOf(frame_, L"chk_install_driver"), L"Install Printer Driver");
  EXPECT_EQ(TooltipOf(frame_, L"chk_install_driver"), L"Add a printer");
  EXPECT_EQ(frame_.Find<Grid>(L"grid_delete_printer")->CellText(0, 1), L"Printer");
  EXPECT_EQ(frame_.Find<Grid>(L"grid_delete_printer")->CellText(0, 2), Utf8ToWide("端口"));
  EXPECT_EQ(TextOf(frame_, L"mainframe_dudez_version"), L"0.0.0.0");
}

TEST_F(UiLanguageTest, ReapplyingAfterASwitchShowsTheNewPackOrTheLayoutsOwnTexts) {
  skin_.Language().SetLanguage(L"Lang\\English", L"English");
  Open(frame_, L"MainFrame.xml", kMainFrame, L"MainFrame");
  // Text the program set on a control without a resource id is its own.
  frame_.FindControl(L"mainframe_dudez_version")->SetText(L"1.2.3.4");

  skin_.Language().SetLanguage(L"Lang\\German", L"German");
  ApplyLayoutTexts(frame_);
  EXPECT_EQ(TextOf(frame_, L"chk_install_driver"), L"Druckertreiber installieren");
  // Entries and files the German pack lacks fall back to the layout.
  EXPECT_EQ(TooltipOf(frame_, L"chk_install_driver"), Utf8ToWide("安装打印机"));
  EXPECT_EQ(TextOf(frame_, L"title_form_main"), Utf8ToWide("欢迎"));
  EXPECT_EQ(TextOf(frame_, L"mainframe_title"), Utf8ToWide("打印机驱动安装"));
  EXPECT_EQ(frame_.Find<Grid>(L"grid_delete_printer")->CellText(0, 1), Utf8ToWide("打印机"));
  EXPECT_EQ(TextOf(frame_, L"mainframe_dudez_version"), L"1.2.3.4");

  skin_.Language().SetLanguage(L"Lang\\English", L"English");
  ApplyLayoutTexts(frame_);
  EXPECT_EQ(TextOf(frame_, L"title_form_main"), L"Welcome");
}

TEST_F(UiLanguageTest, MenuItemsAreTranslatedByTheMenusOwnPackFile) {
  Open(frame_, L"MainFrame.xml", kMainFrame, L"MainFrame");
  ASSERT_TRUE(frame_.TrackMenu(L"MenuLanguage.xml", Point{}).ok());
  EXPECT_EQ(frame_.OpenMenu()->Find(L"menu_lang_German")->text, Utf8ToWide("德语"));
  frame_.DismissMenu();

  skin_.Language().SetLanguage(L"Lang\\English", L"English");
  ASSERT_TRUE(frame_.TrackMenu(L"MenuLanguage.xml", Point{}).ok());
  EXPECT_EQ(frame_.OpenMenu()->Find(L"menu_lang_German")->text, L"German");
}

// The language dialog: selecting a language makes it current and shows it
// at once in the main window and in the dialog itself.
class LanguageChooser : public CUIForm {
 public:
  LanguageChooser(LanguageManager& language, Window& mainWindow) : language_(language), main_(mainWindow) {}
  void OnSelectChanged(Notification& msg) override {
    if (!StartsWithIgnoreCase(msg.SenderName(), L"menu_lang_") || msg.wParam == 0) return;
    std::wstring name = msg.sender->UserData();
    language_.SetLanguage(L"Lang\\" + name, name);
    ApplyLayoutTexts(main_);
    ApplyLayoutTexts(*GetFrame());
  }

 private:
  LanguageManager& language_;
  Window& main_;
};

TEST_F(UiLanguageTest, SwitchingInTheLanguageDialogRetranslatesBothWindows) {
  skin_.Language().SetLanguage(L"Lang\\ChineseSimplified", L"ChineseSimplified");
  Open(frame_, L"MainFrame.xml", kMainFrame, L"MainFrame");
  Window dialog;
  LanguageChooser chooser(skin_.Language(), frame_);
  dialog.RegisterForm(&chooser);
  ASSERT_TRUE(dialog.Create(L"DlgSoftLanguage.xml", L"DlgSoftLanguage", &frame_).ok());
  dialog.Find<Option>(L"menu_lang_" + skin_.Language().CurrentLanguageName())->SetSelected(true, false);
  EXPECT_EQ(TextOf(dialog, L"dlg_title"), Utf8ToWide("语言"));

  backend_.SetModalHandler([&](Window& shown) {
    ASSERT_TRUE(headless::Select(shown, L"menu_lang_English"));
    EXPECT_EQ(TextOf(frame_, L"chk_install_driver"), L"Install Printer Driver");
    EXPECT_EQ(TextOf(shown, L"dlg_title"), L"Language");
    ASSERT_TRUE(headless::Select(shown, L"menu_lang_ChineseSimplified"));
    EXPECT_EQ(TextOf(frame_, L"chk_install_driver"), Utf8ToWide("安装"));
    ASSERT_TRUE(headless::Select(shown, L"menu_lang_German"));
    headless::CloseFromCaption(shown);
  });
  dialog.ShowModal();

  EXPECT_EQ(skin_.Language().CurrentLanguageName(), L"German");
  EXPECT_EQ(TextOf(frame_, L"chk_install_driver"), L"Druckertreiber installieren");
}

}  // namespace
}  // namespace orvello::ui::test
