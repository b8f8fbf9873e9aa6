#pragma once
// A link on the virtual clock against the scripted adapter: opens, ticks, collects events
// (window messages and callback calls alike) and reads the log file back.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "i2c_scripted_adapter.h"
#include "platform/clock.h"
#include "vtlink/vtlink.h"

namespace vtlink_test {

// Collects events delivered through CallBackFunc; set as a record's callback.
void recordCallbackEvent(uint32_t event);

class LinkTest : public ::testing::Test {
 protected:
  static constexpr int kPort = 7;

  void SetUp() override;
  void TearDown() override;

  // Window messages 1024, log level 3 into the test's own file, every size at its minimum.
  I2CLinkRecord defaultRecord() const;
  // Opens with `record` and runs the handshake to event 273.
  void openLink(const I2CLinkRecord& record);
  void openLink() { openLink(defaultRecord()); }

  // Advances the virtual clock one 50 ms tick at a time, letting the adapter answer after each.
  void tick(int ticks = 1);
  // Ticks until `done` holds; false when it did not within `maxTicks`.
  bool tickUntil(const std::function<bool()>& done, int maxTicks = 400);
  // Ticks until the given event has been delivered and returns the events up to and including
  // it (empty when it did not come); later events stay for the next call.
  std::vector<uint32_t> collectUntil(uint32_t event, int maxTicks = 400);
  bool tickUntilEvent(uint32_t event, int maxTicks = 400) {
    return !collectUntil(event, maxTicks).empty();
  }

  // Every event delivered since the last call, in order.
  std::vector<uint32_t> takeEvents();
  I2CLinkRecord status();

  // Log lines without their time stamp: " L1: I2C Link: ...".
  std::vector<std::string> logLines() const;
  // The line as the log shows it: level tag and the text cut where the log cuts lines.
  static std::string logLine(int level, const std::string& text);
  bool logged(int level, const std::string& text) const;
  // An address as the log prints it: every hexadecimal digit an address has.
  static std::string hexAddress(const void* address);

  std::string dir_;
  std::string logPath_;
  uint32_t window_ = 0;
  std::optional<platform::VirtualClock> clock_;
  std::unique_ptr<ScriptedAdapter> adapter_;
  std::vector<uint32_t> events_;
};

}  // namespace vtlink_test
