#include "sim/usb_sysfs.h"

#include <cerrno>
#include <cstdio>
#include <fstream>

#include "platform/usb.h"

namespace sim {

namespace fs = std::filesystem;

std::string kernelTtyName(const std::string& device) {
  const std::string dev = "/dev/";
  std::string name = device.compare(0, dev.size(), dev) == 0 ? device.substr(dev.size()) : device;
  for (char& c : name) {
    if (c == '/') {
      c = '!';
    }
  }
  return name;
}

namespace {

bool writeFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path);
  out << text << '\n';
  return static_cast<bool>(out);
}

std::string hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", value);
  return text;
}

}  // namespace

platform::Status UsbSysfsEntry::create(const fs::path& root, int portNumber,
                                       const std::string& ttyDevice, std::uint16_t product,
                                       const std::string& serial) {
  remove();
  const std::string tty = kernelTtyName(ttyDevice);
  const std::string usbName = "1-" + std::to_string(portNumber);
  const fs::path device = root / "devices" / "vantor-sim" / "usb1" / usbName;
  const fs::path ttyDir = device / (usbName + ":1.0") / "tty" / tty;
  const fs::path classDir = root / "class" / "tty";
  std::error_code ec;
  fs::remove_all(device, ec);
  fs::create_directories(ttyDir, ec);
  if (!ec) {
    fs::create_directories(classDir, ec);
  }
  if (ec) {
    return platform::Status::failure(ec.value(), "mkdir");
  }
  device_ = device;
  if (!writeFile(device / "idVendor", hex4(platform::kVantorUsbVendor)) ||
      !writeFile(device / "idProduct", hex4(product)) || !writeFile(device / "serial", serial)) {
    return platform::Status::failure(EIO, "write");
  }
  fs::create_directory_symlink("../..", ttyDir / "device", ec);
  if (ec) {
    return platform::Status::failure(ec.value(), "symlink");
  }
  const fs::path link = classDir / tty;
  fs::remove(link, ec);
  fs::create_directory_symlink(fs::relative(ttyDir, classDir), link, ec);
  if (ec) {
    return platform::Status::failure(ec.value(), "symlink");
  }
  classLink_ = link;
  return platform::Status::success();
}

void UsbSysfsEntry::remove() {
  std::error_code ec;
  if (!classLink_.empty()) {
    fs::remove(classLink_, ec);
    classLink_.clear();
  }
  if (!device_.empty()) {
    fs::remove_all(device_, ec);
    device_.clear();
  }
}

}  // namespace sim
