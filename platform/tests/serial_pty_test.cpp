// The termios serial port against a pseudo-terminal: the master plays the adapter.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/port_names.h"
#include "platform/pty.h"
#include "platform/serial_port.h"
#include "platform/tests/env_guard.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

Millis elapsedMs(Clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

class SerialPtyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.status().ok()) << pty.status().text();
    ASSERT_TRUE(pty.holdSlaveOpen().ok());
  }
  Status open(const LineSettings& settings = {}) {
    return port.openPath(pty.slavePath(), settings);
  }

  PseudoTerminal pty;
  SerialPort port;
};

TEST_F(SerialPtyTest, SecondOpenerIsRefusedEvenAsRoot) {
  ASSERT_TRUE(open().ok());
  SerialPort second;
  Status s = second.openPath(pty.slavePath(), {});
  EXPECT_EQ(s.error, EBUSY) << s.text();
  EXPECT_FALSE(second.isOpen());
  // Closing lifts both the lock and the exclusive mode for the next opener.
  port.close();
  EXPECT_TRUE(second.openPath(pty.slavePath(), {}).ok());
}

TEST_F(SerialPtyTest, NonBlockingReadReturnsAtOnce) {
  ASSERT_TRUE(open().ok());
  std::uint8_t buf[16];
  const auto started = Clock::now();
  ReadResult r = port.readNonBlocking(buf, sizeof buf);
  EXPECT_LT(elapsedMs(started), 50);
  EXPECT_TRUE(r.status.ok()) << r.status.text();
  EXPECT_EQ(r.count, 0u);

  ASSERT_TRUE(pty.write({0x41, 0x42}).ok());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  r = port.readNonBlocking(buf, sizeof buf);
  ASSERT_EQ(r.count, 2u);
  EXPECT_EQ(buf[0], 0x41);
  EXPECT_EQ(buf[1], 0x42);
}

TEST_F(SerialPtyTest, ReadTimeoutWaitsAboutAsLongAsAsked) {
  ASSERT_TRUE(open().ok());
  std::uint8_t byte = 0;
  const auto started = Clock::now();
  ReadResult r = port.readTimeout(&byte, 1, 100);
  const Millis waited = elapsedMs(started);
  EXPECT_TRUE(r.status.ok());
  EXPECT_EQ(r.count, 0u);
  EXPECT_GE(waited, 95);
  EXPECT_LT(waited, 600);
}

TEST_F(SerialPtyTest, ReadTimeoutReturnsWhenAByteArrives) {
  ASSERT_TRUE(open().ok());
  std::thread adapter([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pty.write({0x2A});
  });
  std::uint8_t byte = 0;
  const auto started = Clock::now();
  ReadResult r = port.readTimeout(&byte, 1, 5000);
  adapter.join();
  EXPECT_LT(elapsedMs(started), 2000);
  ASSERT_EQ(r.count, 1u);
  EXPECT_EQ(byte, 0x2A);
}

TEST_F(SerialPtyTest, LineSpeedIsSeenByTheAdapterSide) {
  LineSettings settings;
  settings.baud = 115200;
  ASSERT_TRUE(open(settings).ok());
  EXPECT_EQ(pty.slaveBaud(), 115200);
  ASSERT_TRUE(port.setBaud(57600).ok());
  EXPECT_EQ(pty.slaveBaud(), 57600);
  ASSERT_TRUE(port.setBaud(19200).ok());
  EXPECT_EQ(pty.slaveBaud(), 19200);
  EXPECT_EQ(port.settings().baud, 19200);
}

TEST_F(SerialPtyTest, BurstOf4096BytesArrivesIntactBothWays) {
  LineSettings settings;
  settings.xonXoff = false;  // every byte value is data here
  ASSERT_TRUE(open(settings).ok());
  Bytes burst(4096);
  for (std::size_t i = 0; i < burst.size(); ++i) {
    burst[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  }
  std::thread adapter([&] { EXPECT_EQ(pty.readExactly(burst.size(), 5000), burst); });
  EXPECT_TRUE(port.write(burst.data(), burst.size(), 5000).ok());
  adapter.join();

  ASSERT_TRUE(pty.write(burst).ok());
  Bytes got;
  std::uint8_t buf[512];
  const auto started = Clock::now();
  while (got.size() < burst.size() && elapsedMs(started) < 5000) {
    ReadResult r = port.readTimeout(buf, sizeof buf, 100);
    ASSERT_TRUE(r.status.ok()) << r.status.text();
    got.insert(got.end(), buf, buf + r.count);
  }
  EXPECT_EQ(got, burst);
}

TEST_F(SerialPtyTest, WriteWaitsWhileTheAdapterHoldsXoff) {
  ASSERT_TRUE(open().ok());
  ASSERT_TRUE(pty.write({kXoff}).ok());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const Bytes text{'a', 'b', 'c'};
  Status written = Status::failure(EINPROGRESS, "write");
  std::thread host([&] { written = port.write(text.data(), text.size(), 5000); });
  EXPECT_TRUE(pty.read(150).empty()) << "sent while the adapter held XOFF";
  ASSERT_TRUE(pty.write({kXon}).ok());
  EXPECT_EQ(pty.readExactly(3, 2000), text);
  host.join();
  EXPECT_TRUE(written.ok()) << written.text();
  // Flow control characters are the driver's, never data.
  std::uint8_t buf[4];
  EXPECT_EQ(port.readNonBlocking(buf, sizeof buf).count, 0u);
}

TEST_F(SerialPtyTest, WriteHeldByXoffGivesUpAtItsTimeOut) {
  ASSERT_TRUE(open().ok());
  ASSERT_TRUE(pty.write({kXoff}).ok());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const std::uint8_t byte = 'x';
  const auto started = Clock::now();
  EXPECT_EQ(port.write(&byte, 1, 100).error, ETIMEDOUT);
  EXPECT_GE(elapsedMs(started), 95);
}

TEST_F(SerialPtyTest, ModemLinesOnAPseudoTerminalAreRememberedNotRefused) {
  LineSettings settings;
  settings.dtr = false;
  ASSERT_TRUE(open(settings).ok());
  EXPECT_FALSE(port.dtr());
  EXPECT_TRUE(port.rts());
  ASSERT_TRUE(port.setDtr(true).ok());
  ASSERT_TRUE(port.setRts(false).ok());
  EXPECT_TRUE(port.dtr());
  EXPECT_FALSE(port.rts());
  std::uint32_t bits = 0xFF;
  ASSERT_TRUE(port.modemStatus(bits).ok());
  EXPECT_EQ(bits, 0u);
}

TEST(SerialHangUpTest, ReadReportsTheLossOfTheFarEnd) {
  auto pty = std::make_unique<PseudoTerminal>();
  ASSERT_TRUE(pty->status().ok());
  SerialPort port;
  ASSERT_TRUE(port.openPath(pty->slavePath(), {}).ok());
  pty.reset();  // the adapter vanishes
  std::uint8_t byte = 0;
  const auto started = Clock::now();
  ReadResult r = port.readTimeout(&byte, 1, 1000);
  EXPECT_FALSE(r.status.ok());
  EXPECT_LT(elapsedMs(started), 500) << "a hang-up must not look like silence";
}

TEST(SerialOpenTest, PortNumberFindsTheLinkInThePortFolder) {
  PseudoTerminal pty;
  ASSERT_TRUE(pty.status().ok());
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("vantor-ports-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::create_symlink(pty.slavePath(), dir / "COM3");
  testing::EnvGuard env("VANTOR_PORT_DIR", dir.string());

  SerialPort port;
  EXPECT_TRUE(port.open(3, {}).ok());
  SerialPort missing;
  EXPECT_EQ(missing.open(4, {}).error, ENOENT);
  port.close();
  std::filesystem::remove_all(dir);
}

TEST(SerialOpenTest, SomethingThatIsNotATerminalIsRefused) {
  SerialPort port;
  EXPECT_EQ(port.openPath("/dev/null", {}).error, ENOTTY);
  EXPECT_EQ(port.openPath("/nonexistent/tty", {}).error, ENOENT);
  EXPECT_FALSE(port.isOpen());
}

}  // namespace
}  // namespace platform
