// vantor-sim on its pseudo-terminal, talked to with plain termios calls and bytes written from
// the frame protocol's rules.

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/usb.h"
#include "sim/tests/frame_host.h"
#include "sim/tests/sim_process.h"

namespace sim::test {
namespace {

using namespace std::chrono_literals;

class SimulatorOnPty : public testing::Test {
 protected:
  void TearDown() override {
    host_.close();
    sim_.stop();
  }

  void start(std::vector<std::string> args, std::vector<std::string> env = {}) {
    env.push_back("VANTOR_PORT_DIR=" + ports_.path().string());
    sim_.start(args, env);
    ASSERT_EQ(sim_.line(), "ready COM3") << sim_.errors();
  }

  void openHost() { ASSERT_TRUE(host_.open(ports_.path() / "COM3")); }

  // Reset, INIT both ways; the adapter's acknowledgement symbols from here on are its own.
  void linkUp() {
    host_.write({0x1B, 0x1B, 0x1B});
    ASSERT_EQ(host_.read(1), Bytes{'I'});
    host_.write({'+', 'I'});
    ASSERT_EQ(host_.read(1), Bytes{'+'});
  }

  // The adapter's answer to one command frame: its acknowledgement and `frameBytes` more.
  AdapterOutput exchange(const Bytes& payload, std::size_t expected) {
    host_.write(hostFrame(payload));
    return splitAdapterOutput(host_.read(expected));
  }

  TempDir ports_;
  SimProcess sim_;
  HostPort host_;
};

struct VersionCase {
  const char* name;
  std::vector<std::string> args;
  Bytes reply;
};

class FrameSimulatorOpens : public SimulatorOnPty,
                            public testing::WithParamInterface<VersionCase> {};

TEST_P(FrameSimulatorOpens, WithResetInitAndTheLinkOpenReplyOfItsVersion) {
  start(GetParam().args);
  openHost();
  linkUp();
  // ACK "0", then 5B 02 hi lo checksum 5D (no byte of these needs stuffing).
  const auto out = exchange({0x01, 0x70, 0x00, 0x64, 0x01, 0x00, 0x01, 0x02, 0x00}, 7);
  EXPECT_EQ(out.sequence, "0[");
  ASSERT_EQ(out.frames.size(), 1u);
  EXPECT_EQ(out.frames[0], GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, FrameSimulatorOpens,
    testing::Values(
        VersionCase{"Default", {"--model", "vantor", "--port", "3"}, {0x02, 0x00, 0xD5}},
        VersionCase{"Older",
                    {"--model", "varclk", "--port", "3", "--firmware", "1.50"},
                    {0x02, 0x00, 0x96}},
        VersionCase{"Newer",
                    {"--model", "vantor-du", "--port", "3", "--firmware", "300"},
                    {0x02, 0x01, 0x2C}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SimulatorOnPty, PassesWhatAnotherMasterWritesOnStandardInputToTheHost) {
  start({"--model", "vantor", "--port", "3"});
  openHost();
  linkUp();
  exchange({0x01, 0x70, 0x00, 0x64, 0x01, 0x00, 0x01, 0x02, 0x00}, 7);
  host_.write({'0'});  // the link open reply taken

  sim_.type("write 70 01 02\n");
  EXPECT_EQ(sim_.line(), "ok write 70 2");
  const auto out = splitAdapterOutput(host_.read(7));
  EXPECT_EQ(out.frames, std::vector<Bytes>{(Bytes{0x32, 0x00, 0x01, 0x02})});

  sim_.type("read 70 1\n");
  EXPECT_EQ(sim_.line(), "ok read 70 1");
  host_.write({'1'});
  EXPECT_EQ(splitAdapterOutput(host_.read(4)).frames, std::vector<Bytes>{Bytes{0x41}});
  host_.write({'0'});
  host_.write(hostFrame({0x43, 0x5A}));
  EXPECT_EQ(sim_.line(), "event read 70 5A");

  sim_.type("quit\n");
  EXPECT_EQ(sim_.line(), "ok quit");
  EXPECT_EQ(sim_.exitCode(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(ports_.path() / "COM3")));
}

TEST_F(SimulatorOnPty, RunsItsScheduleAfterItIsReady) {
  start({"--port", "3", "--schedule", "300:write 40 77;100:io"});
  EXPECT_EQ(sim_.line(), "ok io latch FF");
  EXPECT_EQ(sim_.line(), "ok write 40 1");
  sim_.type("io\n");
  EXPECT_EQ(sim_.line(), "ok io latch 77");
}

TEST_F(SimulatorOnPty, KeepsServingAfterStandardInputEndsAndBetweenClients) {
  start({"--port", "3"});
  sim_.type("faults");  // a last line without its line feed
  sim_.endInput();
  EXPECT_EQ(sim_.line(), "ok faults none");
  // A client that opened and closed the port before does not hang up the adapter's side.
  openHost();
  host_.close();
  openHost();
  host_.write({0x1B, 0x1B, 0x1B});
  EXPECT_EQ(host_.read(1), Bytes{'I'});
}

struct SignalCase {
  const char* name;
  int signal;
};

class SimulatorSignalled : public SimulatorOnPty, public testing::WithParamInterface<SignalCase> {};

TEST_P(SimulatorSignalled, WithdrawsItsPortAndEndsCleanly) {
  start({"--port", "3"});
  EXPECT_TRUE(fs::is_symlink(ports_.path() / "COM3"));
  EXPECT_EQ(sim_.stop(GetParam().signal), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(ports_.path() / "COM3")));
}

INSTANTIATE_TEST_SUITE_P(Signals, SimulatorSignalled,
                         testing::Values(SignalCase{"Term", SIGTERM}, SignalCase{"Int", SIGINT},
                                         SignalCase{"Hup", SIGHUP}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(SimulatorOnPty, ReplacesAPortLeftBehindButNotOneInUse) {
  fs::create_symlink("/dev/pts/does-not-exist", ports_.path() / "COM3");
  start({"--port", "3"});

  SimProcess second;
  second.start({"--port", "3"}, {"VANTOR_PORT_DIR=" + ports_.path().string()});
  EXPECT_EQ(second.exitCode(), 1);
  EXPECT_NE(second.errors().find("COM3 already exists"), std::string::npos);
  EXPECT_TRUE(fs::exists(ports_.path() / "COM3")) << "the first simulator's port stays";
}

TEST_F(SimulatorOnPty, DescribesAUsbModelForTheUsbSearch) {
  TempDir sysfs;
  start({"--model", "lx", "--port", "3", "--serial", "LX123"},
        {"VANTOR_SYSFS_ROOT=" + sysfs.path().string()});
  ::setenv("VANTOR_PORT_DIR", ports_.path().c_str(), 1);
  ::setenv("VANTOR_SYSFS_ROOT", sysfs.path().c_str(), 1);
  const auto found = platform::findUsbAdapters(0x0204);
  const auto otherProduct = platform::findUsbAdapters(0x0207);
  ::unsetenv("VANTOR_PORT_DIR");
  ::unsetenv("VANTOR_SYSFS_ROOT");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].port, 3);
  EXPECT_EQ(found[0].instance, "LX123");
  EXPECT_TRUE(otherProduct.empty());

  sim_.stop(SIGINT);
  EXPECT_TRUE(fs::is_empty(sysfs.path() / "class" / "tty")) << "the description is withdrawn";
}

struct RefusalCase {
  const char* name;
  std::vector<std::string> args;
  bool portDir;
  const char* message;
};

class SimulatorRefuses : public testing::TestWithParam<RefusalCase> {};

TEST_P(SimulatorRefuses, WithExitCodeTwoAndAReason) {
  TempDir ports;
  SimProcess sim;
  std::vector<std::string> env;
  if (GetParam().portDir) {
    env.push_back("VANTOR_PORT_DIR=" + ports.path().string());
  }
  sim.start(GetParam().args, env);
  EXPECT_EQ(sim.exitCode(), 2);
  EXPECT_NE(sim.errors().find(GetParam().message), std::string::npos);
  EXPECT_TRUE(fs::is_empty(ports.path()));
}

INSTANTIATE_TEST_SUITE_P(
    BadStarts, SimulatorRefuses,
    testing::Values(
        RefusalCase{"NoPortFolder", {"--port", "3"}, false, "VANTOR_PORT_DIR is not set"},
        RefusalCase{
            "BadOption", {"--port", "3", "--speed", "9600"}, true, "unknown option \"--speed\""}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace sim::test
