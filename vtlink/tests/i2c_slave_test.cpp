// The slave side: receive messages held back until fetched, transmit data loaded before or
// after the adapter asks, requests deferred behind a master operation, address and
// general-call changes.

#include <gtest/gtest.h>

#include <numeric>

#include "api_fixture.h"

namespace vtlink_test {
namespace {

using SlaveTest = LinkTest;

TEST_F(SlaveTest, BackToBackMessagesWaitAtTheAdapterUntilFetched) {
  openLink();
  int acks = adapter_->hostAcks();
  adapter_->sendFrame({0x31, 0x00, 0x01, 0x02});
  adapter_->sendFrame({0x32, 0x01, 0x03});
  ASSERT_TRUE(tickUntilEvent(I2C_EV_SLAVE_RX_COMPLETE));
  EXPECT_EQ(adapter_->hostAcks(), acks + 2);
  EXPECT_TRUE(logged(2, "I2C Link: Slave Rx Data Received."));
  EXPECT_TRUE(logged(2, "I2C Link: Slave Rx Last Received."));
  EXPECT_TRUE(logged(3, "I2C Link: Rx Data = \"[01][03]\"."));

  // The next message's frame is neither taken nor acknowledged while the first waits.
  acks = adapter_->hostAcks();
  adapter_->sendFrame({0x32, 0x00, 0xAA});
  tick(4);
  EXPECT_EQ(adapter_->hostAcks(), acks);
  EXPECT_TRUE(takeEvents().empty());
  I2CLinkRecord seen = status();
  EXPECT_EQ(seen.SlaveStatus, I2C_EV_SLAVE_RX_COMPLETE);
  EXPECT_EQ(seen.SlaveRxMsgPresent, 1u);
  EXPECT_EQ(seen.SlaveRxMsgSize, 3u);
  EXPECT_EQ(seen.SlaveRxGCDetect, 1u);

  uint8_t out[8] = {};
  ASSERT_EQ(I2CGetSlaveRxMsg(sizeof out, out), 3u);
  EXPECT_EQ(Bytes(out, out + 3), (Bytes{0x01, 0x02, 0x03}));
  EXPECT_EQ(status().SlaveStatus, I2C_SLAVE_IDLE);

  // The adapter repeats the frame it got no acknowledgement for.
  adapter_->sendFrame({0x32, 0x00, 0xAA});
  ASSERT_TRUE(tickUntilEvent(I2C_EV_SLAVE_RX_COMPLETE));
  EXPECT_EQ(adapter_->hostAcks(), acks + 1);
  ASSERT_EQ(I2CGetSlaveRxMsg(sizeof out, out), 1u);
  EXPECT_EQ(out[0], 0xAA);
  EXPECT_EQ(status().SlaveRxGCDetect, 0u);
}

TEST_F(SlaveTest, ReceiveBeyondTheBufferIsTrimmed) {
  I2CLinkRecord record = defaultRecord();
  record.SlaveRxBufSize = 4;
  openLink(record);
  adapter_->sendFrame({0x31, 0x00, 1, 2, 3});
  adapter_->sendFrame({0x32, 0x00, 4, 5, 6});
  ASSERT_TRUE(tickUntilEvent(I2C_EV_SLAVE_RX_COMPLETE));
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - Trimming Excess Slave Rx Data."));
  uint8_t out[8] = {};
  ASSERT_EQ(I2CGetSlaveRxMsg(sizeof out, out), 4u);
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{1, 2, 3, 4}));
}

TEST_F(SlaveTest, RequestWithoutDataRaises530AndSlaveTxServesIt) {
  openLink();
  adapter_->sendFrame({0x41});
  ASSERT_TRUE(tickUntilEvent(I2C_EV_SLAVE_TX_REQUEST));
  EXPECT_TRUE(logged(2, "I2C Link: Slave Tx Start Request Received."));
  EXPECT_TRUE(logged(2, "I2C Link: NOTICE - Slave Tx Notification."));
  I2CLinkRecord seen = status();
  EXPECT_EQ(seen.SlaveStatus, I2C_EV_SLAVE_TX_REQUEST);
  EXPECT_EQ(seen.SlaveTxMsgReq, 1);
  // The adapter waits for slave data: master requests must wait too.
  EXPECT_EQ(I2CMasterRx(0xA0, 2, 1), I2C_ERR_BUSY);
  EXPECT_TRUE(logged(2, "Data Link: WARNING - Slave Operation in Progress."));

  const uint8_t data[3] = {0xC0, 0xC1, 0xC2};
  ASSERT_EQ(I2CSlaveTx(data, 3), I2C_OK);
  adapter_->pump();
  EXPECT_EQ(adapter_->takeCommands(), (std::vector<Bytes>{{0x43, 0xC0, 0xC1, 0xC2}}));
  seen = status();
  EXPECT_EQ(seen.SlaveStatus, I2C_SLAVE_IDLE);
  EXPECT_EQ(seen.SlaveTxMsgReq, 0);
  EXPECT_TRUE(logged(1, "I2C Link: I2CSlaveTx() Complete."));
}

TEST_F(SlaveTest, DataLoadedBeforeTheRequestGoesOutInBlocksWithoutAnEvent) {
  openLink();
  Bytes data(20);
  std::iota(data.begin(), data.end(), 0x50);
  ASSERT_EQ(I2CSlaveTx(data.data(), 20), I2C_OK);
  EXPECT_EQ(I2CSlaveTx(data.data(), 20), I2C_ERR_BUSY);
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - Slave Tx Buffer Busy."));
  tick(2);
  EXPECT_TRUE(adapter_->takeCommands().empty());

  adapter_->sendFrame({0x41});
  ASSERT_TRUE(tickUntil([&] { return adapter_->commands().size() == 1; }));
  adapter_->sendFrame({0x42});
  ASSERT_TRUE(tickUntil([&] { return adapter_->commands().size() == 2; }));
  adapter_->sendFrame({0x42});
  ASSERT_TRUE(tickUntil([&] { return adapter_->commands().size() == 3; }));
  Bytes first{0x43};
  first.insert(first.end(), data.begin(), data.begin() + 16);
  Bytes second{0x43};
  second.insert(second.end(), data.begin() + 16, data.end());
  EXPECT_EQ(adapter_->takeCommands(), (std::vector<Bytes>{first, second, {0x43}}));
  EXPECT_TRUE(takeEvents().empty());
  EXPECT_TRUE(logged(2, "I2C Link: Slave Tx More Request Received."));
  EXPECT_EQ(I2CSlaveTx(data.data(), 1), I2C_OK);
}

TEST_F(SlaveTest, RequestDuringAMasterOperationIsServedWhenTheAdapterRefusesIt) {
  openLink();
  ASSERT_EQ(I2CMasterRx(0xA0, 4, 1), I2C_OK);
  adapter_->sendFrame({0x41});
  tick(4);
  EXPECT_TRUE(logged(2, "I2C Link: WARNING - Master Operation in Progress."));
  EXPECT_TRUE(logged(2, "I2C Link: NOTICE - Slave Tx Notification Deferred."));
  EXPECT_TRUE(takeEvents().empty());
  const I2CLinkRecord record = defaultRecord();
  EXPECT_EQ(I2COpen(window_, 0, &record), I2C_ERR_IN_PROGRESS);

  adapter_->sendFrame({0x81});
  EXPECT_EQ(collectUntil(I2C_EV_SLAVE_TX_REQUEST),
            (std::vector<uint32_t>{I2C_EV_ADAPTER_BUSY, I2C_EV_SLAVE_TX_REQUEST}));
  EXPECT_EQ(I2CMasterRx(0xA0, 4, 1), I2C_ERR_BUSY);
  EXPECT_EQ(I2CChangeSlaveAddress(0x70), I2C_ERR_BUSY);
}

TEST_F(SlaveTest, RequestDuringAMasterOperationIsServedWhenItCompletes) {
  openLink();
  ASSERT_EQ(I2CMasterRx(0xA0, 2, 1), I2C_OK);
  adapter_->sendFrame({0x41});
  adapter_->sendFrame({0x22, 0x01, 0x02});
  EXPECT_EQ(collectUntil(I2C_EV_SLAVE_TX_REQUEST),
            (std::vector<uint32_t>{I2C_EV_MASTER_RX_COMPLETE, I2C_EV_SLAVE_TX_REQUEST}));
}

TEST_F(SlaveTest, MoreRequestWhileTheLastBlockAwaitsItsAcknowledgementRaises803) {
  openLink();
  const uint8_t data[20] = {};
  ASSERT_EQ(I2CSlaveTx(data, 20), I2C_OK);
  adapter_->acknowledgeFrames = false;
  adapter_->sendFrame({0x41});
  ASSERT_TRUE(tickUntil([&] { return adapter_->commands().size() == 1; }));
  adapter_->sendFrame({0x42});
  ASSERT_TRUE(tickUntilEvent(I2C_EV_FRAME_TX_FAILED));
  EXPECT_EQ(status().MasterStatus, I2C_EV_FRAME_TX_FAILED);
}

TEST_F(SlaveTest, SlaveTxRefusals) {
  openLink();
  const uint8_t data[513] = {};
  EXPECT_EQ(I2CSlaveTx(nullptr, 4), I2C_ERR_NULL_POINTER);
  EXPECT_TRUE(logged(1, "I2C Link: FAILURE - Null Data Buffer Pointer Argument Detected."));
  EXPECT_EQ(I2CSlaveTx(data, 0), I2C_ERR_LENGTH);
  EXPECT_TRUE(logged(1, "I2C Link: FAILURE - Zero Msg Length Argument."));
  EXPECT_EQ(I2CSlaveTx(data, 513), I2C_ERR_LENGTH);
  EXPECT_TRUE(logged(1, "I2C Link: FAILURE - Msg Length Argument (513) > SlaveTxBufSize (512)."));
  tick(2);
  EXPECT_TRUE(adapter_->takeCommands().empty());
}

TEST_F(SlaveTest, AddressChangeIsConfirmedWith531) {
  openLink();
  EXPECT_EQ(I2CChangeSlaveAddress(0x71), I2C_ERR_ADDRESS);
  EXPECT_TRUE(logged(1, "I2C Link: FAILURE - Invalid Host Adapter I2C Slave Address (113)."));
  EXPECT_EQ(status().MasterStatus, I2C_MASTER_IDLE);

  adapter_->onCommand = [this](const Bytes& c) {
    if (c[0] == 0x61) {
      adapter_->sendFrame({0x62});
    }
  };
  ASSERT_EQ(I2CChangeSlaveAddress(0x70), I2C_OK);
  EXPECT_EQ(status().HostSlaveAddr, 0x70);
  EXPECT_EQ(I2CChangeSlaveAddress(0x72), I2C_ERR_BUSY);
  EXPECT_TRUE(logged(2, "I2C Link: WARNING - Link Operation in Progress."));
  ASSERT_TRUE(tickUntilEvent(I2C_EV_SLAVE_ADDRESS_CHANGED));
  EXPECT_EQ(adapter_->takeCommands(), (std::vector<Bytes>{{0x61, 0x70}}));
  const I2CLinkRecord seen = status();
  EXPECT_EQ(seen.MasterStatus, I2C_MASTER_IDLE);
  EXPECT_EQ(seen.SlaveStatus, I2C_EV_SLAVE_ADDRESS_CHANGED);
  EXPECT_TRUE(logged(1, "I2C Link: I2CChangeSlaveAddress(0X70)."));
  EXPECT_TRUE(logged(1, "I2C Link: Slave Change Address Complete."));
}

TEST_F(SlaveTest, GeneralCallChangeIsConfirmedWith532) {
  openLink();
  adapter_->onCommand = [this](const Bytes& c) {
    if (c[0] == 0x71) {
      adapter_->sendFrame({0x72});
    }
  };
  ASSERT_EQ(I2CChangeSlaveGCEnable(1), I2C_OK);
  ASSERT_TRUE(tickUntilEvent(I2C_EV_SLAVE_GC_CHANGED));
  EXPECT_EQ(adapter_->takeCommands(), (std::vector<Bytes>{{0x71, 0x01}}));
  const I2CLinkRecord seen = status();
  EXPECT_EQ(seen.SlaveRxGCEnable, 1);
  EXPECT_EQ(seen.SlaveStatus, I2C_EV_SLAVE_GC_CHANGED);
  EXPECT_TRUE(logged(1, "I2C Link: I2CChangeSlaveGCEnable(ENABLE)."));
  EXPECT_TRUE(logged(1, "I2C Link: Change Slave Gen. Call Enable Complete."));
}

}  // namespace
}  // namespace vtlink_test
