// Frames and symbols on the line, byte for byte: what the data link writes and what it makes of
// what the adapter writes.

#include <gtest/gtest.h>

#include <optional>

#include "vtlink/tests/link_case_name.h"
#include "vtlink/tests/link_test_peer.h"

namespace vtlink::test {
namespace {

struct SendCase {
  const char* name;
  Bytes payload;
  Bytes wire;
};

class SendFrameTest : public DataLinkTest, public testing::WithParamInterface<SendCase> {};

TEST_P(SendFrameTest, WritesTheStuffedChecksummedFrame) {
  connect();
  const Bytes payload = GetParam().payload;
  ASSERT_EQ(link_->sendFrame(payload.size(), payload.data()), 0);
  EXPECT_EQ(adapter_->read(), GetParam().wire);
  EXPECT_EQ(link_->linkStatus(), dl::kBusy);
}

INSTANTIATE_TEST_SUITE_P(
    Wire, SendFrameTest,
    testing::Values(SendCase{"Plain",
                             {0x21, 0xA0, 0x00, 0x04, 0x01},
                             {0x5B, 0x21, 0xA0, 0x00, 0x04, 0x01, 0x3A, 0x5D}},
                    SendCase{"XonAndSof", {0x11, 0x5B}, {0x5B, 0x24, 0xEE, 0x24, 0xA4, 0x94, 0x5D}},
                    SendCase{"OneByte", {0x51}, {0x5B, 0x51, 0xAF, 0x5D}},
                    SendCase{"ChecksumIsSof", {0xA5}, {0x5B, 0xA5, 0x24, 0xA4, 0x5D}},
                    SendCase{"EverySymbolStuffed",
                             {0x13, 0x1B, 0x24, 0x2B, 0x2D, 0x30, 0x31, 0x49, 0x4E, 0x52, 0x5D},
                             {0x5B, 0x24, 0xEC, 0x24, 0xE4, 0x24, 0xDB, 0x24, 0xD4,
                              0x24, 0xD2, 0x24, 0xCF, 0x24, 0xCE, 0x24, 0xB6, 0x24,
                              0xB1, 0x24, 0xAD, 0x24, 0xA2, 0xAF, 0x5D}}),
    CaseName());

struct ReceiveCase {
  const char* name;
  Bytes line;                      // what the adapter writes
  std::optional<Bytes> delivered;  // the payload raised with 264, or none
  Bytes answer;                    // what the host writes back
};

class ReceiveFrameTest : public DataLinkTest, public testing::WithParamInterface<ReceiveCase> {};

TEST_P(ReceiveFrameTest, TakesGoodFramesAndAnswersBadOnes) {
  connect();
  adapter_->write(GetParam().line);
  advance(50);
  EXPECT_EQ(adapter_->read(), GetParam().answer);
  std::uint8_t got[dl::kMaxPayload] = {};
  const std::size_t n = link_->fetchFrame(sizeof got, got);
  if (GetParam().delivered) {
    EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kFrameReceived});
    EXPECT_EQ(Bytes(got, got + n), *GetParam().delivered);
    EXPECT_EQ(link_->receiveStatus(), dl::kFrameReceived);
  } else {
    EXPECT_TRUE(events_.empty());
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(link_->receiveStatus(), dl::kBusy);
  }
}

Bytes eighteen() {
  Bytes payload;
  for (std::uint8_t b = 0x60; payload.size() < dl::kMaxPayload; ++b) {
    payload.push_back(b);
  }
  return payload;
}

// Twenty bytes between SOF and EOF that sum to 0, so only the length can reject them.
Bytes twentyBytes() {
  Bytes line = {0x5B};
  for (int i = 0; i < 10; ++i) {
    line.push_back(0x01);
    line.push_back(0xFF);
  }
  line.push_back(0x5D);
  return line;
}

INSTANTIATE_TEST_SUITE_P(
    Wire, ReceiveFrameTest,
    testing::Values(
        ReceiveCase{"Plain",
                    {0x5B, 0x21, 0xA0, 0x00, 0x04, 0x01, 0x3A, 0x5D},
                    Bytes{0x21, 0xA0, 0x00, 0x04, 0x01},
                    {}},
        ReceiveCase{
            "StuffedPayload", {0x5B, 0x24, 0xEE, 0x24, 0xA4, 0x94, 0x5D}, Bytes{0x11, 0x5B}, {}},
        ReceiveCase{"StuffedChecksum", {0x5B, 0xA5, 0x24, 0xA4, 0x5D}, Bytes{0xA5}, {}},
        ReceiveCase{"RawXonXoffEscAreData",
                    {0x5B, 0x11, 0x13, 0x1B, 0xC1, 0x5D},
                    Bytes{0x11, 0x13, 0x1B},
                    {}},
        ReceiveCase{"LongestFrame", wireFrame(eighteen()), eighteen(), {}},
        ReceiveCase{
            "StrayBytesBeforeSofIgnored", {0x00, 0x41, 0x5B, 0x51, 0xAF, 0x5D}, Bytes{0x51}, {}},
        ReceiveCase{"SecondSofRestarts", {0x5B, 0x77, 0x5B, 0x51, 0xAF, 0x5D}, Bytes{0x51}, {}},
        ReceiveCase{"RackInsideFrameAnsweredFrameKept",
                    {0x5B, 0x21, 0xA0, 0x52, 0x00, 0x04, 0x01, 0x3A, 0x5D},
                    Bytes{0x21, 0xA0, 0x00, 0x04, 0x01},
                    bytes("+")},
        ReceiveCase{"ChecksumErrorNacked",
                    {0x5B, 0x21, 0xA0, 0x00, 0x04, 0x01, 0x3B, 0x5D},
                    std::nullopt,
                    bytes("N")},
        ReceiveCase{"OnlyChecksumIsNull", {0x5B, 0x00, 0x5D}, std::nullopt, {}},
        ReceiveCase{"EmptyIsNull", {0x5B, 0x5D}, std::nullopt, {}},
        ReceiveCase{"TwentyBytesOverflow", twentyBytes(), std::nullopt, {}},
        ReceiveCase{"EofWithoutSof", {0x51, 0xAF, 0x5D}, std::nullopt, {}}),
    CaseName());

TEST_F(DataLinkTest, AcknowledgementsAlternateAndRackRepeatsTheLast) {
  connect();
  std::vector<Bytes> acks;
  for (int i = 0; i < 3; ++i) {
    adapter_->write(wireFrame({static_cast<std::uint8_t>(0x40 + i)}));
    advance(50);
    ASSERT_EQ(link_->acknowledgeFrame(), 0);
    EXPECT_EQ(link_->receiveStatus(), dl::kBusy);
    acks.push_back(adapter_->read());
  }
  EXPECT_EQ(acks, (std::vector<Bytes>{bytes("0"), bytes("1"), bytes("0")}));

  adapter_->write(bytes("R"));
  advance(50);
  EXPECT_EQ(adapter_->read(), bytes("0"));
  EXPECT_EQ(link_->linkStatus(), dl::kConnected);
  EXPECT_EQ(events_.size(), 3u);
}

TEST_F(DataLinkTest, InitWhileConnectedRestartsTheSymbols) {
  connect();
  adapter_->write(wireFrame({0x40}));
  advance(50);
  ASSERT_EQ(link_->acknowledgeFrame(), 0);
  ASSERT_EQ(adapter_->read(), bytes("0"));

  adapter_->write(bytes("I"));
  advance(50);
  EXPECT_EQ(adapter_->read(), bytes("+"));
  EXPECT_TRUE(link_->connected());
  adapter_->write(wireFrame({0x41}));
  advance(50);
  ASSERT_EQ(link_->acknowledgeFrame(), 0);
  EXPECT_EQ(adapter_->read(), bytes("0"));
}

TEST_F(DataLinkTest, FetchCopiesUpToTheMaximumAndKeepsTheFrame) {
  connect();
  adapter_->write(wireFrame({0x01, 0x02, 0x03}));
  advance(50);
  std::uint8_t got[3] = {};
  EXPECT_EQ(link_->fetchFrame(2, got), 2u);
  EXPECT_EQ(Bytes(got, got + 2), Bytes({0x01, 0x02}));
  EXPECT_EQ(link_->fetchFrame(3, got), 3u);
  EXPECT_EQ(got[2], 0x03);
  ASSERT_EQ(link_->acknowledgeFrame(), 0);
  EXPECT_EQ(link_->fetchFrame(3, got), 0u);
}

TEST_F(DataLinkTest, OneItemPerTick) {
  connect();
  Bytes line = wireFrame({0x01});
  const Bytes second = wireFrame({0x02});
  line.insert(line.end(), second.begin(), second.end());
  adapter_->write(line);
  advance(50);
  std::uint8_t got = 0;
  EXPECT_EQ(events_.size(), 1u);
  EXPECT_EQ(link_->fetchFrame(1, &got), 1u);
  EXPECT_EQ(got, 0x01);
  ASSERT_EQ(link_->acknowledgeFrame(), 0);
  advance(50);
  EXPECT_EQ(events_.size(), 2u);
  EXPECT_EQ(link_->fetchFrame(1, &got), 1u);
  EXPECT_EQ(got, 0x02);
}

// The adapter's ACK may cut into a frame it is sending, even between an escape and the byte it
// stuffs: the ACK is acted on at once and the frame goes on where it was.
TEST_F(DataLinkTest, AckInsideAFrameCompletesTheSendAndTheFrameContinues) {
  connect();
  const Bytes payload = {0x21};
  ASSERT_EQ(link_->sendFrame(payload.size(), payload.data()), 0);
  adapter_->read();
  adapter_->write(Bytes{0x5B, 0x24, '0', 0xEE, 0x24, 0xA4, 0x94, 0x5D});
  advance(50);
  EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kFrameAcked});
  advance(50);
  EXPECT_EQ(events_, (std::vector<std::uint32_t>{dl::kFrameAcked, dl::kFrameReceived}));
  std::uint8_t got[2] = {};
  EXPECT_EQ(link_->fetchFrame(sizeof got, got), 2u);
  EXPECT_EQ(Bytes(got, got + 2), Bytes({0x11, 0x5B}));
}

TEST_F(DataLinkTest, FrameBeforeTheHandshakeIsDroppedUnanswered) {
  ASSERT_EQ(open(), 0);
  adapter_->read();
  adapter_->write(wireFrame({0x21}));
  advance(50);
  EXPECT_TRUE(adapter_->read().empty());
  EXPECT_TRUE(events_.empty());
  std::uint8_t got = 0;
  EXPECT_EQ(link_->fetchFrame(1, &got), 0u);
}

TEST_F(DataLinkTest, StaleAckResendsNewAckCompletes) {
  connect();  // the adapter's last symbol is "+"
  const Bytes payload = {0x21, 0xA0};
  ASSERT_EQ(link_->sendFrame(payload.size(), payload.data()), 0);
  const Bytes frame = adapter_->read();
  adapter_->write(bytes("+"));
  advance(50);
  EXPECT_EQ(adapter_->read(), frame);
  EXPECT_TRUE(events_.empty());
  adapter_->write(bytes("0"));
  advance(50);
  EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kFrameAcked});
  EXPECT_EQ(link_->linkStatus(), dl::kFrameAcked);
}

TEST_F(DataLinkTest, NackResendsUntilTheAttemptsRunOut) {
  connect();
  const Bytes payload = {0x51};
  ASSERT_EQ(link_->sendFrame(payload.size(), payload.data()), 0);
  const Bytes frame = adapter_->read();
  std::vector<Bytes> resent;
  for (int i = 0; i < 3; ++i) {
    adapter_->write(bytes("N"));
    advance(50);
    resent.push_back(adapter_->read());
  }
  EXPECT_EQ(resent, (std::vector<Bytes>{frame, frame, {}}));
  EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kFrameNotAcked});
  EXPECT_EQ(link_->linkStatus(), dl::kFrameNotAcked);
  EXPECT_TRUE(link_->connected());
  EXPECT_TRUE(link_->timerRunning());
}

// The sender may reuse its buffer once the call returned: a resend still carries the frame.
TEST_F(DataLinkTest, ResendCarriesTheFrameAsItWasSent) {
  connect();
  Bytes payload = {0x10, 0x20};
  ASSERT_EQ(link_->sendFrame(payload.size(), payload.data()), 0);
  const Bytes frame = adapter_->read();
  payload.assign({0xEE, 0xEE});
  adapter_->write(bytes("N"));
  advance(50);
  EXPECT_EQ(adapter_->read(), frame);
}

}  // namespace
}  // namespace vtlink::test
