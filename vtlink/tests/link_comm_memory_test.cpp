// The comm link on an in-memory line: settings, open and close, reads and writes, errors.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory_port.h"
#include "platform/serial_port.h"
#include "vtlink/comm_link.h"
#include "vtlink/log_recorder.h"
#include "vtlink/tests/link_case_name.h"
#include "vtlink/tests/log_test_file.h"

namespace vtlink::test {
namespace {

constexpr std::uint8_t kPort = 9;

class CommLinkTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(adapter_);
    ::setenv("VANTOR_PORT_DIR", dir_.path().c_str(), 1);
    ASSERT_TRUE(log_.open(logPath().c_str(), 4, 10000, "Comm Link Test"));
  }

  std::string logPath() const { return dir_.path() + "/comm.log"; }
  // Every line after the header, stamp removed, tag kept: " L1: Comm Link: ...".
  std::vector<std::string> logged() const {
    std::vector<std::string> tagged;
    auto lines = readLogLines(logPath());
    for (std::size_t i = 4; i < lines.size(); ++i) {
      tagged.push_back(lines[i].substr(8));
    }
    return tagged;
  }

  TempDir dir_;
  std::shared_ptr<platform::MemoryPort> adapter_ = platform::MemoryPort::publish(kPort);
  LogRecorder log_;
  CommLink comm_{log_};
};

TEST_F(CommLinkTest, OpensWithTheAdapterSettings) {
  ASSERT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  EXPECT_TRUE(comm_.isOpen());
  const platform::LineSettings s = adapter_->hostSettings();
  EXPECT_EQ(s.baud, 19200);
  EXPECT_EQ(s.dataBits, 8);
  EXPECT_EQ(s.parity, 'n');
  EXPECT_EQ(s.stopBits, 1);
  EXPECT_TRUE(s.xonXoff);
  EXPECT_EQ(s.xonLimit, 102);
  EXPECT_EQ(s.xoffLimit, 409);
  EXPECT_TRUE(adapter_->dtr());
  EXPECT_TRUE(adapter_->rts());
  EXPECT_EQ(logged(), (std::vector<std::string>{
                          " L1: Comm Link: Opening Win32 Comm Service.",
                          " L1: Comm Link: Using " + dir_.path() + "/COM9.",
                          " L1: Comm Link: Device Control String = 19200,n,8,1.",
                          " L1: Comm Link: XonLim = 102, XoffLim = 409 (not set by termios).",
                          " L1: Comm Link: Open Successful."}));
}

TEST_F(CommLinkTest, CloseDropsDtrAndRtsAndReleasesThePort) {
  ASSERT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  comm_.close();
  EXPECT_FALSE(comm_.isOpen());
  EXPECT_FALSE(adapter_->hostOpen());
  // Releasing the line leaves its modem lines alone, so these were dropped while it was open.
  EXPECT_FALSE(adapter_->dtr());
  EXPECT_FALSE(adapter_->rts());
  auto lines = logged();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], " L1: Comm Link: Closing Windows Comm Service.");
  EXPECT_EQ(lines.back(), " L1: Comm Link: Close Successful.");
}

TEST_F(CommLinkTest, OpenAndCloseTwice) {
  ASSERT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  EXPECT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  EXPECT_EQ(logged().back(), " L2: Comm Link: NOTICE - Link Already Open.");
  EXPECT_TRUE(comm_.isOpen());
  comm_.close();
  comm_.close();
  EXPECT_EQ(logged().back(), " L1: Comm Link: NOTICE - Link Not Open.");
}

struct OpenFailure {
  const char* name;
  std::uint8_t port;
  const char* speed;
  std::string lastLine;
};

class CommLinkOpenFailureTest : public CommLinkTest,
                                public testing::WithParamInterface<OpenFailure> {};

TEST_P(CommLinkOpenFailureTest, FailsWithTheSystemErrorAndLeavesThePortClosed) {
  EXPECT_FALSE(comm_.open(GetParam().port, 512, 512, GetParam().speed));
  EXPECT_FALSE(comm_.isOpen());
  EXPECT_FALSE(adapter_->hostOpen());
  EXPECT_EQ(logged().back(), GetParam().lastLine);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, CommLinkOpenFailureTest,
    testing::Values(
        OpenFailure{"PortZero", 0, "19200", " L1: Comm Link: FAILURE - Invalid Port No. = 0."},
        OpenFailure{"NoSuchPort", 12, "19200",
                    " L1: Comm Link: FAILURE - CreateFile Error = " + std::to_string(ENOENT) + "."},
        OpenFailure{
            "SpeedNotANumber", kPort, "fast",
            " L1: Comm Link: FAILURE - BuildCommDCB Error = " + std::to_string(EINVAL) + "."},
        OpenFailure{
            "SpeedWithExtraFields", kPort, "19200,e",
            " L1: Comm Link: FAILURE - BuildCommDCB Error = " + std::to_string(EINVAL) + "."},
        OpenFailure{
            "NoStandardRate", kPort, "12345",
            " L1: Comm Link: FAILURE - SetCommState Error = " + std::to_string(EINVAL) + "."}),
    CaseName());

TEST_F(CommLinkTest, PortHeldElsewhereIsRefused) {
  platform::SerialPort other;
  ASSERT_TRUE(other.open(kPort, {}).ok());
  EXPECT_FALSE(comm_.open(kPort, 512, 512, "19200"));
  EXPECT_EQ(logged().back(),
            " L1: Comm Link: FAILURE - CreateFile Error = " + std::to_string(EBUSY) + ".");
}

TEST_F(CommLinkTest, ReadsAndWritesByteByByte) {
  ASSERT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  const std::size_t before = logged().size();
  std::uint8_t byte = 0;
  EXPECT_EQ(comm_.readByte(&byte), 0);
  EXPECT_EQ(logged().size(), before) << "an empty read logs nothing";

  adapter_->write(std::vector<std::uint8_t>{0x5B, 0x21});
  EXPECT_EQ(comm_.readByte(&byte), 1);
  EXPECT_EQ(byte, 0x5B);
  comm_.writeByte(0x49);
  const std::uint8_t reset[] = {0x1B, 0x1B, 0x1B};
  comm_.writeBlock(sizeof reset, reset);
  comm_.writeText("/O\r");
  EXPECT_EQ(adapter_->read(), (std::vector<std::uint8_t>{0x49, 0x1B, 0x1B, 0x1B, '/', 'O', '\r'}));
  auto lines = logged();
  EXPECT_EQ(
      std::vector<std::string>(lines.begin() + static_cast<long>(before), lines.end()),
      (std::vector<std::string>{
          " L4: Comm Link: Rx Data = [5B].", " L4: Comm Link: Tx Data = [49].",
          " L4: Comm Link: Tx Data Block = [1B]...", " L4: Comm Link: Tx Data Block = [2F]..."}));
}

TEST_F(CommLinkTest, ClosedPortOnlyLogs) {
  std::uint8_t byte = 0x77;
  EXPECT_EQ(comm_.readByte(&byte), 0);
  EXPECT_EQ(byte, 0x77);
  comm_.writeByte(0x49);
  const std::uint8_t block[] = {0x1B};
  comm_.writeBlock(sizeof block, block);
  std::uint32_t bits = 0;
  EXPECT_EQ(comm_.modemStatus(&bits), 0);
  EXPECT_EQ(logged(),
            (std::vector<std::string>{" L2: Comm Link: FAILURE - PORTReadByte Link Not Open.",
                                      " L2: Comm Link: FAILURE - PORTWriteByte Link Not Open.",
                                      " L2: Comm Link: FAILURE - PORTWriteBlock Link Not Open."}));
  EXPECT_TRUE(adapter_->read().empty());
}

TEST_F(CommLinkTest, LineGoneIsLoggedWithItsError) {
  ASSERT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  adapter_.reset();
  std::uint8_t byte = 0;
  EXPECT_EQ(comm_.readByte(&byte), 0);
  EXPECT_EQ(logged().back(),
            " L1: Comm Link: FAILURE - ReadFile Error = " + std::to_string(EIO) + ".");
  comm_.writeByte(0x49);
  EXPECT_EQ(logged().back(),
            " L1: Comm Link: FAILURE - WriteFile Error = " + std::to_string(EIO) + ".");
  comm_.close();
}

TEST_F(CommLinkTest, ModemLines) {
  ASSERT_TRUE(comm_.open(kPort, 512, 512, "19200"));
  adapter_->setModemLines(platform::kModemCts | platform::kModemDsr);
  std::uint32_t bits = 0;
  EXPECT_NE(comm_.modemStatus(&bits), 0);
  EXPECT_EQ(bits, 0x30u);
}

}  // namespace
}  // namespace vtlink::test
