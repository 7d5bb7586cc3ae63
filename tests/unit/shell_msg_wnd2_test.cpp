// The message log control: line formats, the line limit, and lines written
// from other threads arriving in each thread's order on the UI thread.
#include <gtest/gtest.h>

#include <thread>

#include "platform/fake/fake_machine.h"
#include "shell/message_log.h"
#include "shell/msg_wnd2.h"
#include "ui/control_factory.h"
#include "ui_test_support.h"

namespace orvello {
namespace {

class MsgWnd2Test : public ui::test::UiTest {
 protected:
  void SetUp() override {
    machine_.system.SetLocalTime({2026, 3, 4, 5, 6, 7, 8, 9});
    RegisterProgramControls(machine_.system);
  }
  void TearDown() override { ui::UnregisterControlClass(CMsgWnd2UI::kClassName); }

  CMsgWnd2UI& OpenLog(const std::string& attributes) {
    Open(window_, L"log.xml",
         "<Window size=\"300,200\"><VerticalLayout><MsgWnd2 name=\"text_setup_msg\" " + attributes +
             "/></VerticalLayout></Window>");
    return *window_.Find<CMsgWnd2UI>(L"text_setup_msg");
  }

  fake::FakeMachine machine_;
  ui::Window window_;
};

TEST_F(MsgWnd2Test, ComposesTheLineAsTheDateAndTimeAttributesSay) {
  struct Case {
    const char* attributes;
    const wchar_t* line;
  } cases[] = {
      {"", L"2026-03-05 06:07:08.009 : done"},
      {"showdate=\"TRUE\" showtime=\"false\"", L"2026-03-05 : done"},
      {"showdate=\"false\"", L"06:07:08.009 : done"},
      {"showdate=\"false\" showtime=\"no\"", L"done"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    ui::Window window;
    skin_.Put(L"one.xml", std::string("<Window><MsgWnd2 name=\"m\" ") + c.attributes + "/></Window>");
    ASSERT_TRUE(window.Create(L"one.xml", L"Test").ok());
    EXPECT_EQ(window.Find<CMsgWnd2UI>(L"m")->ComposeLine(L"done"), c.line);
  }
}

TEST_F(MsgWnd2Test, GlobalWritersReachTheNewestControlWithColours) {
  CMsgWnd2UI& log = OpenLog("showdate=\"false\" showtime=\"false\"");
  ASSERT_EQ(CurrentMessageLog(), &log);
  LogMessageColored(kColourRed, L"%s failed: %d", L"copy", 5);
  LogMessage(L"plain");
  // Nothing is added before the UI thread runs the queue.
  EXPECT_EQ(log.Text(), L"");
  backend_.Pump();
  EXPECT_EQ(log.Text(), L"copy failed: 5\r\nplain\r\n");
  ASSERT_EQ(log.Runs().size(), 2u);
  EXPECT_EQ(log.Runs()[0].color, ui::Color::FromColorRef(kColourRed));
  EXPECT_EQ(log.Runs()[1].color, ui::Color::FromColorRef(kColourBlack));

  SetMessageLogText(L"fresh");
  backend_.Pump();
  EXPECT_EQ(log.Text(), L"fresh");
}

TEST_F(MsgWnd2Test, TheLineAfterTheLimitClearsTheTextFirst) {
  CMsgWnd2UI& log = OpenLog("showdate=\"false\" showtime=\"false\"");
  for (int i = 1; i <= 4999; ++i) log.InsertMsg(std::to_wstring(i), 0);
  backend_.Pump();
  EXPECT_EQ(log.LineCount(), 5000u);  // 4999 lines and the empty one after the last break
  log.InsertMsg(L"5000", 0);
  backend_.Pump();
  EXPECT_EQ(log.Text(), L"5000\r\n");
}

TEST_F(MsgWnd2Test, LinesFromTwoThreadsKeepEachThreadsOrder) {
  CMsgWnd2UI& log = OpenLog("showdate=\"false\" showtime=\"false\"");
  auto writer = [](wchar_t tag) {
    for (int i = 0; i < 200; ++i) InsertMsg(std::wstring(1, tag) + std::to_wstring(i), 0);
  };
  std::thread a(writer, L'a'), b(writer, L'b');
  a.join();
  b.join();
  backend_.Pump();
  int nextA = 0, nextB = 0;
  std::wstring text = log.Text();
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(L"\r\n", start);
    ASSERT_NE(end, std::wstring::npos);
    std::wstring line = text.substr(start, end - start);
    int& next = line[0] == L'a' ? nextA : nextB;
    EXPECT_EQ(std::stoi(line.substr(1)), next) << WideToUtf8(line);
    ++next;
    start = end + 2;
  }
  EXPECT_EQ(nextA, 200);
  EXPECT_EQ(nextB, 200);
}

TEST_F(MsgWnd2Test, LinesQueuedForAControlThatIsGoneAreDropped) {
  {
    ui::Window window;
    skin_.Put(L"gone.xml", "<Window><MsgWnd2 name=\"m\"/></Window>");
    ASSERT_TRUE(window.Create(L"gone.xml", L"Test").ok());
    InsertMsg(L"late", 0);
    window.Destroy();
  }
  EXPECT_EQ(CurrentMessageLog(), nullptr);
  backend_.Pump();  // must not touch the freed control
  InsertMsg(L"nobody", 0);
  backend_.Pump();
}

}  // namespace
}  // namespace orvello
