#include "shared/tests/port_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace shared::testing {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> currentEnv(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void restoreEnv(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path);
  out << text << "\n";
}

std::string hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", value);
  return text;
}

}  // namespace

PortFolder::PortFolder()
    : savedPortDir_(currentEnv("VANTOR_PORT_DIR")),
      savedSysfsRoot_(currentEnv("VANTOR_SYSFS_ROOT")) {
  char pattern[] = "/tmp/vantor-shared-XXXXXX";
  EXPECT_NE(mkdtemp(pattern), nullptr);
  base_ = pattern;
  portDir_ = base_ / "ports";
  sysfsRoot_ = base_ / "sys";
  fs::create_directories(portDir_);
  fs::create_directories(sysfsRoot_ / "class" / "tty");
  setenv("VANTOR_PORT_DIR", portDir_.c_str(), 1);
  setenv("VANTOR_SYSFS_ROOT", sysfsRoot_.c_str(), 1);
}

PortFolder::~PortFolder() {
  restoreEnv("VANTOR_PORT_DIR", savedPortDir_);
  restoreEnv("VANTOR_SYSFS_ROOT", savedSysfsRoot_);
  ptys_.clear();
  std::error_code ec;
  fs::remove_all(base_, ec);
}

void PortFolder::addPty(int portNumber) {
  auto pty = std::make_unique<platform::PseudoTerminal>();
  ASSERT_TRUE(pty->status().ok()) << pty->status().text();
  ASSERT_TRUE(pty->holdSlaveOpen().ok());
  fs::create_symlink(pty->slavePath(), portDir_ / ("COM" + std::to_string(portNumber)));
  ptys_[portNumber] = std::move(pty);
}

void PortFolder::addDanglingLink(int portNumber) {
  fs::create_symlink(base_ / "unplugged", portDir_ / ("COM" + std::to_string(portNumber)));
}

void PortFolder::describeUsb(int portNumber, std::uint16_t product, const std::string& serial,
                             std::uint16_t vendor) {
  ASSERT_TRUE(ptys_.count(portNumber)) << "add the pty of port " << portNumber << " first";
  std::string tty = ptys_[portNumber]->slavePath().substr(std::string("/dev/").size());
  std::replace(tty.begin(), tty.end(), '/', '!');

  const std::string usbName = "1-" + std::to_string(portNumber);
  const fs::path device = sysfsRoot_ / "devices" / "usb1" / usbName;
  const fs::path ttyDir = device / (usbName + ":1.0") / "tty" / tty;
  fs::create_directories(ttyDir);
  writeFile(device / "idVendor", hex4(vendor));
  writeFile(device / "idProduct", hex4(product));
  writeFile(device / "serial", serial);
  // The kernel's tty class entry points at the tty's folder, whose "device" is the interface.
  fs::create_directory_symlink("../..", ttyDir / "device");
  fs::create_directory_symlink(
      fs::path("../../devices/usb1") / usbName / (usbName + ":1.0") / "tty" / tty,
      sysfsRoot_ / "class" / "tty" / tty);
}

}  // namespace shared::testing
