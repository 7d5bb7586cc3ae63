#include "system/events.h"

#include <gtest/gtest.h>

#include <thread>

namespace orvello {
namespace {

using std::chrono::milliseconds;

TEST(Events, AutoResetEventIsConsumedByOneWait) {
  AutoResetEvent event;
  EXPECT_FALSE(event.WaitFor(milliseconds(0)));
  event.Set();
  event.Set();  // setting twice still releases one wait
  EXPECT_TRUE(event.WaitFor(milliseconds(0)));
  EXPECT_FALSE(event.WaitFor(milliseconds(0)));
}

TEST(Events, ManualResetEventStaysSetUntilReset) {
  ManualResetEvent event;
  event.Set();
  EXPECT_TRUE(event.WaitFor(milliseconds(0)));
  EXPECT_TRUE(event.WaitFor(milliseconds(0)));
  event.Reset();
  EXPECT_FALSE(event.WaitFor(milliseconds(0)));
}

TEST(Events, InitiallySetEventsReleaseTheFirstWait) {
  AutoResetEvent automatic(true);
  ManualResetEvent manual(true);
  EXPECT_TRUE(automatic.WaitFor(milliseconds(0)));
  EXPECT_TRUE(manual.WaitFor(milliseconds(0)));
}

TEST(Events, WaitAnyPrefersTheFirstAndConsumesOnlyIt) {
  AutoResetEvent first;
  AutoResetEvent second;
  first.Set();
  second.Set();
  EXPECT_EQ(WaitAny(first, second), 0);
  EXPECT_EQ(WaitAny(first, second), 1) << "the second stayed set";
  EXPECT_FALSE(second.WaitFor(milliseconds(0)));
}

TEST(Events, WaitAnyLeavesAManualResetEventSet) {
  AutoResetEvent lines;
  ManualResetEvent stop;
  stop.Set();
  EXPECT_EQ(WaitAny(lines, stop), 1);
  EXPECT_EQ(WaitAny(lines, stop), 1);
}

TEST(Events, BlockedWaitAnyWakesForEitherEvent) {
  for (int which : {0, 1}) {
    AutoResetEvent first;
    ManualResetEvent second;
    int result = -1;
    std::thread waiter([&] { result = WaitAny(first, second); });
    (which == 0 ? static_cast<Event&>(first) : second).Set();
    waiter.join();
    EXPECT_EQ(result, which);
  }
}

TEST(Events, BlockedWaitWakesOnSetFromAnotherThread) {
  AutoResetEvent ready;
  AutoResetEvent go;
  bool passed = false;
  std::thread waiter([&] {
    ready.Set();
    go.Wait();
    passed = true;
  });
  ready.Wait();
  go.Set();
  waiter.join();
  EXPECT_TRUE(passed);
  EXPECT_FALSE(go.WaitFor(milliseconds(0))) << "the waiter consumed the signal";
}

}  // namespace
}  // namespace orvello
