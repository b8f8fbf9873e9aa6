#include "platform/port_names.h"

#include <gtest/gtest.h>

#include "platform/tests/env_guard.h"

namespace platform {
namespace {

struct PortCase {
  const char* name;
  std::optional<std::string> portDir;
  int port;
  std::string path;
};

class PortDevicePathTest : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortDevicePathTest, FollowsTheNumberingRule) {
  testing::EnvGuard env("VANTOR_PORT_DIR", GetParam().portDir);
  EXPECT_EQ(portDevicePath(GetParam().port), GetParam().path);
}

const std::optional<std::string> kNoDir;

INSTANTIATE_TEST_SUITE_P(
    Boundaries, PortDevicePathTest,
    ::testing::Values(PortCase{"First", kNoDir, 1, "/dev/ttyS0"},
                      PortCase{"LastSerial", kNoDir, 32, "/dev/ttyS31"},
                      PortCase{"FirstUsb", kNoDir, 33, "/dev/ttyUSB0"},
                      PortCase{"LastUsb", kNoDir, 64, "/dev/ttyUSB31"},
                      PortCase{"FirstAcm", kNoDir, 65, "/dev/ttyACM0"},
                      PortCase{"LastAcm", kNoDir, 96, "/dev/ttyACM31"},
                      PortCase{"FirstWithoutDevice", kNoDir, 97, ""},
                      PortCase{"LastWithoutDevice", kNoDir, 99, ""},
                      PortCase{"Zero", kNoDir, 0, ""}, PortCase{"Negative", kNoDir, -1, ""},
                      PortCase{"Hundred", kNoDir, 100, ""},
                      PortCase{"DirFirst", "/tmp/ports", 1, "/tmp/ports/COM1"},
                      PortCase{"DirBeyondFamilies", "/tmp/ports", 97, "/tmp/ports/COM97"},
                      PortCase{"DirLast", "/tmp/ports/", 99, "/tmp/ports/COM99"},
                      PortCase{"DirZero", "/tmp/ports", 0, ""},
                      PortCase{"DirHundred", "/tmp/ports", 100, ""},
                      PortCase{"EmptyDirCountsAsUnset", "", 33, "/dev/ttyUSB0"}),
    [](const auto& row) { return row.param.name; });

TEST(PortNameTest, IsComAndTheNumber) {
  EXPECT_EQ(portName(1), "COM1");
  EXPECT_EQ(portName(99), "COM99");
}

}  // namespace
}  // namespace platform
