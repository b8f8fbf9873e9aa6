// Scripted frame sessions with the simulated frame adapter on the in-process line.

#include <gtest/gtest.h>
#include <algorithm>

#include "sim/devices.h"
#include "sim/tests/frame_session.h"

namespace sim::test {
namespace {

using FrameAdapter = FrameSession;

TEST_F(FrameAdapter, OpensWithResetInitAndTheLinkOpenReplyCarryingItsVersion) {
  EXPECT_EQ(openLink(), (Bytes{0x02, 0x00, 0xD5}));  // 2.13
}

TEST_F(FrameAdapter, AnswersAnInitBeforeItsOwnWasAcknowledgedWithAckAndInitAgain) {
  send({0x1B, 0x1B, 0x1B});
  EXPECT_EQ(waitSplit().symbols, "I");
  send({'I'});  // the host missed the adapter's INIT
  EXPECT_EQ(waitSplit().symbols, "+I");
  send({'+'});
  send({'I'});
  EXPECT_EQ(waitSplit().symbols, "+");
}

TEST_F(FrameAdapter, TransmitsFortyBytesInBlocksAskedForWith13AndEndedBy14) {
  openLink();
  Bytes first{0x11, 0xA0, 0x00};  // pointer 0, then 15 bytes
  for (int i = 1; i <= 15; ++i) {
    first.push_back(static_cast<std::uint8_t>(i));
  }
  EXPECT_EQ(command(first), (Bytes{0x13, 0x00}));
  Bytes second{0x12, 0x00};
  for (int i = 16; i < 32; ++i) {
    second.push_back(static_cast<std::uint8_t>(i));
  }
  EXPECT_EQ(command(second), (Bytes{0x13, 0x00}));
  Bytes last{0x12, 0x01};
  for (int i = 32; i < 40; ++i) {
    last.push_back(static_cast<std::uint8_t>(i));
  }
  EXPECT_EQ(command(last), (Bytes{0x14, 0x08}));

  // One message to the EEPROM: after the pointer the bytes wrap within its 16-byte page, so the
  // page ends up holding the last sixteen of the 39 data bytes.
  auto* eeprom = dynamic_cast<Eeprom256*>(adapter_.bus().device(0xA0));
  ASSERT_NE(eeprom, nullptr);
  EXPECT_EQ(eeprom->contents()[0], 33);
  EXPECT_EQ(eeprom->contents()[6], 39);
  EXPECT_EQ(eeprom->contents()[7], 24);
}

TEST_F(FrameAdapter, HoldsAWriteWithoutStopSoAContinuationAddsToTheSameMessage) {
  openLink();
  EXPECT_EQ(command({0x15, 0xA0, 0x20, 0x41}), (Bytes{0x13, 0x00}));
  EXPECT_EQ(command({0x12, 0x01, 0x42, 0x43}), (Bytes{0x14, 0x02}));
  EXPECT_EQ(command({0x11, 0xA1, 0x20}), (Bytes{0x14, 0x01}));  // pointer back to 0x20
  EXPECT_EQ(command({0x21, 0xA0, 0x00, 0x03, 0x01}), (Bytes{0x22, 0x41, 0x42, 0x43}));
}

TEST_F(FrameAdapter, ReceivesInFramesOfSixteenAndGoesOnWithAContinuedReceive) {
  adapter_.execute("eeprom 00 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14");
  openLink();
  command({0x11, 0xA1, 0x00});
  EXPECT_EQ(command({0x21, 0xA0, 0x00, 0x12, 0x00}),
            (Bytes{0x22, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(nextFrame(), (Bytes{0x22, 16, 17}));
  EXPECT_EQ(command({0x21, 0xFF, 0x00, 0x02, 0x01}), (Bytes{0x22, 18, 19}));
}

TEST_F(FrameAdapter, ReceiveWithLengthZeroTakesTheCountFromTheFirstByte) {
  adapter_.execute("eeprom 40 05 AA BB CC DD EE FF");
  openLink();
  EXPECT_EQ(command({0x24, 0xA1, 0x00, 0x00, 0x40}),
            (Bytes{0x22, 0x05, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
}

TEST_F(FrameAdapter, TransmitThenReceiveWithoutStopLeavesTheReceiveToContinue) {
  adapter_.execute("eeprom 10 61 62 63");
  openLink();
  EXPECT_EQ(command({0x25, 0xA0, 0x00, 0x01, 0x10}), (Bytes{0x22, 0x61}));
  EXPECT_EQ(command({0x23, 0xFF, 0x00, 0x02, 0x01, 0x01}), (Bytes{0x22, 0x62, 0x63}));
}

TEST_F(FrameAdapter, ReportsAnAddressThatNeverAcknowledges) {
  openLink();
  EXPECT_EQ(command({0x11, 0x51, 0x01}), (Bytes{0x82}));
  EXPECT_EQ(command({0x21, 0x50, 0x00, 0x01, 0x01}), (Bytes{0x82}));
}

TEST_F(FrameAdapter, AFurtherBlockWithNoMessageHeldIsABusError) {
  openLink();
  EXPECT_EQ(command({0x11, 0xA1, 0x00}), (Bytes{0x14, 0x01}));
  EXPECT_EQ(command({0x12, 0x01, 0x55}), (Bytes{0x84}));
}

struct BusFaultCase {
  const char* name;
  const char* fault;
  std::uint8_t frame;
};

class FrameAdapterBusFault : public FrameSession,
                             public testing::WithParamInterface<BusFaultCase> {};

TEST_P(FrameAdapterBusFault, EndsTheMasterMessageWithItsErrorFrameOnce) {
  openLink();
  EXPECT_EQ(adapter_.execute(std::string("fault ") + GetParam().fault + " once"),
            std::string("ok fault ") + GetParam().fault + " once");
  EXPECT_EQ(command({0x11, 0xA1, 0x00, 0x01}), (Bytes{GetParam().frame}));
  EXPECT_EQ(command({0x11, 0xA1, 0x00, 0x01}), (Bytes{0x14, 0x02}));
}

INSTANTIATE_TEST_SUITE_P(Faults, FrameAdapterBusFault,
                         testing::Values(BusFaultCase{"Busy", "busy", 0x81},
                                         BusFaultCase{"NotAcknowledged", "nack", 0x82},
                                         BusFaultCase{"ArbitrationLoss", "arbitration", 0x83},
                                         BusFaultCase{"BusError", "bus-error", 0x84},
                                         BusFaultCase{"Timeout", "timeout", 0x85}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(FrameAdapter, AHeldBusFaultLastsUntilTurnedOff) {
  openLink();
  adapter_.execute("fault timeout on");
  EXPECT_EQ(command({0x21, 0xA0, 0x00, 0x01, 0x01}), (Bytes{0x85}));
  EXPECT_EQ(command({0x21, 0xA0, 0x00, 0x01, 0x01}), (Bytes{0x85}));
  EXPECT_EQ(adapter_.execute("faults"), "ok faults timeout");
  adapter_.execute("fault timeout off");
  EXPECT_EQ(command({0x21, 0xA0, 0x00, 0x01, 0x01}).at(0), 0x22);
}

TEST_F(FrameAdapter, PassesAnotherMastersWriteOnIn31And32FramesWithTheGeneralCallFlag) {
  openLink(0x70, 1);
  EXPECT_EQ(adapter_.execute("write 70 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11"),
            "ok write 70 17");
  EXPECT_EQ(nextFrame(),
            (Bytes{0x31, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
  EXPECT_EQ(nextFrame(), (Bytes{0x32, 0x00, 17}));
  EXPECT_EQ(adapter_.execute("gc 7E"), "ok gc 1");
  EXPECT_EQ(nextFrame(), (Bytes{0x32, 0x01, 0x7E}));
  EXPECT_EQ(adapter_.execute("write 72 01"), "error: 72 not acknowledged");
}

TEST_F(FrameAdapter, IgnoresGeneralCallsWhileTheyAreDisabledAndItsSlaveSideWhileClosed) {
  EXPECT_EQ(adapter_.execute("write 70 01"), "error: 70 not acknowledged");
  openLink(0x70, 0);
  EXPECT_EQ(adapter_.execute("gc 01"), "error: general call not acknowledged");
  EXPECT_EQ(command({0x71, 0x01}), (Bytes{0x72}));
  EXPECT_EQ(adapter_.execute("gc 01"), "ok gc 1");
}

TEST_F(FrameAdapter, MovesItsSlaveSideToTheAddressTheHostChangesTo) {
  openLink();
  EXPECT_EQ(command({0x61, 0x52}), (Bytes{0x62}));
  EXPECT_EQ(adapter_.execute("write 70 01"), "error: 70 not acknowledged");
  EXPECT_EQ(adapter_.execute("write 52 01"), "ok write 52 1");
  EXPECT_EQ(nextFrame(), (Bytes{0x32, 0x00, 0x01}));
}

// The host leaves a slave frame unacknowledged while it has no room for it; the adapter keeps
// it, asks with RACK after a second, and sends it again on the stale answer.
TEST_F(FrameAdapter, HoldsSlaveDataBackUntilTheHostAcknowledgesIt) {
  openLink();
  adapter_.execute("write 70 0A");
  adapter_.execute("write 70 0B");
  auto out = waitSplit();
  ASSERT_EQ(out.frames.size(), 1u);
  EXPECT_EQ(out.frames[0], (Bytes{0x32, 0x00, 0x0A}));

  EXPECT_EQ(waitSplit(970).sequence, "");
  EXPECT_EQ(waitSplit(20).symbols, "R");
  send({static_cast<std::uint8_t>(own_)});  // the host repeats its last acknowledgement
  out = waitSplit();
  ASSERT_EQ(out.frames.size(), 1u);
  EXPECT_EQ(out.frames[0], (Bytes{0x32, 0x00, 0x0A})) << "the same frame again, not the next";

  acceptFrame();
  EXPECT_EQ(nextFrame(), (Bytes{0x32, 0x00, 0x0B}));
  EXPECT_EQ(waitSplit(3000).sequence, "") << "nothing left to chase";
}

TEST_F(FrameAdapter, TakesARepeatedAcknowledgementAfterRackAsTheFrameDelivered) {
  openLink();
  adapter_.execute("write 70 0A");
  ASSERT_EQ(waitSplit().frames.size(), 1u);
  own_ = own_ == '0' ? '1' : '0';  // the host took it, but its ACK is lost on the line
  EXPECT_EQ(waitSplit(1000).symbols, "R");
  send({static_cast<std::uint8_t>(own_)});
  EXPECT_EQ(waitSplit(2000).sequence, "") << "no duplicate of a delivered frame";
}

TEST_F(FrameAdapter, GivesUpOnAHostThatStaysSilent) {
  openLink();
  adapter_.execute("write 70 0A");
  waitSplit();
  EXPECT_EQ(waitSplit(9990).symbols, "RRRRRRRRR");
  EXPECT_EQ(waitSplit(5000).sequence, "");
}

TEST_F(FrameAdapter, ServesAnotherMastersReadWithTheHostsSlaveData) {
  std::vector<std::string> notices;
  adapter_.onNotice = [&notices](const std::string& line) { notices.push_back(line); };
  openLink();
  EXPECT_EQ(adapter_.execute("read 70 3"), "ok read 70 3");
  EXPECT_EQ(nextFrame(), (Bytes{0x41}));
  EXPECT_EQ(adapter_.execute("read 70 1"), "error: the read of 70 is not served yet");
  EXPECT_EQ(command({0x21, 0xA0, 0x00, 0x01, 0x01}), (Bytes{0x81})) << "busy as a slave";
  EXPECT_EQ(command({0x43, 0xAA, 0xBB}), (Bytes{0x42}));
  EXPECT_TRUE(notices.empty());
  EXPECT_EQ(command({0x43, 0xCC, 0xDD}), Bytes{});
  EXPECT_EQ(notices, std::vector<std::string>{"event read 70 AA BB CC"});
  EXPECT_EQ(command({0x21, 0xA0, 0x00, 0x01, 0x01}).at(0), 0x22) << "master side free again";
}

TEST_F(FrameAdapter, ReleasesTheClockWhenTheHostHasNoMoreSlaveData) {
  std::vector<std::string> notices;
  adapter_.onNotice = [&notices](const std::string& line) { notices.push_back(line); };
  openLink();
  adapter_.execute("read 70 2");
  EXPECT_EQ(nextFrame(), (Bytes{0x41}));
  EXPECT_EQ(command({0x43, 0x01}), (Bytes{0x42}));
  EXPECT_EQ(command({0x43}), Bytes{});
  EXPECT_EQ(notices, std::vector<std::string>{"event read 70 01 FF"});
}

TEST_F(FrameAdapter, SendsItsLogTextIn86Frames) {
  openLink();
  EXPECT_EQ(adapter_.execute("log Bus idle"), "ok log Bus idle");
  EXPECT_EQ(nextFrame(), (Bytes{0x86, 'B', 'u', 's', ' ', 'i', 'd', 'l', 'e'}));
}

TEST_F(FrameAdapter, StopsItsSlaveSideAndForgetsItsQueueOnLinkClose) {
  openLink();
  adapter_.execute("write 70 01");
  ASSERT_EQ(waitSplit().frames.size(), 1u);  // left unacknowledged
  sendFrame({0x51});
  const auto out = waitSplit(3000);
  EXPECT_EQ(out.symbols.substr(0, 1), "1");
  EXPECT_TRUE(out.frames.empty());
  EXPECT_EQ(out.symbols.find('R'), std::string::npos);
  EXPECT_EQ(adapter_.execute("write 70 01"), "error: 70 not acknowledged");
}

TEST_F(FrameAdapter, HearsNothingAtAnotherLineSpeed) {
  ASSERT_TRUE(host_.setBaud(9600).ok());
  send({0x1B, 0x1B, 0x1B});
  EXPECT_EQ(wait(), Bytes{});
  ASSERT_TRUE(host_.setBaud(19200).ok());
  send({0x1B, 0x1B, 0x1B});
  EXPECT_EQ(wait(), Bytes{'I'});
}

// Frames the older firmware does not have: it reports them in its log and does nothing.
struct VersionCase {
  const char* name;
  int version;
  Bytes command;
  Bytes reply;
};

class FrameAdapterVersion : public FrameSession, public testing::WithParamInterface<VersionCase> {
 protected:
  FrameAdapterVersion()
      : FrameSession(AdapterOptions{"vantor", GetParam().version, std::nullopt}) {}
};

TEST_P(FrameAdapterVersion, DecidesWhichCommandsItKnows) {
  const auto reply = openLink();
  EXPECT_EQ(reply, (Bytes{0x02, static_cast<std::uint8_t>(GetParam().version >> 8),
                          static_cast<std::uint8_t>(GetParam().version & 0xFF)}));
  EXPECT_EQ(command(GetParam().command), GetParam().reply);
}

Bytes logFrame(const std::string& text) {
  Bytes frame(text.size() + 1);
  frame[0] = 0x86;
  std::copy(text.begin(), text.end(), frame.begin() + 1);
  return frame;
}

INSTANTIATE_TEST_SUITE_P(
    Firmware, FrameAdapterVersion,
    testing::Values(
        VersionCase{"NoStopTransmitOn199", 199, {0x15, 0xA0, 0x00}, logFrame("Unknown Cmd 15")},
        VersionCase{"NoStopTransmitOn200", 200, {0x15, 0xA0, 0x00}, {0x13, 0x00}},
        VersionCase{"NackControlOn150",
                    150,
                    {0x23, 0xA0, 0x00, 0x01, 0x01, 0x01},
                    logFrame("Unknown Cmd 23")},
        VersionCase{"NackControlOn213", 213, {0x23, 0xA0, 0x00, 0x01, 0x01, 0x01}, {0x22, 0xFF}},
        VersionCase{"TransmitReceiveOn199",
                    199,
                    {0x24, 0xA1, 0x00, 0x01, 0x00},
                    logFrame("Unknown Cmd 24")},
        VersionCase{"TransmitReceiveOn200", 200, {0x25, 0xA0, 0x00, 0x01, 0x00}, {0x22, 0xFF}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace sim::test
