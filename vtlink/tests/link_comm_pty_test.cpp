// The comm link on a pseudo-terminal: the tty settings, reads that never wait, the modem lines
// at close, and the exclusive open.

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "vtlink/comm_link.h"
#include "vtlink/log_recorder.h"
#include "vtlink/tests/link_pty_line.h"
#include "vtlink/tests/log_test_file.h"

namespace vtlink::test {
namespace {

constexpr std::uint8_t kPort = 3;

class CommLinkPtyTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(line_.ready()) << "no pseudo-terminal";
    ASSERT_TRUE(log_.open(logPath().c_str(), 4, 10000, "Comm Link Test"));
  }

  std::string logPath() const { return logDir_.path() + "/comm.log"; }
  std::vector<std::string> bodies() const { return logBodies(readLogLines(logPath())); }

  PtyLine line_{kPort};
  TempDir logDir_;
  LogRecorder log_;
  CommLink comm_{log_};
};

TEST_F(CommLinkPtyTest, OpensTheTtyAt19200) {
  ASSERT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  EXPECT_EQ(line_.adapter().slaveBaud(), 19200);
  auto body = bodies();
  ASSERT_GE(body.size(), 6u);
  EXPECT_EQ(body[5], "Comm Link: Using " + line_.dir() + "/COM3.");
  EXPECT_EQ(body.back(), "Comm Link: Open Successful.");
}

TEST_F(CommLinkPtyTest, ReadWithNothingWaitingReturnsAtOnce) {
  ASSERT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  const std::size_t before = bodies().size();
  std::uint8_t byte = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(comm_.readByte(&byte), 0);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  EXPECT_EQ(bodies().size(), before);

  ASSERT_TRUE(line_.adapter().write({0x49, 0x2B}).ok());
  std::vector<std::uint8_t> got;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (got.size() < 2 && std::chrono::steady_clock::now() < deadline) {
    if (comm_.readByte(&byte) == 1) {
      got.push_back(byte);
    }
  }
  EXPECT_EQ(got, (std::vector<std::uint8_t>{0x49, 0x2B}));
}

TEST_F(CommLinkPtyTest, WritesReachTheAdapter) {
  ASSERT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  const std::uint8_t reset[] = {0x1B, 0x1B, 0x1B};
  comm_.writeBlock(sizeof reset, reset);
  comm_.writeByte(0x49);
  EXPECT_EQ(line_.adapter().readExactly(4, 2000),
            (std::vector<std::uint8_t>{0x1B, 0x1B, 0x1B, 0x49}));
}

// A released port keeps the modem line states it last had, and a released port refuses to
// change them: false here means they were dropped while the device was still open.
TEST_F(CommLinkPtyTest, DtrAndRtsDroppedBeforeTheDeviceIsReleased) {
  ASSERT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  EXPECT_TRUE(comm_.port().dtr());
  EXPECT_TRUE(comm_.port().rts());
  comm_.close();
  EXPECT_FALSE(comm_.isOpen());
  EXPECT_FALSE(comm_.port().dtr());
  EXPECT_FALSE(comm_.port().rts());
  EXPECT_EQ(bodies().back(), "Comm Link: Close Successful.");
}

TEST_F(CommLinkPtyTest, PortHeldByAnotherOpenerIsRefused) {
  platform::SerialPort other;
  ASSERT_TRUE(other.open(kPort, {}).ok());
  EXPECT_FALSE(comm_.open(kPort, 512, 512, "19200"));
  EXPECT_FALSE(comm_.isOpen());
  const std::string last = bodies().back();
  EXPECT_TRUE(
      std::regex_match(last, std::regex(R"(Comm Link: FAILURE - CreateFile Error = [1-9]\d*\.)")))
      << last;
  other.close();
  EXPECT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  // And the other way round while the link holds it.
  platform::SerialPort late;
  EXPECT_FALSE(late.open(kPort, {}).ok());
}

}  // namespace
}  // namespace vtlink::test
