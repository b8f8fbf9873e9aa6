#include <string>
#include <utility>
#include <vector>

#include "platform/tests/loop_fixture.h"

namespace platform {
namespace {

using Trace = std::vector<std::pair<std::string, Millis>>;

class LoopTimerTest : public testing::VirtualLoopTest {
 protected:
  TimerId start(Millis interval, std::string name) {
    return loop.setTimer(interval, [this, name] { trace.emplace_back(name, now()); });
  }
  Trace trace;
};

TEST_F(LoopTimerTest, AdvanceRunsTimersInDeadlineOrderWithTiesInStartOrder) {
  const TimerId slow = start(30, "slow");
  const TimerId b = start(10, "b");
  const TimerId a = start(10, "a");  // same deadline as b, started later
  const TimerId mid = start(20, "mid");

  clock->advance(30);

  const Trace expected{{"b", 10},   {"a", 10},    {"b", 20}, {"a", 20},
                       {"mid", 20}, {"slow", 30}, {"b", 30}, {"a", 30}};
  EXPECT_EQ(trace, expected);
  for (TimerId id : {slow, b, a, mid}) {
    loop.killTimer(id);
  }
}

TEST_F(LoopTimerTest, PeriodicTimerKeepsItsPeriodAcrossAdvances) {
  const TimerId id = start(50, "tick");
  clock->advance(120);
  clock->advance(30);
  EXPECT_EQ(trace, (Trace{{"tick", 50}, {"tick", 100}, {"tick", 150}}));
  EXPECT_EQ(clock->now(), 150);
  EXPECT_EQ(loop.nextDeadline(), 200);
  loop.killTimer(id);
  EXPECT_EQ(loop.nextDeadline(), std::nullopt);
}

TEST_F(LoopTimerTest, OnePassUsesTheTimeReadAtItsStart) {
  // The first callback takes 10 ms; the second timer falls due during it but belongs to the
  // next pass, not this one.
  TimerId slowCallback = 0;
  slowCallback = loop.setTimer(10, [&] {
    trace.emplace_back("slow", now());
    sleep(10);
    loop.killTimer(slowCallback);
  });
  const TimerId later = start(15, "later");
  sleep(10);
  loop.processPending();
  EXPECT_EQ(trace, (Trace{{"slow", 10}}));
  loop.processPending();
  EXPECT_EQ(trace, (Trace{{"slow", 10}, {"later", 20}}));
  loop.killTimer(later);
}

TEST_F(LoopTimerTest, TimerKilledByAnEarlierCallbackOfThePassDoesNotRun) {
  TimerId victim = 0;
  TimerId started = 0;
  const TimerId killer = loop.setTimer(10, [&] {
    trace.emplace_back("killer", now());
    loop.killTimer(victim);
    started = start(1, "started");  // due after this pass, however short its interval
  });
  victim = start(10, "victim");
  sleep(10);
  loop.processPending();
  EXPECT_EQ(trace, (Trace{{"killer", 10}}));
  loop.killTimer(killer);
  loop.killTimer(started);
}

TEST_F(LoopTimerTest, TimerMayKillItselfFromItsCallback) {
  // The link layer stops its own tick this way; under ASan a use after free shows here.
  TimerId self = 0;
  int runs = 0;
  self = loop.setTimer(50, [&] {
    ++runs;
    loop.killTimer(self);
  });
  clock->advance(500);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(loop.timerCount(), 0u);
}

TEST_F(LoopTimerTest, AdvanceRunsTimersStartedDuringTheAdvance) {
  TimerId child = 0;
  const TimerId parent = loop.setTimer(100, [&] {
    trace.emplace_back("parent", now());
    if (child == 0) {
      child = start(30, "child");
    }
  });
  clock->advance(200);
  EXPECT_EQ(
      trace,
      (Trace{{"parent", 100}, {"child", 130}, {"child", 160}, {"child", 190}, {"parent", 200}}));
  loop.killTimer(parent);
  loop.killTimer(child);
}

TEST_F(LoopTimerTest, SleepMovesVirtualTimeWithoutRunningTimers) {
  const TimerId id = start(10, "tick");
  sleep(35);
  EXPECT_EQ(now(), 35);
  EXPECT_TRUE(trace.empty());
  // Overdue timers run once at the next pass, not once per missed period.
  loop.processPending();
  EXPECT_EQ(trace, (Trace{{"tick", 35}}));
  EXPECT_EQ(loop.nextDeadline(), 45);
  loop.killTimer(id);
}

TEST_F(LoopTimerTest, KillingAnUnknownOrStaleIdChangesNothing) {
  const TimerId id = start(10, "tick");
  loop.killTimer(0);
  loop.killTimer(id + 1000);
  loop.killTimer(id);
  loop.killTimer(id);
  EXPECT_EQ(loop.timerCount(), 0u);
  // A new timer never gets the id of an old one, so a late kill cannot stop it.
  const TimerId next = start(10, "next");
  EXPECT_NE(next, id);
  loop.killTimer(id);
  EXPECT_EQ(loop.timerCount(), 1u);
  loop.killTimer(next);
}

TEST_F(LoopTimerTest, TimerRunningAModalLoopIsNotReenteredButOthersRun) {
  int modalRuns = 0;
  int otherRuns = 0;
  const TimerId other = loop.setTimer(10, [&] { ++otherRuns; });
  const TimerId modal = loop.setTimer(10, [&] {
    ++modalRuns;
    loop.runUntil([&] { return otherRuns >= 3; }, 1000);
  });
  clock->advance(10);
  EXPECT_EQ(modalRuns, 1);
  EXPECT_EQ(otherRuns, 3);
  loop.killTimer(other);
  loop.killTimer(modal);
}

TEST(VirtualClockTest, StartsAtZeroAndOnlyOneMayExist) {
  EXPECT_FALSE(virtualClockActive());
  {
    VirtualClock clock;
    EXPECT_TRUE(virtualClockActive());
    EXPECT_EQ(now(), 0);
    EXPECT_THROW(VirtualClock second, std::logic_error);
    clock.advance(25);
    EXPECT_EQ(now(), 25);
  }
  EXPECT_FALSE(virtualClockActive());
  VirtualClock again;
  EXPECT_EQ(now(), 0);
}

}  // namespace
}  // namespace platform
