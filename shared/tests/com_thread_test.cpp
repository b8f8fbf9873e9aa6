#include "shared/com_thread.h"

#include <gtest/gtest.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/loop.h"
#include "shared/tests/com_thread_test.h"

namespace shared::testing {
namespace {

constexpr platform::Millis kPatience = 5000;

// A reader's deliveries as the main thread sees them.
struct Deliveries {
  std::vector<std::uint8_t> bytes;
  bool highByteSet = false;
  TComThread::ByteHandler handler() {
    return [this](std::uint16_t value) {
      if (value > 0xFF)
        highByteSet = true;
      bytes.push_back(static_cast<std::uint8_t>(value));
    };
  }
};

// Printable adapter text with line ends: what an ASCII adapter sends. (Raw binary would meet
// the port's XON/XOFF handling, which is not the reader's business.)
std::vector<std::uint8_t> burst(std::size_t size) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; bytes.size() < size; ++i) {
    bytes.push_back(i % 40 == 39 ? '\r' : static_cast<std::uint8_t>(0x20 + i % 0x5F));
  }
  return bytes;
}

void pumpFor(platform::Millis ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  platform::Loop::current().runUntil([&] { return std::chrono::steady_clock::now() >= until; },
                                     ms + 1000);
}

bool pumpUntil(const std::function<bool()>& done) {
  return platform::Loop::current().runUntil(done, kPatience);
}

class ComThreadTest : public ::testing::TestWithParam<LineKind> {
 protected:
  void SetUp() override {
    threadsAtStart_ = threadCount();
    line_ = makeFarLine(GetParam());
    ASSERT_TRUE(line_->openHost(port_).ok());
  }
  void TearDown() override {
    port_.close();
    line_.reset();
    EXPECT_EQ(threadCount(), threadsAtStart_) << "a reader thread was left behind";
    EXPECT_EQ(platform::Loop::current().timerCount(), 0u);
  }

  std::unique_ptr<FarLine> line_;
  platform::SerialPort port_;
  int threadsAtStart_ = 0;
};

TEST_P(ComThreadTest, BurstArrivesInOrderOneCallPerByte) {
  Deliveries got;
  TComThread reader(port_, got.handler());
  reader.Resume();
  const std::vector<std::uint8_t> sent = burst(4000);
  std::thread sender([&] { line_->send(sent); });
  EXPECT_TRUE(pumpUntil([&] { return got.bytes.size() >= sent.size(); }));
  sender.join();
  pumpFor(150);  // a doubled byte would show up here
  EXPECT_EQ(got.bytes, sent);
  EXPECT_FALSE(got.highByteSet);
  reader.Halt();
}

TEST_P(ComThreadTest, RunsBelowNormalPriorityAndEndsOnHalt) {
  const int niceAtStart = niceThreadCount();
  Deliveries got;
  TComThread reader(port_, got.handler());
  EXPECT_EQ(threadCount(), threadsAtStart_) << "created suspended: no thread yet";
  reader.Resume();
  EXPECT_TRUE(reader.running());
  EXPECT_TRUE(pumpUntil([&] { return niceThreadCount() == niceAtStart + 1; }));
  pumpFor(350);  // a few empty reads
  EXPECT_TRUE(got.bytes.empty());
  reader.Halt();
  EXPECT_FALSE(reader.running());
  EXPECT_EQ(threadCount(), threadsAtStart_);
}

TEST_P(ComThreadTest, NothingIsDeliveredOnceTheHaltHasBegun) {
  Deliveries got;
  TComThread reader(port_, got.handler());
  reader.Resume();
  std::atomic<bool> sending{true};
  std::thread sender([&] {
    while (sending) {
      line_->send(burst(40));
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  ASSERT_TRUE(pumpUntil([&] { return got.bytes.size() > 200; }));
  reader.Halt();
  const std::size_t atHalt = got.bytes.size();
  pumpFor(300);
  sending = false;
  sender.join();
  EXPECT_EQ(got.bytes.size(), atHalt);
}

// The reader has read a byte and waits for the main thread, which is busy elsewhere and then
// halts it: the queued hand-over is withdrawn, and the halt does not wait for a loop pass.
TEST_P(ComThreadTest, HaltWithdrawsAQueuedHandOver) {
  Deliveries got;
  TComThread reader(port_, got.handler());
  reader.Resume();
  line_->send({'*'});
  std::this_thread::sleep_for(std::chrono::milliseconds(250));  // no loop pass meanwhile
  const auto before = std::chrono::steady_clock::now();
  reader.Halt();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1000));
  pumpFor(150);
  EXPECT_TRUE(got.bytes.empty());
}

// The Message Center closes the port from inside the hand-over of the "/CCC" line's last byte.
TEST_P(ComThreadTest, HaltAndCloseFromInsideTheHandOver) {
  std::vector<std::uint8_t> got;
  std::unique_ptr<TComThread> reader;
  reader = std::make_unique<TComThread>(port_, [&](std::uint16_t value) {
    got.push_back(static_cast<std::uint8_t>(value));
    if (value == '\r') {
      reader->Halt();
      port_.close();
    }
  });
  reader->Resume();
  line_->send({'/', 'C', 'C', 'C', '\r', '/', 'O', 'C', 'C', '\r'});
  EXPECT_TRUE(pumpUntil([&] { return !port_.isOpen(); }));
  pumpFor(200);
  EXPECT_EQ(got, (std::vector<std::uint8_t>{'/', 'C', 'C', 'C', '\r'}));
  reader.reset();
}

// The reader object may even go away inside its own hand-over (the program replaces it).
TEST_P(ComThreadTest, ReaderDestroyedInsideItsOwnHandOver) {
  int calls = 0;
  std::unique_ptr<TComThread> reader;
  reader = std::make_unique<TComThread>(port_, [&](std::uint16_t) {
    ++calls;
    reader.reset();
  });
  reader->Resume();
  line_->send({'a', 'b', 'c'});
  EXPECT_TRUE(pumpUntil([&] { return calls > 0; }));
  pumpFor(200);
  EXPECT_EQ(calls, 1);
  // The thread ends on its own right after the hand-over returns.
  EXPECT_TRUE(pumpUntil([&] { return threadCount() == threadsAtStart_; }));
}

TEST_P(ComThreadTest, OpenCloseOpenLeavesExactlyOneDeliveringReader) {
  Deliveries first;
  Deliveries second;
  // The first link's reader is halted and, as in the programs, kept until the next open.
  TComThread firstReader(port_, first.handler());
  firstReader.Resume();
  line_->send({'1'});
  ASSERT_TRUE(pumpUntil([&] { return first.bytes.size() == 1; }));
  firstReader.Halt();
  port_.close();

  ASSERT_TRUE(line_->openHost(port_).ok());
  TComThread secondReader(port_, second.handler());
  secondReader.Resume();
  const std::vector<std::uint8_t> sent = burst(500);
  line_->send(sent);
  EXPECT_TRUE(pumpUntil([&] { return second.bytes.size() >= sent.size(); }));
  pumpFor(150);
  EXPECT_EQ(second.bytes, sent);
  EXPECT_EQ(first.bytes, (std::vector<std::uint8_t>{'1'}));
  secondReader.Halt();
}

double processCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// A port that keeps failing (an unplugged adapter) until the watchdog closes it must not spin.
TEST_P(ComThreadTest, FailingPortDoesNotSpin) {
  platform::SerialPort closed;
  Deliveries got;
  TComThread reader(closed, got.handler());
  const double before = processCpuSeconds();
  reader.Resume();
  pumpFor(400);
  reader.Halt();
  EXPECT_LT(processCpuSeconds() - before, 0.2);
  EXPECT_TRUE(got.bytes.empty());
}

// One program over two kinds of line: the in-process line in the fast suite, a pseudo-terminal
// (a real tty driver) in the integration suite.
#ifdef SHARED_READER_OVER_PTY
INSTANTIATE_TEST_SUITE_P(Pty, ComThreadTest, ::testing::Values(LineKind::Pty));
#else
INSTANTIATE_TEST_SUITE_P(Memory, ComThreadTest, ::testing::Values(LineKind::Memory));
#endif

}  // namespace
}  // namespace shared::testing
