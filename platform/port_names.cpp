#include "platform/port_names.h"

#include <cstdlib>

namespace platform {
namespace {

constexpr int kPortsPerFamily = 32;

}  // namespace

std::string portDevicePath(int portNumber) {
  if (portNumber < kFirstPort || portNumber > kLastPort) {
    return "";
  }
  // An empty value counts as unset: "/COM3" at the file system root is never meant.
  const char* dir = std::getenv("VANTOR_PORT_DIR");
  if (dir != nullptr && *dir != '\0') {
    std::string path = dir;
    if (path.back() != '/') {
      path += '/';
    }
    return path + portName(portNumber);
  }
  const int index = (portNumber - 1) % kPortsPerFamily;
  switch ((portNumber - 1) / kPortsPerFamily) {
    case 0:
      return "/dev/ttyS" + std::to_string(index);
    case 1:
      return "/dev/ttyUSB" + std::to_string(index);
    case 2:
      return "/dev/ttyACM" + std::to_string(index);
    default:
      return "";
  }
}

std::string portName(int portNumber) {
  return "COM" + std::to_string(portNumber);
}

}  // namespace platform
