// The main frame: its own set-up after the forms', the version and debug
// controls, the spooler check, the title buttons, Ctrl+F9, the output pipe
// and page selection by name.
#include <gtest/gtest.h>

#include "app/debug_mode.h"
#include "shell/main_frame.h"
#include "shell_test_support.h"
#include "system/output_pipe.h"

namespace orvello {
namespace {

constexpr char kFrameLayout[] = R"(<Window size="560,400" caption="0,0,0,32">
  <VerticalLayout>
    <HorizontalLayout height="32">
      <Label name="mainframe_dudez_version"/><Label name="dudez_debug"/>
      <Button name="windowlangbtn"/><Button name="windowaboutbtn"/><Button name="windowcontrolpanebtn"/>
      <Button name="windowminbtn"/><Button name="windowclosebtn"/>
    </HorizontalLayout>
    <TabLayout name="tab_main">
      <VerticalLayout name="form_main">
        <Button name="btn_form_main_device_manager1"/><Button name="btn_form_main_device_manager2"/>
        <Button name="btn_form_main_next"/>
      </VerticalLayout>
      <VerticalLayout name="form_delete_printer"><Label name="debug_form_delete_printer"/></VerticalLayout>
      <VerticalLayout name="form_delete_driver"><Label name="debug_form_delete_driver"/></VerticalLayout>
    </TabLayout>
  </VerticalLayout>
</Window>)";

// Notes what it saw of the frame when it was initialised.
class ProbeForm : public ui::test::RecordingForm {
 public:
  using RecordingForm::RecordingForm;
  void InitForm() override {
    ui::Control* version = FindControl(L"mainframe_dudez_version");
    log_.push_back(label_ + L":init:version=" + (version ? version->Text() : L"?"));
  }
};

class FrameTest : public test::ShellTest {
 protected:
  void SetUp() override {
    debugMode = 0;
    SetCatalogue(R"(<Drivers model="TessarEx" version0="2" version1="0" version2="1" version3="17"/>)");
    skin_.Put(CMainFrame::kLayout, kFrameLayout);
  }
  void TearDown() override {
    frame_.reset();
    RemoveOutputPipe();
    debugMode = 0;
  }

  CMainFrame& OpenFrame() {
    frame_ = std::make_unique<CMainFrame>(app_, nullptr);
    frame_->RegisterForm(&first_);
    frame_->RegisterForm(&second_);
    app_.mainFrame = frame_.get();
    EXPECT_TRUE(frame_->Create(CMainFrame::kLayout, CMainFrame::kClassName).ok());
    frame_->Show();
    backend_.Pump();
    return *frame_;
  }
  bool Visible(const wchar_t* name) { return frame_->FindControl(name)->IsVisible(); }

  std::vector<std::wstring> seen_;
  ProbeForm first_{L"first", seen_}, second_{L"second", seen_};
  std::unique_ptr<CMainFrame> frame_;
};

TEST_F(FrameTest, FormsAreInitialisedBeforeTheFrameFillsItsOwnControls) {
  CMainFrame& frame = OpenFrame();
  EXPECT_EQ(seen_[0], L"first:init:version=");
  EXPECT_EQ(seen_[1], L"second:init:version=");
  EXPECT_EQ(frame.FindControl(L"mainframe_dudez_version")->Text(), L"2.0.1.17");
  EXPECT_EQ(frame.FindControl(L"dudez_debug")->Text(), L"");
  EXPECT_FALSE(Visible(L"btn_form_main_device_manager1"));
  EXPECT_FALSE(Visible(L"btn_form_main_device_manager2"));
  EXPECT_FALSE(Visible(L"debug_form_delete_printer"));
  EXPECT_FALSE(log_.opened());
}

TEST_F(FrameTest, ControlF9TogglesDebugModeAndTheLogStaysOpen) {
  CMainFrame& frame = OpenFrame();
  frame.RouteMessage(ui::kWmKeyDown, ui::kVkF9, 0);  // without Ctrl: nothing
  EXPECT_EQ(debugMode, 0);

  backend_.SetKeyDown(ui::kVkControl, true);
  frame.RouteMessage(ui::kWmKeyDown, ui::kVkF9, 0);
  EXPECT_EQ(debugMode, 1);
  EXPECT_EQ(frame.FindControl(L"dudez_debug")->Text(), L"DEBUG");
  EXPECT_TRUE(Visible(L"btn_form_main_device_manager1"));
  EXPECT_FALSE(Visible(L"btn_form_main_device_manager2"));
  EXPECT_TRUE(Visible(L"debug_form_delete_driver"));
  EXPECT_TRUE(log_.opened());

  frame.RouteMessage(ui::kWmKeyDown, ui::kVkF9, 0);
  EXPECT_EQ(debugMode, 0);
  EXPECT_EQ(frame.FindControl(L"dudez_debug")->Text(), L"");
  EXPECT_FALSE(Visible(L"debug_form_delete_driver"));
  EXPECT_TRUE(log_.opened());
  // The forms still saw both key presses.
  EXPECT_EQ(std::count(seen_.begin(), seen_.end(), L"second:msg:256"), 3);
}

TEST_F(FrameTest, TheSpoolerIsStartedSilentlyOrReportedInAMessageBox) {
  struct Case {
    const char* what;
    platform::ServiceState state;
    std::optional<uint32_t> startError;
    std::vector<std::wstring> calls;
    bool reported;
  } cases[] = {
      {"running", platform::ServiceState::Running, std::nullopt, {}, false},
      {"stopped", platform::ServiceState::Stopped, std::nullopt, {L"Start Spooler"}, false},
      {"disabled", platform::ServiceState::Stopped, 1058u, {L"Start Spooler"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    machine_.services.SetState(L"Spooler", c.state);
    machine_.services.SetStartError(L"Spooler", c.startError);
    size_t boxesBefore = machine_.session.MessageBoxes().size();
    size_t requestsBefore = machine_.services.Requests().size();
    OpenFrame();
    auto requests = machine_.services.Requests();
    EXPECT_EQ(std::vector<std::wstring>(requests.begin() + requestsBefore, requests.end()), c.calls);
    auto boxes = machine_.session.MessageBoxes();
    ASSERT_EQ(boxes.size() - boxesBefore, c.reported ? 1u : 0u);
    if (c.reported) {
      EXPECT_EQ(boxes.back().text.rfind(L"打开服务: Spooler 失败. 错误码: 1058. 错误描述: ", 0), 0u)
          << WideToUtf8(boxes.back().text);
    }
    // The wizard goes on either way.
    EXPECT_TRUE(frame_->IsCreated());
    frame_.reset();
  }
}

TEST_F(FrameTest, WindowInitInstallsTheOutputPipeAndCloseRemovesIt) {
  CMainFrame& frame = OpenFrame();
  EXPECT_NE(OutputPipeWriteEnd(), nullptr);
  frame.Close(ui::kResultCancel);
  backend_.Pump();
  EXPECT_EQ(OutputPipeWriteEnd(), nullptr);
  EXPECT_FALSE(frame.IsCreated());
  // Its final message ends the program's message loop with code 0.
  EXPECT_EQ(backend_.QuitCode(), 0);
}

TEST_F(FrameTest, PagesAreSelectedByNameIgnoringCase) {
  CMainFrame& frame = OpenFrame();
  EXPECT_TRUE(frame.SelectPage(L"form_delete_Printer"));
  EXPECT_EQ(frame.TabMain()->SelectedChild()->Name(), L"form_delete_printer");
  EXPECT_FALSE(frame.SelectPage(L"form_nowhere"));
  EXPECT_EQ(frame.TabMain()->SelectedChild()->Name(), L"form_delete_printer");
}

TEST_F(FrameTest, ThePrintersButtonOpensTheSystemsPrintersFolder) {
  CMainFrame& frame = OpenFrame();
  ASSERT_TRUE(frame.FindControl(L"windowcontrolpanebtn")->Activate());
  auto calls = machine_.session.ShellExecutes();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].verb, L"open");
  EXPECT_EQ(calls[0].file, L"explorer.exe");
  EXPECT_EQ(calls[0].parameters, L"shell:::{A8A91A66-3A7D-4424-8D24-04E180695C7A}");
  // A click elsewhere reaches every form, then the frame, which ignores it.
  seen_.clear();
  frame.FindControl(L"btn_form_main_next")->Activate();
  EXPECT_EQ(seen_, (std::vector<std::wstring>{L"first:click:btn_form_main_next", L"second:click:btn_form_main_next"}));
  EXPECT_EQ(machine_.session.ShellExecutes().size(), 1u);
}

}  // namespace
}  // namespace orvello
