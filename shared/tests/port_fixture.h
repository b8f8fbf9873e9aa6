#pragma once
// A port folder (VANTOR_PORT_DIR) whose COMn entries link to pseudo-terminals, and a sysfs tree
// (VANTOR_SYSFS_ROOT) that describes chosen ports as USB adapters, laid out as the kernel lays
// out a USB serial adapter:
//   ROOT/devices/usb1/1-N/{idVendor,idProduct,serial}
//   ROOT/devices/usb1/1-N/1-N:1.0/tty/TTY        (TTY: "pts!3" for /dev/pts/3)
//   ROOT/class/tty/TTY -> ../../devices/usb1/1-N/1-N:1.0/tty/TTY
// Both variables are set while the fixture lives and restored after.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/pty.h"

namespace shared::testing {

class PortFolder {
 public:
  PortFolder();
  ~PortFolder();
  PortFolder(const PortFolder&) = delete;
  PortFolder& operator=(const PortFolder&) = delete;

  // COMn -> a new pseudo-terminal.
  void addPty(int portNumber);
  // COMn -> a path that does not exist (an unplugged adapter).
  void addDanglingLink(int portNumber);
  // Describes port n (added with addPty) as a USB adapter.
  void describeUsb(int portNumber, std::uint16_t product, const std::string& serial,
                   std::uint16_t vendor = 0x7d21);

  const std::filesystem::path& portDir() const { return portDir_; }
  const std::filesystem::path& sysfsRoot() const { return sysfsRoot_; }

 private:
  std::filesystem::path base_;
  std::filesystem::path portDir_;
  std::filesystem::path sysfsRoot_;
  std::map<int, std::unique_ptr<platform::PseudoTerminal>> ptys_;
  std::optional<std::string> savedPortDir_;
  std::optional<std::string> savedSysfsRoot_;
};

}  // namespace shared::testing
