#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/text.h"
#include "ui/basic_controls.h"
#include "ui/color.h"
#include "ui/combo.h"
#include "ui/containers.h"
#include "ui/control_factory.h"
#include "ui/grid.h"
#include "ui/layout_values.h"
#include "ui/picture.h"
#include "ui/rich_edit.h"
#include "ui_test_support.h"

namespace orvello::ui::test {
namespace {

const char kMainFrame[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="560,400" caption="0,0,0,32" mininfo="400,300" title="Orvello" roundcorner="4,4">
  <Font id="0" face="Tahoma" size="12" default="true"/>
  <Font id="1" face="Tahoma" size="14" bold="true"/>
  <Default class="Button" textcolor="#FF112233" height="30"/>
  <VerticalLayout name="root" bkcolor="#FFFFFF">
    <HorizontalLayout name="title_bar" height="32" inset="4,0,4,0" childpadding="2">
      <Label name="mainframe_dudez_version" text="1.0" font="1"/>
      <Button name="windowclosebtn" width="32" normalimage="images\close.png" textcolor="#FF00FF00"/>
    </HorizontalLayout>
    <TabLayout name="tab_main">
      <ChildLayout name="form_main" xmlfile="form_main.xml"/>
      <ChildLayout name="form_delete_printer" xmlfile="form_delete_printer.xml"/>
      <ChildLayout name="form_main_again" xmlfile="FORM_MAIN.xml"/>
    </TabLayout>
  </VerticalLayout>
</Window>
)";

const char kFormMain[] = R"(<Window>
  <VerticalLayout name="page_main">
    <Option name="chk_install_driver" group="group_setup_or_delete" selected="true"/>
    <CheckBox name="chk_set_default_printer"/>
    <Edit name="text_find_key" maxchar="20"/>
    <Progress name="process_form_main" min="0" max="200" value="150"/>
    <GifAnim name="pic_loading" delay="200"/>
    <Combo name="cb_info_type"><Item text="DRIVER_INFO_1" data="1"/><Item text="DRIVER_INFO_8" data="8" selected="true"/></Combo>
    <RichEdit name="text_log"/>
    <Tree name="tree_device_info"/>
    <Container name="td_box"><Text name="dudez_tip" text="tip"/></Container>
    <Button name="btn_form_main_next" text="Next"/>
  </VerticalLayout>
</Window>
)";

const char kFormDelete[] = R"(<VerticalLayout name="page_delete">
  <Grid name="grid_delete_printer" checkbox="true" virtual="false">
    <Column text="Printer" width="200"/>
    <Column text="DHCP" checkbox="true"/>
  </Grid>
  <Button name="btn_form_main_next" text="a second button of the same name"/>
</VerticalLayout>
)";

class UiLayoutTest : public UiTest {
 protected:
  void SetUp() override {
    skin_.Put(L"form_main.xml", kFormMain);
    skin_.Put(L"form_delete_printer.xml", kFormDelete);
  }

  std::wstring ParentName(std::wstring_view name) {
    Control* control = window_.FindControl(name);
    return control && control->Parent() ? control->Parent()->Name() : L"<none>";
  }

  Window window_;
};

TEST_F(UiLayoutTest, BuildsEveryKindWithItsNameAndPlace) {
  Open(window_, L"MainFrame.xml", kMainFrame, L"MainFrame");

  struct Case {
    const wchar_t* name;
    ControlKind kind;
    const wchar_t* parent;
  };
  const Case cases[] = {
      {L"root", ControlKind::kVerticalLayout, L"<none>"},
      {L"title_bar", ControlKind::kHorizontalLayout, L"root"},
      {L"mainframe_dudez_version", ControlKind::kLabel, L"title_bar"},
      {L"windowclosebtn", ControlKind::kButton, L"title_bar"},
      {L"tab_main", ControlKind::kTabLayout, L"root"},
      {L"form_main", ControlKind::kChildLayout, L"tab_main"},
      {L"page_main", ControlKind::kVerticalLayout, L"form_main"},
      {L"chk_install_driver", ControlKind::kOption, L"page_main"},
      {L"chk_set_default_printer", ControlKind::kCheckBox, L"page_main"},
      {L"text_find_key", ControlKind::kEdit, L"page_main"},
      {L"process_form_main", ControlKind::kProgress, L"page_main"},
      {L"pic_loading", ControlKind::kPicture, L"page_main"},
      {L"cb_info_type", ControlKind::kCombo, L"page_main"},
      {L"text_log", ControlKind::kRichEdit, L"page_main"},
      {L"tree_device_info", ControlKind::kTree, L"page_main"},
      {L"td_box", ControlKind::kContainer, L"page_main"},
      {L"dudez_tip", ControlKind::kText, L"td_box"},
      {L"form_delete_printer", ControlKind::kChildLayout, L"tab_main"},
      {L"page_delete", ControlKind::kVerticalLayout, L"form_delete_printer"},
      {L"grid_delete_printer", ControlKind::kGrid, L"page_delete"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.name));
    Control* control = window_.FindControl(c.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->Kind(), c.kind);
    EXPECT_EQ(ParentName(c.name), c.parent);
  }
  EXPECT_EQ(window_.Root()->Name(), L"root");
  EXPECT_EQ(window_.ClassName(), L"MainFrame");
}

TEST_F(UiLayoutTest, ReadsWindowFontsDefaultsAndAttributes) {
  Open(window_, L"MainFrame.xml", kMainFrame);

  const WindowAttributes& attributes = window_.Attributes();
  EXPECT_EQ(attributes.size, (Size{560, 400}));
  EXPECT_EQ(attributes.caption, (Rect{0, 0, 0, 32}));
  EXPECT_EQ(attributes.minSize, (Size{400, 300}));
  EXPECT_EQ(window_.Title(), L"Orvello");
  EXPECT_EQ(attributes.extra.at(L"roundcorner"), L"4,4");
  ASSERT_EQ(window_.Fonts().size(), 2u);
  EXPECT_TRUE(window_.Fonts()[0].isDefault);
  EXPECT_TRUE(window_.Fonts()[1].bold);
  EXPECT_EQ(window_.Fonts()[1].size, 14);

  Control* close = window_.FindControl(L"windowclosebtn");
  Control* next = window_.FindControl(L"btn_form_main_next");
  // The class default applies, the control's own attribute wins over it.
  EXPECT_EQ(next->TextColor(), Color{0xFF112233});
  EXPECT_EQ(next->Hints().height, 30);
  EXPECT_EQ(close->TextColor(), Color{0xFF00FF00});
  ASSERT_NE(close->Attribute(L"NormalImage"), nullptr);
  EXPECT_EQ(*close->Attribute(L"normalimage"), L"images\\close.png");
  EXPECT_EQ(close->Attribute(L"hotimage"), nullptr);
  EXPECT_EQ(window_.FindControl(L"mainframe_dudez_version")->Font(), 1);
  EXPECT_EQ(window_.FindControl(L"root")->BkColor(), Color{0xFFFFFFFF});
  EXPECT_EQ(window_.FindControl(L"title_bar")->Hints().inset, (Rect{4, 0, 4, 0}));
  EXPECT_EQ(window_.FindControl(L"title_bar")->Hints().childPadding, 2);

  EXPECT_TRUE(window_.Find<Option>(L"chk_install_driver")->IsSelected());
  EXPECT_EQ(window_.Find<Option>(L"chk_install_driver")->Group(), L"group_setup_or_delete");
  EXPECT_EQ(window_.Find<Edit>(L"text_find_key")->MaxChars(), 20);
  // Attributes come in any order; the value fits the range read later.
  EXPECT_EQ(window_.Find<Progress>(L"process_form_main")->Value(), 150);
  EXPECT_EQ(window_.Find<Picture>(L"pic_loading")->FrameDelay(), 200u);
  auto* combo = window_.Find<Combo>(L"cb_info_type");
  ASSERT_EQ(combo->ItemCount(), 2u);
  EXPECT_EQ(combo->Item(1)->data, 8u);
  EXPECT_EQ(combo->CurrentSelection(), 1);
  auto* grid = window_.Find<Grid>(L"grid_delete_printer");
  ASSERT_EQ(grid->ColumnCount(), 3u);
  EXPECT_TRUE(grid->Column(0)->checkBox);
  EXPECT_EQ(grid->Column(0)->width, 80);
  EXPECT_EQ(grid->CellText(0, 1), L"Printer");
  EXPECT_FALSE(grid->Column(1)->checkBox);
  EXPECT_TRUE(grid->Column(2)->checkBox);
}

TEST_F(UiLayoutTest, IncludedLayoutsAreListedOnceInOrderOfInclusion) {
  Open(window_, L"MainFrame.xml", kMainFrame);

  EXPECT_EQ(window_.LayoutFiles(),
            (std::vector<std::wstring>{L"MainFrame.xml", L"form_main.xml", L"form_delete_printer.xml"}));
  EXPECT_EQ(window_.FindControl(L"tab_main")->LayoutFileIndex(), 0);
  EXPECT_EQ(window_.FindControl(L"form_delete_printer")->LayoutFileIndex(), 0);
  EXPECT_EQ(window_.FindControl(L"chk_install_driver")->LayoutFileIndex(), 1);
  EXPECT_EQ(window_.FindControl(L"grid_delete_printer")->LayoutFileIndex(), 2);
  // The same file included twice gives two subtrees of the same file.
  Control* again = window_.FindControl(L"form_main_again");
  ASSERT_EQ(again->ChildCount(), 1u);
  EXPECT_EQ(again->ChildAt(0)->Name(), L"page_main");
  EXPECT_EQ(again->ChildAt(0)->LayoutFileIndex(), 1);
}

TEST_F(UiLayoutTest, LooksUpNamesIgnoringCaseAndFirstInTreeOrder) {
  Open(window_, L"MainFrame.xml", kMainFrame);

  Control* next = window_.FindControl(L"BTN_Form_Main_Next");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->Text(), L"Next");
  EXPECT_EQ(window_.FindControl(L"no_such_control"), nullptr);
  EXPECT_EQ(window_.FindControl(L""), nullptr);
  // Inside one page the page's own control is found.
  Control* page = window_.FindControl(L"form_delete_printer");
  EXPECT_EQ(window_.Manager().FindSubControl(page, L"btn_form_main_next")->Text(), L"a second button of the same name");
  // A rename moves the control in the index.
  next->SetName(L"btn_renamed");
  EXPECT_EQ(window_.FindControl(L"btn_renamed"), next);
  EXPECT_EQ(window_.FindControl(L"btn_form_main_next")->Text(), L"a second button of the same name");
}

TEST_F(UiLayoutTest, TabLayoutSelectsThePageNamedIgnoringCase) {
  Open(window_, L"MainFrame.xml", kMainFrame);
  auto* tab = window_.Find<TabLayout>(L"tab_main");
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(tab->SelectedChild()->Name(), L"form_main");

  struct Step {
    const wchar_t* request;
    bool accepted;
    const wchar_t* shown;
  };
  const Step steps[] = {
      {L"form_delete_Printer", true, L"form_delete_printer"},
      {L"form_unknown", false, L"form_delete_printer"},
      {L"", false, L"form_delete_printer"},
      {L"FORM_MAIN", true, L"form_main"},
      {L"form_main_again", true, L"form_main_again"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(WideToUtf8(step.request));
    EXPECT_EQ(tab->SelectItem(std::wstring_view(step.request)), step.accepted);
    EXPECT_EQ(tab->SelectedChild()->Name(), step.shown);
  }
  EXPECT_FALSE(tab->SelectItem(7));
  EXPECT_EQ(tab->CurrentSelection(), 2);

  // Only the controls of the selected page are on screen.
  tab->SelectItem(L"form_delete_printer");
  EXPECT_TRUE(window_.FindControl(L"grid_delete_printer")->IsVisibleOnScreen());
  EXPECT_FALSE(window_.FindControl(L"chk_install_driver")->IsVisibleOnScreen());
  EXPECT_TRUE(window_.FindControl(L"chk_install_driver")->IsVisible());
}

struct ProblemCase {
  const char* label;
  std::vector<std::pair<std::wstring, std::string>> files;  // the first is opened
  bool created;
  std::wstring problem;  // a problem that contains this text is reported
};

class UiLayoutProblemTest : public UiTest, public ::testing::WithParamInterface<ProblemCase> {};

TEST_P(UiLayoutProblemTest, IsReportedWhenTheWindowLoads) {
  const ProblemCase& c = GetParam();
  for (const auto& [path, xml] : c.files) skin_.Put(path, xml);
  Window window;
  LoadResult result = window.Create(c.files.front().first, L"Test");

  EXPECT_EQ(result.created, c.created);
  EXPECT_EQ(window.IsCreated(), c.created);
  EXPECT_FALSE(result.ok());
  bool found = false;
  for (const std::wstring& problem : result.problems) found = found || problem.find(c.problem) != std::wstring::npos;
  EXPECT_TRUE(found) << "expected \"" << WideToUtf8(c.problem) << "\" among " << result.problems.size()
                     << " problem(s): " << (result.problems.empty() ? "" : WideToUtf8(result.problems.front()));
}

INSTANTIATE_TEST_SUITE_P(
    UiLayouts, UiLayoutProblemTest,
    ::testing::Values(
        ProblemCase{"UnknownClass",
                    {{L"main.xml", "<Window>\n<VerticalLayout>\n<Buton name=\"x\"/>\n</VerticalLayout>\n</Window>"}},
                    true,
                    L"main.xml(3): unknown control class \"Buton\""},
        ProblemCase{"MalformedXml", {{L"main.xml", "<Window><VerticalLayout></Window>"}}, false, L"main.xml(1): malformed XML"},
        ProblemCase{"EmptyFile", {{L"other.xml", ""}}, false, L"other.xml: the layout file is empty"},
        ProblemCase{"MissingChildLayout",
                    {{L"main.xml", "<Window><VerticalLayout><ChildLayout name=\"p\" xmlfile=\"absent.xml\"/></VerticalLayout></Window>"}},
                    true,
                    L"absent.xml: the layout file is missing"},
        ProblemCase{"MalformedChildLayout",
                    {{L"main.xml", "<Window><ChildLayout xmlfile=\"child.xml\"/></Window>"}, {L"child.xml", "<Label"}},
                    true,
                    L"child.xml(1): malformed XML"},
        ProblemCase{"ChildLayoutIncludingItself",
                    {{L"a.xml", "<Window><ChildLayout name=\"b\" xmlfile=\"b.xml\"/></Window>"},
                     {L"b.xml", "<Window><ChildLayout name=\"a\" xmlfile=\"A.xml\"/></Window>"}},
                    true,
                    L"b.xml(1): \"A.xml\" includes itself"},
        ProblemCase{"ChildLayoutWithoutFile", {{L"main.xml", "<ChildLayout name=\"p\"/>"}}, true, L"ChildLayout without xmlfile"},
        ProblemCase{"BadAttributeValue",
                    {{L"main.xml", "<Window><Button name=\"b\" width=\"wide\"/></Window>"}},
                    true,
                    L"bad value \"wide\" for attribute \"width\""},
        ProblemCase{"BadColour",
                    {{L"main.xml", "<Window><Label textcolor=\"red\"/></Window>"}},
                    true,
                    L"bad value \"red\" for attribute \"textcolor\""},
        ProblemCase{"ControlInsideALabel",
                    {{L"main.xml", "<Window><Label name=\"l\"><Button/></Label></Window>"}},
                    true,
                    L"a Label cannot hold \"Button\""},
        ProblemCase{"BadColumn",
                    {{L"main.xml", "<Window><Grid><Column width=\"x\"/></Grid></Window>"}},
                    true,
                    L"bad value \"x\" for attribute \"width\" of Column"},
        ProblemCase{"TwoRootControls",
                    {{L"main.xml", "<Window><Label/><Button/></Window>"}},
                    true,
                    L"a layout has one root control"},
        ProblemCase{"NoControlAtAll", {{L"main.xml", "<Window><Font id=\"0\"/></Window>"}}, false, L"the window has no control"}),
    [](const ::testing::TestParamInfo<ProblemCase>& info) { return std::string(info.param.label); });

TEST_F(UiLayoutTest, AControlWithAProblemIsLeftOutAndTheRestIsBuilt) {
  skin_.Put(L"main.xml",
            "<Window><VerticalLayout><Buton name=\"x\"><Label name=\"inside\"/></Buton><Label name=\"kept\"/>"
            "<ChildLayout name=\"p\" xmlfile=\"absent.xml\"/></VerticalLayout></Window>");
  LoadResult result = window_.Create(L"main.xml", L"Test");
  ASSERT_TRUE(result.created);
  EXPECT_EQ(result.problems.size(), 2u);
  EXPECT_EQ(window_.FindControl(L"x"), nullptr);
  EXPECT_EQ(window_.FindControl(L"inside"), nullptr);
  EXPECT_NE(window_.FindControl(L"kept"), nullptr);
  EXPECT_EQ(window_.FindControl(L"p")->ChildCount(), 0u);
  EXPECT_EQ(window_.LayoutFiles(), std::vector<std::wstring>{L"main.xml"});
}

TEST_F(UiLayoutTest, AMissingLayoutCreatesNoWindow) {
  LoadResult result = window_.Create(L"DlgAbout.xml", L"DlgAbout");
  EXPECT_FALSE(result.created);
  EXPECT_FALSE(window_.IsCreated());
  EXPECT_EQ(result.problems, std::vector<std::wstring>{L"DlgAbout.xml: the layout file is missing"});
  EXPECT_TRUE(backend_.Windows().empty());
}

// A program control: the message log's model with its two attributes.
class LogControl : public RichEdit {
 public:
  std::wstring ClassName() const override { return L"MsgWnd2UI"; }
  AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value) override {
    if (name == L"showdate") {
      showDate = EqualsIgnoreCase(value, L"true");
      return AttributeResult::kApplied;
    }
    return RichEdit::SetAttribute(name, value);
  }
  bool showDate = true;
};

TEST_F(UiLayoutTest, RegisteredClassesAnswerToTheirTags) {
  const char layout[] = "<Window><VerticalLayout><MsgWnd2 name=\"text_setup_msg\" showdate=\"FALSE\"/>"
                        "<msgwnd2 name=\"second\"/><CMsgWnd2UI name=\"third\"/></VerticalLayout></Window>";
  skin_.Put(L"log.xml", layout);
  {
    Window unregistered;
    LoadResult result = unregistered.Create(L"log.xml", L"Test");
    EXPECT_EQ(result.problems.size(), 3u);
  }

  RegisterControlClass(L"CMsgWnd2UI", [] { return std::make_unique<LogControl>(); });
  LoadResult result = window_.Create(L"log.xml", L"Test");
  UnregisterControlClass(L"CMsgWnd2UI");

  EXPECT_TRUE(result.ok());
  auto* log = window_.Find<LogControl>(L"text_setup_msg");
  ASSERT_NE(log, nullptr);
  EXPECT_FALSE(log->showDate);
  EXPECT_EQ(log->Kind(), ControlKind::kRichEdit);
  EXPECT_EQ(log->ClassName(), L"MsgWnd2UI");
  EXPECT_NE(window_.Find<LogControl>(L"second"), nullptr);
  EXPECT_NE(window_.Find<LogControl>(L"third"), nullptr);
  EXPECT_EQ(CreateControl(L"MsgWnd2"), nullptr);
}

TEST(UiLayoutValues, ParseWhatLayoutsWrite) {
  struct ColorCase {
    const wchar_t* text;
    std::optional<uint32_t> argb;
  };
  const ColorCase colors[] = {
      {L"#FF0000FF", 0xFF0000FF}, {L"#0000ff", 0xFF0000FF}, {L"0x80FFFFFF", 0x80FFFFFF},
      {L"#FFF", std::nullopt},    {L"FF0000", std::nullopt}, {L"#GG0000", std::nullopt},
  };
  for (const ColorCase& c : colors) {
    SCOPED_TRACE(WideToUtf8(c.text));
    auto parsed = ParseColor(c.text);
    EXPECT_EQ(parsed.has_value(), c.argb.has_value());
    if (parsed && c.argb) EXPECT_EQ(parsed->argb, *c.argb);
  }
  EXPECT_EQ(ParseLayoutRect(L"1, 2,3 ,4"), (Rect{1, 2, 3, 4}));
  EXPECT_EQ(ParseLayoutRect(L"5"), (Rect{5, 5, 5, 5}));
  EXPECT_EQ(ParseLayoutRect(L"1,2,3"), std::nullopt);
  EXPECT_EQ(ParseLayoutSize(L"560,400"), (Size{560, 400}));
  EXPECT_EQ(ParseLayoutSize(L"560"), std::nullopt);
  EXPECT_EQ(ParseLayoutInt(L"-12"), -12);
  EXPECT_EQ(ParseLayoutInt(L"12px"), std::nullopt);
  EXPECT_EQ(ParseLayoutBool(L"TRUE"), true);
  EXPECT_EQ(ParseLayoutBool(L"0"), false);
  EXPECT_EQ(ParseLayoutBool(L"yes"), std::nullopt);
  // COLORREF is 0x00BBGGRR.
  EXPECT_EQ(Color::FromColorRef(0xFF0000).argb, 0xFF0000FFu);
  EXPECT_EQ((Color{0xFFFF0000}).ToColorRef(), 0x0000FFu);
}

}  // namespace
}  // namespace orvello::ui::test
