// Synchronous calls from a worker into the loop's thread, as the serial reader makes them.
// The loop thread here is the test's own; the waits are on real time, bounded so a fault shows
// as a failure rather than a hang.

#include <poll.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "platform/loop.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

using namespace std::chrono_literals;

// Waits until a call has been queued on `loop`, without taking it.
bool callQueued(const Loop& loop) {
  pollfd p{loop.wakeFd(), POLLIN, 0};
  return ::poll(&p, 1, 5000) == 1;
}

// Cancels on leaving a test early, so a failed assertion cannot leave a worker waiting.
struct CancelOnExit {
  CallCancel cancel;
  ~CancelOnExit() { cancel.cancel(); }
};

class CallSyncTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (worker.joinable()) {
      worker.join();
    }
    EXPECT_EQ(loop.timerCount(), 0u);
  }
  Loop& loop = Loop::current();
  CallCancel cancel;
  std::thread worker;
};

TEST_F(CallSyncTest, RunsOnTheLoopThreadAndWaitsForIt) {
  const std::thread::id loopThread = std::this_thread::get_id();
  std::thread::id ranOn;
  std::atomic<bool> returned{false};
  int value = 0;
  worker = std::thread([&] {
    EXPECT_TRUE(loop.callSync(
        [&] {
          ranOn = std::this_thread::get_id();
          value = 1;
        },
        cancel));
    // The call returned only after the function had run, so this read is ordered after it.
    EXPECT_EQ(value, 1);
    returned = true;
  });
  ASSERT_TRUE(loop.runUntil([&] { return returned.load(); }, 5000));
  EXPECT_EQ(ranOn, loopThread);
}

TEST_F(CallSyncTest, CallsFromOneWorkerRunInOrder) {
  std::vector<int> seen;
  std::atomic<bool> finished{false};
  worker = std::thread([&] {
    for (int i = 0; i < 200; ++i) {
      loop.callSync([&seen, i] { seen.push_back(i); }, cancel);
    }
    finished = true;
  });
  ASSERT_TRUE(loop.runUntil([&] { return finished.load(); }, 5000));
  ASSERT_EQ(seen.size(), 200u);
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(seen[i], i);
  }
}

TEST_F(CallSyncTest, PassRunsTimersThenCallsThenMessages) {
  std::vector<std::string> trace;
  const WindowHandle hwnd = loop.createWindow([&](const Message&) { trace.push_back("message"); });
  std::future<bool> call = std::async(
      std::launch::async, [&] { return loop.callSync([&] { trace.push_back("call"); }, cancel); });
  CancelOnExit release{cancel};
  ASSERT_TRUE(callQueued(loop));
  Loop::post(hwnd, 1, 0, 0);
  const TimerId timer = loop.setTimer(1, [&] { trace.push_back("timer"); });
  std::this_thread::sleep_for(5ms);
  loop.processPending();
  EXPECT_TRUE(call.get());
  loop.killTimer(timer);
  loop.destroyWindow(hwnd);
  EXPECT_EQ(trace, (std::vector<std::string>{"timer", "call", "message"}));
}

TEST_F(CallSyncTest, AlreadyCancelledCallIsNotMade) {
  cancel.cancel();
  bool ran = false;
  std::future<bool> result =
      std::async(std::launch::async, [&] { return loop.callSync([&] { ran = true; }, cancel); });
  ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
  EXPECT_FALSE(result.get());
  loop.processPending();
  EXPECT_FALSE(ran);
  cancel.reset();
  EXPECT_FALSE(cancel.cancelled());
}

TEST_F(CallSyncTest, CancellingFromTheLoopThreadReleasesTheWaitingWorker) {
  bool ran = false;
  std::future<bool> result =
      std::async(std::launch::async, [&] { return loop.callSync([&] { ran = true; }, cancel); });
  CancelOnExit release{cancel};
  ASSERT_TRUE(callQueued(loop));
  // The loop thread stops the worker instead of serving it; a copy shares the state.
  CallCancel copy = cancel;
  copy.cancel();
  ASSERT_EQ(result.wait_for(5s), std::future_status::ready) << "worker left waiting";
  EXPECT_FALSE(result.get());
  loop.processPending();
  EXPECT_FALSE(ran);
}

TEST_F(CallSyncTest, CallIntoALoopWhoseThreadEndsIsWithdrawn) {
  std::promise<Loop*> loopReady;
  std::promise<void> callWasQueued;
  std::thread loopThread([&] {
    Loop& theirs = Loop::current();
    loopReady.set_value(&theirs);
    callQueued(theirs);
    callWasQueued.set_value();
    // Ends without serving the call; its loop is destroyed with the thread.
  });
  Loop* theirs = loopReady.get_future().get();
  bool ran = false;
  const bool made = theirs->callSync([&] { ran = true; }, cancel);
  loopThread.join();
  callWasQueued.get_future().get();
  EXPECT_FALSE(made);
  EXPECT_FALSE(ran);
}

TEST_F(CallSyncTest, CallFromTheLoopThreadItselfRunsAtOnce) {
  bool ran = false;
  EXPECT_TRUE(loop.callSync([&] { ran = true; }, cancel));
  EXPECT_TRUE(ran);
  cancel.cancel();
  EXPECT_FALSE(loop.callSync([] { FAIL() << "ran although cancelled"; }, cancel));
}

}  // namespace
}  // namespace platform
