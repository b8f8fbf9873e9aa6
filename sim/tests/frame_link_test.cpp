// The adapter's side of the frame data link, byte for byte: symbols, stuffing, checksums and
// the acknowledgement rules.

#include "sim/frame_link.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/tests/frame_host.h"

namespace sim::test {
namespace {

class AdapterDataLink : public testing::Test {
 protected:
  void SetUp() override {
    link_.send = [this](const Bytes& bytes) {
      line_.insert(line_.end(), bytes.begin(), bytes.end());
    };
    link_.onFrame = [this](const Bytes& payload) { taken_.push_back(payload); };
  }

  void hear(const Bytes& bytes) { link_.receive(bytes.data(), bytes.size()); }
  Bytes said() {
    Bytes out;
    out.swap(line_);
    return out;
  }
  std::string saidSymbols() { return splitAdapterOutput(said()).symbols; }
  // Reset and INIT exchanged both ways.
  void linkUp() {
    hear({0x1B, 0x1B, 0x1B, '+', 'I'});
    ASSERT_EQ(said(), (Bytes{'I', '+'}));
  }

  FrameLink link_;
  Bytes line_;
  std::vector<Bytes> taken_;
};

struct WireCase {
  const char* name;
  Bytes payload;
  Bytes wire;
};

class AdapterFrameOnTheWire : public AdapterDataLink,
                              public testing::WithParamInterface<WireCase> {};

TEST_P(AdapterFrameOnTheWire, IsStuffedAndChecksummed) {
  linkUp();
  link_.queue(GetParam().payload);
  EXPECT_EQ(said(), GetParam().wire);
}

TEST_P(AdapterFrameOnTheWire, IsTakenFromTheHostTheSameWay) {
  linkUp();
  hear(GetParam().wire);
  EXPECT_EQ(said(), Bytes{'0'});
  ASSERT_EQ(taken_.size(), 1u);
  EXPECT_EQ(taken_[0], GetParam().payload);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, AdapterFrameOnTheWire,
    testing::Values(WireCase{"Plain",
                             {0x21, 0xA0, 0x00, 0x04, 0x01},
                             {0x5B, 0x21, 0xA0, 0x00, 0x04, 0x01, 0x3A, 0x5D}},
                    WireCase{"XonAndSof", {0x11, 0x5B}, {0x5B, 0x24, 0xEE, 0x24, 0xA4, 0x94, 0x5D}},
                    WireCase{"OneByte", {0x51}, {0x5B, 0x51, 0xAF, 0x5D}},
                    WireCase{"StuffedChecksum", {0xA5}, {0x5B, 0xA5, 0x24, 0xA4, 0x5D}},
                    WireCase{"EveryStuffedByte",
                             {0x11, 0x13, 0x1B, 0x24, 0x2B, 0x2D, 0x30, 0x31, 0x49, 0x4E, 0x52,
                              0x5B, 0x5D},
                             {0x5B, 0x24, 0xEE, 0x24, 0xEC, 0x24, 0xE4, 0x24, 0xDB, 0x24,
                              0xD4, 0x24, 0xD2, 0x24, 0xCF, 0x24, 0xCE, 0x24, 0xB6, 0x24,
                              0xB1, 0x24, 0xAD, 0x24, 0xA4, 0x24, 0xA2, 0x43, 0x5D}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(AdapterDataLink, ResetsOnlyOnThreeEscapesInARow) {
  hear({0x1B, 0x1B, 0x41, 0x1B});
  EXPECT_EQ(said(), Bytes{});
  hear({0x1B, 0x1B});
  EXPECT_EQ(said(), Bytes{'I'});
}

TEST_F(AdapterDataLink, AlternatesItsAcknowledgementAndRepeatsItOnRack) {
  linkUp();
  hear(hostFrame({0x01}));
  hear(hostFrame({0x02}));
  hear({'R'});
  hear(hostFrame({0x03}));
  EXPECT_EQ(saidSymbols(), "0110");
  EXPECT_EQ(taken_.size(), 3u);
}

TEST_F(AdapterDataLink, StartsAgainFromPlusOnANewInit) {
  linkUp();
  hear(hostFrame({0x01}));
  hear({'I'});
  hear(hostFrame({0x02}));
  EXPECT_EQ(saidSymbols(), "0+0");
}

TEST_F(AdapterDataLink, NacksABadChecksumAndDropsEmptyAndOverlongFramesSilently) {
  linkUp();
  hear({0x5B, 0x21, 0x00, 0x5D});  // checksum wrong
  EXPECT_EQ(said(), Bytes{'N'});
  hear({0x5B, 0x00, 0x5D});  // a checksum and nothing else
  hear({0x5B, 0x5D});
  Bytes overlong{0x5B};
  for (int i = 0; i < 19; ++i) {
    overlong.push_back(0x01);
  }
  overlong.push_back(0xED);  // 19 payload bytes: one too many
  overlong.push_back(0x5D);
  hear(overlong);
  EXPECT_EQ(said(), Bytes{});
  EXPECT_TRUE(taken_.empty());

  Bytes longest(18, 0x01);
  hear(hostFrame(longest));
  EXPECT_EQ(said(), Bytes{'0'});
  EXPECT_EQ(taken_.size(), 1u);
}

TEST_F(AdapterDataLink, TakesNoFrameBeforeTheHostsInit) {
  hear({0x1B, 0x1B, 0x1B});
  said();
  hear(hostFrame({0x01}));
  EXPECT_EQ(said(), Bytes{});
  EXPECT_TRUE(taken_.empty());
}

TEST_F(AdapterDataLink, ActsOnSymbolsThatArriveInsideAFrame) {
  linkUp();
  Bytes wire = hostFrame({0x21, 0xA0});
  wire.insert(wire.begin() + 2, 'R');
  hear(wire);
  EXPECT_EQ(saidSymbols(), "+0");
  ASSERT_EQ(taken_.size(), 1u);
  EXPECT_EQ(taken_[0], (Bytes{0x21, 0xA0}));
}

TEST_F(AdapterDataLink, SendsItsNextFrameOnlyOnAFreshAcknowledgement) {
  linkUp();
  link_.queue({0x13, 0x00});
  link_.queue({0x14, 0x01});
  EXPECT_EQ(splitAdapterOutput(said()).frames.size(), 1u);
  hear({'+'});  // the symbol the host gave before: stale
  EXPECT_EQ(splitAdapterOutput(said()).frames, std::vector<Bytes>{(Bytes{0x13, 0x00})});
  hear({'N'});
  EXPECT_EQ(splitAdapterOutput(said()).frames, std::vector<Bytes>{(Bytes{0x13, 0x00})});
  hear({'0'});
  EXPECT_EQ(splitAdapterOutput(said()).frames, std::vector<Bytes>{(Bytes{0x14, 0x01})});
  hear({'1'});
  EXPECT_EQ(said(), Bytes{});
  EXPECT_EQ(link_.queued(), 0u);
}

TEST_F(AdapterDataLink, AnswersWithTheOldSymbolAndIgnoresTheFrameUnderTheRepeatFault) {
  linkUp();
  link_.staleAckNext();
  hear(hostFrame({0x01}));
  EXPECT_EQ(said(), Bytes{'+'});
  EXPECT_TRUE(taken_.empty());
  hear(hostFrame({0x01}));  // the host's resend
  EXPECT_EQ(said(), Bytes{'0'});
  EXPECT_EQ(taken_.size(), 1u);
}

}  // namespace
}  // namespace sim::test
