#pragma once
// A frame adapter served in-process on the virtual clock, and a host end that speaks to it
// byte by byte through the platform's serial port, the way host code would.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/loop.h"
#include "platform/serial_port.h"
#include "sim/adapter.h"
#include "sim/memory_transport.h"
#include "sim/tests/frame_host.h"

namespace sim::test {

inline constexpr int kSessionPort = 5;

class FrameSession : public testing::Test {
 protected:
  explicit FrameSession(AdapterOptions options = {}) : adapter_(options) {}

  void SetUp() override {
    transport_ = std::make_unique<MemoryTransport>(adapter_, kSessionPort);
    platform::LineSettings settings;
    settings.baud = 19200;
    ASSERT_TRUE(host_.open(kSessionPort, settings).ok());
  }

  void TearDown() override {
    host_.close();
    transport_.reset();
    EXPECT_EQ(platform::Loop::current().timerCount(), 0u);
  }

  void send(const Bytes& bytes) { ASSERT_TRUE(host_.write(bytes.data(), bytes.size()).ok()); }
  void sendFrame(const Bytes& payload) { send(hostFrame(payload)); }

  // Everything the adapter sent while `ms` passed.
  Bytes wait(platform::Millis ms = 20) {
    clock_.advance(ms);
    Bytes got;
    std::uint8_t buffer[512];
    for (;;) {
      const auto r = host_.readNonBlocking(buffer, sizeof buffer);
      if (!r.status.ok() || r.count == 0) {
        return got;
      }
      got.insert(got.end(), buffer, buffer + r.count);
    }
  }
  AdapterOutput waitSplit(platform::Millis ms = 20) { return splitAdapterOutput(wait(ms)); }

  // The host's acknowledgement symbol, kept as the host keeps it.
  void acceptFrame() {
    own_ = own_ == '0' ? '1' : '0';
    send({static_cast<std::uint8_t>(own_)});
  }

  // Reset, INIT exchange and the link open frame; returns the link open reply.
  Bytes openLink(std::uint8_t slaveAddress = 0x70, std::uint8_t generalCall = 0) {
    send({0x1B, 0x1B, 0x1B});
    EXPECT_EQ(waitSplit().symbols, "I");
    own_ = '+';
    send({'+'});  // the adapter's INIT acknowledged
    send({'I'});
    EXPECT_EQ(waitSplit().symbols, "+");
    const auto reply =
        command({0x01, slaveAddress, 0x00, 0x64, 0x01, generalCall, 0x01, 0x02, 0x00});
    return reply;
  }

  // Sends one command frame, expects the adapter's fresh ACK for it, and returns the adapter's
  // first answering frame (acknowledged), or nothing.
  Bytes command(const Bytes& payload) {
    sendFrame(payload);
    const auto out = waitSplit();
    const char ack = adapterAck_ == '0' ? '1' : '0';
    EXPECT_EQ(out.symbols.substr(0, 1), std::string(1, ack)) << "acknowledgement of the command";
    adapterAck_ = ack;
    if (out.frames.empty()) {
      return {};
    }
    acceptFrame();
    return out.frames.front();
  }

  // The adapter's next frame, acknowledged.
  Bytes nextFrame(platform::Millis ms = 20) {
    const auto out = waitSplit(ms);
    if (out.frames.empty()) {
      return {};
    }
    acceptFrame();
    return out.frames.front();
  }

  platform::VirtualClock clock_;
  Adapter adapter_;
  std::unique_ptr<MemoryTransport> transport_;
  platform::SerialPort host_;
  char own_ = '-';         // the host's acknowledgement symbol
  char adapterAck_ = '+';  // the adapter's, as last seen
};

}  // namespace sim::test
