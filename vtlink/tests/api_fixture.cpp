#include "api_fixture.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/loop.h"
#include "platform/vtloop.h"

namespace vtlink_test {

namespace {
std::vector<uint32_t> gCallbackEvents;
}

void recordCallbackEvent(uint32_t event) {
  gCallbackEvents.push_back(event);
}

void LinkTest::SetUp() {
  char pattern[] = "/tmp/vtlink-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  dir_ = pattern;
  logPath_ = dir_ + "/link.log";
  // Ports no test publishes exist nowhere, so nothing reaches a real device.
  setenv("VANTOR_PORT_DIR", dir_.c_str(), 1);
  gCallbackEvents.clear();
  clock_.emplace();
  adapter_ = std::make_unique<ScriptedAdapter>(kPort);
  window_ = VTLoopCreateWindow();
  ASSERT_NE(window_, 0u);
}

void LinkTest::TearDown() {
  I2CClose();
  platform::Loop& loop = platform::Loop::current();
  platform::Message message;
  while (loop.getMessage(message, 0)) {
  }
  loop.destroyWindow(window_);
  EXPECT_EQ(loop.timerCount(), 0u);
  EXPECT_EQ(loop.windowCount(), 0u);
  adapter_.reset();
  clock_.reset();
  unsetenv("VANTOR_PORT_DIR");
  std::filesystem::remove_all(dir_);
}

I2CLinkRecord LinkTest::defaultRecord() const {
  I2CLinkRecord record{};
  record.ComPortNo = kPort;
  record.WmMsgNo = 1024;
  record.LogFileName = logPath_.c_str();
  record.LogFileLevel = 3;
  record.LogFileSize = 100000;
  record.HostSlaveAddr = 0x6E;
  record.BusTimeOut = 1000;
  record.MasterBitRate = 1;
  record.SlaveRxBufSize = 64;
  return record;
}

void LinkTest::openLink(const I2CLinkRecord& record) {
  ASSERT_EQ(I2COpen(window_, 0, &record), 0u);
  ASSERT_TRUE(tickUntilEvent(I2C_EV_OPEN_COMPLETE));
  adapter_->takeCommands();
  takeEvents();
}

void LinkTest::tick(int ticks) {
  for (int i = 0; i < ticks; ++i) {
    clock_->advance(50);
    adapter_->pump();
  }
}

bool LinkTest::tickUntil(const std::function<bool()>& done, int maxTicks) {
  for (int i = 0; i < maxTicks; ++i) {
    if (done()) {
      return true;
    }
    tick();
  }
  return done();
}

std::vector<uint32_t> LinkTest::collectUntil(uint32_t event, int maxTicks) {
  std::vector<uint32_t> seen;
  const bool found = tickUntil(
      [&] {
        for (uint32_t e : takeEvents()) {
          seen.push_back(e);
        }
        return std::find(seen.begin(), seen.end(), event) != seen.end();
      },
      maxTicks);
  if (!found) {
    return {};
  }
  const auto after = std::find(seen.begin(), seen.end(), event) + 1;
  events_.assign(after, seen.end());
  seen.erase(after, seen.end());
  return seen;
}

std::vector<uint32_t> LinkTest::takeEvents() {
  platform::Loop& loop = platform::Loop::current();
  platform::Message message;
  while (loop.getMessage(message, 0)) {
    EXPECT_EQ(message.hwnd, window_);
    EXPECT_EQ(message.lparam, 0);
    events_.push_back(static_cast<uint32_t>(message.wparam));
  }
  events_.insert(events_.end(), gCallbackEvents.begin(), gCallbackEvents.end());
  gCallbackEvents.clear();
  std::vector<uint32_t> taken;
  taken.swap(events_);
  return taken;
}

I2CLinkRecord LinkTest::status() {
  I2CLinkRecord record{};
  EXPECT_EQ(I2CGetStatus(&record), 0u);
  return record;
}

std::vector<std::string> LinkTest::logLines() const {
  std::ifstream in(logPath_, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line.size() > 8 ? line.substr(8) : line);
  }
  return lines;
}

std::string LinkTest::logLine(int level, const std::string& text) {
  // 80 characters in all, of which the stamp takes 8 and the level tag 5.
  return " L" + std::to_string(level) + ": " + text.substr(0, 67);
}

std::string LinkTest::hexAddress(const void* address) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
  return text;
}

bool LinkTest::logged(int level, const std::string& text) const {
  const std::vector<std::string> lines = logLines();
  return std::find(lines.begin(), lines.end(), logLine(level, text)) != lines.end();
}

}  // namespace vtlink_test
