// Master requests: the command frames byte for byte, transmit blocks on the adapter's
// requests, continuation, receive completion and trimming, and every refusal with its code.

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "api_fixture.h"

namespace vtlink_test {
namespace {

Bytes counting(std::size_t n, std::uint8_t first = 0) {
  Bytes bytes(n);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

Bytes concat(Bytes head, const Bytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

class MasterTest : public LinkTest {
 protected:
  // Answers transmit blocks as the adapter does: 0x13 for more, 0x14 with the count at the end.
  void answerTransmitBlocks() {
    adapter_->onCommand = [this](const Bytes& c) {
      const bool first = c[0] == 0x11 || c[0] == 0x15;
      if (!first && c[0] != 0x12) {
        return;
      }
      const bool last = first ? (c[1] & 1) != 0 : c[1] == 1;
      const bool more = c.size() - 2 == 16 && !last;
      if (more) {
        adapter_->sendFrame({0x13});
      } else {
        adapter_->sendFrame({0x14, static_cast<std::uint8_t>(c.size() - 2)});
      }
    };
  }
};

TEST_F(MasterTest, FortyByteTransmitGoesInThreeBlocksEachOnRequest) {
  openLink();
  answerTransmitBlocks();
  const Bytes data = counting(40, 0x10);
  ASSERT_EQ(I2CMasterTx(0xA0, data.data(), 40, 1), I2C_OK);
  EXPECT_EQ(status().MasterStatus, I2C_MASTER_BUSY);
  ASSERT_TRUE(tickUntilEvent(I2C_EV_MASTER_TX_COMPLETE));
  EXPECT_EQ(adapter_->takeCommands(),
            (std::vector<Bytes>{concat({0x11, 0xA0}, Bytes(data.begin(), data.begin() + 16)),
                                concat({0x12, 0x00}, Bytes(data.begin() + 16, data.begin() + 32)),
                                concat({0x12, 0x01}, Bytes(data.begin() + 32, data.end()))}));
  const I2CLinkRecord seen = status();
  EXPECT_EQ(seen.MasterStatus, I2C_EV_MASTER_TX_COMPLETE);
  EXPECT_EQ(seen.MasterTxByteCount, 40u);  // 16 + 16 by the requests, 8 by the count byte
  EXPECT_TRUE(logged(1, "I2C Link: I2CMasterTx(0XA0, " + hexAddress(data.data()) + ", 40, 1)."));
  EXPECT_TRUE(logged(1, "I2C Link: I2CMasterTxx(a0)."));
  EXPECT_TRUE(logged(1, "I2C Link: I2CMasterTxx(Continued)."));
  EXPECT_TRUE(logged(2, "I2C Link: Master Tx Request Received."));
  EXPECT_TRUE(logged(1, "I2C Link: Master Tx Complete."));
  EXPECT_TRUE(logged(1, "I2C Link: I2CMasterTx() Accepted."));
}

TEST_F(MasterTest, RequestForMoreWithNothingLeftCompletesTheTransmit) {
  openLink();
  const Bytes data = counting(4);
  ASSERT_EQ(I2CMasterTx(0xA0, data.data(), 4, 1), I2C_OK);
  adapter_->sendFrame({0x13, 0x04});
  ASSERT_TRUE(tickUntilEvent(I2C_EV_MASTER_TX_COMPLETE));
  EXPECT_TRUE(logged(2, "I2C Link: Master Tx Buffer Empty, Converting to Master Tx Complete."));
  EXPECT_EQ(status().MasterTxByteCount, 8u);  // the block and the frame's count byte
}

struct FirstBlockCase {
  const char* name;
  unsigned firmware;
  uint32_t length;
  uint32_t stop;
  Bytes head;
};

class FirstBlock : public MasterTest, public ::testing::WithParamInterface<FirstBlockCase> {};

TEST_P(FirstBlock, TypeAndAddressByte) {
  const FirstBlockCase& c = GetParam();
  adapter_->firmware = c.firmware;
  openLink();
  const Bytes data = counting(c.length, 1);
  const uint8_t none = 0;
  ASSERT_EQ(I2CMasterTx(0xA0, data.empty() ? &none : data.data(), c.length, c.stop), I2C_OK);
  adapter_->pump();
  EXPECT_EQ(adapter_->takeCommands(), std::vector<Bytes>{concat(c.head, data)});
}

INSTANTIATE_TEST_SUITE_P(
    Transmit, FirstBlock,
    ::testing::Values(FirstBlockCase{"StopSetsAddressBit0", 200, 10, 1, {0x11, 0xA1}},
                      FirstBlockCase{"NoStopOnFirmware200", 200, 10, 0, {0x15, 0xA0}},
                      FirstBlockCase{"NoStopOnOlderFirmware", 199, 10, 0, {0x11, 0xA0}},
                      FirstBlockCase{"StopOnOlderFirmware", 150, 10, 1, {0x11, 0xA1}},
                      FirstBlockCase{"AddressAloneWhenEmpty", 200, 0, 1, {0x11, 0xA1}},
                      FirstBlockCase{"LongWithStopKeepsBit0Clear", 200, 16, 1, {0x11, 0xA1}}),
    [](const ::testing::TestParamInfo<FirstBlockCase>& row) { return row.param.name; });

TEST_F(MasterTest, ContinuationSendsFurtherBlocksOnlyAfterATransmitWithoutStop) {
  openLink();
  answerTransmitBlocks();
  const Bytes first = counting(3);
  const Bytes rest = counting(20, 0x40);
  EXPECT_EQ(I2CMasterTx(0xFF, rest.data(), 20, 1), I2C_ERR_ADDRESS);
  EXPECT_TRUE(logged(1, "I2C Link: FAILURE - No Previous Master Tx to Continue."));

  ASSERT_EQ(I2CMasterTx(0xA0, first.data(), 3, 0), I2C_OK);
  // Not while the first part is still running: it would overwrite the buffer under it.
  EXPECT_EQ(I2CMasterTx(0xFF, rest.data(), 20, 1), I2C_ERR_BUSY);
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - I2C Operation in Progress."));
  ASSERT_TRUE(tickUntilEvent(I2C_EV_MASTER_TX_COMPLETE));
  adapter_->takeCommands();

  ASSERT_EQ(I2CMasterTx(0xFF, rest.data(), 20, 1), I2C_OK);
  ASSERT_TRUE(tickUntilEvent(I2C_EV_MASTER_TX_COMPLETE));
  EXPECT_EQ(adapter_->takeCommands(),
            (std::vector<Bytes>{concat({0x12, 0x00}, Bytes(rest.begin(), rest.begin() + 16)),
                                concat({0x12, 0x01}, Bytes(rest.begin() + 16, rest.end()))}));
  EXPECT_EQ(status().MasterTxByteCount, 20u);

  EXPECT_EQ(I2CMasterTx(0xFF, rest.data(), 20, 1), I2C_ERR_ADDRESS);
}

struct RefusalCase {
  const char* name;
  unsigned firmware;
  std::function<void(I2CLinkRecord&)> change;
  std::function<uint32_t()> request;
  uint32_t result;
  std::vector<std::string> lines;  // level 1
  uint32_t masterStatus;
};

class Refusal : public MasterTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusal, CodeLogAndNothingQueued) {
  const RefusalCase& c = GetParam();
  adapter_->firmware = c.firmware;
  I2CLinkRecord record = defaultRecord();
  if (c.change) {
    c.change(record);
  }
  openLink(record);
  EXPECT_EQ(c.request(), c.result);
  for (const std::string& line : c.lines) {
    EXPECT_TRUE(logged(1, line)) << line;
  }
  EXPECT_EQ(status().MasterStatus, c.masterStatus);
  tick(2);
  EXPECT_TRUE(adapter_->takeCommands().empty());
  EXPECT_TRUE(takeEvents().empty());
}

const uint8_t kData[13] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
constexpr uint32_t kIdle = I2C_MASTER_IDLE;
constexpr uint32_t kOpen = I2C_EV_OPEN_COMPLETE;  // left as it was

INSTANTIATE_TEST_SUITE_P(
    Master, Refusal,
    ::testing::Values(
        RefusalCase{
            "RxFromGeneralCall",
            200,
            {},
            [] { return I2CMasterRx(0x00, 4, 1); },
            I2C_ERR_ADDRESS,
            {"I2C Link: FAILURE - Master Read to General Call I2C Slave Address NOT Allowed."},
            kIdle},
        RefusalCase{"RxFromOddAddress",
                    200,
                    {},
                    [] { return I2CMasterRx(0xA1, 4, 1); },
                    I2C_ERR_ADDRESS,
                    {"I2C Link: FAILURE - Destination I2C Slave Address NOT Even (161)."},
                    kIdle},
        RefusalCase{"RxOfZeroBytes",
                    200,
                    {},
                    [] { return I2CMasterRx(0xA0, 0, 1); },
                    I2C_ERR_LENGTH,
                    {"I2C Link: WARNING - Zero Length Argument Detected."},
                    kIdle},
        RefusalCase{"RxLargerThanBuffer",
                    200,
                    {},
                    [] { return I2CMasterRx(0xA0, 600, 1); },
                    I2C_ERR_LENGTH,
                    {"I2C Link: FAILURE - Msg Length Argument (600) > MasterRxBufSize (512)."},
                    kIdle},
        RefusalCase{"RxLongerThanTheWireCarries",
                    200,
                    [](I2CLinkRecord& r) { r.MasterRxBufSize = 70000; },
                    [] { return I2CMasterRx(0xA0, 66000, 1); },
                    I2C_ERR_LENGTH,
                    {"I2C Link: FAILURE - Rx Msg Length Argument (66000) > Maximum (65535)."},
                    kIdle},
        RefusalCase{"RxContinueWithoutPreviousReceive",
                    200,
                    {},
                    [] { return I2CMasterRx(0xFF, 4, 1); },
                    I2C_ERR_ADDRESS,
                    {"I2C Link: FAILURE - No Previous I2C Message to Continue."},
                    kIdle},
        RefusalCase{"RxExtStopWithoutNack",
                    200,
                    {},
                    [] { return I2CMasterRxExt(0xA0, 4, 0, 1); },
                    I2C_ERR_NACK_STOP,
                    {"I2C Link: WARNING - Invalid Nack/Stop Combination."},
                    kIdle},
        RefusalCase{"RxExtNackWithoutStopOnOlderFirmware",
                    199,
                    {},
                    [] { return I2CMasterRxExt(0xA0, 4, 1, 0); },
                    I2C_ERR_FIRMWARE,
                    {"I2C Link: WARNING - Unsupported Nack/Stop Combination.",
                     "I2C Link: WARNING - Requires Vantor Firmware V2.00+."},
                    kIdle},
        RefusalCase{"RxExtLargerThanBuffer",
                    200,
                    {},
                    [] { return I2CMasterRxExt(0xA0, 513, 1, 1); },
                    I2C_ERR_LENGTH,
                    {"I2C Link: FAILURE - Msg Length Argument (513) > MasterRxBufSize (512)."},
                    kIdle},
        RefusalCase{"TxRxOnOlderFirmware",
                    199,
                    {},
                    [] { return I2CMasterTxRx(0xA0, kData, 2, 4, 1); },
                    I2C_ERR_FIRMWARE,
                    {"I2C Link: WARNING - Unsupported Feature.",
                     "I2C Link: WARNING - Requires Vantor Firmware V2.00+."},
                    kOpen},
        RefusalCase{"TxRxContinue",
                    200,
                    {},
                    [] { return I2CMasterTxRx(0xFF, kData, 2, 4, 1); },
                    I2C_ERR_ADDRESS,
                    {"I2C Link: FAILURE - Continue Address Not Supported."},
                    kIdle},
        RefusalCase{
            "TxRxFromGeneralCall",
            200,
            {},
            [] { return I2CMasterTxRx(0x00, kData, 2, 4, 1); },
            I2C_ERR_ADDRESS,
            {"I2C Link: FAILURE - Master Read to General Call I2C Slave Address NOT Allowed."},
            kIdle},
        RefusalCase{"TxRxOddAddress",
                    200,
                    {},
                    [] { return I2CMasterTxRx(0xA3, kData, 2, 4, 1); },
                    I2C_ERR_ADDRESS,
                    {"I2C Link: FAILURE - Destination I2C Slave Address NOT Even (163)."},
                    kIdle},
        RefusalCase{"TxRxNothingToTransmit",
                    200,
                    {},
                    [] { return I2CMasterTxRx(0xA0, kData, 0, 4, 1); },
                    I2C_ERR_LENGTH,
                    {"I2C Link: WARNING - Zero Length Argument Detected."},
                    kIdle},
        RefusalCase{"TxRxThirteenBytes",
                    200,
                    {},
                    [] { return I2CMasterTxRx(0xA0, kData, 13, 4, 1); },
                    I2C_ERR_LENGTH,
                    {"I2C Link: FAILURE - Tx Msg Length Argument (13) > Maximun (12)."},
                    kIdle},
        RefusalCase{"TxRxReceiveLargerThanBuffer",
                    200,
                    {},
                    [] { return I2CMasterTxRx(0xA0, kData, 2, 600, 1); },
                    I2C_ERR_LENGTH,
                    {"I2C Link: FAILURE - Rx Msg Length Argument (600) > MasterRxBufSize (512)."},
                    kIdle},
        RefusalCase{"TxRxNullData",
                    200,
                    {},
                    [] { return I2CMasterTxRx(0xA0, nullptr, 2, 4, 1); },
                    I2C_ERR_NULL_POINTER,
                    {"I2C Link: FAILURE - Null Data Buffer Pointer Argument Detected."},
                    kIdle},
        RefusalCase{"TxNullData",
                    200,
                    {},
                    [] { return I2CMasterTx(0xA0, nullptr, 2, 1); },
                    I2C_ERR_NULL_POINTER,
                    {"I2C Link: FAILURE - Null Data Buffer Pointer Argument Detected."},
                    kOpen},
        RefusalCase{"TxLargerThanBuffer",
                    200,
                    {},
                    [] {
                      static const Bytes big(513);
                      return I2CMasterTx(0xA0, big.data(), 513, 1);
                    },
                    I2C_ERR_LENGTH,
                    {"I2C Link: FAILURE - Msg Length Argument (513) > MasterTxBufSize (512)."},
                    kOpen},
        RefusalCase{"TxToOddAddress",
                    200,
                    {},
                    [] { return I2CMasterTx(0xA1, kData, 2, 1); },
                    I2C_ERR_ADDRESS,
                    {"I2C Link: FAILURE - Destination I2C Slave Address NOT Even (161)."},
                    kIdle}),
    [](const ::testing::TestParamInfo<RefusalCase>& row) { return row.param.name; });

struct ReceiveFrameCase {
  const char* name;
  unsigned firmware;
  std::function<uint32_t()> request;
  Bytes frame;
};

class ReceiveFrame : public MasterTest, public ::testing::WithParamInterface<ReceiveFrameCase> {};

TEST_P(ReceiveFrame, IsSentByteForByte) {
  const ReceiveFrameCase& c = GetParam();
  adapter_->firmware = c.firmware;
  openLink();
  ASSERT_EQ(c.request(), I2C_OK);
  EXPECT_EQ(status().MasterStatus, I2C_MASTER_BUSY);
  adapter_->pump();
  EXPECT_EQ(adapter_->takeCommands(), std::vector<Bytes>{c.frame});
}

const uint8_t kPointer[2] = {0x00, 0x10};

INSTANTIATE_TEST_SUITE_P(
    Master, ReceiveFrame,
    ::testing::Values(ReceiveFrameCase{"Rx",
                                       200,
                                       [] { return I2CMasterRx(0xA0, 4, 1); },
                                       {0x21, 0xA0, 0x00, 0x04, 0x01}},
                      ReceiveFrameCase{"RxLengthHighByteFirst",
                                       200,
                                       [] { return I2CMasterRx(0xA0, 0x1FF, 0); },
                                       {0x21, 0xA0, 0x01, 0xFF, 0x00}},
                      ReceiveFrameCase{"RxExtOnFirmware200",
                                       200,
                                       [] { return I2CMasterRxExt(0xA0, 4, 1, 0); },
                                       {0x23, 0xA0, 0x00, 0x04, 0x01, 0x00}},
                      ReceiveFrameCase{"RxExtOnOlderFirmware",
                                       150,
                                       [] { return I2CMasterRxExt(0xA0, 4, 1, 1); },
                                       {0x21, 0xA0, 0x00, 0x04, 0x01}},
                      ReceiveFrameCase{"TxRxWithStop",
                                       200,
                                       [] { return I2CMasterTxRx(0xA0, kPointer, 2, 4, 1); },
                                       {0x24, 0xA1, 0x00, 0x04, 0x00, 0x10}},
                      ReceiveFrameCase{"TxRxWithoutStop",
                                       200,
                                       [] { return I2CMasterTxRx(0xA0, kPointer, 2, 4, 0); },
                                       {0x25, 0xA0, 0x00, 0x04, 0x00, 0x10}}),
    [](const ::testing::TestParamInfo<ReceiveFrameCase>& row) { return row.param.name; });

TEST_F(MasterTest, ReceiveCompletesWhenTheExpectedLengthArrived) {
  openLink();
  ASSERT_EQ(I2CMasterRx(0xA0, 10, 1), I2C_OK);
  const Bytes data = counting(10, 0x30);
  adapter_->sendFrame(concat({0x22}, Bytes(data.begin(), data.begin() + 6)));
  tick(4);
  EXPECT_TRUE(takeEvents().empty());
  EXPECT_EQ(status().MasterRxMsgSize, 6u);
  adapter_->sendFrame(concat({0x22}, Bytes(data.begin() + 6, data.end())));
  ASSERT_TRUE(tickUntilEvent(I2C_EV_MASTER_RX_COMPLETE));
  const I2CLinkRecord seen = status();
  EXPECT_EQ(seen.MasterRxMsgPresent, 1u);
  EXPECT_EQ(seen.MasterRxMsgSize, 10u);
  EXPECT_TRUE(logged(2, "I2C Link: Master Rx Data Received."));
  EXPECT_TRUE(logged(3, "I2C Link: Rx Data = \"[30][31][32][33][34][35]\"."));

  Bytes out(10, 0);
  EXPECT_EQ(I2CGetMasterRxMsg(4, out.data()), 4u);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), Bytes(data.begin(), data.begin() + 4));
  // The rest went with the message.
  EXPECT_EQ(I2CGetMasterRxMsg(10, out.data()), 0u);
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - No Master Rx Message Present."));
  EXPECT_EQ(status().MasterRxMsgSize, 0u);
}

TEST_F(MasterTest, VariableLengthReceiveTakesItsLengthFromTheFirstByte) {
  openLink();
  ASSERT_EQ(I2CMasterRxExt(0xA0, 0, 1, 1), I2C_OK);
  adapter_->sendFrame({0x22, 0x05, 0xAA, 0xBB, 0xCC});
  tick(4);
  EXPECT_TRUE(takeEvents().empty());
  adapter_->sendFrame({0x22, 0xDD, 0xEE});
  ASSERT_TRUE(tickUntilEvent(I2C_EV_MASTER_RX_COMPLETE));
  EXPECT_EQ(status().MasterRxMsgSize, 6u);
  Bytes out(8, 0);
  ASSERT_EQ(I2CGetMasterRxMsg(8, out.data()), 6u);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 6), (Bytes{0x05, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
}

TEST_F(MasterTest, DataBeyondTheBufferIsTrimmedNeverWrittenPastIt) {
  openLink();
  ASSERT_EQ(I2CMasterRx(0xA0, 512, 1), I2C_OK);
  // 31 frames of 17 bytes: 527 in all, 15 more than the buffer holds. Sent one frame at a time
  // so the line's queue never holds more than the port's.
  const Bytes data = counting(527);
  for (std::size_t at = 0; at < data.size(); at += 17) {
    adapter_->sendFrame(concat({0x22}, Bytes(data.begin() + at, data.begin() + at + 17)));
    tick(2);
  }
  ASSERT_TRUE(tickUntilEvent(I2C_EV_MASTER_RX_COMPLETE));
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - Trimming Excess Master Rx Data."));
  EXPECT_EQ(status().MasterRxMsgSize, 512u);
  Bytes out(600, 0);
  ASSERT_EQ(I2CGetMasterRxMsg(600, out.data()), 512u);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 512), Bytes(data.begin(), data.begin() + 512));
}

TEST_F(MasterTest, ReceiveDataBeforeAnyReceiveIsDropped) {
  openLink();
  const int acks = adapter_->hostAcks();
  adapter_->sendFrame({0x22, 0x01, 0x02});
  tick(4);
  EXPECT_TRUE(takeEvents().empty());
  EXPECT_EQ(status().MasterRxMsgSize, 0u);
  EXPECT_EQ(adapter_->hostAcks(), acks + 1);
}

TEST_F(MasterTest, ReceiveContinuesOnlyAfterAReceiveWithoutStop) {
  openLink();
  adapter_->onCommand = [this](const Bytes& c) {
    if (c[0] == 0x21) {
      adapter_->sendFrame({0x22, 0x11, 0x22});
    }
  };
  ASSERT_EQ(I2CMasterRx(0xA0, 2, 0), I2C_OK);
  ASSERT_TRUE(tickUntilEvent(I2C_EV_MASTER_RX_COMPLETE));
  ASSERT_EQ(I2CMasterRx(0xFF, 2, 1), I2C_OK);
  ASSERT_TRUE(tickUntilEvent(I2C_EV_MASTER_RX_COMPLETE));
  EXPECT_EQ(adapter_->takeCommands(),
            (std::vector<Bytes>{{0x21, 0xA0, 0x00, 0x02, 0x00}, {0x21, 0xFF, 0x00, 0x02, 0x01}}));
  EXPECT_EQ(I2CMasterRx(0xFF, 2, 1), I2C_ERR_ADDRESS);
  EXPECT_TRUE(logged(1, "I2C Link: FAILURE - No Previous Master Rx to Continue."));
}

struct WhileOpeningCase {
  const char* name;
  std::function<uint32_t()> request;
  uint32_t result;
  int level;
  std::string line;
};

class WhileOpening : public LinkTest, public ::testing::WithParamInterface<WhileOpeningCase> {};

TEST_P(WhileOpening, RequestsAreRefused) {
  const WhileOpeningCase& c = GetParam();
  const I2CLinkRecord record = defaultRecord();
  ASSERT_EQ(I2COpen(window_, 0, &record), I2C_OK);
  EXPECT_EQ(c.request(), c.result);
  EXPECT_TRUE(logged(c.level, c.line)) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Opening, WhileOpening,
    ::testing::Values(
        WhileOpeningCase{"Tx", [] { return I2CMasterTx(0xA0, kData, 2, 1); }, I2C_ERR_NOT_OPEN, 2,
                         "I2C Link: WARNING - Link NOT Open."},
        WhileOpeningCase{"Rx", [] { return I2CMasterRx(0xA0, 2, 1); }, I2C_ERR_BUSY, 1,
                         "I2C Link: WARNING - Link Operation in Progress."},
        WhileOpeningCase{"RxExt", [] { return I2CMasterRxExt(0xA0, 2, 1, 1); }, I2C_ERR_BUSY, 1,
                         "I2C Link: WARNING - Link Operation in Progress."},
        WhileOpeningCase{"TxRx", [] { return I2CMasterTxRx(0xA0, kData, 2, 2, 1); },
                         I2C_ERR_FIRMWARE, 1, "I2C Link: WARNING - Unsupported Feature."},
        WhileOpeningCase{"SlaveTx", [] { return I2CSlaveTx(kData, 2); }, I2C_ERR_NOT_OPEN, 2,
                         "I2C Link: WARNING - Link NOT Open."},
        WhileOpeningCase{"ChangeSlaveAddress", [] { return I2CChangeSlaveAddress(0x70); },
                         I2C_ERR_NOT_OPEN, 2, "I2C Link: WARNING - Link NOT Open."},
        WhileOpeningCase{"ChangeSlaveGCEnable", [] { return I2CChangeSlaveGCEnable(1); },
                         I2C_ERR_NOT_OPEN, 2, "I2C Link: WARNING - Link NOT Open."}),
    [](const ::testing::TestParamInfo<WhileOpeningCase>& row) { return row.param.name; });

TEST_F(MasterTest, RequestsAfterClose) {
  openLink();
  ASSERT_EQ(I2CClose(), I2C_OK);
  EXPECT_EQ(I2CMasterRx(0xA0, 2, 1), I2C_ERR_NOT_OPEN);
  EXPECT_EQ(I2CMasterTx(0xA0, kData, 2, 1), I2C_ERR_NOT_OPEN);
  EXPECT_EQ(I2CMasterRxExt(0xA0, 2, 1, 1), I2C_ERR_NOT_OPEN);
}

}  // namespace
}  // namespace vtlink_test
