// The library over a pseudo-terminal against the vantor-sim program, on the real clock: open,
// EEPROM write and read-back, the adapter as slave for the simulator's other master, close,
// and the log file that run left.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/loop.h"
#include "vtlink/vtlink.h"

namespace {

constexpr int kPort = 33;
constexpr uint32_t kMsgNo = 1024;

// vantor-sim as a child process: commands on its standard input, replies on its output.
class Simulator {
 public:
  explicit Simulator(const std::string& portDir) {
    int toSim[2];
    int fromSim[2];
    if (pipe(toSim) != 0 || pipe(fromSim) != 0) {
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(toSim[0], 0);
      dup2(fromSim[1], 1);
      close(toSim[1]);
      close(fromSim[0]);
      setenv("VANTOR_PORT_DIR", portDir.c_str(), 1);
      const std::string port = std::to_string(kPort);
      execl(VANTOR_SIM_PATH, VANTOR_SIM_PATH, "--port", port.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(toSim[0]);
    close(fromSim[1]);
    in_ = fdopen(toSim[1], "w");
    out_ = fdopen(fromSim[0], "r");
  }
  ~Simulator() {
    if (in_ != nullptr) {
      command("quit");
      std::fclose(in_);
    }
    if (out_ != nullptr) {
      std::fclose(out_);
    }
    if (pid_ > 0) {
      int status = 0;
      waitpid(pid_, &status, 0);
    }
  }

  // The next line of output that starts with `prefix`.
  std::string lineStartingWith(const std::string& prefix) {
    char buffer[512];
    while (out_ != nullptr && std::fgets(buffer, sizeof buffer, out_) != nullptr) {
      std::string line(buffer);
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
      }
      if (line.rfind(prefix, 0) == 0) {
        return line;
      }
    }
    return {};
  }
  void command(const std::string& text) {
    std::fprintf(in_, "%s\n", text.c_str());
    std::fflush(in_);
  }

 private:
  pid_t pid_ = -1;
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
};

class SimulatorLink : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vtlink-sim-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    logPath_ = dir_ + "/link.log";
    setenv("VANTOR_PORT_DIR", dir_.c_str(), 1);
    sim_ = std::make_unique<Simulator>(dir_);
    ASSERT_EQ(sim_->lineStartingWith("ready"), "ready COM" + std::to_string(kPort));
    window_ = platform::Loop::current().createWindow([this](const platform::Message& message) {
      if (message.msg == kMsgNo) {
        events_.push_back(static_cast<uint32_t>(message.wparam));
      }
    });
  }
  void TearDown() override {
    I2CClose();
    sim_.reset();
    platform::Loop& loop = platform::Loop::current();
    loop.destroyWindow(window_);
    EXPECT_EQ(loop.timerCount(), 0u);
    unsetenv("VANTOR_PORT_DIR");
    std::filesystem::remove_all(dir_);
  }

  // Runs the loop until the event arrives, and forgets the events before it.
  bool waitFor(uint32_t event) {
    const bool arrived = platform::Loop::current().runUntil(
        [&] { return std::find(events_.begin(), events_.end(), event) != events_.end(); }, 15000);
    if (arrived) {
      events_.erase(events_.begin(), std::find(events_.begin(), events_.end(), event) + 1);
    }
    return arrived;
  }

  std::string log() const {
    std::ifstream in(logPath_);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string dir_;
  std::string logPath_;
  std::unique_ptr<Simulator> sim_;
  uint32_t window_ = 0;
  std::vector<uint32_t> events_;
};

TEST_F(SimulatorLink, EepromRoundTripSlaveReceiveAndClose) {
  I2CLinkRecord record{};
  record.ComPortNo = kPort;
  record.WmMsgNo = kMsgNo;
  record.LogFileName = logPath_.c_str();
  record.LogFileLevel = 2;
  record.LogFileSize = 10000;
  record.HostSlaveAddr = 0x70;
  record.BusTimeOut = 1000;
  record.MasterBitRate = 1;
  record.SlaveRxBufSize = 64;
  ASSERT_EQ(I2COpen(window_, 0, &record), 0u);
  ASSERT_TRUE(waitFor(I2C_EV_OPEN_COMPLETE));

  const uint8_t write[] = {0x20, 0x11, 0x5B, 0x24, 0xC3, 0x00};
  ASSERT_EQ(I2CMasterTx(0xA0, write, sizeof write, 1), 0u);
  ASSERT_TRUE(waitFor(I2C_EV_MASTER_TX_COMPLETE));
  const uint8_t pointer[] = {0x20};
  ASSERT_EQ(I2CMasterTxRx(0xA0, pointer, 1, 5, 1), 0u);
  ASSERT_TRUE(waitFor(I2C_EV_MASTER_RX_COMPLETE));
  uint8_t readBack[8] = {};
  ASSERT_EQ(I2CGetMasterRxMsg(sizeof readBack, readBack), 5u);
  EXPECT_EQ(std::vector<uint8_t>(readBack, readBack + 5),
            std::vector<uint8_t>(write + 1, write + sizeof write));

  sim_->command("write 70 DE AD BE EF");
  ASSERT_TRUE(waitFor(I2C_EV_SLAVE_RX_COMPLETE));
  uint8_t slave[8] = {};
  ASSERT_EQ(I2CGetSlaveRxMsg(sizeof slave, slave), 4u);
  EXPECT_EQ(std::vector<uint8_t>(slave, slave + 4), (std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));

  sim_->command("read 70 3");
  ASSERT_TRUE(waitFor(I2C_EV_SLAVE_TX_REQUEST));
  const uint8_t answer[] = {0x01, 0x02, 0x03};
  ASSERT_EQ(I2CSlaveTx(answer, sizeof answer), 0u);
  EXPECT_EQ(sim_->lineStartingWith("event read"), "event read 70 01 02 03");

  I2CLinkRecord seen{};
  ASSERT_EQ(I2CGetStatus(&seen), 0u);
  EXPECT_EQ(seen.FirmwareVersion, 213u);
  EXPECT_EQ(seen.LinkStatus, 1u);
  EXPECT_EQ(I2CClose(), 0u);

  const std::string text = log();
  for (const char* expected :
       {" L1: I2C Link: I2COpen() Accepted.\r\n", " L1: I2C Link: Vantor Firmware Ver  2.13.\r\n",
        " L1: I2C Link: Connection Established, Open Complete.\r\n",
        " L2: I2C Link: Slave Rx Last Received.\r\n", " L1: I2C Link: I2CClose() Successful.\r\n",
        " L1: ----- END OF LOG -----.\r\n"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
}

}  // namespace
