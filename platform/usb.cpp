#include "platform/usb.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/port_names.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

std::string trimmed(std::string text) {
  auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), isSpace));
  text.erase(std::find_if_not(text.rbegin(), text.rend(), isSpace).base(), text.end());
  return text;
}

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string fileText(const fs::path& path) {
  std::ifstream in(path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return trimmed(text);
}

fs::path sysfsRoot() {
  const char* root = std::getenv("VANTOR_SYSFS_ROOT");
  return root != nullptr && *root != '\0' ? fs::path(root) : fs::path("/sys");
}

// "/dev/ttyUSB0" -> "ttyUSB0", "/dev/pts/3" -> "pts!3": the kernel's names in /sys/class/tty.
std::string ttyName(const fs::path& device) {
  constexpr std::string_view kDev = "/dev/";
  std::string path = device.string();
  if (path.compare(0, kDev.size(), kDev) != 0 || path.size() == kDev.size()) {
    return "";
  }
  std::string name = path.substr(kDev.size());
  std::replace(name.begin(), name.end(), '/', '!');
  return name;
}

// The USB device above a tty: the first folder, going up from the tty's device, that has an
// idVendor file. Empty when there is none below the sysfs root.
fs::path usbDeviceOf(const fs::path& root, const std::string& tty) {
  std::error_code ec;
  const fs::path realRoot = fs::canonical(root, ec);
  if (ec) {
    return {};
  }
  fs::path dir = fs::canonical(root / "class" / "tty" / tty / "device", ec);
  if (ec) {
    return {};
  }
  for (;;) {
    if (fs::exists(dir / "idVendor", ec)) {
      return dir;
    }
    if (dir == realRoot || !dir.has_relative_path() || dir.parent_path() == dir) {
      return {};
    }
    dir = dir.parent_path();
  }
}

std::string productText(std::uint16_t productId) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", productId);
  return text;
}

}  // namespace

std::vector<UsbAdapter> findUsbAdapters(std::uint16_t productId) {
  std::vector<UsbAdapter> found;
  const fs::path root = sysfsRoot();
  const std::string vendor = productText(kVantorUsbVendor);
  const std::string product = productText(productId);
  for (int port = kFirstPort; port <= kLastPort; ++port) {
    const std::string path = portDevicePath(port);
    std::error_code ec;
    if (path.empty() || !fs::exists(path, ec)) {
      continue;
    }
    const fs::path device = fs::canonical(path, ec);
    if (ec) {
      continue;
    }
    const std::string tty = ttyName(device);
    if (tty.empty()) {
      continue;
    }
    const fs::path usb = usbDeviceOf(root, tty);
    if (usb.empty()) {
      continue;
    }
    if (lowered(fileText(usb / "idVendor")) != vendor ||
        lowered(fileText(usb / "idProduct")) != product) {
      continue;
    }
    found.push_back(UsbAdapter{port, fileText(usb / "serial")});
  }
  return found;
}

}  // namespace platform
