// vantor-sim playing an ASCII model on its pseudo-terminal, driven with plain termios calls the
// way a host program talks to a real adapter.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kReplyWait = std::chrono::seconds(5);
const std::string kReset = "\x12\x12\x12";

speed_t speedOf(int baud) {
  switch (baud) {
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B19200;
  }
}

class AsciiSimulatorOnPty : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vantor-ascii-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    portDir_ = pattern;
  }

  void TearDown() override {
    if (port_ >= 0) {
      close(port_);
    }
    if (sim_ > 0) {
      stopSimulator();
      EXPECT_FALSE(fs::exists(portDir_ / "COM7")) << "the port must be withdrawn on exit";
    }
    for (int fd : {simIn_, simOut_}) {
      if (fd >= 0) {
        close(fd);
      }
    }
    fs::remove_all(portDir_);
  }

  void stopSimulator() {
    kill(sim_, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(sim_, &status, WNOHANG) == 0) {
      if (Clock::now() > deadline) {
        ADD_FAILURE() << "the simulator did not end on SIGTERM";
        kill(sim_, SIGKILL);
        waitpid(sim_, &status, 0);
        break;
      }
      usleep(10000);
    }
    sim_ = -1;
  }

  // Starts the simulator and waits for its "ready COM7" line.
  void start(const char* model) {
    int in[2];
    int out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    sim_ = fork();
    ASSERT_GE(sim_, 0);
    if (sim_ == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      for (int fd : {in[0], in[1], out[0], out[1]}) {
        close(fd);
      }
      setenv("VANTOR_PORT_DIR", portDir_.c_str(), 1);
      execl(VANTOR_SIM_PATH, VANTOR_SIM_PATH, "--model", model, "--port", "7",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    simIn_ = in[1];
    simOut_ = out[0];
    ASSERT_TRUE(printedLine("ready COM7").has_value()) << "no ready line, got: " << printed_;
  }

  // Reads the simulator's standard output up to the next line that begins with `start`, and
  // returns that line; the lines before it are skipped.
  std::optional<std::string> printedLine(const std::string& start) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    for (;;) {
      std::size_t end;
      while ((end = printed_.find('\n')) != std::string::npos) {
        std::string line = printed_.substr(0, end);
        printed_.erase(0, end + 1);
        if (line.rfind(start, 0) == 0) {
          return line;
        }
      }
      char buffer[256];
      if (!waitReadable(simOut_, deadline)) {
        return std::nullopt;
      }
      const ssize_t n = read(simOut_, buffer, sizeof buffer);
      if (n <= 0) {
        return std::nullopt;
      }
      printed_.append(buffer, static_cast<std::size_t>(n));
    }
  }

  void openPort() {
    port_ = open((portDir_ / "COM7").c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(port_, 0) << "COM7 in " << portDir_;
    setSpeed(19200);
  }

  void setSpeed(int baud) {
    termios tio{};
    ASSERT_EQ(tcgetattr(port_, &tio), 0);
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, speedOf(baud));
    cfsetospeed(&tio, speedOf(baud));
    ASSERT_EQ(tcsetattr(port_, TCSANOW, &tio), 0);
  }

  // A line typed on the simulator's standard input (the world around the adapter), once it has
  // been carried out.
  void type(const std::string& command) {
    const std::string line = command + "\n";
    ASSERT_EQ(::write(simIn_, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    std::optional<std::string> answer;
    do {
      answer = printedLine("");
    } while (answer && answer->rfind("event", 0) == 0);  // reports of earlier commands
    ASSERT_TRUE(answer.has_value()) << command << ": no answer";
    ASSERT_EQ(answer->rfind("ok", 0), 0u) << command << ": " << *answer;
  }

  void write(const std::string& text) {
    ASSERT_EQ(::write(port_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

  // The next `expected` bytes the adapter sends, or fewer when the wait is over first.
  std::string readBytes(std::size_t expected, Clock::duration wait = kReplyWait) {
    std::string got;
    const auto deadline = Clock::now() + wait;
    while (got.size() < expected && waitReadable(port_, deadline)) {
      char buffer[256];
      const ssize_t n = read(port_, buffer, std::min(sizeof buffer, expected - got.size()));
      if (n <= 0) {
        break;
      }
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

  static bool waitReadable(int fd, Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      return false;
    }
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, static_cast<int>(left.count())) == 1;
  }

  fs::path portDir_;
  pid_t sim_ = -1;
  int simIn_ = -1;
  int simOut_ = -1;
  std::string printed_;
  int port_ = -1;
};

TEST_F(AsciiSimulatorOnPty, OpensTheLinkAndReadsBackWhatItWroteToTheEeprom) {
  start("qx");
  openPort();
  write(kReset);
  EXPECT_EQ(readBytes(1), "*");
  write("/O\r");
  EXPECT_EQ(readBytes(5), "/OCC\r");
  write("/DA0\r/T~00~41\r");
  EXPECT_EQ(readBytes(5), "/MTC\r");
  write("/DA0\r/T~00\r/R1\r");
  EXPECT_EQ(readBytes(5), "/MTC\r");
  // One group of three characters per byte: a separator the host does not read, two digits.
  const std::string received = readBytes(8);
  ASSERT_EQ(received.size(), 8u) << received;
  EXPECT_EQ(received.substr(0, 4), "/MRC");
  EXPECT_EQ(received.substr(5), "41\r");
}

TEST_F(AsciiSimulatorOnPty, FollowsTheLineSpeedTheHostSets) {
  start("lx");
  openPort();
  setSpeed(115200);
  write(kReset);
  EXPECT_EQ(readBytes(1, std::chrono::milliseconds(300)), "")
      << "an adapter at 19,200 hears only noise";
  setSpeed(19200);
  write(kReset);
  EXPECT_EQ(readBytes(1), "*");
  write("/B2\r");
  EXPECT_EQ(readBytes(5), "/BC2\r");
  write("/O\r");
  EXPECT_EQ(readBytes(1, std::chrono::milliseconds(300)), "")
      << "the adapter now listens at 115,200";
  setSpeed(115200);
  write("/O\r");
  EXPECT_EQ(readBytes(5), "/OCC\r");
}

TEST_F(AsciiSimulatorOnPty, AnotherMasterIntAndFaultsTypedOnStandardInputReachTheHost) {
  start("qx");
  openPort();
  write(kReset);
  ASSERT_EQ(readBytes(1), "*");
  write("/IFE\r/N1\r/O\r");
  ASSERT_EQ(readBytes(5), "/OCC\r");

  type("write FE 01 02");
  const std::string received = readBytes(11);
  ASSERT_EQ(received.size(), 11u) << received;
  EXPECT_EQ(received.substr(0, 4), "/SRC");
  EXPECT_EQ(received.substr(5, 2), "01");
  EXPECT_EQ(received.substr(8), "02\r");

  type("read FE 2");
  EXPECT_EQ(readBytes(5), "/STR\r");
  write("/S~AB~CD\r");
  EXPECT_EQ(readBytes(5), "/STC\r");

  type("int on");
  EXPECT_EQ(readBytes(5), "/NSA\r");
  type("int off");
  EXPECT_EQ(readBytes(5), "/NSR\r");

  type("fault overflow");
  write("/C\r");
  EXPECT_EQ(readBytes(5), "/I90\r");
}

}  // namespace
