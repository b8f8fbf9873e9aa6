// The shared units against the simulator on a pseudo-terminal: discovery finds its port, the
// reader thread brings its replies to the main thread, and the line assembler makes lines of
// them, through the open handshake and the link close as the programs run them.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/loop.h"
#include "platform/serial_port.h"
#include "shared/ascii_protocol.h"
#include "shared/com_thread.h"
#include "shared/port_discovery.h"
#include "shared/tests/port_fixture.h"
#include "ui/form.h"

namespace shared {
namespace {

using Strings = std::vector<std::string>;
constexpr platform::Millis kReplyWait = 5000;

class SimulatorSession : public ::testing::Test {
 protected:
  void TearDown() override {
    if (sim_ > 0) {
      kill(sim_, SIGTERM);
      int status = 0;
      waitpid(sim_, &status, 0);
    }
    if (simOut_ >= 0)
      close(simOut_);
    EXPECT_EQ(platform::Loop::current().timerCount(), 0u);
  }

  // Starts vantor-sim and waits for the line that says its port is published.
  void startSimulator(const std::vector<std::string>& args, int port) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    sim_ = fork();
    ASSERT_GE(sim_, 0);
    if (sim_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv{const_cast<char*>(VANTOR_SIM_PATH)};
      for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      execv(VANTOR_SIM_PATH, argv.data());
      _exit(127);
    }
    close(out[1]);
    simOut_ = out[0];
    const std::string ready = "ready COM" + std::to_string(port) + "\n";
    std::string printed;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (printed.find(ready) == std::string::npos) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "printed so far: " << printed;
      pollfd pfd{simOut_, POLLIN, 0};
      if (poll(&pfd, 1, 100) > 0) {
        char buf[256];
        const ssize_t n = read(simOut_, buf, sizeof buf);
        ASSERT_GT(n, 0) << "vantor-sim ended early; printed: " << printed;
        printed.append(buf, static_cast<std::size_t>(n));
      }
    }
  }

  PortChoiceControls controls() { return {PortList, SNListBox, SNBox}; }

  testing::PortFolder ports;
  ui::TForm form;
  ui::TListBox PortList{&form};
  ui::TListBox SNListBox{&form};
  ui::TEdit SNBox{&form};

 private:
  pid_t sim_ = -1;
  int simOut_ = -1;
};

TEST_F(SimulatorSession, DiscoverOpenResetAndOpenTheLink) {
  startSimulator({"--model", "qx", "--port", "5"}, 5);

  ASSERT_EQ(DiscoverPorts(AdapterModel::VantorQX, Program::MsgCenter, controls()), 1);
  EXPECT_EQ(PortList.Items().strings(), (Strings{"5", " "}));
  const int portNumber = portNumberOfEntry(PortList.selectedText());
  ASSERT_EQ(portNumber, 5);

  platform::SerialPort port;
  ASSERT_TRUE(port.open(portNumber, asciiPortSettings(Program::MsgCenter)).ok());
  SerialCommandPort commands(port);

  Strings lines;
  int prompts = 0;
  ResponseAssembler assembler(
      ResponseAssembler::kMsgCenterLineLimit,
      [&](const ResponseLine& line) { lines.push_back(line.text); },
      [&] {
        // The Message Center's initialisation step, cut to its last command.
        ++prompts;
        assembler.setAwaitingPrompt(false);
        EXPECT_TRUE(WriteCommand(commands, openCommand()));
      });
  assembler.Reset();
  auto reader = std::make_unique<TComThread>(
      port, [&](std::uint16_t value) { assembler.Feed(static_cast<std::uint8_t>(value)); });
  reader->Resume();

  // The three-speed reset: only the one at 19,200 is heard, and answered with "*".
  EXPECT_TRUE(WriteCommand(commands, resetCharacters()));
  platform::sleep(50);
  EXPECT_TRUE(port.setBaud(57600).ok());
  EXPECT_TRUE(WriteCommand(commands, resetCharacters()));
  platform::sleep(50);
  ASSERT_TRUE(port.setBaud(kLinkBaud).ok());
  assembler.setAwaitingPrompt(true);
  ASSERT_TRUE(WriteCommand(commands, resetCharacters()));

  platform::Loop& loop = platform::Loop::current();
  EXPECT_TRUE(loop.runUntil([&] { return !lines.empty(); }, kReplyWait));
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(lines, (Strings{"/OCC"}));
  EXPECT_EQ(assembler.lastLine().token, ResponseToken::OpenComplete);

  // A transfer to the simulator's EEPROM, then the close as the programs do it.
  lines.clear();
  ASSERT_TRUE(WriteCommand(commands, masterTransmitMessage(0xA0, "~00~41~42", true)));
  EXPECT_TRUE(loop.runUntil([&] { return !lines.empty(); }, kReplyWait));
  // The transmit of a transmit-then-receive is reported on its own before the receive.
  ASSERT_TRUE(WriteCommand(commands, masterTransmitReceiveMessage(0xA0, "~00", 2, true)));
  EXPECT_TRUE(loop.runUntil([&] { return lines.size() >= 3; }, kReplyWait));
  ASSERT_TRUE(WriteCommand(commands, closeCommand()));
  EXPECT_TRUE(loop.runUntil([&] { return lines.size() >= 4; }, kReplyWait));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "/MTC");
  EXPECT_EQ(lines[1], "/MTC");
  EXPECT_EQ(classifyLine(lines[2]), ResponseToken::MasterRxComplete);
  EXPECT_EQ(receivedBytes(lines[2]), (std::vector<std::uint8_t>{0x41, 0x42}));
  EXPECT_EQ(lines[3], "/CCC");

  EXPECT_TRUE(WriteCommand(commands, resetCharacters()));
  reader->Halt();
  EXPECT_TRUE(port.close().ok());
  reader.reset();
}

TEST_F(SimulatorSession, UsbAdapterIsFoundWithItsSerialNumber) {
  startSimulator({"--model", "lx", "--port", "12", "--serial", "LXSIM0012"}, 12);
  ports.addPty(3);  // a plain port beside it

  ASSERT_EQ(DiscoverPorts(AdapterModel::VantorLX, Program::MsgManager, controls()), 1);
  EXPECT_EQ(PortList.Items().strings(), (Strings{"12", " "}));
  EXPECT_EQ(SNListBox.Items().strings(), (Strings{"12=LXSIM0012", " "}));
  EXPECT_EQ(SNBox.Text(), "SN# LXSIM0012");
  EXPECT_TRUE(SNBox.Visible());
}

}  // namespace
}  // namespace shared
