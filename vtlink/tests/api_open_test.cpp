// Opening, closing and reading the link: the open parameters, the handshake, the status
// record in every state, the two fetches, and the port's modem lines.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "api_fixture.h"
#include "platform/loop.h"
#include "platform/serial_port.h"

namespace vtlink_test {
namespace {

struct OpenCase {
  const char* name;
  std::function<void(I2CLinkRecord&)> change;
  uint32_t result;
  std::string line;  // logged at level 1
};

class OpenParameters : public LinkTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenParameters, ResultAndLogLine) {
  const OpenCase& c = GetParam();
  I2CLinkRecord record = defaultRecord();
  c.change(record);
  EXPECT_EQ(I2COpen(window_, 0, &record), c.result);
  EXPECT_TRUE(logged(1, c.line)) << c.line;
  const I2CLinkRecord seen = status();
  if (c.result == I2C_OK) {
    EXPECT_EQ(seen.MasterStatus, I2C_MASTER_BUSY);
    EXPECT_TRUE(logged(1, "I2C Link: I2COpen() Accepted."));
  } else {
    // A refused open leaves its reason in a closed log, and the attempted parameters behind.
    EXPECT_EQ(seen.MasterStatus, I2C_MASTER_IDLE);
    EXPECT_EQ(seen.LinkStatus, 0u);
    EXPECT_EQ(logLines().back(), logLine(1, "----- END OF LOG -----."));
    EXPECT_FALSE(adapter_->hostOpen());
    I2CLinkRecord attempted = record;
    EXPECT_EQ(seen.WmMsgNo, attempted.WmMsgNo);
    EXPECT_EQ(seen.HostSlaveAddr, attempted.HostSlaveAddr);
    EXPECT_EQ(seen.MasterBitRate, attempted.MasterBitRate);
    EXPECT_EQ(seen.ComPortNo, attempted.ComPortNo);
  }
}

void noCallback(uint32_t) {}
constexpr uint32_t kTooLarge = 0x7FFFFFFF;

INSTANTIATE_TEST_SUITE_P(
    Open, OpenParameters,
    ::testing::Values(
        OpenCase{"WmMsgNo0WithCallback",
                 [](I2CLinkRecord& r) {
                   r.WmMsgNo = 0;
                   r.CallBackFunc = noCallback;
                 },
                 I2C_OK, "I2C Link: Using CallBack Function."},
        OpenCase{"WmMsgNo0WithoutCallback", [](I2CLinkRecord& r) { r.WmMsgNo = 0; }, I2C_OK,
                 "I2C Link: NOTICE - No App Msg or CallBack Specified."},
        OpenCase{"WmMsgNo1", [](I2CLinkRecord& r) { r.WmMsgNo = 1; }, I2C_OK,
                 "I2C Link: Using WmMsgNo = (1)."},
        OpenCase{"WmMsgNo1024", [](I2CLinkRecord& r) { r.WmMsgNo = 1024; }, I2C_OK,
                 "I2C Link: Using WmMsgNo = (1024)."},
        OpenCase{"WmMsgNo65530", [](I2CLinkRecord& r) { r.WmMsgNo = 65530; }, I2C_OK,
                 "I2C Link: Using WmMsgNo = (65530)."},
        OpenCase{"WmMsgNo2", [](I2CLinkRecord& r) { r.WmMsgNo = 2; }, I2C_ERR_WM_MSG_NO,
                 "I2C Link: FAILURE - Invalid Windows Msg Number (2)."},
        OpenCase{"WmMsgNo1023", [](I2CLinkRecord& r) { r.WmMsgNo = 1023; }, I2C_ERR_WM_MSG_NO,
                 "I2C Link: FAILURE - Invalid Windows Msg Number (1023)."},
        OpenCase{"WmMsgNo65531", [](I2CLinkRecord& r) { r.WmMsgNo = 65531; }, I2C_ERR_WM_MSG_NO,
                 "I2C Link: FAILURE - Invalid Windows Msg Number (65531)."},
        OpenCase{"ComPortNo0", [](I2CLinkRecord& r) { r.ComPortNo = 0; }, I2C_ERR_PORT_NO,
                 "I2C Link: FAILURE - Invalid Port No. = 0."},
        OpenCase{"PortThatDoesNotExist", [](I2CLinkRecord& r) { r.ComPortNo = 8; },
                 I2C_ERR_DATA_LINK_OPEN, "I2C Link: FAILURE - Data Link Open Not Accepted."},
        OpenCase{"HostSlaveAddr0", [](I2CLinkRecord& r) { r.HostSlaveAddr = 0; }, I2C_ERR_ADDRESS,
                 "I2C Link: FAILURE - Invalid Host Adapter I2C Slave Address (0)."},
        OpenCase{"HostSlaveAddrOdd", [](I2CLinkRecord& r) { r.HostSlaveAddr = 0x6F; },
                 I2C_ERR_ADDRESS,
                 "I2C Link: FAILURE - Invalid Host Adapter I2C Slave Address (111)."},
        OpenCase{"HostSlaveAddrEven", [](I2CLinkRecord& r) { r.HostSlaveAddr = 0x6E; }, I2C_OK,
                 "I2C Link: Using HostSlaveAddr = (0X6E)."},
        OpenCase{"BitRate0", [](I2CLinkRecord& r) { r.MasterBitRate = 0; }, I2C_ERR_BIT_RATE,
                 "I2C Link: FAILURE - Invalid I2C Bit Rate (0)."},
        OpenCase{"BitRate3", [](I2CLinkRecord& r) { r.MasterBitRate = 3; }, I2C_ERR_BIT_RATE,
                 "I2C Link: FAILURE - Invalid I2C Bit Rate (3)."},
        OpenCase{"BitRate2", [](I2CLinkRecord& r) { r.MasterBitRate = 2; }, I2C_OK,
                 "I2C Link: Using I2C MasterBitRate = (2)."},
        OpenCase{"MasterRxBufferTooLarge", [](I2CLinkRecord& r) { r.MasterRxBufSize = kTooLarge; },
                 I2C_ERR_ALLOCATION, "I2C Link: FAILURE - Unable to allocate Master Rx Buffer."},
        OpenCase{"MasterTxBufferTooLarge", [](I2CLinkRecord& r) { r.MasterTxBufSize = kTooLarge; },
                 I2C_ERR_ALLOCATION, "I2C Link: FAILURE - Unable to allocate Master Tx Buffer."},
        OpenCase{"SlaveRxBufferTooLarge", [](I2CLinkRecord& r) { r.SlaveRxBufSize = kTooLarge; },
                 I2C_ERR_ALLOCATION, "I2C Link: FAILURE - Unable to allocate Slave Rx Buffer."},
        OpenCase{"SlaveTxBufferTooLarge", [](I2CLinkRecord& r) { r.SlaveTxBufSize = kTooLarge; },
                 I2C_ERR_ALLOCATION, "I2C Link: FAILURE - Unable to allocate Slave Tx Buffer."}),
    [](const ::testing::TestParamInfo<OpenCase>& row) { return row.param.name; });

using OpenTest = LinkTest;

TEST_F(OpenTest, LogFileThatCannotBeCreatedRefusesWith771) {
  I2CLinkRecord record = defaultRecord();
  const std::string path = dir_ + "/missing/link.log";
  record.LogFileName = path.c_str();
  EXPECT_EQ(I2COpen(window_, 0, &record), I2C_ERR_LOG_FILE);
  EXPECT_EQ(status().MasterStatus, I2C_MASTER_IDLE);
  EXPECT_FALSE(adapter_->hostOpen());
}

TEST_F(OpenTest, NoLogFileWithLevel0OrEmptyName) {
  for (auto change : {+[](I2CLinkRecord& r) { r.LogFileLevel = 0; },
                      +[](I2CLinkRecord& r) { r.LogFileName = ""; }}) {
    I2CLinkRecord record = defaultRecord();
    change(record);
    EXPECT_EQ(I2COpen(window_, 0, &record), I2C_OK);
    EXPECT_FALSE(std::filesystem::exists(logPath_));
    I2CClose();
  }
}

TEST_F(OpenTest, NullRecordIsRefused) {
  openLink();
  I2CClose();
  EXPECT_EQ(I2COpen(window_, 0, nullptr), I2C_ERR_NULL_POINTER);
}

TEST_F(OpenTest, SmallSizesAndArbitrationRetryAreReplaced) {
  I2CLinkRecord record = defaultRecord();
  record.MasterRxBufSize = 100;
  record.MasterTxBufSize = 511;
  record.SlaveRxBufSize = 0;
  record.SlaveTxBufSize = 0;
  record.MasterArbRetry = 3;
  ASSERT_EQ(I2COpen(window_, 0, &record), I2C_OK);
  const I2CLinkRecord seen = status();
  EXPECT_EQ(seen.MasterRxBufSize, 512u);
  EXPECT_EQ(seen.MasterTxBufSize, 512u);
  EXPECT_EQ(seen.SlaveRxBufSize, 1u);
  EXPECT_EQ(seen.SlaveTxBufSize, 512u);
  EXPECT_EQ(seen.MasterArbRetry, 0);
  EXPECT_TRUE(logged(2, "I2C Link: NOTICE - Using Default MasterRxBufSize."));
  EXPECT_TRUE(logged(2, "I2C Link: NOTICE - Using Default SlaveRxBufSize."));
  EXPECT_TRUE(logged(1, "I2C Link: Using MasterArbRetry = (3)."));
  EXPECT_TRUE(logged(1, "I2C Link: NOTICE - Arbitration Retry Not Implemented."));
  EXPECT_TRUE(logged(1, "I2C Link: Using MasterRxBufSize = (512)."));
}

TEST_F(OpenTest, HandshakeSendsLinkOpenFrameAndCompletesWith273) {
  I2CLinkRecord record = defaultRecord();
  record.SlaveRxGCEnable = 1;
  record.MasterBitRate = 2;
  ASSERT_EQ(I2COpen(window_, 5, &record), I2C_OK);
  ASSERT_TRUE(tickUntilEvent(I2C_EV_OPEN_COMPLETE));
  EXPECT_EQ(adapter_->resetsSeen(), 1);
  const std::vector<Bytes> commands = adapter_->takeCommands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0], (Bytes{0x01, 0x6E, 0x03, 0xE8, 0x02, 0x01, 0x03, 0x00, 0x40}));
  const I2CLinkRecord seen = status();
  EXPECT_EQ(seen.MasterStatus, I2C_EV_OPEN_COMPLETE);
  EXPECT_EQ(seen.LinkStatus, 1u);
  EXPECT_EQ(seen.SlaveStatus, I2C_SLAVE_IDLE);
  EXPECT_EQ(seen.FirmwareVersion, 200u);
  EXPECT_EQ(seen.DllVersion, 213u);
  char window[16];
  std::snprintf(window, sizeof window, "%#X", window_);
  EXPECT_TRUE(logged(
      1, "I2C Link: I2COpen(" + std::string(window) + ", 0X5, " + hexAddress(&record) + ")."));
  EXPECT_TRUE(logged(1, "I2C Link: API Ver 2, DLL Ver  2.13."));
  EXPECT_TRUE(logged(1, "I2C Link: Using Com Port No. (7)."));
  EXPECT_TRUE(logged(1, "I2C Link: Using BusTimeOut = (1000) Msec."));
  EXPECT_TRUE(logged(1, "I2C Link: Vantor Firmware Ver  2.00."));
  EXPECT_TRUE(logged(1, "I2C Link: Connection Established, Open Complete."));
}

TEST_F(OpenTest, LinkOpenFrameCarriesOversizedValuesAsTheLargest16BitValue) {
  I2CLinkRecord record = defaultRecord();
  record.BusTimeOut = 70000;
  record.SlaveRxBufSize = 0x10040;
  ASSERT_EQ(I2COpen(window_, 0, &record), I2C_OK);
  ASSERT_TRUE(tickUntilEvent(I2C_EV_OPEN_COMPLETE));
  const std::vector<Bytes> commands = adapter_->takeCommands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0], (Bytes{0x01, 0x6E, 0xFF, 0xFF, 0x01, 0x00, 0x03, 0xFF, 0xFF}));
}

TEST_F(OpenTest, SecondOpenWhileOpeningIs770AndWhileOpenIs769) {
  const I2CLinkRecord record = defaultRecord();
  ASSERT_EQ(I2COpen(window_, 0, &record), I2C_OK);
  EXPECT_EQ(I2COpen(window_, 0, &record), I2C_ERR_IN_PROGRESS);
  EXPECT_TRUE(logged(2, "Data Link: WARNING - Master Operation in Progress."));
  ASSERT_TRUE(tickUntilEvent(I2C_EV_OPEN_COMPLETE));
  EXPECT_EQ(I2COpen(window_, 0, &record), I2C_ERR_ALREADY_OPEN);
  EXPECT_TRUE(logged(2, "I2C Link: WARNING - Link Already Open."));
  EXPECT_EQ(status().MasterStatus, I2C_MASTER_IDLE);
}

TEST_F(OpenTest, SilentAdapterEndsWith274AndShutsTheLinkDown) {
  adapter_->silent = true;
  const I2CLinkRecord record = defaultRecord();
  ASSERT_EQ(I2COpen(window_, 0, &record), I2C_OK);
  ASSERT_TRUE(tickUntilEvent(I2C_EV_NOT_RESPONDING, 300));
  // Nine INITs one second apart after the reset; the tenth time-out gives up.
  EXPECT_GE(clock_->now(), 10000);
  EXPECT_LE(clock_->now(), 10100);
  const I2CLinkRecord seen = status();
  EXPECT_EQ(seen.MasterStatus, I2C_EV_NOT_RESPONDING);
  EXPECT_EQ(seen.LinkStatus, 0u);
  EXPECT_FALSE(adapter_->hostOpen());
  EXPECT_TRUE(logged(1, "I2C Link: FAILURE - Host Adapter Not Responding."));
  EXPECT_EQ(logLines().back(), logLine(1, "----- END OF LOG -----."));
  EXPECT_EQ(I2CClose(), I2C_ERR_NOT_OPEN);
  // A new open may follow at once.
  adapter_->silent = false;
  openLink();
}

TEST_F(OpenTest, CloseSendsLinkCloseFrameAndClosesEverything) {
  openLink();
  EXPECT_EQ(I2CClose(), I2C_OK);
  adapter_->pump();
  EXPECT_EQ(adapter_->takeCommands(), std::vector<Bytes>{Bytes{0x51}});
  EXPECT_FALSE(adapter_->hostOpen());
  const I2CLinkRecord seen = status();
  EXPECT_EQ(seen.LinkStatus, 0u);
  EXPECT_EQ(seen.MasterStatus, I2C_MASTER_IDLE);
  const std::vector<std::string> lines = logLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(logged(1, "I2C Link: I2CClose() Successful."));
  EXPECT_EQ(lines.back(), logLine(1, "----- END OF LOG -----."));
  EXPECT_EQ(I2CClose(), I2C_ERR_NOT_OPEN);
}

// A close while the handshake runs must leave nothing open that a late reply could complete.
class CloseDuringHandshake : public LinkTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CloseDuringHandshake, LeavesNothingHalfOpen) {
  const bool afterDataLinkConnected = GetParam();
  adapter_->answerLinkOpen = false;
  const I2CLinkRecord record = defaultRecord();
  ASSERT_EQ(I2COpen(window_, 0, &record), I2C_OK);
  if (afterDataLinkConnected) {
    ASSERT_TRUE(tickUntil([&] { return !adapter_->commands().empty(); }));
  } else {
    tick(2);
  }
  EXPECT_EQ(I2CClose(), I2C_ERR_NOT_OPEN);
  EXPECT_TRUE(logged(2, "I2C Link: WARNING - Link NOT Open."));
  EXPECT_EQ(logLines().back(), logLine(1, "----- END OF LOG -----."));
  EXPECT_FALSE(adapter_->hostOpen());
  EXPECT_EQ(platform::Loop::current().timerCount(), 0u);

  adapter_->sendFrame({0x02, 0x02, 0x00});
  tick(10);
  EXPECT_TRUE(takeEvents().empty());
  const I2CLinkRecord seen = status();
  EXPECT_EQ(seen.LinkStatus, 0u);
  EXPECT_EQ(seen.MasterStatus, I2C_MASTER_IDLE);
  EXPECT_EQ(I2CMasterRx(0xA0, 4, 1), I2C_ERR_NOT_OPEN);

  adapter_->answerLinkOpen = true;
  openLink();
  EXPECT_EQ(status().LinkStatus, 1u);
}

INSTANTIATE_TEST_SUITE_P(Close, CloseDuringHandshake, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& row) {
                           return row.param ? "AwaitingLinkOpenReply" : "AwaitingInit";
                         });

TEST_F(OpenTest, GetStatusWithNullPointerIs817) {
  openLink();
  EXPECT_EQ(I2CGetStatus(nullptr), I2C_ERR_NULL_POINTER);
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - Null Pointer Argument Detected."));
}

TEST_F(OpenTest, FetchesOnALinkNotOpenReturn0AndSetIdle) {
  const I2CLinkRecord record = defaultRecord();
  ASSERT_EQ(I2COpen(window_, 0, &record), I2C_OK);
  uint8_t buffer[8];
  for (auto fetch : {I2CGetMasterRxMsg, I2CGetSlaveRxMsg}) {
    EXPECT_EQ(status().MasterStatus, I2C_MASTER_BUSY);
    EXPECT_EQ(fetch(sizeof buffer, buffer), 0u);
    EXPECT_EQ(status().MasterStatus, I2C_MASTER_IDLE);
    EXPECT_TRUE(logged(2, "I2C Link: WARNING - Link NOT Open."));
    ASSERT_EQ(I2CClose(), I2C_ERR_NOT_OPEN);
    ASSERT_EQ(I2COpen(window_, 0, &record), I2C_OK);
  }
}

TEST_F(OpenTest, FetchWarningsReturn0) {
  openLink();
  uint8_t buffer[8];
  EXPECT_EQ(I2CGetMasterRxMsg(0, buffer), 0u);
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - Zero Length Argument Detected."));
  EXPECT_EQ(I2CGetSlaveRxMsg(8, nullptr), 0u);
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - Null Pointer Argument Detected."));
  EXPECT_EQ(I2CGetMasterRxMsg(8, buffer), 0u);
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - No Master Rx Message Present."));
  EXPECT_EQ(I2CGetSlaveRxMsg(8, buffer), 0u);
  EXPECT_TRUE(logged(1, "I2C Link: WARNING - No Slave Rx Message Present."));
  EXPECT_TRUE(logged(1, "I2C Link: I2CGetSlaveRxMsg() Complete."));
}

TEST_F(OpenTest, ModemStatusReadsTheOpenPortOnly) {
  uint32_t bits = 0;
  EXPECT_EQ(PORTGetCommModemStatus(&bits), 0);
  openLink();
  adapter_->port().setModemLines(platform::kModemCts | platform::kModemRlsd);
  EXPECT_NE(PORTGetCommModemStatus(&bits), 0);
  EXPECT_EQ(bits, platform::kModemCts | platform::kModemRlsd);
  EXPECT_EQ(PORTGetCommModemStatus(nullptr), 0);
}

}  // namespace
}  // namespace vtlink_test
