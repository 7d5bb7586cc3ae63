#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/picture.h"
#include "ui/toolkit.h"
#include "ui_test_support.h"

namespace orvello::ui::test {
namespace {

const char kLayout[] = R"(<Window><VerticalLayout name="root">
  <Picture name="pic_form_printer_search_loading" delay="200"/>
  <Picture name="pic_form_printer_udp_loading"/>
</VerticalLayout></Window>)";

// Writes "<time>:<sender>:<id>" for every timer.
class TimerLog : public CUIForm {
 public:
  explicit TimerLog(const headless::HeadlessBackend& backend) : backend_(backend) {}
  void OnTimer(Notification& msg) override {
    log.push_back(std::to_wstring(backend_.Now()) + L":" + msg.SenderName() + L":" + std::to_wstring(msg.wParam));
    if (onTimer) onTimer(msg);
  }
  std::vector<std::wstring> log;
  std::function<void(Notification&)> onTimer;

 private:
  const headless::HeadlessBackend& backend_;
};

class UiTimerTest : public UiTest {
 protected:
  void SetUp() override {
    window_.RegisterForm(&form_);
    Open(window_, L"timers.xml", kLayout);
    search_ = window_.Find<Picture>(L"pic_form_printer_search_loading");
    udp_ = window_.Find<Picture>(L"pic_form_printer_udp_loading");
  }

  Window window_;
  TimerLog form_{backend_};
  Picture* search_ = nullptr;
  Picture* udp_ = nullptr;
};

TEST_F(UiTimerTest, TimersFireInDueOrderWithTheirIdFromTheirControl) {
  ASSERT_TRUE(window_.SetTimer(search_, 500, 500));
  ASSERT_TRUE(window_.SetTimer(udp_, 1, 1000));
  backend_.AdvanceTime(499);
  EXPECT_TRUE(form_.log.empty());

  backend_.AdvanceTime(1501);
  EXPECT_EQ(form_.log, (std::vector<std::wstring>{
                           L"500:pic_form_printer_search_loading:500",
                           L"1000:pic_form_printer_search_loading:500",
                           L"1000:pic_form_printer_udp_loading:1",
                           L"1500:pic_form_printer_search_loading:500",
                           L"2000:pic_form_printer_search_loading:500",
                           L"2000:pic_form_printer_udp_loading:1",
                       }));
  EXPECT_EQ(backend_.Now(), 2000u);
}

TEST_F(UiTimerTest, KillingStopsATimerAndSettingAgainRestartsIt) {
  window_.SetTimer(search_, 500, 500);
  window_.SetTimer(search_, 7, 300);
  backend_.AdvanceTime(400);
  EXPECT_TRUE(window_.KillTimer(search_, 7));
  EXPECT_FALSE(window_.KillTimer(search_, 7));
  EXPECT_FALSE(window_.HasTimer(search_, 7));
  // Set again at 400 with a new period: due at 650, not at 500.
  window_.SetTimer(search_, 500, 250);
  backend_.AdvanceTime(500);
  EXPECT_EQ(form_.log, (std::vector<std::wstring>{L"300:pic_form_printer_search_loading:7",
                                                  L"650:pic_form_printer_search_loading:500",
                                                  L"900:pic_form_printer_search_loading:500"}));
}

TEST_F(UiTimerTest, AHandlerMayKillItsOwnTimerAndItsPostsRunBeforeTheNextTimer) {
  window_.SetTimer(search_, 500, 100);
  window_.SetTimer(udp_, 1, 100);
  form_.onTimer = [&](Notification& msg) {
    if (msg.IsFrom(L"pic_form_printer_search_loading")) window_.KillTimer(search_, 500);
    PostToUi([&, id = msg.wParam] { form_.log.push_back(L"posted:" + std::to_wstring(id)); });
  };
  backend_.AdvanceTime(250);
  EXPECT_EQ(form_.log, (std::vector<std::wstring>{L"100:pic_form_printer_search_loading:500", L"posted:500",
                                                  L"100:pic_form_printer_udp_loading:1", L"posted:1",
                                                  L"200:pic_form_printer_udp_loading:1", L"posted:1"}));
}

TEST_F(UiTimerTest, TimersBelongToTheirWindowsControls) {
  Window other;
  Open(other, L"timers.xml", kLayout);
  Control* foreign = other.FindControl(L"pic_form_printer_search_loading");
  EXPECT_FALSE(window_.SetTimer(foreign, 1, 100));
  EXPECT_FALSE(window_.SetTimer(nullptr, 1, 100));

  // A period below the minimum is the minimum.
  window_.SetTimer(search_, 3, 1);
  backend_.AdvanceTime(9);
  EXPECT_TRUE(form_.log.empty());
  backend_.AdvanceTime(1);
  EXPECT_EQ(form_.log.size(), 1u);

  size_t before = backend_.RunningTimerCount();
  window_.Destroy();
  EXPECT_LT(backend_.RunningTimerCount(), before);
  backend_.AdvanceTime(1000);
  EXPECT_EQ(form_.log.size(), 1u);
}

TEST_F(UiTimerTest, AnimationsStepThroughTheirFramesWithoutTimerNotifications) {
  search_->ResetFrames();
  for (int i = 1; i <= 8; ++i) search_->AddFrame(L"images\\Loading\\" + std::to_wstring(i) + L".png");
  EXPECT_TRUE(search_->IsAnimating());
  EXPECT_EQ(search_->CurrentFrame(), 0u);
  window_.SetTimer(search_, 500, 500);

  backend_.AdvanceTime(200);
  EXPECT_EQ(search_->CurrentFrame(), 1u);
  backend_.AdvanceTime(1400);
  EXPECT_EQ(search_->CurrentFrame(), 0u);  // eight frames later
  EXPECT_EQ(form_.log.size(), 3u);         // only the program's own timer raised "timer"
  EXPECT_EQ(search_->Frames()[7], L"images\\Loading\\8.png");

  search_->ResetFrames();
  EXPECT_FALSE(search_->IsAnimating());
  EXPECT_TRUE(window_.HasTimer(search_, 500));
  udp_->AddFrame(L"images\\Loading\\1.png");
  EXPECT_FALSE(udp_->IsAnimating());  // one frame does not move
  udp_->AddFrame(L"images\\Loading\\2.png");
  udp_->SetFrameDelay(50);
  backend_.AdvanceTime(50);
  EXPECT_EQ(udp_->CurrentFrame(), 1u);
}

}  // namespace
}  // namespace orvello::ui::test
