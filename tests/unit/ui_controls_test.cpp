#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/basic_controls.h"
#include "ui/combo.h"
#include "ui/containers.h"
#include "ui/control_factory.h"
#include "ui/grid.h"
#include "ui/headless/actions.h"
#include "ui/rich_edit.h"
#include "ui/tree.h"
#include "ui_test_support.h"

namespace orvello::ui::test {
namespace {

using namespace headless;

const char kLayout[] = R"(<Window size="400,300"><VerticalLayout name="root">
  <TabLayout name="tab_main">
    <VerticalLayout name="form_printer_port">
      <Option name="chk_port_usb" group="group_port" selected="true"/>
      <Option name="chk_port_net" group="group_port"/>
      <Option name="chk_port_custom" group="GROUP_PORT"/>
      <Option name="chk_other_group" group="group_other" selected="true"/>
      <CheckBox name="chk_set_default_printer" selected="true"/>
      <Edit name="text_find_key" maxchar="4"/>
      <Edit name="text_readonly" readonly="true" text="fixed"/>
      <Label name="dudez_label" text="a label"/>
      <Button name="btn_disabled" enabled="false"/>
      <Button name="btn_hidden" visible="false"/>
      <HorizontalLayout name="disabled_row" enabled="false"><Button name="btn_in_disabled_row"/></HorizontalLayout>
      <Combo name="cb_info_type"/>
      <Tree name="tree_device_info"/>
      <RichEdit name="text_setup_msg"/>
      <Progress name="process_form_main"/>
    </VerticalLayout>
    <VerticalLayout name="form_printer_mode">
      <Grid name="grid_printer_mode" checkbox="true" virtual="true"><Column text="Model"/><Column text="Port"/></Grid>
      <Grid name="grid_printer_udp" checkbox="true"><Column text="Name"/><Column text="DHCP" checkbox="true"/></Grid>
    </VerticalLayout>
  </TabLayout>
</VerticalLayout></Window>)";

// Writes "<type>:<sender>:<wParam>:<lParam>" and the sender's text for edits.
class EventLog : public CUIForm {
 public:
  void Notify(Notification& msg) override {
    std::wstring entry = msg.type + L":" + msg.SenderName() + L":" + std::to_wstring(msg.wParam) + L":" +
                         std::to_wstring(msg.lParam);
    if (msg.Is(notify::kTextChanged)) entry += L":" + msg.sender->Text();
    if (!msg.Is(notify::kWindowInit) && !msg.Is(notify::kTabSelect)) log.push_back(entry);
    CUIForm::Notify(msg);
  }
  void OnDrawItem(Notification& msg) override {
    if (onDraw) onDraw(msg);
  }
  void OnMenuUpdate(MenuItem& item) override {
    updated.push_back(item.name);
    if (item.name == L"menu_lang_English") item.checked = true;
  }
  void OnMenuCommand(const MenuItem& item) override { log.push_back(L"menu:" + item.name + L":" + item.userData); }

  std::vector<std::wstring> log;
  std::vector<std::wstring> updated;
  std::function<void(Notification&)> onDraw;
};

class UiControlsTest : public UiTest {
 protected:
  void SetUp() override {
    window_.RegisterForm(&events_);
    Open(window_, L"controls.xml", kLayout);
    events_.log.clear();
  }
  void ShowPage(const wchar_t* page) {
    window_.Find<TabLayout>(L"tab_main")->SelectItem(std::wstring_view(page));
    backend_.Pump();
  }
  std::vector<std::wstring> TakeLog() { return std::exchange(events_.log, {}); }

  Window window_;
  EventLog events_;
};

TEST_F(UiControlsTest, SelectingAnOptionUnselectsTheRestOfItsGroup) {
  auto* usb = window_.Find<Option>(L"chk_port_usb");
  auto* net = window_.Find<Option>(L"chk_port_net");
  auto* custom = window_.Find<Option>(L"chk_port_custom");
  auto* other = window_.Find<Option>(L"chk_other_group");

  ASSERT_TRUE(Click(window_, L"chk_port_net"));
  EXPECT_EQ(TakeLog(), (std::vector<std::wstring>{L"click:chk_port_net:0:0", L"selectchanged:chk_port_usb:0:0",
                                                  L"selectchanged:chk_port_net:1:0"}));
  EXPECT_FALSE(usb->IsSelected());
  EXPECT_TRUE(net->IsSelected());
  EXPECT_TRUE(other->IsSelected());

  // Group names are compared ignoring letter case.
  Click(window_, L"chk_port_custom");
  EXPECT_TRUE(custom->IsSelected());
  EXPECT_FALSE(net->IsSelected());
  TakeLog();

  // Clicking the selected option changes nothing.
  Click(window_, L"chk_port_custom");
  EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"click:chk_port_custom:0:0"});

  // The program may select silently.
  usb->SetSelected(true, false);
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_TRUE(usb->IsSelected());
  EXPECT_FALSE(custom->IsSelected());

  // Select clicks only an option that is not selected yet.
  EXPECT_TRUE(Select(window_, L"chk_port_usb"));
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_TRUE(Select(window_, L"chk_port_net"));
  EXPECT_EQ(TakeLog().size(), 3u);
}

TEST_F(UiControlsTest, CheckBoxesToggle) {
  auto* box = window_.Find<CheckBox>(L"chk_set_default_printer");
  Click(window_, L"chk_set_default_printer");
  EXPECT_FALSE(box->IsChecked());
  EXPECT_EQ(TakeLog(), (std::vector<std::wstring>{L"click:chk_set_default_printer:0:0",
                                                  L"selectchanged:chk_set_default_printer:0:0"}));
  EXPECT_TRUE(SetChecked(window_, L"chk_set_default_printer", true));
  EXPECT_TRUE(box->IsChecked());
  EXPECT_TRUE(SetChecked(window_, L"chk_set_default_printer", true));
  EXPECT_EQ(TakeLog().size(), 2u);
}

TEST_F(UiControlsTest, TypingRaisesTextChangedPerCharacterAndTheProgramsTextNothing) {
  auto* edit = window_.Find<Edit>(L"text_find_key");
  ASSERT_TRUE(TypeText(window_, L"text_find_key", L"ab"));
  EXPECT_EQ(TakeLog(), (std::vector<std::wstring>{L"textchanged:text_find_key:0:0:a", L"textchanged:text_find_key:0:0:ab"}));

  edit->SetText(L"xyz");
  EXPECT_TRUE(TakeLog().empty());
  TypeText(window_, L"text_find_key", L"");
  EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"textchanged:text_find_key:0:0:"});
  // The limit cuts what is typed.
  TypeText(window_, L"text_find_key", L"abcdef");
  EXPECT_EQ(edit->Text(), L"abcd");
  EXPECT_EQ(TakeLog().size(), 4u);

  EXPECT_FALSE(TypeText(window_, L"text_readonly", L"x"));
  EXPECT_EQ(window_.FindControl(L"text_readonly")->Text(), L"fixed");
}

TEST_F(UiControlsTest, UsersCannotReachWhatTheyCannotSeeOrUse) {
  const wchar_t* refused[] = {L"btn_disabled", L"btn_hidden", L"btn_in_disabled_row", L"grid_printer_udp",
                              L"no_such_control", L"dudez_label"};
  for (const wchar_t* name : refused) {
    SCOPED_TRACE(WideToUtf8(name));
    EXPECT_FALSE(Click(window_, name));
  }
  EXPECT_FALSE(ClickGridRow(window_, L"grid_printer_udp", 0));  // on the page not shown
  EXPECT_FALSE(TypeText(window_, L"chk_port_net", L"x"));       // not an edit box
  EXPECT_TRUE(TakeLog().empty());

  window_.FindControl(L"btn_disabled")->SetEnabled(true);
  EXPECT_TRUE(Click(window_, L"btn_disabled"));
  window_.Show(false);
  EXPECT_FALSE(Click(window_, L"btn_disabled"));
}

TEST_F(UiControlsTest, GridRowsCarryCellsChecksColoursDataAndAHighlight) {
  auto* grid = window_.Find<Grid>(L"grid_printer_udp");
  EXPECT_EQ(grid->RowCount(), 1);
  for (const wchar_t* name : {L"P1", L"P2", L"P3"}) {
    int row = grid->AddRow();
    grid->SetCellText(row, 1, name);
    grid->SetItemData(row, static_cast<uintptr_t>(row * 10));
  }
  ASSERT_EQ(grid->RowCount(), 4);
  EXPECT_EQ(grid->CellText(2, 1), L"P2");
  EXPECT_EQ(grid->CellText(0, 1), L"Name");
  EXPECT_EQ(grid->CellText(9, 1), L"");
  EXPECT_FALSE(grid->SetCellText(9, 1, L"x"));
  EXPECT_EQ(grid->ItemData(3), 30u);

  grid->SetCheck(1, true);
  grid->CheckOnly(3);
  EXPECT_EQ(grid->CheckedRows(), std::vector<int>{3});
  EXPECT_TRUE(grid->SetCheck(2, true, 2));  // the second check-box column
  EXPECT_EQ(grid->CheckedRows(2), std::vector<int>{2});
  EXPECT_EQ(grid->CheckedRows(), std::vector<int>{3});
  EXPECT_FALSE(grid->SetCheck(2, true, 1));  // a text column has no box
  EXPECT_FALSE(grid->SetCheck(0, true));     // nor the header

  // Highlighting and checking are independent.
  grid->SelectRow(2);
  EXPECT_EQ(grid->SelectedRow(), 2);
  EXPECT_EQ(grid->CheckedRows(), std::vector<int>{3});
  EXPECT_FALSE(grid->SelectRow(0));
  EXPECT_EQ(grid->SelectedRow(), 2);

  grid->SetCellTextColor(1, 1, Color{0xFFFF0000});
  EXPECT_EQ(grid->CellTextColor(1, 1), Color{0xFFFF0000});
  EXPECT_EQ(grid->CellTextColor(2, 1), std::nullopt);

  // Removing a row above the highlight moves it up with its row.
  grid->RemoveRow(1);
  EXPECT_EQ(grid->SelectedRow(), 1);
  EXPECT_EQ(grid->CellText(1, 1), L"P2");
  EXPECT_EQ(grid->CheckedRows(), std::vector<int>{2});
  grid->RemoveAllRows();
  EXPECT_EQ(grid->RowCount(), 1);
  EXPECT_EQ(grid->SelectedRow(), -1);
  EXPECT_EQ(grid->CellText(0, 2), L"DHCP");
}

TEST_F(UiControlsTest, GridClicksHighlightAndNotifyButLeaveTheBoxesToTheForm) {
  ShowPage(L"form_printer_mode");
  auto* grid = window_.Find<Grid>(L"grid_printer_udp");
  grid->AddRow();
  grid->AddRow();
  grid->SetCheck(1, true);
  TakeLog();

  ASSERT_TRUE(ClickGridRow(window_, L"grid_printer_udp", 2));
  EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"click:grid_printer_udp:2:1"});
  EXPECT_EQ(grid->SelectedRow(), 2);
  EXPECT_EQ(grid->CheckedRows(), std::vector<int>{1});

  ClickGridRow(window_, L"grid_printer_udp", 0, 3);
  EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"click:grid_printer_udp:0:3"});
  EXPECT_EQ(grid->SelectedRow(), 2);
  EXPECT_FALSE(ClickGridRow(window_, L"grid_printer_udp", 3));

  ASSERT_TRUE(CheckGridRow(window_, L"grid_printer_udp", 2, true, 2));
  EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"valuechanged:grid_printer_udp:2:2"});
  EXPECT_TRUE(grid->IsChecked(2, 2));
  EXPECT_FALSE(CheckGridRow(window_, L"grid_printer_udp", 2, true, 1));
}

TEST_F(UiControlsTest, AVirtualGridAsksForItsRowsWhenItIsDrawnOnScreen) {
  auto* grid = window_.Find<Grid>(L"grid_printer_mode");
  std::vector<std::pair<int, int>> asked;
  events_.onDraw = [&](Notification& msg) {
    if (!msg.IsFrom(L"grid_printer_mode")) return;
    asked.emplace_back(static_cast<int>(msg.wParam), static_cast<int>(msg.lParam));
    for (int row = static_cast<int>(msg.wParam); row <= msg.lParam; ++row) {
      grid->SetCellText(row, 1, L"model " + std::to_wstring(row));
      grid->SetCheck(row, row == 2);
    }
  };

  grid->SetVirtualRowCount(3);
  grid->Redraw();
  EXPECT_EQ(grid->RowCount(), 4);
  backend_.Pump();
  EXPECT_TRUE(asked.empty());  // its page is not shown

  ShowPage(L"form_printer_mode");
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{1, 3}}));
  EXPECT_EQ(grid->CellText(3, 1), L"model 3");
  EXPECT_EQ(grid->CheckedRows(), std::vector<int>{2});
  backend_.Pump();
  EXPECT_EQ(asked.size(), 1u);  // drawn once until redrawn

  grid->SetVirtualRowCount(1);
  grid->Redraw();
  backend_.Pump();
  EXPECT_EQ(asked.back(), (std::pair<int, int>{1, 1}));
  EXPECT_EQ(grid->CellText(2, 1), L"");
  grid->SetVirtualRowCount(0);
  grid->Redraw();
  backend_.Pump();
  EXPECT_EQ(asked.size(), 2u);  // no data rows, nothing to ask for
  EXPECT_FALSE(grid->NeedsDraw());
}

TEST_F(UiControlsTest, ComboSelectionsRaiseItemSelect) {
  auto* combo = window_.Find<Combo>(L"cb_info_type");
  for (int level : {1, 2, 8}) combo->AddItem(L"DRIVER_INFO_" + std::to_wstring(level), static_cast<uintptr_t>(level));
  EXPECT_EQ(combo->CurrentSelection(), -1);

  EXPECT_TRUE(combo->SelectItem(2));
  EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"itemselect:cb_info_type:2:-1"});
  EXPECT_TRUE(SelectComboItem(window_, L"cb_info_type", 0));
  EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"itemselect:cb_info_type:0:2"});
  EXPECT_EQ(combo->Item(combo->CurrentSelection())->data, 1u);
  combo->SelectItem(1, false);
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_FALSE(combo->SelectItem(3));
  EXPECT_FALSE(SelectComboItem(window_, L"cb_info_type", 5));
  combo->RemoveAll();
  EXPECT_EQ(combo->CurrentSelection(), -1);
  EXPECT_EQ(combo->Item(0), nullptr);
}

// A tree that fills a node's children when it is first expanded, as the
// shell tree does.
class LazyTree : public Tree {
 protected:
  void OnExpanding(TreeNode& node) override {
    if (node.ChildCount() == 0) AddNode(&node, node.text + L"/child");
  }
};

TEST_F(UiControlsTest, TreesSelectAndExpandNodes) {
  RegisterControlClass(L"CTreeShellUI", [] { return std::make_unique<LazyTree>(); });
  skin_.Put(L"tree.xml", "<Window><TreeShell name=\"tree_device_info\"/></Window>");
  Window window;
  EventLog events;
  window.RegisterForm(&events);
  Open(window, L"tree.xml", "<Window><TreeShell name=\"tree_device_info\"/></Window>");
  UnregisterControlClass(L"CTreeShellUI");
  auto* tree = window.Find<Tree>(L"tree_device_info");
  ASSERT_NE(tree, nullptr);
  events.log.clear();

  TreeNode* desktop = tree->AddNode(nullptr, L"Desktop", 7);
  desktop->expandable = true;
  TreeNode* usb = tree->AddNode(nullptr, L"USB");
  TreeNode* printer = tree->AddNode(usb, L"Printer");
  EXPECT_EQ(tree->NodeCount(), 3u);
  EXPECT_EQ(printer->Parent(), usb);

  ASSERT_TRUE(SelectTreeNode(window, L"tree_device_info", printer));
  EXPECT_EQ(tree->SelectedNode(), printer);
  EXPECT_EQ(events.log,
            std::vector<std::wstring>{L"selectchanged:tree_device_info:1:" + std::to_wstring(reinterpret_cast<LParam>(printer))});
  events.log.clear();

  ASSERT_TRUE(ExpandTreeNode(window, L"tree_device_info", desktop));
  EXPECT_TRUE(desktop->IsExpanded());
  ASSERT_EQ(desktop->ChildCount(), 1u);
  EXPECT_EQ(desktop->ChildAt(0)->text, L"Desktop/child");
  EXPECT_EQ(events.log.size(), 1u);
  EXPECT_EQ(events.log[0].substr(0, 28), L"itemexpand:tree_device_info:");
  ExpandTreeNode(window, L"tree_device_info", desktop, false);
  EXPECT_FALSE(desktop->IsExpanded());
  EXPECT_EQ(tree->FindNode([](const TreeNode& node) { return node.data == 7; }), desktop);

  // Removing a node takes the selection inside it along.
  tree->RemoveNode(usb);
  EXPECT_EQ(tree->SelectedNode(), nullptr);
  EXPECT_EQ(tree->NodeCount(), 2u);
  TreeNode stranger;
  EXPECT_FALSE(SelectTreeNode(window, L"tree_device_info", &stranger));
  EXPECT_EQ(tree->AddNode(&stranger, L"x"), nullptr);
}

const char kMenu[] = R"(<Menu>
  <MenuItem name="menu_lang_English" text="English" userdata="English"/>
  <MenuItem name="menu_lang_German" text="Deutsch" userdata="German" resourceid="3"/>
  <Separator/>
  <MenuItem name="menu_more" text="More"><MenuItem name="menu_lang_French" text="Francais" userdata="French"/></MenuItem>
  <MenuItem name="menu_off" text="Off" enabled="false"/>
</Menu>)";

TEST_F(UiControlsTest, MenusAreUpdatedBeforeTheyShowAndReportTheChosenItem) {
  skin_.Put(L"MenuLanguage.xml", kMenu);
  LoadResult result = window_.TrackMenu(L"MenuLanguage.xml", Point{10, 20});
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(events_.updated, (std::vector<std::wstring>{L"menu_lang_English", L"menu_lang_German", L"menu_more",
                                                        L"menu_lang_French", L"menu_off"}));
  ASSERT_NE(window_.OpenMenu(), nullptr);
  EXPECT_TRUE(window_.OpenMenu()->Find(L"MENU_LANG_ENGLISH")->checked);
  EXPECT_FALSE(window_.OpenMenu()->Find(L"menu_lang_German")->checked);
  EXPECT_EQ(backend_.LastMenuPoint(), (Point{10, 20}));

  EXPECT_FALSE(ChooseMenuItem(window_, L"menu_off"));
  EXPECT_FALSE(ChooseMenuItem(window_, L"menu_more"));
  EXPECT_FALSE(ChooseMenuItem(window_, L"menu_none"));
  EXPECT_TRUE(ChooseMenuItem(window_, L"menu_lang_french"));
  EXPECT_EQ(TakeLog(), std::vector<std::wstring>{L"menu:menu_lang_French:French"});
  EXPECT_EQ(window_.OpenMenu(), nullptr);
  EXPECT_FALSE(ChooseMenuItem(window_, L"menu_lang_German"));

  skin_.Put(L"MenuBad.xml", "<Menu><Item name=\"x\"/></Menu>");
  result = window_.TrackMenu(L"MenuBad.xml", Point{});
  EXPECT_TRUE(result.created);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0], L"MenuBad.xml(1): unknown menu element \"Item\"");
  EXPECT_FALSE(window_.TrackMenu(L"MenuMissing.xml", Point{}).created);
}

TEST_F(UiControlsTest, RichEditKeepsColouredRunsAndCountsLines) {
  auto* log = window_.Find<RichEdit>(L"text_setup_msg");
  EXPECT_EQ(log->LineCount(), 1u);
  backend_.ClearChanges();
  log->AppendText(L"first\r", Color::FromColorRef(0xFF0000));
  log->AppendText(L"\nsecond\r\n", Color::FromColorRef(0x0000FF));
  EXPECT_EQ(log->LineCount(), 3u);
  EXPECT_EQ(log->Text(), L"first\r\nsecond\r\n");
  ASSERT_EQ(log->Runs().size(), 2u);
  EXPECT_EQ(log->Runs()[1].color.ToColorRef(), 0x0000FFu);
  ASSERT_EQ(backend_.Changes().size(), 2u);
  EXPECT_EQ(backend_.Changes()[1].what, Change::kAppend);
  EXPECT_EQ(backend_.Changes()[1].control, log);
  log->SetText(L"a\nb");
  EXPECT_EQ(log->LineCount(), 2u);
  EXPECT_EQ(log->Runs().size(), 1u);
  log->Clear();
  EXPECT_EQ(log->Text(), L"");
  EXPECT_EQ(log->LineCount(), 1u);
}

TEST_F(UiControlsTest, ChangesReachTheBackendAndLayoutFollowsVisibility) {
  auto* progress = window_.Find<Progress>(L"process_form_main");
  progress->SetValue(150);
  EXPECT_EQ(progress->Value(), 100);
  progress->SetRange(0, 500);
  progress->SetValue(150);
  EXPECT_EQ(progress->Value(), 150);

  backend_.ClearChanges();
  Control* label = window_.FindControl(L"dudez_label");
  label->SetText(L"changed");
  label->SetText(L"changed");
  label->SetVisible(false);
  ASSERT_EQ(backend_.Changes().size(), 2u);
  EXPECT_EQ(backend_.Changes()[0].what, Change::kText);
  EXPECT_EQ(backend_.Changes()[1].what, Change::kVisible);
  EXPECT_TRUE(window_.IsLayoutPending());
  backend_.Pump();
  EXPECT_FALSE(window_.IsLayoutPending());
  EXPECT_TRUE(label->Pos().IsEmpty());
}

}  // namespace
}  // namespace orvello::ui::test
