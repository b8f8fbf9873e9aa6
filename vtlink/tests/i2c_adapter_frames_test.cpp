// The adapter's frames that end or accompany an operation, frames of unknown type, and what
// happens when the data link cannot take the next frame.

#include <gtest/gtest.h>

#include "api_fixture.h"

namespace vtlink_test {
namespace {

struct EndingFrameCase {
  const char* name;
  std::uint8_t type;
  uint32_t event;
  int level;
  std::string line;
};

class EndingFrame : public LinkTest, public ::testing::WithParamInterface<EndingFrameCase> {};

TEST_P(EndingFrame, EndsTheMasterOperationAndKeepsTheLinkOpen) {
  const EndingFrameCase& c = GetParam();
  openLink();
  ASSERT_EQ(I2CMasterRx(0xA0, 4, 1), I2C_OK);
  tick(2);
  const int acks = adapter_->hostAcks();
  adapter_->sendFrame({c.type});
  ASSERT_TRUE(tickUntilEvent(c.event));
  EXPECT_EQ(adapter_->hostAcks(), acks + 1);
  EXPECT_TRUE(logged(c.level, c.line)) << c.line;
  const I2CLinkRecord seen = status();
  EXPECT_EQ(seen.MasterStatus, c.event);
  EXPECT_EQ(seen.LinkStatus, 1u);
  EXPECT_EQ(I2CMasterRx(0xA0, 4, 1), I2C_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, EndingFrame,
    ::testing::Values(
        EndingFrameCase{"AdapterBusy", 0x81, I2C_EV_ADAPTER_BUSY, 1,
                        "I2C Link: Host Adapter Busy, Master Tx/Rx Msg Not Accepted."},
        EndingFrameCase{"SlaveNotAcknowledging", 0x82, I2C_EV_SLAVE_NACK, 2,
                        "I2C Link: Addressed Slave Not Aknowledging."},
        EndingFrameCase{"ArbitrationLost", 0x83, I2C_EV_ARBITRATION_LOST, 2,
                        "I2C Link: Bus Abritration Loss Detected."},
        EndingFrameCase{"BusError", 0x84, I2C_EV_BUS_ERROR, 1, "I2C Link: Bus Error Detected."},
        EndingFrameCase{"BusTimeout", 0x85, I2C_EV_BUS_TIMEOUT, 2,
                        "I2C Link: Bus Aquisition/Byte Transfer Timeout Detected."}),
    [](const ::testing::TestParamInfo<EndingFrameCase>& row) { return row.param.name; });

using AdapterFrameTest = LinkTest;

TEST_F(AdapterFrameTest, UnknownTypeIsLoggedAndLeftUnacknowledged) {
  openLink();
  const int acks = adapter_->hostAcks();
  adapter_->sendFrame({0x99, 0x01});
  tick(4);
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - Unknown Frame Type Received (0X99)."));
  EXPECT_EQ(adapter_->hostAcks(), acks);
  EXPECT_TRUE(takeEvents().empty());
  EXPECT_EQ(status().MasterStatus, I2C_EV_OPEN_COMPLETE);
}

TEST_F(AdapterFrameTest, AdapterLogTextGoesIntoTheLog) {
  openLink();
  const int acks = adapter_->hostAcks();
  adapter_->sendFrame({0x86, 'R', 'e', 'a', 'd', 'y'});
  tick(4);
  EXPECT_TRUE(logged(1, "Vantor Log: Ready."));
  EXPECT_EQ(adapter_->hostAcks(), acks + 1);
  EXPECT_TRUE(takeEvents().empty());
}

TEST_F(AdapterFrameTest, RefusedRequestLeavesTheUnacknowledgedFrameIntact) {
  openLink();
  adapter_->acknowledgeFrames = false;
  ASSERT_EQ(I2CMasterRx(0xA0, 4, 1), I2C_OK);
  // An adapter that reports before it acknowledges: the request frame still awaits its ACK.
  adapter_->sendFrame({0x82});
  ASSERT_TRUE(tickUntilEvent(I2C_EV_SLAVE_NACK));
  const uint8_t data[3] = {9, 8, 7};
  EXPECT_EQ(I2CMasterTx(0xB0, data, 3, 1), I2C_ERR_FRAME_TX);
  EXPECT_TRUE(logged(1, "I2C Link: FAILURE - Command Frame Tx Not Accepted."));
  EXPECT_EQ(status().MasterStatus, I2C_MASTER_IDLE);
  // The data link resends on NACK, and what it resends is the receive request.
  adapter_->takeCommands();
  adapter_->sendRaw({'N'});
  tick(2);
  EXPECT_EQ(adapter_->takeCommands(), (std::vector<Bytes>{{0x21, 0xA0, 0x00, 0x04, 0x01}}));
}

TEST_F(AdapterFrameTest, FurtherBlockThatCannotBeQueuedRaises803) {
  openLink();
  adapter_->onCommand = [this](const Bytes&) {
    adapter_->sendFrame({0x13});
    adapter_->acknowledgeFrames = false;
  };
  uint8_t data[40] = {};
  ASSERT_EQ(I2CMasterTx(0xA0, data, 40, 1), I2C_OK);
  ASSERT_TRUE(tickUntil([&] { return adapter_->commands().size() == 2; }));
  // The second block is not acknowledged yet when the adapter asks for the third.
  adapter_->sendFrame({0x13});
  ASSERT_TRUE(tickUntilEvent(I2C_EV_FRAME_TX_FAILED));
  EXPECT_EQ(status().MasterStatus, I2C_EV_FRAME_TX_FAILED);
  EXPECT_TRUE(logged(1, "I2C Link: FAILURE - Command Frame Tx Not Accepted."));
}

TEST_F(AdapterFrameTest, AdapterThatFallsSilentEndsTheLinkWith274) {
  openLink();
  adapter_->silent = true;
  ASSERT_EQ(I2CMasterRx(0xA0, 4, 1), I2C_OK);
  const platform::Millis sent = clock_->now();
  ASSERT_TRUE(tickUntilEvent(I2C_EV_NOT_RESPONDING, 400));
  // Repeat requests at 5 and 7 seconds, given up at 9.
  EXPECT_GE(clock_->now() - sent, 9000);
  EXPECT_LE(clock_->now() - sent, 9100);
  EXPECT_FALSE(adapter_->hostOpen());
  EXPECT_EQ(status().LinkStatus, 0u);
  EXPECT_EQ(status().MasterStatus, I2C_EV_NOT_RESPONDING);
  EXPECT_EQ(I2CMasterRx(0xA0, 4, 1), I2C_ERR_NOT_OPEN);
  EXPECT_EQ(logLines().back(), logLine(1, "----- END OF LOG -----."));
}

}  // namespace
}  // namespace vtlink_test
