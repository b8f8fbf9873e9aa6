// The data link's refusals, and what the event callback may do from inside the tick.

#include <gtest/gtest.h>

#include <functional>

#include "vtlink/tests/link_case_name.h"
#include "vtlink/tests/link_test_peer.h"

namespace vtlink::test {
namespace {

const Bytes kPayload = {0x21, 0xA0, 0x00};

// What a refusal row may do: call the link, or open it on a port.
struct Calls {
  DataLink& link;
  std::function<std::uint16_t(std::uint8_t port)> open;
};

struct RefusalCase {
  const char* name;
  bool connectFirst;
  std::function<std::uint16_t(Calls&)> call;
  std::uint16_t result;
};

class DataLinkRefusalTest : public DataLinkTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(DataLinkRefusalTest, RefusesWithItsCode) {
  if (GetParam().connectFirst) {
    connect();
  }
  Calls calls{*link_, [this](std::uint8_t port) { return open(port); }};
  EXPECT_EQ(GetParam().call(calls), GetParam().result);
}

std::uint16_t sendBytes(Calls& calls, const Bytes& payload) {
  return calls.link.sendFrame(payload.size(), payload.data());
}

INSTANTIATE_TEST_SUITE_P(
    Results, DataLinkRefusalTest,
    testing::Values(
        RefusalCase{"SendWhileAFrameIsUnacknowledged", true,
                    [](Calls& calls) {
                      sendBytes(calls, kPayload);
                      return sendBytes(calls, kPayload);
                    },
                    dl::kInProgress},
        RefusalCase{"NineteenBytes", true,
                    [](Calls& calls) { return sendBytes(calls, Bytes(19, 0x01)); },
                    dl::kPayloadTooLong},
        RefusalCase{"EighteenBytesAccepted", true,
                    [](Calls& calls) { return sendBytes(calls, Bytes(18, 0x01)); }, 0},
        RefusalCase{"EmptyPayload", true,
                    [](Calls& calls) { return calls.link.sendFrame(0, kPayload.data()); },
                    dl::kPayloadTooLong},
        RefusalCase{"SendNotConnected", false,
                    [](Calls& calls) { return sendBytes(calls, kPayload); }, dl::kNotConnected},
        RefusalCase{"AcknowledgeWithNoFrame", true,
                    [](Calls& calls) { return calls.link.acknowledgeFrame(); }, dl::kNoFrameToAck},
        RefusalCase{"AcknowledgeNotConnected", false,
                    [](Calls& calls) { return calls.link.acknowledgeFrame(); }, dl::kNotConnected},
        RefusalCase{"OpenWhenConnected", true,
                    [](Calls& calls) { return calls.open(DataLinkTest::kPort); },
                    dl::kAlreadyConnected},
        RefusalCase{"OpenWhileOpening", false,
                    [](Calls& calls) {
                      calls.open(DataLinkTest::kPort);
                      return calls.open(DataLinkTest::kPort);
                    },
                    dl::kInProgress},
        RefusalCase{"PortZero", false, [](Calls& calls) { return calls.open(0); },
                    dl::kInvalidPort},
        RefusalCase{"PortThatDoesNotExist", false, [](Calls& calls) { return calls.open(98); },
                    dl::kPortOpenFailed}),
    CaseName());

TEST_F(DataLinkTest, RefusedOpenLeavesNoTimerAndNoPort) {
  EXPECT_EQ(open(98), dl::kPortOpenFailed);
  EXPECT_FALSE(link_->timerRunning());
  EXPECT_FALSE(comm_.isOpen());
  EXPECT_EQ(link_->linkStatus(), dl::kIdle);
  EXPECT_EQ(open(), 0);
}

TEST_F(DataLinkTest, CloseStopsEverything) {
  connect();
  link_->close();
  EXPECT_FALSE(link_->connected());
  EXPECT_FALSE(link_->timerRunning());
  EXPECT_FALSE(adapter_->hostOpen());
  EXPECT_EQ(link_->linkStatus(), dl::kIdle);
  EXPECT_EQ(platform::Loop::current().timerCount(), 0u);
}

TEST_F(DataLinkTest, CloseFromInsideTheEvent) {
  connect();
  onEvent_ = [this](std::uint32_t) { link_->close(); };
  adapter_->write(wireFrame({0x01}));
  Bytes line = wireFrame({0x02});
  adapter_->write(line);
  advance(50);
  EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kFrameReceived});
  EXPECT_FALSE(adapter_->hostOpen());
  EXPECT_EQ(platform::Loop::current().timerCount(), 0u);
  advance(500);
  EXPECT_EQ(events_.size(), 1u);
}

TEST_F(DataLinkTest, CloseAndReopenFromInsideTheEvent) {
  connect();
  const Bytes payload = {0x21};
  ASSERT_EQ(link_->sendFrame(payload.size(), payload.data()), 0);
  adapter_->read();
  onEvent_ = [this](std::uint32_t event) {
    if (event == dl::kNotResponding) {
      link_->close();
      EXPECT_EQ(open(), 0);
    }
  };
  advance(9000);
  ASSERT_EQ(events_, std::vector<std::uint32_t>{dl::kNotResponding});
  EXPECT_EQ(adapter_->read(), Bytes({'R', 'R', 0x1B, 0x1B, 0x1B}));
  EXPECT_EQ(link_->linkStatus(), dl::kBusy);
  EXPECT_EQ(platform::Loop::current().timerCount(), 1u);
  // The new open runs its own handshake on a fresh one-second time-out.
  Bytes written;
  EXPECT_EQ(nextWrite(2000, written) - eventTimes_[0], 1000);
  EXPECT_EQ(written, bytes("I"));
}

TEST_F(DataLinkTest, DestroyedFromInsideTheEvent) {
  connect();
  onEvent_ = [this](std::uint32_t) { link_.reset(); };
  adapter_->write(wireFrame({0x01}));
  advance(50);
  EXPECT_EQ(events_, std::vector<std::uint32_t>{dl::kFrameReceived});
  EXPECT_EQ(platform::Loop::current().timerCount(), 0u);
  advance(500);
}

TEST_F(DataLinkTest, NextFrameSentFromInsideTheCompletion) {
  connect();
  const Bytes first = {0x01};
  const Bytes second = {0x02};
  onEvent_ = [&](std::uint32_t event) {
    if (event == dl::kFrameAcked && events_.size() == 1) {
      EXPECT_EQ(link_->sendFrame(second.size(), second.data()), 0);
    }
  };
  ASSERT_EQ(link_->sendFrame(first.size(), first.data()), 0);
  EXPECT_EQ(adapter_->read(), wireFrame(first));
  adapter_->write(bytes("0"));
  advance(50);
  EXPECT_EQ(adapter_->read(), wireFrame(second));
  adapter_->write(bytes("1"));
  advance(50);
  EXPECT_EQ(events_, (std::vector<std::uint32_t>{dl::kFrameAcked, dl::kFrameAcked}));
}

TEST_F(DataLinkTest, AcknowledgedFromInsideTheEvent) {
  connect();
  onEvent_ = [this](std::uint32_t event) {
    if (event == dl::kFrameReceived) {
      EXPECT_EQ(link_->acknowledgeFrame(), 0);
    }
  };
  adapter_->write(wireFrame({0x01}));
  advance(50);
  EXPECT_EQ(adapter_->read(), bytes("0"));
  EXPECT_EQ(link_->receiveStatus(), dl::kBusy);
}

}  // namespace
}  // namespace vtlink::test
