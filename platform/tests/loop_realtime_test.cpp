// The loop on the real clock: waits are real poll() waits on the wake descriptor.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/clock.h"
#include "platform/loop.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

Millis since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class RealLoopTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(loop.timerCount(), 0u);
    EXPECT_EQ(loop.windowCount(), 0u);
  }
  Loop& loop = Loop::current();
};

TEST_F(RealLoopTest, MessageFromAnotherThreadEndsTheWaitAtOnce) {
  const WindowHandle hwnd = loop.createWindow();
  std::thread sender([hwnd] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Loop::post(hwnd, 5, 0, 0);
  });
  const auto started = Clock::now();
  Message m;
  const bool got = loop.getMessage(m, 5000);
  sender.join();
  EXPECT_TRUE(got);
  EXPECT_EQ(m.msg, 5u);
  EXPECT_GE(since(started), 40);
  EXPECT_LT(since(started), 2000);
  loop.destroyWindow(hwnd);
}

TEST_F(RealLoopTest, TimerRunsOnItsPeriodWhileTheLoopWaits) {
  int ticks = 0;
  const TimerId id = loop.setTimer(50, [&] { ++ticks; });
  const auto started = Clock::now();
  Message m;
  EXPECT_FALSE(loop.getMessage(m, 280));
  const Millis waited = since(started);
  loop.killTimer(id);
  EXPECT_GE(waited, 270);
  EXPECT_GE(ticks, 4);
  EXPECT_LE(ticks, 5);
}

TEST_F(RealLoopTest, SleepAndNowUseTheMonotonicClock) {
  EXPECT_FALSE(virtualClockActive());
  const Millis before = now();
  sleep(30);
  EXPECT_GE(now() - before, 30);
}

}  // namespace
}  // namespace platform
