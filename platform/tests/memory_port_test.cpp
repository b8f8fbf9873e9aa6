#include "platform/memory_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/serial_port.h"
#include "platform/tests/env_guard.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

class MemoryPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    far = MemoryPort::publish(7);
    ASSERT_NE(far, nullptr);
  }

  Bytes readAll(SerialPort& port) {
    Bytes got;
    std::uint8_t buf[64];
    for (;;) {
      ReadResult r = port.readNonBlocking(buf, sizeof buf);
      EXPECT_TRUE(r.status.ok()) << r.status.text();
      if (r.count == 0) {
        return got;
      }
      got.insert(got.end(), buf, buf + r.count);
    }
  }

  // Nothing in the environment may name a real device for the port under test.
  testing::EnvGuard portDir{"VANTOR_PORT_DIR", "/nonexistent-vantor-ports"};
  std::shared_ptr<MemoryPort> far;
  SerialPort host;
};

TEST_F(MemoryPortTest, HostOpensThePublishedLineWithItsSettings) {
  LineSettings settings;
  settings.baud = 115200;
  settings.dtr = false;
  settings.xonLimit = 102;
  ASSERT_TRUE(host.open(7, settings).ok());
  EXPECT_TRUE(far->hostOpen());
  EXPECT_EQ(far->hostSettings().baud, 115200);
  EXPECT_EQ(far->hostSettings().xonLimit, 102);
  EXPECT_FALSE(far->dtr());
  EXPECT_TRUE(far->rts());
  ASSERT_TRUE(host.setBaud(19200).ok());
  EXPECT_EQ(far->hostSettings().baud, 19200);
  ASSERT_TRUE(host.close().ok());
  EXPECT_FALSE(far->hostOpen());
}

TEST_F(MemoryPortTest, BytesCrossInBothDirectionsInOrder) {
  ASSERT_TRUE(host.open(7, {}).ok());
  far->write(Bytes{0x10, 0x02, 0xFF, 0x00});
  const Bytes out{0x55, 0xAA, 0x00, 0x11};
  ASSERT_TRUE(host.write(out.data(), out.size()).ok());
  EXPECT_EQ(readAll(host), (Bytes{0x10, 0x02, 0xFF, 0x00}));
  EXPECT_EQ(far->read(), out);
  EXPECT_TRUE(far->read().empty());
}

TEST_F(MemoryPortTest, OnlyOneHostAtATime) {
  ASSERT_TRUE(host.open(7, {}).ok());
  SerialPort second;
  Status s = second.open(7, {});
  EXPECT_EQ(s.error, EBUSY);
  EXPECT_FALSE(second.isOpen());
  host.close();
  EXPECT_TRUE(second.open(7, {}).ok());
}

TEST_F(MemoryPortTest, PublishingATakenNumberFails) {
  EXPECT_EQ(MemoryPort::publish(7), nullptr);
  EXPECT_EQ(MemoryPort::publish(0), nullptr);
  EXPECT_EQ(MemoryPort::publish(100), nullptr);
  far.reset();
  EXPECT_NE(MemoryPort::publish(7), nullptr) << "the number is free again once unpublished";
}

TEST_F(MemoryPortTest, UnpublishedNumberFallsBackToTheDevicePath) {
  far.reset();
  EXPECT_EQ(host.open(7, {}).error, ENOENT);
  testing::EnvGuard noDir("VANTOR_PORT_DIR", std::nullopt);
  EXPECT_EQ(host.open(97, {}).error, ENOENT) << "COM97 has no device";
}

TEST_F(MemoryPortTest, ReadTimeoutWakesWhenBytesArrive) {
  ASSERT_TRUE(host.open(7, {}).ok());
  std::thread writer([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    far->write(Bytes{0x42});
  });
  std::uint8_t byte = 0;
  const auto started = std::chrono::steady_clock::now();
  ReadResult r = host.readTimeout(&byte, 1, 5000);
  const auto waited = std::chrono::steady_clock::now() - started;
  writer.join();
  ASSERT_TRUE(r.status.ok());
  EXPECT_EQ(r.count, 1u);
  EXPECT_EQ(byte, 0x42);
  EXPECT_LT(waited, std::chrono::seconds(4));
}

TEST_F(MemoryPortTest, ReadTimeoutWithNothingComingReturnsNone) {
  ASSERT_TRUE(host.open(7, {}).ok());
  std::uint8_t byte = 0;
  ReadResult r = host.readTimeout(&byte, 1, 10);
  EXPECT_TRUE(r.status.ok());
  EXPECT_EQ(r.count, 0u);
}

TEST_F(MemoryPortTest, ModemLinesAndDtrRtsAreSeenByTheOtherSide) {
  ASSERT_TRUE(host.open(7, {}).ok());
  far->setModemLines(kModemCts | kModemRlsd);
  std::uint32_t bits = 0;
  ASSERT_TRUE(host.modemStatus(bits).ok());
  EXPECT_EQ(bits, kModemCts | kModemRlsd);
  ASSERT_TRUE(host.setDtr(false).ok());
  ASSERT_TRUE(host.setRts(false).ok());
  EXPECT_FALSE(far->dtr());
  EXPECT_FALSE(far->rts());
  EXPECT_FALSE(host.dtr());
  EXPECT_FALSE(host.rts());
}

TEST_F(MemoryPortTest, HostSeesTheLineFailWhenTheFarSideGoesAway) {
  ASSERT_TRUE(host.open(7, {}).ok());
  far->write(Bytes{1, 2});
  far.reset();
  // What had arrived is still delivered; then the line reports the loss.
  std::uint8_t buf[8];
  ReadResult r = host.readTimeout(buf, sizeof buf, 1000);
  EXPECT_TRUE(r.status.ok());
  EXPECT_EQ(r.count, 2u);
  r = host.readTimeout(buf, sizeof buf, 1000);
  EXPECT_EQ(r.status.error, EIO);
  const std::uint8_t byte = 0;
  EXPECT_EQ(host.write(&byte, 1).error, EIO);
}

struct BadSettingsCase {
  const char* name;
  LineSettings settings;
};

class BadSettingsTest : public MemoryPortTest,
                        public ::testing::WithParamInterface<BadSettingsCase> {};

TEST_P(BadSettingsTest, AreRefusedAndLeaveThePortClosed) {
  Status s = host.open(7, GetParam().settings);
  EXPECT_EQ(s.error, EINVAL) << s.text();
  EXPECT_FALSE(host.isOpen());
  EXPECT_FALSE(far->hostOpen());
}

LineSettings with(void (*change)(LineSettings&)) {
  LineSettings s;
  change(s);
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, BadSettingsTest,
    ::testing::Values(
        BadSettingsCase{"Baud14400", with([](LineSettings& s) { s.baud = 14400; })},
        BadSettingsCase{"Baud0", with([](LineSettings& s) { s.baud = 0; })},
        BadSettingsCase{"Baud230400", with([](LineSettings& s) { s.baud = 230400; })},
        BadSettingsCase{"NineDataBits", with([](LineSettings& s) { s.dataBits = 9; })},
        BadSettingsCase{"MarkParity", with([](LineSettings& s) { s.parity = 'm'; })},
        BadSettingsCase{"ThreeStopBits", with([](LineSettings& s) { s.stopBits = 3; })}),
    [](const auto& row) { return row.param.name; });

TEST(SerialPortTest, ClosedPortRefusesEverythingWithEbadf) {
  SerialPort port;
  std::uint8_t byte = 0;
  EXPECT_EQ(port.readNonBlocking(&byte, 1).status.error, EBADF);
  EXPECT_EQ(port.write(&byte, 1).error, EBADF);
  EXPECT_EQ(port.setDtr(true).error, EBADF);
  std::uint32_t bits = 0;
  EXPECT_EQ(port.modemStatus(bits).error, EBADF);
  EXPECT_TRUE(port.close().ok());
}

TEST(SerialPortTest, SetBaudRefusesNonStandardRatesAndKeepsTheOld) {
  auto far = MemoryPort::publish(8);
  SerialPort port;
  ASSERT_TRUE(port.open(8, {}).ok());
  EXPECT_EQ(port.setBaud(12345).error, EINVAL);
  EXPECT_EQ(port.settings().baud, 19200);
  EXPECT_EQ(far->hostSettings().baud, 19200);
}

}  // namespace
}  // namespace platform
