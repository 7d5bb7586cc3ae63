#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ui/basic_controls.h"
#include "ui/frame_window.h"
#include "ui/headless/actions.h"
#include "ui/toolkit.h"
#include "ui_test_support.h"

namespace orvello::ui::test {
namespace {

using headless::Click;

const char kLayout[] = R"(<Window size="300,200">
  <VerticalLayout name="root">
    <VerticalLayout name="page_a"><Button name="btn_a"/><Option name="opt_a" group="g"/></VerticalLayout>
    <VerticalLayout name="page_b"><Button name="btn_b"/><Button name="btn_c"/></VerticalLayout>
    <HorizontalLayout name="caption">
      <Button name="windowclosebtn"/><Button name="windowminbtn"/><Button name="windowmaxbtn"/><Button name="windowrestorebtn"/>
    </HorizontalLayout>
  </VerticalLayout>
</Window>)";

// The frame's own share: after the forms for notifications, before them
// for messages.
class RecordingFrame : public Window {
 public:
  explicit RecordingFrame(std::vector<std::wstring>& log) : log_(log) {}

  uint32_t takes = 0;
  bool finalMessage = false;

 protected:
  void Notify(Notification& msg) override { log_.push_back(L"frame:" + msg.type + L":" + msg.SenderName()); }
  bool HandleMessage(uint32_t message, WParam, LParam) override {
    log_.push_back(L"frame:msg:" + std::to_wstring(message));
    return message == takes;
  }
  void InitWindow() override { log_.push_back(L"frame:init"); }
  void OnFinalMessage() override { finalMessage = true; }

 private:
  std::vector<std::wstring>& log_;
};

// Reacts to clicks of its own button only, as every wizard form does.
class OwnButtonForm : public RecordingForm {
 public:
  OwnButtonForm(std::wstring label, std::wstring button, std::vector<std::wstring>& log)
      : RecordingForm(std::move(label), log), button_(std::move(button)) {}
  void OnClick(Notification& msg) override {
    if (msg.IsFrom(button_)) ++ownClicks;
  }
  int ownClicks = 0;

 private:
  std::wstring button_;
};

class UiRoutingTest : public UiTest {
 protected:
  void Build() { Open(frame_, L"routing.xml", kLayout, L"MainFrame"); }

  std::vector<std::wstring> log_;
  RecordingFrame frame_{log_};
};

TEST_F(UiRoutingTest, NotificationsReachEveryFormInRegistrationOrderThenTheFrame) {
  OwnButtonForm a(L"a", L"BTN_A", log_), b(L"b", L"btn_b", log_), c(L"c", L"btn_c", log_);
  frame_.RegisterForm(&b);
  frame_.RegisterForm(&a);
  frame_.RegisterForm(&c);
  Build();
  log_.clear();

  ASSERT_TRUE(Click(frame_, L"btn_a"));

  EXPECT_EQ(log_, (std::vector<std::wstring>{L"b:click:btn_a", L"a:click:btn_a", L"c:click:btn_a", L"frame:click:btn_a"}));
  // Every form saw the click; only the owner of the button acted on it.
  EXPECT_EQ(a.ownClicks, 1);
  EXPECT_EQ(b.ownClicks, 0);
  EXPECT_EQ(c.ownClicks, 0);
}

TEST_F(UiRoutingTest, RegisteringAgainIsIgnoredAndTheFormLearnsItsFrame) {
  RecordingForm form(L"a", log_);
  EXPECT_EQ(form.GetFrame(), nullptr);
  frame_.RegisterForm(&form);
  frame_.RegisterForm(&form);
  frame_.RegisterForm(nullptr);
  Build();

  EXPECT_EQ(frame_.Forms().size(), 1u);
  EXPECT_EQ(form.GetFrame(), &frame_);
  EXPECT_EQ(form.GetPaintManager(), &frame_.Manager());
  EXPECT_EQ(form.FindControl(L"BTN_B"), frame_.FindControl(L"btn_b"));
  log_.clear();
  Click(frame_, L"btn_b");
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"a:click:btn_b", L"frame:click:btn_b"}));
}

TEST_F(UiRoutingTest, FormsAndWindowsMayGoInEitherOrder) {
  auto early = std::make_unique<RecordingForm>(L"early", log_);
  RecordingForm late(L"late", log_);
  {
    RecordingFrame window(log_);
    window.RegisterForm(early.get());
    window.RegisterForm(&late);
    Open(window, L"routing.xml", kLayout);
    early.reset();
    EXPECT_EQ(window.Forms(), std::vector<CUIFrmBase*>{&late});
    log_.clear();
    Click(window, L"btn_a");
    EXPECT_EQ(log_, (std::vector<std::wstring>{L"late:click:btn_a", L"frame:click:btn_a"}));
  }
  EXPECT_EQ(late.GetFrame(), nullptr);
  EXPECT_EQ(late.FindControl(L"btn_a"), nullptr);
}

// Every handler of the contract, to see which one a type reaches.
class HandlerForm : public CUIForm {
 public:
  std::vector<std::string> hits;
#define ORVELLO_HANDLER(name) \
  void name(Notification&) override { hits.push_back(#name); }
  ORVELLO_HANDLER(OnClick) ORVELLO_HANDLER(OnRClick) ORVELLO_HANDLER(OnDbClick) ORVELLO_HANDLER(OnMenu)
  ORVELLO_HANDLER(OnLink) ORVELLO_HANDLER(OnTimer) ORVELLO_HANDLER(OnReturn) ORVELLO_HANDLER(OnScroll)
  ORVELLO_HANDLER(OnPreDropDown) ORVELLO_HANDLER(OnDropDown) ORVELLO_HANDLER(OnSetFocus)
  ORVELLO_HANDLER(OnKillFocus) ORVELLO_HANDLER(OnItemClick) ORVELLO_HANDLER(OnItemRClick)
  ORVELLO_HANDLER(OnTabSelect) ORVELLO_HANDLER(OnItemSelect) ORVELLO_HANDLER(OnItemExpand)
  ORVELLO_HANDLER(OnWindowInit) ORVELLO_HANDLER(OnWindowSize) ORVELLO_HANDLER(OnButtonDown)
  ORVELLO_HANDLER(OnMouseEnter) ORVELLO_HANDLER(OnMouseLeave) ORVELLO_HANDLER(OnTextChanged)
  ORVELLO_HANDLER(OnHeaderClick) ORVELLO_HANDLER(OnItemDbClick) ORVELLO_HANDLER(OnShowActiveX)
  ORVELLO_HANDLER(OnItemCollapse) ORVELLO_HANDLER(OnItemActivate) ORVELLO_HANDLER(OnValueChanged)
  ORVELLO_HANDLER(OnSelectChanged) ORVELLO_HANDLER(OnSizeChanged) ORVELLO_HANDLER(OnAcceptFile)
  ORVELLO_HANDLER(OnInitCell) ORVELLO_HANDLER(OnDrawItem) ORVELLO_HANDLER(OnSortItem)
  ORVELLO_HANDLER(OnStartEdit) ORVELLO_HANDLER(OnEndEdit) ORVELLO_HANDLER(OnDeleteItem)
  ORVELLO_HANDLER(OnStartSelChange) ORVELLO_HANDLER(OnEndSelChange) ORVELLO_HANDLER(OnGridStartEdit)
  ORVELLO_HANDLER(OnGridEndEdit) ORVELLO_HANDLER(OnGridStartSelChange) ORVELLO_HANDLER(OnGridEndSelChange)
  ORVELLO_HANDLER(OnGridDropDownList) ORVELLO_HANDLER(OnGridGetDispInfo) ORVELLO_HANDLER(OnSciNotify)
#undef ORVELLO_HANDLER
};

TEST_F(UiRoutingTest, EachTypeReachesItsHandlerIgnoringLetterCase) {
  HandlerForm form;
  frame_.RegisterForm(&form);
  Build();
  form.hits.clear();

  const std::pair<const wchar_t*, const char*> cases[] = {
      {L"click", "OnClick"}, {L"RCLICK", "OnRClick"}, {L"dbclick", "OnDbClick"}, {L"menu", "OnMenu"},
      {L"link", "OnLink"}, {L"Timer", "OnTimer"}, {L"return", "OnReturn"}, {L"scroll", "OnScroll"},
      {L"predropdown", "OnPreDropDown"}, {L"dropdown", "OnDropDown"}, {L"setfocus", "OnSetFocus"},
      {L"killfocus", "OnKillFocus"}, {L"itemclick", "OnItemClick"}, {L"itemrclick", "OnItemRClick"},
      {L"tabselect", "OnTabSelect"}, {L"itemselect", "OnItemSelect"}, {L"itemexpand", "OnItemExpand"},
      {L"windowinit", "OnWindowInit"}, {L"windowsize", "OnWindowSize"}, {L"buttondown", "OnButtonDown"},
      {L"mouseenter", "OnMouseEnter"}, {L"mouseleave", "OnMouseLeave"}, {L"TextChanged", "OnTextChanged"},
      {L"headerclick", "OnHeaderClick"}, {L"itemdbclick", "OnItemDbClick"}, {L"showactivex", "OnShowActiveX"},
      {L"itemcollapse", "OnItemCollapse"}, {L"itemactivate", "OnItemActivate"},
      {L"valuechanged", "OnValueChanged"}, {L"SELECTCHANGED", "OnSelectChanged"},
      {L"sizechanged", "OnSizeChanged"}, {L"acceptfile", "OnAcceptFile"}, {L"initcell", "OnInitCell"},
      {L"drawitem", "OnDrawItem"}, {L"sortitem", "OnSortItem"}, {L"startedit", "OnStartEdit"},
      {L"endedit", "OnEndEdit"}, {L"deleteitem", "OnDeleteItem"}, {L"startselchange", "OnStartSelChange"},
      {L"endselchange", "OnEndSelChange"}, {L"gridstartedit", "OnGridStartEdit"},
      {L"gridendedit", "OnGridEndEdit"}, {L"gridstartselchange", "OnGridStartSelChange"},
      {L"gridendselchange", "OnGridEndSelChange"}, {L"griddropdownlist", "OnGridDropDownList"},
      {L"gridgetdispinfo", "OnGridGetDispInfo"}, {L"scinotify", "OnSciNotify"}, {L"", "OnSciNotify"},
  };
  for (const auto& [type, handler] : cases) {
    SCOPED_TRACE(WideToUtf8(type));
    form.hits.clear();
    frame_.SendNotify(frame_.FindControl(L"btn_a"), type);
    EXPECT_EQ(form.hits, std::vector<std::string>{handler});
  }
  form.hits.clear();
  frame_.SendNotify(frame_.FindControl(L"btn_a"), L"no-such-type");
  EXPECT_TRUE(form.hits.empty());
}

// Initialises like the main form: selects an option, which raises
// "selectchanged" while the window is being set up.
class InitialisingForm : public RecordingForm {
 public:
  InitialisingForm(std::wstring label, std::wstring root, std::vector<std::wstring>& log)
      : RecordingForm(std::move(label), log), rootName_(std::move(root)) {}
  std::wstring RootControlName() const override { return rootName_; }
  void InitForm() override {
    log_.push_back(label_ + L":init:" + (GetRoot() ? GetRoot()->Name() : L"-"));
    seesOwnButton = FindControl(L"btn_a") != nullptr;
    seesOtherButton = FindControl(L"btn_b") != nullptr;
    if (auto* option = Find<Option>(L"opt_a")) option->SetSelected(true);
  }
  bool seesOwnButton = false;
  bool seesOtherButton = false;

 private:
  std::wstring rootName_;
};

TEST_F(UiRoutingTest, FormsAreInitialisedInOrderOnceTheControlsExistThenTheWindow) {
  InitialisingForm a(L"a", L"page_a", log_), b(L"b", L"", log_);
  frame_.RegisterForm(&a);
  frame_.RegisterForm(&b);
  skin_.Put(L"routing.xml", kLayout);
  ASSERT_TRUE(frame_.Create(L"routing.xml", L"MainFrame").ok());

  EXPECT_EQ(log_, (std::vector<std::wstring>{L"a:init:page_a", L"a:selectchanged:opt_a", L"b:selectchanged:opt_a",
                                             L"frame:selectchanged:opt_a", L"b:init:-", L"frame:init"}));
  // A form with a root finds only what lies below it.
  EXPECT_TRUE(a.seesOwnButton);
  EXPECT_FALSE(a.seesOtherButton);
  EXPECT_TRUE(b.seesOtherButton);

  // A form registered later is initialised at once.
  InitialisingForm late(L"late", L"page_b", log_);
  log_.clear();
  frame_.RegisterForm(&late);
  EXPECT_EQ(log_.front(), L"late:init:page_b");
}

TEST_F(UiRoutingTest, WindowInitArrivesOnceWhenTheLoopRunsAfterTheFirstShow) {
  RecordingForm form(L"a", log_);
  frame_.RegisterForm(&form);
  skin_.Put(L"routing.xml", kLayout);
  ASSERT_TRUE(frame_.Create(L"routing.xml", L"MainFrame").ok());
  log_.clear();

  frame_.Show();
  EXPECT_TRUE(log_.empty());
  backend_.Pump();
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"a:windowinit:root", L"frame:windowinit:root"}));
  frame_.Show(false);
  frame_.Show(true);
  backend_.Pump();
  EXPECT_EQ(log_.size(), 2u);
}

TEST_F(UiRoutingTest, MessagesGoToTheFrameThenEachFormUntilOneTakesIt) {
  RecordingForm a(L"a", log_), b(L"b", log_), c(L"c", log_);
  b.takes = kWmUser + 103;
  for (RecordingForm* form : {&a, &b, &c}) frame_.RegisterForm(form);
  Build();

  struct Case {
    uint32_t message;
    uint32_t frameTakes;
    bool handled;
    std::vector<std::wstring> asked;
  };
  const Case cases[] = {
      {kWmUser + 103, 0, true, {L"frame:msg:1127", L"a:msg:1127", L"b:msg:1127"}},
      {kWmUser + 102, 0, false, {L"frame:msg:1126", L"a:msg:1126", L"b:msg:1126", L"c:msg:1126"}},
      {kWmUser + 103, kWmUser + 103, true, {L"frame:msg:1127"}},
  };
  for (const Case& c : cases) {
    log_.clear();
    frame_.takes = c.frameTakes;
    EXPECT_EQ(frame_.RouteMessage(c.message, 0, 0), c.handled);
    EXPECT_EQ(log_, c.asked);
  }
}

TEST_F(UiRoutingTest, CloseIsPostedAndAnUntakenCloseDestroysTheWindowWithItsResult) {
  RecordingForm keeper(L"keeper", log_);
  frame_.RegisterForm(&keeper);
  Build();

  keeper.takes = kWmClose;
  frame_.Close(kResultCancel);
  backend_.Pump();
  EXPECT_TRUE(frame_.IsCreated());

  keeper.takes = 0;
  frame_.Close(kResultCancel);
  EXPECT_TRUE(frame_.IsCreated());
  backend_.Pump();
  EXPECT_FALSE(frame_.IsCreated());
  EXPECT_EQ(frame_.Result(), kResultCancel);
  EXPECT_TRUE(frame_.finalMessage);
  EXPECT_TRUE(backend_.Windows().empty());
  // A destroyed window routes nothing and raises nothing.
  log_.clear();
  EXPECT_FALSE(frame_.RouteMessage(kWmUser, 0, 0));
  frame_.SendNotify(frame_.FindControl(L"btn_a"), L"click");
  EXPECT_TRUE(log_.empty());
}

TEST_F(UiRoutingTest, CaptionButtonsAreCarriedOutAndStillReachTheForms) {
  RecordingForm form(L"a", log_);
  frame_.RegisterForm(&form);
  Build();

  ASSERT_TRUE(Click(frame_, L"windowminbtn"));
  EXPECT_EQ(frame_.State(), WindowState::kMinimized);
  Click(frame_, L"windowmaxbtn");
  EXPECT_EQ(frame_.State(), WindowState::kMaximized);
  Click(frame_, L"windowrestorebtn");
  EXPECT_EQ(frame_.State(), WindowState::kNormal);
  log_.clear();
  Click(frame_, L"windowclosebtn");
  EXPECT_EQ(log_.front(), L"a:click:windowclosebtn");
  EXPECT_FALSE(frame_.IsCreated());
  EXPECT_EQ(frame_.Result(), kResultCancel);
}

TEST_F(UiRoutingTest, PostedWorkKeepsTheOrderOfEachThread) {
  class Collector : public CUIForm {
   public:
    bool HandleMessage(uint32_t message, WParam wParam, LParam lParam) override {
      if (message != kWmUser + 2) return false;
      onUiThread = onUiThread && IsUiThread();
      seen.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
      return true;
    }
    std::vector<std::pair<int, int>> seen;
    bool onUiThread = true;
  } collector;
  frame_.RegisterForm(&collector);
  Build();

  constexpr int kThreads = 4;
  constexpr int kEach = 250;
  WindowHandle handle = frame_.Handle();
  std::atomic<int> closures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        if (i % 2)
          handle.Post(kWmUser + 2, static_cast<WParam>(t), i);
        else
          PostToUi([&, t, i] { handle.Get()->RouteMessage(kWmUser + 2, static_cast<WParam>(t), i); ++closures; });
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_TRUE(collector.seen.empty());
  backend_.Pump();

  ASSERT_EQ(collector.seen.size(), static_cast<size_t>(kThreads * kEach));
  EXPECT_TRUE(collector.onUiThread);
  EXPECT_EQ(closures, kThreads * kEach / 2);
  std::vector<int> next(kThreads, 0);
  for (const auto& [thread, sequence] : collector.seen) {
    EXPECT_EQ(sequence, next[static_cast<size_t>(thread)]) << "thread " << thread;
    next[static_cast<size_t>(thread)] = sequence + 1;
  }
}

TEST_F(UiRoutingTest, SendFromAWorkerWaitsUntilTheUiThreadHandledIt) {
  RecordingForm form(L"bt", log_);
  form.takes = kWmUser + 103;
  frame_.RegisterForm(&form);
  Build();
  log_.clear();

  std::atomic<bool> done{false};
  bool handled = false;
  bool unhandled = true;
  size_t seenBeforeReturn = 0;
  std::thread worker([&] {
    handled = frame_.Handle().Send(kWmUser + 103, 1, 0);
    seenBeforeReturn = log_.size();
    unhandled = frame_.Handle().Send(kWmUser + 101, 1, 0);
    done = true;
  });
  while (!done) {
    WaitForPostedWork(std::chrono::milliseconds(50));
    backend_.Pump();
  }
  worker.join();
  EXPECT_TRUE(handled);
  EXPECT_FALSE(unhandled);
  EXPECT_EQ(seenBeforeReturn, 2u);  // the frame and the form had it before Send returned
  // On the UI thread a send is routed at once.
  EXPECT_TRUE(frame_.Send(kWmUser + 103));
}

TEST_F(UiRoutingTest, NothingReachesADestroyedWindow) {
  RecordingForm form(L"a", log_);
  frame_.RegisterForm(&form);
  Build();
  WindowHandle handle = frame_.Handle();
  log_.clear();

  EXPECT_TRUE(handle.Post(kWmUser + 1));
  frame_.Destroy();
  backend_.Pump();
  EXPECT_TRUE(log_.empty());
  EXPECT_FALSE(handle.IsAlive());
  EXPECT_EQ(handle.Get(), nullptr);
  EXPECT_FALSE(handle.Post(kWmUser + 1));
  EXPECT_FALSE(handle.Send(kWmUser + 1));
  EXPECT_FALSE(WindowHandle().Post(kWmUser + 1));
}

const char kDialog[] = R"(<Window size="200,100"><VerticalLayout name="dlg_root">
  <Picture name="pic_loading"/><Button name="btn_done"/><Button name="btn_cancel"/>
</VerticalLayout></Window>)";

// Starts its operation when shown and is closed by the operation's thread,
// as the busy dialog is.
class WorkerDialog : public Window {
 public:
  ~WorkerDialog() override {
    if (worker_.joinable()) worker_.join();
  }
  int succeeded = 0;

 protected:
  void Notify(Notification& msg) override {
    if (!msg.Is(notify::kWindowInit)) return;
    WindowHandle handle = Handle();
    worker_ = std::thread([this, handle] {
      succeeded = 1;
      handle.Post(kWmClose, kResultOk, 0);
    });
  }

 private:
  std::thread worker_;
};

TEST_F(UiRoutingTest, AModalDialogClosedByAnotherThreadEndsItsLoop) {
  Build();
  skin_.Put(L"DlgLoading.xml", kDialog);
  WorkerDialog dialog;
  ASSERT_TRUE(dialog.Create(L"DlgLoading.xml", L"DlgLoading", &frame_).ok());
  EXPECT_EQ(dialog.Owner(), &frame_);

  EXPECT_EQ(dialog.ShowModal(), kResultOk);
  EXPECT_EQ(dialog.succeeded, 1);
  EXPECT_FALSE(dialog.IsCreated());
  EXPECT_FALSE(backend_.LoopGaveUp());
  EXPECT_EQ(backend_.ModalLoopsRun(), 1);
  EXPECT_EQ(dialog.ShowModal(), -1);
}

TEST_F(UiRoutingTest, ModalDialogsOpenedFromAClickAreDrivenByTheModalHandler) {
  struct Opener : public CUIForm {
    void OnClick(Notification& msg) override {
      if (!msg.IsFrom(L"btn_a")) return;
      Window dialog;
      dialog.Create(L"DlgAbout.xml", L"DlgAbout", GetFrame());
      results.push_back(dialog.ShowModal());
    }
    std::vector<int> results;
  } opener;
  frame_.RegisterForm(&opener);
  Build();
  skin_.Put(L"DlgAbout.xml", kDialog);

  std::vector<std::wstring> dialogs;
  backend_.SetModalHandler([&](Window& dialog) {
    dialogs.push_back(dialog.ClassName());
    EXPECT_TRUE(dialog.IsModal());
    // The main window waits for its dialog.
    EXPECT_FALSE(frame_.AcceptsInput());
    EXPECT_FALSE(Click(frame_, L"btn_b"));
    EXPECT_TRUE(Click(dialog, L"btn_cancel"));
  });
  Click(frame_, L"btn_a");
  Click(frame_, L"btn_a");
  EXPECT_EQ(opener.results, (std::vector<int>{kResultCancel, kResultCancel}));
  EXPECT_EQ(dialogs, (std::vector<std::wstring>{L"DlgAbout", L"DlgAbout"}));
  EXPECT_EQ(backend_.Windows(), std::vector<Window*>{&frame_});
  EXPECT_TRUE(frame_.AcceptsInput());
}

// Toggles on Ctrl+F9 as the main frame's debug switch does.
class KeyFrame : public Window {
 public:
  bool debug = false;

 protected:
  bool HandleMessage(uint32_t message, WParam wParam, LParam) override {
    if (message == kWmKeyDown && wParam == kVkF9 && IsKeyDown(kVkControl)) debug = !debug;
    return false;
  }
};

TEST_F(UiRoutingTest, KeysArriveAsMessagesWithTheModifierStateOfTheirMoment) {
  KeyFrame frame;
  Open(frame, L"routing.xml", kLayout);
  headless::PressKey(frame, kVkF9, true);
  EXPECT_TRUE(frame.debug);
  EXPECT_FALSE(IsKeyDown(kVkControl));
  headless::PressKey(frame, kVkF9);
  EXPECT_TRUE(frame.debug);
  headless::PressKey(frame, kVkF9, true);
  EXPECT_FALSE(frame.debug);
}

TEST_F(UiRoutingTest, AModalLoopThatNothingEndsGivesUp) {
  Build();
  skin_.Put(L"DlgStuck.xml", kDialog);
  backend_.SetIdleLimit(std::chrono::milliseconds(1));
  Window dialog;
  ASSERT_TRUE(dialog.Create(L"DlgStuck.xml", L"DlgStuck").ok());
  dialog.ShowModal();
  EXPECT_TRUE(backend_.LoopGaveUp());
  EXPECT_FALSE(dialog.IsCreated());
}

TEST_F(UiRoutingTest, TheMainFramesDestructionEndsTheMessageLoop) {
  CUIFrameWndBase mainFrame;
  Open(mainFrame, L"routing.xml", kLayout, L"MainFrame");
  PostToUi([&] { mainFrame.Close(kResultCancel); });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_FALSE(mainFrame.IsCreated());
  EXPECT_EQ(backend_.QuitCode(), 0);
}

TEST_F(UiRoutingTest, ModelessWindowsAreReleasedOnceDestroyed) {
  // The flags outlive the test body: the fixture's backend ends the second
  // window after it.
  struct Modeless : public Window {
    explicit Modeless(std::shared_ptr<bool> gone) : gone_(std::move(gone)) {}
    ~Modeless() override { *gone_ = true; }
    std::shared_ptr<bool> gone_;
  };
  skin_.Put(L"DlgDevMode.xml", kDialog);
  auto firstGone = std::make_shared<bool>(false), secondGone = std::make_shared<bool>(false);
  auto first = std::make_unique<Modeless>(firstGone);
  auto second = std::make_unique<Modeless>(secondGone);
  Window* firstWindow = first.get();
  for (auto* window : {first.get(), second.get()}) {
    ASSERT_TRUE(window->Create(L"DlgDevMode.xml", L"DlgDevMode").ok());
    window->Show();
  }
  KeepUntilDestroyed(std::move(first));
  KeepUntilDestroyed(std::move(second));
  backend_.Pump();

  ASSERT_TRUE(Click(*firstWindow, L"btn_cancel"));
  EXPECT_TRUE(*firstGone);
  EXPECT_FALSE(*secondGone);
  EXPECT_EQ(ReleaseDestroyedWindows(), 1u);
}

}  // namespace
}  // namespace orvello::ui::test
