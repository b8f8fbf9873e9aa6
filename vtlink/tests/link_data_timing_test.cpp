// The data link's time-outs and retries, on the virtual clock.

#include <gtest/gtest.h>

#include "vtlink/tests/link_test_peer.h"

namespace vtlink::test {
namespace {

struct Write {
  platform::Millis at;
  Bytes bytes;
  bool operator==(const Write&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Write& w) {
  os << w.at << " ms:";
  for (auto b : w.bytes) {
    os << ' ' << std::hex << int{b} << std::dec;
  }
  return os;
}

class DataLinkTimingTest : public DataLinkTest {
 protected:
  // Every host write until the first event (or `limitMs`), with times relative to `from`.
  std::vector<Write> writesUntilEvent(platform::Millis from, platform::Millis limitMs) {
    std::vector<Write> writes;
    while (events_.empty() && clock_.now() - from < limitMs) {
      Bytes written;
      if (nextWrite(dl::kTickMs, written) >= 0) {
        writes.push_back({clock_.now() - from, written});
      }
    }
    return writes;
  }
};

TEST_F(DataLinkTimingTest, SilentAdapterAtOpenGetsNineInitsThenFails) {
  ASSERT_EQ(open(), 0);
  EXPECT_EQ(adapter_->read(), Bytes({0x1B, 0x1B, 0x1B}));
  EXPECT_TRUE(adapter_->hostOpen());
  std::vector<Write> expected;
  for (platform::Millis s = 1; s <= 9; ++s) {
    expected.push_back({s * 1000, bytes("I")});
  }
  EXPECT_EQ(writesUntilEvent(0, 11000), expected);
  EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kOpenFailed});
  EXPECT_EQ(eventTimes_, std::vector<platform::Millis>{10000});
  EXPECT_EQ(link_->linkStatus(), dl::kOpenFailed);
  EXPECT_FALSE(adapter_->hostOpen());
  EXPECT_FALSE(link_->timerRunning());
  EXPECT_EQ(platform::Loop::current().timerCount(), 0u);
}

// The handshake needs both halves: an adapter that acknowledges the host's INITs but never
// sends one of its own has not reset, and the open fails all the same.
TEST_F(DataLinkTimingTest, AckedInitsWithoutTheAdaptersOwnInitFail) {
  ASSERT_EQ(open(), 0);
  adapter_->read();
  for (int i = 0; i < 12 && events_.empty(); ++i) {
    Bytes written;
    if (nextWrite(1000, written) >= 0 && written == bytes("I")) {
      adapter_->write(bytes("+"));
    }
  }
  EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kOpenFailed});
  EXPECT_FALSE(link_->connected());
}

TEST_F(DataLinkTimingTest, SilentAdapterAfterAFrameGetsTwoRacksThenNotResponding) {
  connect();
  const platform::Millis sent = clock_.now();
  const Bytes payload = {0x21};
  ASSERT_EQ(link_->sendFrame(payload.size(), payload.data()), 0);
  adapter_->read();
  EXPECT_EQ(writesUntilEvent(sent, 10000),
            (std::vector<Write>{{5000, bytes("R")}, {7000, bytes("R")}}));
  EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kNotResponding});
  EXPECT_EQ(eventTimes_, std::vector<platform::Millis>{sent + 9000});
  EXPECT_EQ(link_->linkStatus(), dl::kNotResponding);
  EXPECT_TRUE(link_->connected());
  EXPECT_TRUE(link_->timerRunning());
}

TEST_F(DataLinkTimingTest, ResendWaitsThreeSecondsBeforeAskingAgain) {
  connect();
  const Bytes payload = {0x21};
  ASSERT_EQ(link_->sendFrame(payload.size(), payload.data()), 0);
  const Bytes frame = adapter_->read();
  adapter_->write(bytes("N"));
  advance(50);
  ASSERT_EQ(adapter_->read(), frame);
  const platform::Millis resent = clock_.now();
  EXPECT_EQ(writesUntilEvent(resent, 10000), (std::vector<Write>{{3000, bytes("R")}}));
  EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kNotResponding});
  EXPECT_EQ(eventTimes_, std::vector<platform::Millis>{resent + 5000});
}

TEST_F(DataLinkTimingTest, AckAfterARackCompletes) {
  connect();
  const Bytes payload = {0x21};
  ASSERT_EQ(link_->sendFrame(payload.size(), payload.data()), 0);
  adapter_->read();
  Bytes written;
  ASSERT_GE(nextWrite(6000, written), 0);
  ASSERT_EQ(written, bytes("R"));
  adapter_->write(bytes("0"));
  advance(50);
  EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kFrameAcked});
}

}  // namespace
}  // namespace vtlink::test
