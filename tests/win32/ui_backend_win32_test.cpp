// The toolkit's Win32 backend over real common controls (under Wine with a
// display): each model control gets its native window, the user's native
// input reaches the model, and the program's changes reach the screen.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "system/text.h"
#include "ui/basic_controls.h"
#include "ui/combo.h"
#include "ui/containers.h"
#include "ui/form.h"
#include "ui/grid.h"
#include "ui/rich_edit.h"
#include "ui/skin.h"
#include "ui/toolkit.h"
#include "ui/tree.h"
#include "ui/win32/control_names.h"
#include "ui/win32/win32_backend.h"

namespace orvello::ui::win32 {
namespace {

// A white 4 x 2 PNG with alpha.
const uint8_t kPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x04, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x7f, 0xa8, 0x7d, 0x63, 0x00, 0x00, 0x00,
    0x0e, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0x8f, 0x06, 0x18, 0xd0, 0x05, 0x00, 0x1e, 0x20, 0x1f,
    0xe1, 0x16, 0x9d, 0x85, 0x07, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

const char kLayout[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="400,300" caption="0,0,0,32" title="Backend test">
  <Font id="0" face="Microsoft YaHei" size="12" default="true"/>
  <Font id="1" face="Microsoft YaHei" size="16" bold="true"/>
  <VerticalLayout name="root" bkcolor="#FFFFFFFF">
    <HorizontalLayout name="bar" height="32" bkcolor="#FF0F5BA8">
      <Label name="title" text="Title" font="1" textcolor="#FFFFFFFF"/>
      <Button name="imgbtn" width="32" image="images\x.png" tooltip="Close"/>
    </HorizontalLayout>
    <TabLayout name="tabs">
      <VerticalLayout name="page1" inset="10,4,10,4">
        <Option name="opt_a" group="g" selected="true" height="24" text="A"/>
        <Option name="opt_b" group="g" height="24" text="B"/>
        <CheckBox name="chk" height="24" text="C"/>
        <Edit name="edit" height="24" padding="0,0,100,0"/>
        <Progress name="progress" height="10" value="30"/>
        <Combo name="combo" height="24"><Item text="one"/><Item text="two"/></Combo>
        <HorizontalLayout height="30">
          <HorizontalLayout/>
          <Button name="btn_ok" text="OK" width="88" default="true"/>
          <Button name="btn_no" text="Cancel" width="88" cancel="true"/>
        </HorizontalLayout>
      </VerticalLayout>
      <VerticalLayout name="page2">
        <Grid name="grid" checkbox="true" rowheight="22" headerheight="30"><Column text="Model" width="120"/><Column text="Port" width="80"/></Grid>
        <RichEdit name="log" height="60"/>
        <Tree name="tree" height="60"/>
        <Picture name="pic" image="images\x.png" height="20"/>
      </VerticalLayout>
    </TabLayout>
  </VerticalLayout>
</Window>)";

class Recorder : public CUIForm {
 public:
  void Notify(Notification& msg) override { log.push_back(msg.type + L":" + msg.SenderName()); }
  bool HandleMessage(uint32_t message, WParam wParam, LParam) override {
    if (message == kWmKeyDown) keys.push_back({static_cast<int>(wParam), IsKeyDown(kVkControl)});
    return false;
  }
  bool Saw(const std::wstring& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
  size_t Count(const std::wstring& entry) const { return std::count(log.begin(), log.end(), entry); }

  std::vector<std::wstring> log;
  std::vector<std::pair<int, bool>> keys;
};

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[128] = {};
  GetClassNameW(hwnd, name, 128);
  return name;
}

std::wstring TextOf(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return text;
}

// The native rectangle of a control inside its top-level window.
RECT ClientRectOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class BackendTest : public ::testing::Test {
 protected:
  explicit BackendTest(double scale = 1.0) : backend_(GetModuleHandleW(nullptr), scale) {
    files_[L"TEST.XML"] = kLayout;
    files_[L"IMAGES\\X.PNG"] = std::string(reinterpret_cast<const char*>(kPng), sizeof kPng);
    SetSkinReader([this](std::wstring_view path) -> std::optional<std::vector<uint8_t>> {
      auto found = files_.find(ToUpper(path));
      if (found == files_.end()) return std::nullopt;
      return std::vector<uint8_t>(found->second.begin(), found->second.end());
    });
  }
  ~BackendTest() override {
    window_.Destroy();
    SetSkinReader(nullptr);
  }

  void Open() {
    window_.RegisterForm(&form_);
    LoadResult result = window_.Create(L"test.xml", L"OrvelloBackendTest");
    ASSERT_TRUE(result.ok()) << (result.problems.empty() ? "not created" : WideToUtf8(result.problems.front()));
    window_.Show();
    Pump();
  }
  void Pump() { backend_.ProcessPendingMessages(); }
  // Pumps until `done` or a generous limit (a failing case, not a timing).
  template <typename F>
  bool PumpUntil(F done) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
      if (std::chrono::steady_clock::now() > limit) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      Pump();
    }
    return true;
  }
  HWND Native(std::wstring_view name) {
    Control* control = window_.FindControl(name);
    return control ? Win32Backend::ControlHandleOf(*control) : nullptr;
  }
  HWND Frame() { return Win32Backend::WindowHandleOf(window_); }
  void ShowPage(const wchar_t* page) {
    window_.Find<TabLayout>(L"tabs")->SelectItem(page);
    Pump();
  }

  Win32Backend backend_;
  std::map<std::wstring, std::string> files_;
  Window window_;
  Recorder form_;
};

TEST_F(BackendTest, EveryControlHasANamedNativeWindowOfItsClass) {
  Open();
  ASSERT_NE(Frame(), nullptr);
  EXPECT_EQ(ClassOf(Frame()), L"OrvelloBackendTest");
  EXPECT_EQ(TextOf(Frame()), L"Backend test");
  EXPECT_EQ(GetWindowLongW(Frame(), GWL_STYLE) & WS_CAPTION, 0);
  struct Case {
    const wchar_t* name;
    const wchar_t* nativeClass;
    ControlKind kind;
  } cases[] = {
      {L"title", L"Static", ControlKind::kLabel},        {L"imgbtn", L"Button", ControlKind::kButton},
      {L"opt_a", L"Button", ControlKind::kOption},       {L"chk", L"Button", ControlKind::kCheckBox},
      {L"edit", L"Edit", ControlKind::kEdit},            {L"progress", L"msctls_progress32", ControlKind::kProgress},
      {L"combo", L"ComboBox", ControlKind::kCombo},      {L"grid", L"SysListView32", ControlKind::kGrid},
      {L"log", L"RichEdit20W", ControlKind::kRichEdit},  {L"tree", L"SysTreeView32", ControlKind::kTree},
      {L"pic", L"Static", ControlKind::kPicture},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.name));
    HWND hwnd = Native(c.name);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetParent(hwnd), Frame());
    EXPECT_TRUE(EqualsIgnoreCase(ClassOf(hwnd), c.nativeClass)) << WideToUtf8(ClassOf(hwnd));
    EXPECT_EQ(ControlNameOf(hwnd), c.name);
    EXPECT_EQ(ControlKindOf(hwnd), static_cast<int>(c.kind));
  }
  // Containers have no native window.
  EXPECT_EQ(Native(L"bar"), nullptr);
  EXPECT_EQ(Native(L"page1"), nullptr);
}

TEST(ControlNames, KindNamesFollowTheToolkitsKinds) {
  ASSERT_EQ(std::size(kKindNames), static_cast<size_t>(ControlKind::kTree) + 1);
  for (size_t i = 0; i < std::size(kKindNames); ++i)
    EXPECT_EQ(KindTag(static_cast<ControlKind>(i)), kKindNames[i]);
}

TEST_F(BackendTest, NativeClicksReachTheModel) {
  Open();
  SendMessageW(Native(L"btn_ok"), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(form_.Saw(L"click:btn_ok"));

  // The model decides the option group; the native boxes follow it.
  SendMessageW(Native(L"opt_b"), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(window_.Find<Option>(L"opt_b")->IsSelected());
  EXPECT_FALSE(window_.Find<Option>(L"opt_a")->IsSelected());
  EXPECT_EQ(SendMessageW(Native(L"opt_b"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Native(L"opt_a"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  window_.Find<Option>(L"opt_a")->SetSelected(true, false);
  EXPECT_EQ(SendMessageW(Native(L"opt_a"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Native(L"opt_b"), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  SendMessageW(Native(L"chk"), BM_CLICK, 0, 0);
  SendMessageW(Native(L"chk"), BM_CLICK, 0, 0);
  SendMessageW(Native(L"chk"), BM_CLICK, 0, 0);
  EXPECT_TRUE(window_.Find<CheckBox>(L"chk")->IsChecked());
  EXPECT_EQ(SendMessageW(Native(L"chk"), BM_GETCHECK, 0, 0), BST_CHECKED);

  // A disabled button takes no clicks.
  window_.FindControl(L"btn_no")->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(Native(L"btn_no")));
  SendMessageW(Native(L"btn_no"), BM_CLICK, 0, 0);
  EXPECT_FALSE(form_.Saw(L"click:btn_no"));
}

TEST_F(BackendTest, TypingRaisesTextChangedAndTheProgramsTextDoesNot) {
  Open();
  HWND edit = Native(L"edit");
  SendMessageW(edit, WM_CHAR, L'a', 1);
  SendMessageW(edit, WM_CHAR, L'b', 1);
  EXPECT_EQ(window_.FindControl(L"edit")->Text(), L"ab");
  EXPECT_EQ(form_.Count(L"textchanged:edit"), 2u);

  window_.FindControl(L"edit")->SetText(L"from the program");
  EXPECT_EQ(TextOf(edit), L"from the program");
  EXPECT_EQ(form_.Count(L"textchanged:edit"), 2u);

  // What an outside driver does: WM_SETTEXT, which notifies like typing.
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"driven"));
  EXPECT_EQ(window_.FindControl(L"edit")->Text(), L"driven");
  EXPECT_EQ(form_.Count(L"textchanged:edit"), 3u);
}

TEST_F(BackendTest, ComboAndProgressShowTheModel) {
  Open();
  HWND combo = Native(L"combo");
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
  window_.Find<Combo>(L"combo")->SelectItem(1, false);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
  SendMessageW(Frame(), backend_.ActionMessage(), reinterpret_cast<WPARAM>(combo), PackUiAction(UiAction::kSelectItem, 0));
  EXPECT_EQ(window_.Find<Combo>(L"combo")->CurrentSelection(), 0);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(form_.Saw(L"itemselect:combo"));

  EXPECT_EQ(SendMessageW(Native(L"progress"), PBM_GETPOS, 0, 0), 30);
  window_.Find<Progress>(L"progress")->SetValue(75);
  EXPECT_EQ(SendMessageW(Native(L"progress"), PBM_GETPOS, 0, 0), 75);
}

TEST_F(BackendTest, TabPagesShowAndHideTheirNativeControls) {
  Open();
  EXPECT_TRUE(IsWindowVisible(Native(L"edit")));
  EXPECT_FALSE(IsWindowVisible(Native(L"grid")));
  ShowPage(L"page2");
  EXPECT_FALSE(IsWindowVisible(Native(L"edit")));
  EXPECT_FALSE(IsWindowVisible(Native(L"btn_ok")));
  EXPECT_TRUE(IsWindowVisible(Native(L"grid")));
  EXPECT_TRUE(IsWindowVisible(Native(L"log")));
  // A hidden control stays hidden on its shown page.
  window_.FindControl(L"log")->SetVisible(false);
  Pump();
  EXPECT_FALSE(IsWindowVisible(Native(L"log")));
  EXPECT_TRUE(IsWindowVisible(Native(L"tree")));
}

TEST_F(BackendTest, GridRowsChecksAndColoursReachTheListView) {
  Open();
  ShowPage(L"page2");
  auto* grid = window_.Find<Grid>(L"grid");
  HWND list = Native(L"grid");
  for (const wchar_t* model : {L"LP-200", L"LP-300", L"LP-400"}) {
    int row = grid->AddRow();
    grid->SetCellText(row, 1, model);
    grid->SetCellText(row, 2, L"USB001");
  }
  grid->SetCheck(2, true);
  grid->SetCellTextColor(3, 1, Color{0xFFFF0000});
  Pump();
  ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);

  wchar_t text[64] = {};
  LVITEMW item{};
  item.iSubItem = 1;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(list, LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"LP-300");
  auto checked = [&](int index) {
    return (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK) &
            LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
  };
  EXPECT_FALSE(checked(0));
  EXPECT_TRUE(checked(1));

  // Rows and header are as high as the layout says.
  RECT firstRow{};
  firstRow.left = LVIR_BOUNDS;
  SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&firstRow));
  EXPECT_EQ(firstRow.bottom - firstRow.top, 22);
  RECT header;
  GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
  EXPECT_EQ(header.bottom - header.top, 30);

  // Header row 0 holds the column texts.
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = text;
  column.cchTextMax = 64;
  SendMessageW(list, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(text, L"Model");

  // The colour of a cell, as the list's custom draw asks for it.
  NMLVCUSTOMDRAW draw{};
  draw.nmcd.hdr.hwndFrom = list;
  draw.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
  draw.nmcd.dwItemSpec = 2;
  draw.iSubItem = 1;
  SendMessageW(Frame(), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
  EXPECT_EQ(draw.clrText, RGB(255, 0, 0));

  // A user's click on a box: "click", then the tick ("valuechanged").
  SendMessageW(Frame(), backend_.ActionMessage(), reinterpret_cast<WPARAM>(list), PackUiAction(UiAction::kCheckRow, 1));
  Pump();
  EXPECT_TRUE(grid->IsChecked(1));
  EXPECT_TRUE(checked(0));
  EXPECT_TRUE(form_.Saw(L"click:grid"));
  EXPECT_TRUE(form_.Saw(L"valuechanged:grid"));
  EXPECT_EQ(grid->SelectedRow(), 1);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_SELECTED), LVIS_SELECTED);

  // The mouse on the box of row 2 and on the text of row 3.
  auto clickAt = [&](int index, int x) {
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&bounds));
    LPARAM point = MAKELPARAM(bounds.left + x, (bounds.top + bounds.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    Pump();
  };
  form_.log.clear();
  clickAt(1, 8);
  EXPECT_FALSE(grid->IsChecked(2));
  EXPECT_TRUE(form_.Saw(L"valuechanged:grid"));
  form_.log.clear();
  clickAt(2, 150);
  EXPECT_TRUE(form_.Saw(L"click:grid"));
  EXPECT_FALSE(form_.Saw(L"valuechanged:grid"));
  EXPECT_EQ(grid->SelectedRow(), 3);
  EXPECT_FALSE(grid->IsChecked(3));

  // The highlight the program sets is the list's selection.
  grid->SelectRow(3);
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);

  ATOM atom = static_cast<ATOM>(SendMessageW(Frame(), backend_.ActionMessage(), reinterpret_cast<WPARAM>(list),
                                             PackUiAction(UiAction::kCellText, 3, 2)));
  wchar_t cell[64] = {};
  GlobalGetAtomNameW(atom, cell, 64);
  GlobalDeleteAtom(atom);
  EXPECT_STREQ(cell, L"=USB001");

  grid->RemoveAllRows();
  Pump();
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(BackendTest, VirtualGridAsksForTheRowsItShows) {
  files_[L"VIRTUAL.XML"] = R"(<Window size="300,200"><VerticalLayout>
      <Grid name="vgrid" virtual="true" rowheight="20"><Column text="A" width="100"/></Grid>
    </VerticalLayout></Window>)";
  struct Filler : CUIForm {
    void OnDrawItem(Notification& msg) override {
      ranges.push_back({static_cast<int>(msg.wParam), static_cast<int>(msg.lParam)});
      auto* grid = static_cast<Grid*>(msg.sender);
      for (int row = static_cast<int>(msg.wParam); row <= msg.lParam; ++row)
        grid->SetCellText(row, 0, L"row " + std::to_wstring(row));
    }
    std::vector<std::pair<int, int>> ranges;
  } filler;
  window_.RegisterForm(&filler);
  ASSERT_TRUE(window_.Create(L"virtual.xml", L"OrvelloBackendTest").ok());
  window_.Show();
  auto* grid = window_.Find<Grid>(L"vgrid");
  grid->SetVirtualRowCount(1000);
  grid->Redraw();
  ASSERT_TRUE(PumpUntil([&] { return !filler.ranges.empty(); }));
  EXPECT_EQ(filler.ranges.back().first, 1);
  // Only about a screenful, not the thousand rows.
  EXPECT_GT(filler.ranges.back().second, 1);
  EXPECT_LT(filler.ranges.back().second, 30);
  HWND list = Win32Backend::ControlHandleOf(*grid);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1000);

  SendMessageW(list, LVM_ENSUREVISIBLE, 500, FALSE);
  ASSERT_TRUE(PumpUntil([&] { return filler.ranges.back().first > 400; }));
  EXPECT_LE(filler.ranges.back().first, 501);
  EXPECT_GE(filler.ranges.back().second, 501);
}

TEST_F(BackendTest, RichEditAppendsColouredRunsAndSetTextReplacesAll) {
  Open();
  ShowPage(L"page2");
  auto* log = window_.Find<RichEdit>(L"log");
  HWND edit = Native(L"log");
  // Asked for 0x40200844 (WS_CHILD | WS_VSCROLL | ES_MULTILINE |
  // ES_AUTOVSCROLL | ES_READONLY); the rich edit takes WS_VSCROLL away
  // while nothing needs scrolling (seen under Wine).
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(edit, GWL_STYLE)) & ~(WS_VISIBLE | WS_DISABLED | WS_VSCROLL),
            0x40200844u & ~static_cast<DWORD>(WS_VSCROLL));
  log->AppendText(L"first\r\n", Color::FromColorRef(0xFF0000));
  log->AppendText(L"second", Color::FromColorRef(0x0000FF));
  EXPECT_NE(TextOf(edit).find(L"first"), std::wstring::npos);
  EXPECT_NE(TextOf(edit).find(L"second"), std::wstring::npos);

  // The colour of the second run.
  CHARRANGE range{7, 8};
  SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(format.crTextColor, 0x0000FFu);

  log->SetText(L"replaced");
  EXPECT_EQ(TextOf(edit), L"replaced");
}

TEST_F(BackendTest, TreeShowsNodesAndTheUsersSelection) {
  Open();
  ShowPage(L"page2");
  auto* tree = window_.Find<Tree>(L"tree");
  TreeNode* printers = tree->AddNode(nullptr, L"Printers");
  TreeNode* lp = tree->AddNode(printers, L"LP-200");
  Pump();
  HWND view = Native(L"tree");
  EXPECT_EQ(SendMessageW(view, TVM_GETCOUNT, 0, 0), 2);
  auto root = reinterpret_cast<HTREEITEM>(SendMessageW(view, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  auto child = reinterpret_cast<HTREEITEM>(SendMessageW(view, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
  SendMessageW(view, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
  EXPECT_EQ(tree->SelectedNode(), lp);
  EXPECT_TRUE(form_.Saw(L"selectchanged:tree"));
}

TEST_F(BackendTest, EnterAndEscapePressTheDefaultAndCancelButtons) {
  Open();
  SetFocus(Native(L"edit"));
  PostMessageW(Native(L"edit"), WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  EXPECT_TRUE(form_.Saw(L"click:btn_ok"));
  PostMessageW(Native(L"edit"), WM_KEYDOWN, VK_ESCAPE, 1);
  Pump();
  EXPECT_TRUE(form_.Saw(L"click:btn_no"));

  // Other keys reach the window's routing even while a child has the focus.
  PostMessageW(Native(L"edit"), WM_KEYDOWN, VK_F9, 1);
  Pump();
  backend_.PressKey(window_, VK_F9, true);
  ASSERT_EQ(form_.keys.size(), 2u);
  EXPECT_EQ(form_.keys[0], std::make_pair(static_cast<int>(VK_F9), false));
  EXPECT_EQ(form_.keys[1], std::make_pair(static_cast<int>(VK_F9), true));

  // Tab moves through the enabled, visible controls that take the focus.
  SetFocus(Native(L"edit"));
  PostMessageW(Native(L"edit"), WM_KEYDOWN, VK_TAB, 1);
  Pump();
  EXPECT_EQ(GetFocus(), Native(L"combo"));
}

TEST_F(BackendTest, EscapeWithoutCancelButtonClosesWithCancel) {
  files_[L"PLAIN.XML"] = R"(<Window size="200,100"><VerticalLayout><Edit name="e" height="24"/></VerticalLayout></Window>)";
  ASSERT_TRUE(window_.Create(L"plain.xml", L"OrvelloBackendTest").ok());
  window_.Show();
  Pump();
  backend_.PressKey(window_, VK_ESCAPE, false);
  Pump();
  EXPECT_FALSE(window_.IsCreated());
  EXPECT_EQ(window_.Result(), kResultCancel);
}

TEST_F(BackendTest, TimersAndWorkPostedFromOtherThreadsRunOnTheUiThread) {
  Open();
  window_.SetTimer(window_.FindControl(L"edit"), 7, 20);
  ASSERT_TRUE(PumpUntil([&] { return form_.Count(L"timer:edit") >= 2; }));
  window_.KillTimer(window_.FindControl(L"edit"), 7);

  DWORD uiThread = GetCurrentThreadId();
  DWORD ranOn = 0;
  std::thread worker([&] { PostToUi([&] { ranOn = GetCurrentThreadId(); }); });
  worker.join();
  ASSERT_TRUE(PumpUntil([&] { return ranOn != 0; }));
  EXPECT_EQ(ranOn, uiThread);

  // A send from a worker waits for the UI thread's routing.
  bool handled = true;
  std::atomic<bool> sent{false};
  std::thread sender([&] {
    handled = window_.Handle().Send(kWmUser + 50);
    sent = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return sent.load(); }));
  sender.join();
  EXPECT_FALSE(handled);
}

TEST_F(BackendTest, ModalDialogDisablesItsOwnerUntilItCloses) {
  Open();
  Window dialog;
  ASSERT_TRUE(dialog.Create(L"test.xml", L"OrvelloBackendDialog", &window_).ok());
  HWND owner = Frame();
  HWND dialogHwnd = Win32Backend::WindowHandleOf(dialog);
  EXPECT_EQ(GetWindow(dialogHwnd, GW_OWNER), owner);
  bool ownerDisabled = false;
  PostToUi([&] {
    ownerDisabled = !IsWindowEnabled(owner);
    SendMessageW(Win32Backend::ControlHandleOf(*dialog.FindControl(L"btn_ok")), BM_CLICK, 0, 0);
    dialog.Close(kResultOk);
  });
  EXPECT_EQ(dialog.ShowModal(), kResultOk);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(IsWindow(dialogHwnd));
  // A close from the native caption ends a dialog with the cancel result.
  Window second;
  ASSERT_TRUE(second.Create(L"test.xml", L"OrvelloBackendDialog", &window_).ok());
  PostMessageW(Win32Backend::WindowHandleOf(second), WM_CLOSE, 0, 0);
  EXPECT_EQ(second.ShowModal(), kResultCancel);
}

TEST_F(BackendTest, MenusReportTheChosenItemOrTheirDismissal) {
  files_[L"MENU.XML"] = R"(<Menu>
      <MenuItem name="menu_first" text="First"/>
      <Separator/>
      <MenuItem name="menu_second" text="Second" checked="true"/>
    </Menu>)";
  struct MenuForm : Recorder {
    void OnMenuCommand(const MenuItem& item) override { chosen.push_back(item.name); }
    std::vector<std::wstring> chosen;
  } menuForm;
  window_.RegisterForm(&menuForm);
  Open();
  // The menu's own loop runs the UI thread's posted work: it ends the menu.
  PostToUi([] { EndMenu(); });
  ASSERT_TRUE(window_.TrackMenu(L"menu.xml", Point{10, 10}).created);
  Pump();
  EXPECT_EQ(window_.OpenMenu(), nullptr);
  EXPECT_TRUE(menuForm.chosen.empty());

  // Keys the user presses while the menu is open: down to the first item, Enter.
  PostToUi([this] {
    HWND frame = Frame();
    PostMessageW(frame, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(frame, WM_KEYDOWN, VK_RETURN, 1);
  });
  ASSERT_TRUE(window_.TrackMenu(L"menu.xml", Point{10, 10}).created);
  Pump();
  EXPECT_EQ(window_.OpenMenu(), nullptr);
  EXPECT_EQ(menuForm.chosen, std::vector<std::wstring>{L"menu_first"});
}

TEST_F(BackendTest, NativeMessagesReachTheWindowsRouting) {
  struct MessageForm : CUIForm {
    bool HandleMessage(uint32_t message, WParam wParam, LParam) override {
      if (message == kWmUser + 2) seen.push_back(wParam);
      return message == kWmUser + 2;
    }
    std::vector<WParam> seen;
  } messages;
  window_.RegisterForm(&messages);
  Open();
  // Posted to the native window by code that only knows its handle.
  PostMessageW(Frame(), WM_USER + 2, 41, 0);
  PostMessageW(Frame(), WM_USER + 2, 42, 0);
  Pump();
  EXPECT_EQ(messages.seen, (std::vector<WParam>{41, 42}));

  // A second copy's broadcast brings the minimised window back.
  UINT activation = RegisterWindowMessageW(L"OrvelloBackendTestActivation");
  backend_.SetActivationMessage(activation);
  window_.Minimize();
  Pump();
  EXPECT_TRUE(IsIconic(Frame()));
  SendMessageW(Frame(), activation, 0, 0);
  Pump();
  EXPECT_FALSE(IsIconic(Frame()));
  EXPECT_EQ(window_.State(), WindowState::kNormal);
}

TEST_F(BackendTest, ImagesOfThePackageAreDecoded) {
  SIZE size = backend_.Images().ImageSize(L"images\\x.png");
  EXPECT_EQ(size.cx, 4);
  EXPECT_EQ(size.cy, 2);
  EXPECT_EQ(backend_.Images().ImageSize(L"images\\missing.png").cx, 0);
}

class ScaledBackendTest : public BackendTest {
 protected:
  ScaledBackendTest() : BackendTest(1.5) {}
};

TEST_F(ScaledBackendTest, RectanglesAndFontsAreScaled) {
  Open();
  RECT frame;
  GetClientRect(Frame(), &frame);
  EXPECT_EQ(frame.right, 600);
  EXPECT_EQ(frame.bottom, 450);
  // The model keeps laying out in logical pixels.
  EXPECT_EQ(window_.ClientSize(), (Size{400, 300}));
  Control* edit = window_.FindControl(L"edit");
  RECT native = ClientRectOf(Native(L"edit"));
  EXPECT_EQ(native.left, static_cast<LONG>(edit->Pos().left * 1.5 + 0.5));
  EXPECT_EQ(native.top, static_cast<LONG>(edit->Pos().top * 1.5 + 0.5));
  EXPECT_EQ(native.right, static_cast<LONG>(edit->Pos().right * 1.5 + 0.5));
  EXPECT_EQ(native.bottom - native.top, 36);

  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Native(L"edit"), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -18);
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Native(L"title"), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -24);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(font.lfQuality, CLEARTYPE_QUALITY);
}

}  // namespace
}  // namespace orvello::ui::win32
