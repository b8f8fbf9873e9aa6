#pragma once
// A data link on the virtual clock with the test playing the adapter on an in-memory line.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/loop.h"
#include "platform/memory_port.h"
#include "vtlink/comm_link.h"
#include "vtlink/data_link.h"
#include "vtlink/log_recorder.h"
#include "vtlink/tests/log_test_file.h"

namespace vtlink::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

inline Bytes wireFrame(const Bytes& payload) {
  std::uint8_t out[2 + 2 * (dl::kMaxPayload + 1)];
  return Bytes(out, out + encodeFrame(payload.data(), payload.size(), out));
}

class DataLinkTest : public testing::Test {
 public:
  static constexpr std::uint8_t kPort = 7;

 protected:
  void SetUp() override {
    ASSERT_TRUE(adapter_) << "port " << int{kPort} << " is already published";
    // Only the published line exists: no test reaches a real serial device.
    ::setenv("VANTOR_PORT_DIR", dir_.path().c_str(), 1);
    ASSERT_TRUE(log_.open(logPath().c_str(), 4, 10000, "Data Link Test"));
  }

  void TearDown() override {
    link_.reset();
    EXPECT_EQ(platform::Loop::current().timerCount(), 0u) << "a timer was left behind";
    EXPECT_FALSE(adapter_->hostOpen()) << "the port was left open";
  }

  std::string logPath() const { return dir_.path() + "/link.log"; }

  std::uint16_t open(std::uint8_t port = kPort) {
    return link_->open(0, port, "19200", [this](std::uint32_t event) {
      events_.push_back(event);
      eventTimes_.push_back(clock_.now());
      if (onEvent_) {
        onEvent_(event);
      }
    });
  }

  // Opens and runs the handshake as an adapter does: its own INIT after the reset, then "+" for
  // the host's INIT. Leaves the clock on a tick and the line empty.
  void connect() {
    ASSERT_EQ(open(), 0);
    ASSERT_EQ(adapter_->read(), Bytes({0x1B, 0x1B, 0x1B}));
    adapter_->write(bytes("I"));
    advance(50);
    ASSERT_EQ(adapter_->read(), bytes("+"));
    advance(950);
    ASSERT_EQ(adapter_->read(), bytes("I"));
    adapter_->write(bytes("+"));
    advance(50);
    ASSERT_TRUE(link_->connected());
    ASSERT_EQ(events_, std::vector<std::uint32_t>{dl::kConnected});
    events_.clear();
    eventTimes_.clear();
  }

  void advance(platform::Millis ms) { clock_.advance(ms); }

  // Advances tick by tick until the host writes something or `limitMs` passes; returns the
  // time of the write (or -1) and leaves what was written in `written`.
  platform::Millis nextWrite(platform::Millis limitMs, Bytes& written) {
    for (platform::Millis waited = 0; waited < limitMs; waited += dl::kTickMs) {
      advance(dl::kTickMs);
      written = adapter_->read();
      if (!written.empty()) {
        return clock_.now();
      }
    }
    return -1;
  }

  platform::VirtualClock clock_;
  TempDir dir_;
  std::shared_ptr<platform::MemoryPort> adapter_ = platform::MemoryPort::publish(kPort);
  LogRecorder log_;
  CommLink comm_{log_};
  std::unique_ptr<DataLink> link_ = std::make_unique<DataLink>(log_, comm_);
  std::vector<std::uint32_t> events_;
  std::vector<platform::Millis> eventTimes_;
  std::function<void(std::uint32_t)> onEvent_;
};

}  // namespace vtlink::test
