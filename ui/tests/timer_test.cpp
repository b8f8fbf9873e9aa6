// Timers run on the platform loop, so on the virtual clock here: the watchdogs and sequencer
// ticks of the programs depend on when a period starts and on a disabled timer holding nothing.

#include <vector>

#include "platform/clock.h"
#include "platform/loop.h"
#include "ui/form.h"
#include "ui/timer.h"
#include "ui_fixture.h"

namespace ui::test {
namespace {

using TimerTest = UiTest;

TEST_F(TimerTest, TicksEveryIntervalWhileEnabledAndHoldsNoTimerWhenDisabled) {
  std::size_t before = platform::Loop::current().timerCount();
  TForm form;
  TTimer Timer1{&form};
  EXPECT_TRUE(Timer1.running()) << "timers start enabled";
  Timer1.setEnabled(false);
  EXPECT_EQ(platform::Loop::current().timerCount(), before);
  Timer1.setInterval(100);
  EXPECT_FALSE(Timer1.running());

  std::vector<platform::Millis> ticks;
  Timer1.OnTimer = [&] { ticks.push_back(clock().now()); };
  Timer1.setEnabled(true);
  clock().advance(350);
  Timer1.setEnabled(false);
  clock().advance(500);

  EXPECT_EQ(ticks, (std::vector<platform::Millis>{100, 200, 300}));
  EXPECT_EQ(platform::Loop::current().timerCount(), before);
}

// The response watchdog is restarted by disabling and enabling it: the full period counts again.
TEST_F(TimerTest, ReenablingOrANewIntervalStartsAFreshPeriod) {
  TTimer Timer2;
  Timer2.setEnabled(false);
  Timer2.setInterval(10000);
  int fired = 0;
  Timer2.OnTimer = [&] { ++fired; };
  Timer2.setEnabled(true);
  clock().advance(9000);
  Timer2.setEnabled(false);
  Timer2.setEnabled(true);
  Timer2.setEnabled(true);  // no change: the period is not restarted again
  clock().advance(9999);
  EXPECT_EQ(fired, 0);
  clock().advance(1);
  EXPECT_EQ(fired, 1);

  Timer2.setInterval(2000);
  clock().advance(1999);
  EXPECT_EQ(fired, 1);
  clock().advance(1);
  EXPECT_EQ(fired, 2);
}

TEST_F(TimerTest, HandlerMayStopOrReplaceItsOwnTimer) {
  TTimer RetryTimer;
  RetryTimer.setInterval(100);
  int first = 0;
  int second = 0;
  RetryTimer.OnTimer = [&] {
    ++first;
    RetryTimer.OnTimer = [&] {
      ++second;
      RetryTimer.setEnabled(false);
    };
  };
  clock().advance(1000);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
  EXPECT_FALSE(RetryTimer.running());
}

TEST_F(TimerTest, ZeroIntervalHoldsNoTimer) {
  TTimer timer;
  timer.setInterval(0);
  EXPECT_FALSE(timer.running());
  EXPECT_TRUE(timer.Enabled());
}

}  // namespace
}  // namespace ui::test
