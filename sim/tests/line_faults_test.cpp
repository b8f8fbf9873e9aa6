// Faults of the line between host and adapter, on the virtual clock.

#include <gtest/gtest.h>

#include "sim/tests/frame_session.h"

namespace sim::test {
namespace {

using FaultyLine = FrameSession;

TEST_F(FaultyLine, LosesTheFirstByteOfOneTransmission) {
  openLink();
  EXPECT_EQ(adapter_.execute("fault lose once"), "ok fault lose once");
  sendFrame({0x71, 0x01});
  const auto out = waitSplit();
  EXPECT_EQ(out.symbols, "") << "the acknowledgement was the lost transmission";
  EXPECT_EQ(out.frames, std::vector<Bytes>{Bytes{0x72}});
}

TEST_F(FaultyLine, CorruptsAFrameThatTheHostThenNacksAndGetsAgain) {
  openLink();
  adapter_.execute("fault corrupt once");
  adapter_.execute("write 70 01 02");
  auto out = waitSplit();
  EXPECT_EQ(out.bad, 1);
  send({'N'});
  out = waitSplit();
  EXPECT_EQ(out.bad, 0);
  EXPECT_EQ(out.frames, std::vector<Bytes>{(Bytes{0x32, 0x00, 0x01, 0x02})});
}

TEST_F(FaultyLine, DelaysEveryAnswerWhileSlow) {
  EXPECT_EQ(adapter_.execute("fault slow on 300"), "ok fault slow on");
  send({0x1B, 0x1B, 0x1B});
  EXPECT_EQ(wait(290), Bytes{});
  EXPECT_EQ(wait(20), Bytes{'I'});
  adapter_.execute("fault slow off");
  send({'+', 'I'});
  EXPECT_EQ(wait(10), Bytes{'+'});
  EXPECT_EQ(adapter_.execute("fault slow 100"), "ok fault slow on");
  send({'R'});
  EXPECT_EQ(wait(90), Bytes{});
  EXPECT_EQ(wait(20), Bytes{'+'});
}

TEST_F(FaultyLine, HearsAndSaysNothingWhileSilent) {
  adapter_.execute("fault silence on");
  send({0x1B, 0x1B, 0x1B});
  EXPECT_EQ(wait(2000), Bytes{});
  adapter_.execute("fault silence off");
  send({0x1B});
  EXPECT_EQ(wait(), Bytes{}) << "the escapes sent while silent did not count";
  send({0x1B, 0x1B});
  EXPECT_EQ(wait(), Bytes{'I'});
}

TEST_F(FaultyLine, ListsTheFaultsInForce) {
  EXPECT_EQ(adapter_.execute("faults"), "ok faults none");
  adapter_.execute("fault silence on");
  adapter_.execute("fault lose once");
  adapter_.execute("fault slow on 250");
  adapter_.execute("fault busy on");
  adapter_.execute("fault repeat-ack on");
  EXPECT_EQ(adapter_.execute("faults"), "ok faults silence lose=once slow=250 busy repeat-ack");
  adapter_.execute("fault repeat-ack off");
  adapter_.execute("fault busy off");
  EXPECT_EQ(adapter_.execute("faults"), "ok faults silence lose=once slow=250");
}

TEST_F(FaultyLine, RepeatsTheLastAcknowledgementSoTheHostResends) {
  openLink();
  adapter_.execute("fault repeat-ack once");
  sendFrame({0x71, 0x01});
  auto out = waitSplit();
  EXPECT_EQ(out.symbols, "0") << "the symbol of the link open frame again";
  EXPECT_TRUE(out.frames.empty()) << "and the command was not taken";
  sendFrame({0x71, 0x01});
  out = waitSplit();
  EXPECT_EQ(out.symbols, "1");
  EXPECT_EQ(out.frames, std::vector<Bytes>{Bytes{0x72}});
}

// The second copy reaches a host that may already have sent its next frame, and looks like a
// stale acknowledgement of it.
TEST_F(FaultyLine, AcknowledgesTwiceUnderTheDoubleAckFault) {
  openLink();
  EXPECT_EQ(adapter_.execute("fault double-ack once"), "ok fault double-ack once");
  sendFrame({0x71, 0x01});
  auto out = waitSplit();
  EXPECT_EQ(out.sequence, "11[");
  sendFrame({0x71, 0x00});
  out = waitSplit();
  EXPECT_EQ(out.symbols.substr(0, 1), "0") << "once only";
}

}  // namespace
}  // namespace sim::test
