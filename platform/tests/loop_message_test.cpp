#include <poll.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/tests/loop_fixture.h"

namespace platform {
namespace {

bool readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 0) == 1;
}

class LoopMessageTest : public testing::VirtualLoopTest {
 protected:
  void TearDown() override {
    for (WindowHandle hwnd : windows) {
      loop.destroyWindow(hwnd);
    }
    VirtualLoopTest::TearDown();
  }

  // A window that records what its procedure receives.
  WindowHandle recordingWindow() {
    const WindowHandle hwnd =
        loop.createWindow([this](const Message& m) { received.push_back(m.msg); });
    windows.push_back(hwnd);
    return hwnd;
  }
  WindowHandle plainWindow() {
    const WindowHandle hwnd = loop.createWindow();
    windows.push_back(hwnd);
    return hwnd;
  }

  std::vector<WindowHandle> windows;
  std::vector<std::uint32_t> received;
};

TEST_F(LoopMessageTest, PostReachesTheWindowWithItsArguments) {
  const WindowHandle hwnd = plainWindow();
  ASSERT_NE(hwnd, 0u);
  ASSERT_TRUE(Loop::post(hwnd, 1024, 0xFFFF'FFFF'FFFF'FFFFull, -5));
  Message m;
  ASSERT_TRUE(loop.getMessage(m, 0));
  EXPECT_EQ(m.hwnd, hwnd);
  EXPECT_EQ(m.msg, 1024u);
  EXPECT_EQ(m.wparam, 0xFFFF'FFFF'FFFF'FFFFull);
  EXPECT_EQ(m.lparam, -5);
  EXPECT_FALSE(loop.getMessage(m, 0));
}

TEST_F(LoopMessageTest, PostToAnUnknownOrDestroyedWindowFails) {
  EXPECT_FALSE(Loop::post(0, 1, 0, 0));
  const WindowHandle hwnd = loop.createWindow();
  ASSERT_TRUE(Loop::post(hwnd, 1, 0, 0));
  loop.destroyWindow(hwnd);
  EXPECT_FALSE(Loop::post(hwnd, 2, 0, 0));
  // What was queued for it went with it.
  Message m;
  EXPECT_FALSE(loop.getMessage(m, 0));
}

TEST_F(LoopMessageTest, MessagesFromManyThreadsAllArriveInEachSendersOrder) {
  const WindowHandle hwnd = plainWindow();
  constexpr int kThreads = 4;
  constexpr int kEach = 500;
  std::vector<std::thread> senders;
  for (int t = 0; t < kThreads; ++t) {
    senders.emplace_back([=] {
      for (int i = 0; i < kEach; ++i) {
        Loop::post(hwnd, static_cast<std::uint32_t>(t), static_cast<std::uint64_t>(i), 0);
      }
    });
  }
  for (auto& s : senders) {
    s.join();
  }
  std::vector<std::uint64_t> next(kThreads, 0);
  Message m;
  while (loop.getMessage(m, 0)) {
    ASSERT_EQ(m.wparam, next[m.msg]) << "sender " << m.msg;
    ++next[m.msg];
  }
  EXPECT_EQ(next, std::vector<std::uint64_t>(kThreads, kEach));
}

TEST_F(LoopMessageTest, HookSeesEveryMessageFirstAndMayKeepIt) {
  std::vector<std::string> trace;
  const WindowHandle hwnd = loop.createWindow(
      [&](const Message& m) { trace.push_back("window " + std::to_string(m.msg)); });
  windows.push_back(hwnd);
  loop.setHook([&](const Message& m) {
    trace.push_back("hook " + std::to_string(m.msg));
    return m.msg == 2222;
  });
  Loop::post(hwnd, 1, 0, 0);
  Loop::post(hwnd, 2222, 0, 0);
  Loop::post(hwnd, 3, 0, 0);
  loop.processPending();
  EXPECT_EQ(trace,
            (std::vector<std::string>{"hook 1", "window 1", "hook 2222", "hook 3", "window 3"}));
}

TEST_F(LoopMessageTest, PassTakesOnlyWhatWasQueuedWhenItBegan) {
  WindowHandle hwnd = 0;
  hwnd = loop.createWindow([&](const Message& m) {
    received.push_back(m.msg);
    Loop::post(hwnd, m.msg + 1, 0, 0);  // would never end if the pass chased its own tail
  });
  windows.push_back(hwnd);
  Loop::post(hwnd, 1, 0, 0);
  loop.processPending();
  loop.processPending();
  EXPECT_EQ(received, (std::vector<std::uint32_t>{1, 2}));
}

TEST_F(LoopMessageTest, PassLeavesMessagesOfWindowsWithoutProcedureForGetMessage) {
  const WindowHandle withProc = recordingWindow();
  const WindowHandle without = plainWindow();
  Loop::post(without, 7, 0, 0);
  Loop::post(withProc, 8, 0, 0);
  loop.processPending();
  EXPECT_EQ(received, (std::vector<std::uint32_t>{8}));
  Message m;
  ASSERT_TRUE(loop.getMessage(m, 0));
  EXPECT_EQ(m.msg, 7u);
}

TEST_F(LoopMessageTest, ProcedureMayDestroyItsOwnWindow) {
  WindowHandle hwnd = 0;
  int calls = 0;
  hwnd = loop.createWindow([&](const Message&) {
    ++calls;
    loop.destroyWindow(hwnd);
  });
  Loop::post(hwnd, 1, 0, 0);
  Loop::post(hwnd, 2, 0, 0);
  loop.processPending();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(loop.windowCount(), 0u);
}

TEST_F(LoopMessageTest, WakeDescriptorSignalsQueuedWorkUntilAPassTakesIt) {
  const WindowHandle hwnd = recordingWindow();
  EXPECT_FALSE(readable(loop.wakeFd()));
  std::thread([=] { Loop::post(hwnd, 3, 0, 0); }).join();
  EXPECT_TRUE(readable(loop.wakeFd()));
  loop.processPending();
  EXPECT_FALSE(readable(loop.wakeFd()));
  EXPECT_EQ(received, (std::vector<std::uint32_t>{3}));
}

TEST_F(LoopMessageTest, GetMessageOnVirtualTimeEndsAtItsTimeOut) {
  Message m;
  EXPECT_FALSE(loop.getMessage(m, 500));
  EXPECT_EQ(now(), 500);
}

TEST_F(LoopMessageTest, GetMessageRunsTimersWhileItWaits) {
  const WindowHandle hwnd = plainWindow();
  int ticks = 0;
  const TimerId id = loop.setTimer(100, [&] {
    if (++ticks == 3) {
      Loop::post(hwnd, 42, 0, 0);
    }
  });
  Message m;
  ASSERT_TRUE(loop.getMessage(m, 1000));
  EXPECT_EQ(m.msg, 42u);
  EXPECT_EQ(now(), 300);
  loop.killTimer(id);
}

TEST_F(LoopMessageTest, ProcessOneWaitsForTheNextTimerOnly) {
  int ticks = 0;
  const TimerId id = loop.setTimer(40, [&] { ++ticks; });
  EXPECT_FALSE(loop.processOne(30));
  EXPECT_EQ(now(), 30);
  EXPECT_TRUE(loop.processOne(30));
  EXPECT_EQ(now(), 40);
  EXPECT_EQ(ticks, 1);
  loop.killTimer(id);
}

TEST_F(LoopMessageTest, ModalRunUntilInsideAHandlerKeepsTheOrder) {
  WindowHandle hwnd = 0;
  hwnd = loop.createWindow([&](const Message& m) {
    received.push_back(m.msg);
    if (m.msg == 1) {
      // A modal form: it runs the loop until its own message comes.
      EXPECT_TRUE(loop.runUntil([&] { return received.back() == 3; }, 1000));
      received.push_back(100);
    }
  });
  windows.push_back(hwnd);
  for (std::uint32_t msg : {1u, 2u, 3u, 4u}) {
    Loop::post(hwnd, msg, 0, 0);
  }
  loop.processPending();
  EXPECT_EQ(received, (std::vector<std::uint32_t>{1, 2, 3, 100, 4}));
}

TEST_F(LoopMessageTest, RunReturnsTheCodeGivenToQuit) {
  int ticks = 0;
  const TimerId id = loop.setTimer(50, [&] {
    if (++ticks == 4) {
      loop.quit(7);
    }
  });
  EXPECT_EQ(loop.run(), 7);
  EXPECT_EQ(now(), 200);
  loop.killTimer(id);
}

TEST_F(LoopMessageTest, RunUntilGivesUpAtItsTimeOut) {
  EXPECT_FALSE(loop.runUntil([] { return false; }, 250));
  EXPECT_EQ(now(), 250);
}

TEST(LoopThreadTest, EachThreadHasItsOwnLoopAndItsWindowsDieWithIt) {
  Loop* mine = &Loop::current();
  Loop* theirs = nullptr;
  WindowHandle theirWindow = 0;
  std::thread([&] {
    theirs = &Loop::current();
    theirWindow = Loop::current().createWindow();
    EXPECT_TRUE(Loop::post(theirWindow, 1, 0, 0));
  }).join();
  EXPECT_NE(mine, theirs);
  EXPECT_NE(theirWindow, 0u);
  EXPECT_FALSE(Loop::post(theirWindow, 2, 0, 0));
}

// Stands for the library's unload-time close: it runs after the thread's loop is gone.
struct CloseAtThreadExit {
  TimerId timer = 0;
  bool* closed = nullptr;
  ~CloseAtThreadExit() {
    Loop::current().killTimer(timer);
    *closed = true;
  }
};

TEST(LoopThreadTest, LoopIsStillThereForCodeRunningAfterItsThreadsLoop) {
  bool closed = false;
  std::thread([&] {
    // Constructed before the loop, so destroyed after it.
    thread_local CloseAtThreadExit closer;
    closer.closed = &closed;
    closer.timer = Loop::current().setTimer(50, [] {});
  }).join();
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace platform
