// The USB search over a fake sysfs tree, laid out as the kernel lays out the real one, with
// ports that are links to pseudo-terminals.

#include "platform/usb.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/pty.h"
#include "platform/tests/env_guard.h"

namespace platform {

// Found by argument lookup from the assertions below.
bool operator==(const UsbAdapter& a, const UsbAdapter& b) {
  return a.port == b.port && a.instance == b.instance;
}

void PrintTo(const UsbAdapter& a, std::ostream* os) {
  *os << "{COM" << a.port << ", \"" << a.instance << "\"}";
}

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

class UsbSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = fs::temp_directory_path() / ("vantor-usb-" + std::to_string(::getpid()));
    fs::remove_all(base);
    fs::create_directories(base / "ports");
    fs::create_directories(base / "sys" / "class" / "tty");
    portDir = std::make_unique<testing::EnvGuard>("VANTOR_PORT_DIR", (base / "ports").string());
    sysRoot = std::make_unique<testing::EnvGuard>("VANTOR_SYSFS_ROOT", (base / "sys").string());
  }
  void TearDown() override {
    portDir.reset();
    sysRoot.reset();
    fs::remove_all(base);
  }

  // A pseudo-terminal published as COMn whose tty hangs below a USB device with these ids.
  // `deviceFiles` false leaves the tty without a USB device above it.
  void attach(int port, const std::string& vendor, const std::string& product,
              const std::string& serial, bool deviceFiles = true) {
    auto& pty = ptys.emplace_back(std::make_unique<PseudoTerminal>());
    ASSERT_TRUE(pty->status().ok());
    fs::create_symlink(pty->slavePath(), base / "ports" / ("COM" + std::to_string(port)));
    std::string name = fs::path(pty->slavePath()).lexically_relative("/dev").string();
    std::replace(name.begin(), name.end(), '/', '!');
    const fs::path usb = base / "sys" / "devices" / "pci0000:00" / "usb1" / ("1-" + name);
    const fs::path iface = usb / ("1-" + name + ":1.0");
    fs::create_directories(iface / name);
    if (deviceFiles) {
      writeFile(usb / "idVendor", vendor + "\n");
      writeFile(usb / "idProduct", product + "\n");
      if (!serial.empty()) {
        writeFile(usb / "serial", serial + "\n");
      }
    }
    fs::create_directories(base / "sys" / "class" / "tty" / name);
    fs::create_symlink(iface / name, base / "sys" / "class" / "tty" / name / "device");
  }

  fs::path base;
  std::unique_ptr<testing::EnvGuard> portDir;
  std::unique_ptr<testing::EnvGuard> sysRoot;
  std::vector<std::unique_ptr<PseudoTerminal>> ptys;
};

TEST_F(UsbSearchTest, FindsAdaptersOfTheProductInPortOrder) {
  attach(12, "7d21", "0104", "VT000123");
  attach(3, "7D21", "0104", "  VT000007 ");  // upper-case ids and padding, as some firmware has
  attach(5, "7d21", "0105", "OTHERMODEL");
  attach(6, "1234", "0104", "FOREIGN");
  const std::vector<UsbAdapter> expected{{3, "VT000007"}, {12, "VT000123"}};
  EXPECT_EQ(findUsbAdapters(0x0104), expected);
  EXPECT_EQ(findUsbAdapters(0x0105), (std::vector<UsbAdapter>{{5, "OTHERMODEL"}}));
  EXPECT_TRUE(findUsbAdapters(0x0999).empty());
}

TEST_F(UsbSearchTest, PortsWithoutAUsbDeviceOrWithoutSysfsEntryAreSkipped) {
  attach(2, "", "", "", false);  // a serial port on the main board
  auto& bare = ptys.emplace_back(std::make_unique<PseudoTerminal>());
  fs::create_symlink(bare->slavePath(), base / "ports" / "COM4");   // no sysfs entry at all
  fs::create_symlink("/nonexistent/tty", base / "ports" / "COM9");  // a dangling link
  attach(7, "7d21", "0104", "");
  EXPECT_EQ(findUsbAdapters(0x0104), (std::vector<UsbAdapter>{{7, ""}}));
}

TEST_F(UsbSearchTest, WalkStopsAtTheSysfsRoot) {
  // idVendor above the root belongs to somebody else's tree.
  writeFile(base / "idVendor", "7d21");
  writeFile(base / "idProduct", "0104");
  attach(1, "", "", "", false);
  EXPECT_TRUE(findUsbAdapters(0x0104).empty());
}

}  // namespace
}  // namespace platform
