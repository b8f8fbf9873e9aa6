// How events reach the application: window message, callback, or dropped with a notice; the
// record is always updated first, and a callback may call any export, I2CClose included.

#include <gtest/gtest.h>

#include <algorithm>

#include "api_fixture.h"
#include "platform/loop.h"

namespace vtlink_test {
namespace {

struct Seen {
  uint32_t event = 0;
  I2CLinkRecord record{};
};
std::vector<Seen> gSeen;
uint32_t gCloseOn = 0;
uint32_t gCloseResult = 0;

void inspectingCallback(uint32_t event) {
  Seen seen;
  seen.event = event;
  I2CGetStatus(&seen.record);
  gSeen.push_back(seen);
  recordCallbackEvent(event);
  if (event == gCloseOn) {
    gCloseResult = I2CClose();
  }
}

class NotificationTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    gSeen.clear();
    gCloseOn = 0;
    gCloseResult = 0;
  }
  I2CLinkRecord callbackRecord() const {
    I2CLinkRecord record = defaultRecord();
    record.WmMsgNo = 0;
    record.CallBackFunc = inspectingCallback;
    return record;
  }
};

TEST_F(NotificationTest, WindowMessageCarriesTheEventAsWparam) {
  const I2CLinkRecord record = defaultRecord();
  ASSERT_EQ(I2COpen(window_, 0, &record), I2C_OK);
  platform::Loop& loop = platform::Loop::current();
  platform::Message message;
  ASSERT_TRUE(tickUntil([&] { return loop.getMessage(message, 0); }));
  EXPECT_EQ(message.hwnd, window_);
  EXPECT_EQ(message.msg, 1024u);
  EXPECT_EQ(message.wparam, I2C_EV_OPEN_COMPLETE);
  EXPECT_EQ(message.lparam, 0);
}

TEST_F(NotificationTest, CallbackSeesTheRecordAlreadyUpdated) {
  openLink(callbackRecord());
  ASSERT_EQ(gSeen.size(), 1u);
  EXPECT_EQ(gSeen[0].event, I2C_EV_OPEN_COMPLETE);
  EXPECT_EQ(gSeen[0].record.MasterStatus, I2C_EV_OPEN_COMPLETE);
  EXPECT_EQ(gSeen[0].record.LinkStatus, 1u);
  EXPECT_EQ(gSeen[0].record.FirmwareVersion, 200u);

  ASSERT_EQ(I2CMasterRx(0xA0, 2, 1), I2C_OK);
  adapter_->sendFrame({0x22, 0x01, 0x02});
  ASSERT_TRUE(tickUntil([&] { return gSeen.size() == 2; }));
  EXPECT_EQ(gSeen[1].event, I2C_EV_MASTER_RX_COMPLETE);
  EXPECT_EQ(gSeen[1].record.MasterRxMsgPresent, 1u);
  EXPECT_EQ(gSeen[1].record.MasterRxMsgSize, 2u);
}

TEST_F(NotificationTest, WithoutMessageOrCallbackEventsAreDroppedButRecorded) {
  I2CLinkRecord record = defaultRecord();
  record.WmMsgNo = 0;
  ASSERT_EQ(I2COpen(window_, 0, &record), I2C_OK);
  ASSERT_TRUE(tickUntil([&] { return status().LinkStatus == 1; }));
  EXPECT_TRUE(takeEvents().empty());
  EXPECT_EQ(status().MasterStatus, I2C_EV_OPEN_COMPLETE);
  EXPECT_TRUE(logged(2, "I2C Link: NOTICE - No App Msg or CallBack Specified."));
}

TEST_F(NotificationTest, RefusedPostIsLoggedAndTheRecordStillShowsTheEvent) {
  const I2CLinkRecord record = defaultRecord();
  ASSERT_EQ(I2COpen(window_ + 1000, 0, &record), I2C_OK);
  ASSERT_TRUE(tickUntil([&] { return status().LinkStatus == 1; }));
  EXPECT_TRUE(logged(1, "I2C Link: FAILURE - PostMessage NOT Accepted."));
  EXPECT_EQ(status().MasterStatus, I2C_EV_OPEN_COMPLETE);
}

struct CloseFromCallbackCase {
  const char* name;
  uint32_t event;
  uint32_t result;
};

class CloseFromCallback : public NotificationTest,
                          public ::testing::WithParamInterface<CloseFromCallbackCase> {};

TEST_P(CloseFromCallback, IsSafeAndFinal) {
  const CloseFromCallbackCase& c = GetParam();
  gCloseOn = c.event;
  openLink(callbackRecord());
  if (c.event == I2C_EV_MASTER_RX_COMPLETE) {
    ASSERT_EQ(I2CMasterRx(0xA0, 2, 1), I2C_OK);
    adapter_->sendFrame({0x22, 0x01, 0x02});
  } else {
    adapter_->acknowledgeFrames = false;
    ASSERT_EQ(I2CMasterRx(0xA0, 2, 1), I2C_OK);
  }
  ASSERT_TRUE(tickUntil([&] { return !gSeen.empty() && gSeen.back().event == c.event; }));
  EXPECT_EQ(gCloseResult, c.result);
  tick(10);
  EXPECT_EQ(gSeen.back().event, c.event);
  EXPECT_FALSE(adapter_->hostOpen());
  EXPECT_EQ(platform::Loop::current().timerCount(), 0u);
  EXPECT_EQ(status().LinkStatus, 0u);
  const std::vector<std::string> lines = logLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), logLine(1, "----- END OF LOG -----.")), 1);
  // The library is ready for the next link.
  adapter_->acknowledgeFrames = true;
  gCloseOn = 0;
  openLink(callbackRecord());
}

INSTANTIATE_TEST_SUITE_P(
    Callback, CloseFromCallback,
    ::testing::Values(CloseFromCallbackCase{"OnReceiveComplete", I2C_EV_MASTER_RX_COMPLETE, 0},
                      CloseFromCallbackCase{"OnNotResponding", I2C_EV_NOT_RESPONDING, 0}),
    [](const ::testing::TestParamInfo<CloseFromCallbackCase>& row) { return row.param.name; });

I2CLinkRecord gReopenRecord{};
uint32_t gReopenWindow = 0;
uint32_t gReopenResult = 1;

void reopeningCallback(uint32_t event) {
  recordCallbackEvent(event);
  if (event == I2C_EV_MASTER_RX_COMPLETE) {
    I2CClose();
    gReopenResult = I2COpen(gReopenWindow, 0, &gReopenRecord);
  }
}

TEST_F(NotificationTest, CallbackMayCloseAndReopenTheLink) {
  gReopenRecord = defaultRecord();
  gReopenRecord.WmMsgNo = 0;
  gReopenRecord.CallBackFunc = reopeningCallback;
  gReopenWindow = window_;
  openLink(gReopenRecord);
  ASSERT_EQ(I2CMasterRx(0xA0, 2, 1), I2C_OK);
  adapter_->sendFrame({0x22, 0x01, 0x02});
  ASSERT_TRUE(tickUntilEvent(I2C_EV_MASTER_RX_COMPLETE));
  EXPECT_EQ(gReopenResult, I2C_OK);
  ASSERT_TRUE(tickUntilEvent(I2C_EV_OPEN_COMPLETE));
  EXPECT_EQ(adapter_->resetsSeen(), 2);
  EXPECT_EQ(status().LinkStatus, 1u);
}

}  // namespace
}  // namespace vtlink_test
