#pragma once
// Describes the simulator's pseudo-terminal as a USB device of vendor 7d21 in a sysfs tree of
// its own (VANTOR_SYSFS_ROOT), laid out as the kernel lays out a USB serial adapter, so the
// programs' USB search finds it:
//   ROOT/devices/vantor-sim/usb1/1-N/{idVendor,idProduct,serial}
//   ROOT/devices/vantor-sim/usb1/1-N/1-N:1.0/tty/TTY/device -> ../..   (the interface)
//   ROOT/class/tty/TTY -> ../../devices/vantor-sim/usb1/1-N/1-N:1.0/tty/TTY
// where N is the port number and TTY the kernel's name of the pty ("pts!3" for /dev/pts/3).

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/status.h"

namespace sim {

class UsbSysfsEntry {
 public:
  UsbSysfsEntry() = default;
  ~UsbSysfsEntry() { remove(); }
  UsbSysfsEntry(const UsbSysfsEntry&) = delete;
  UsbSysfsEntry& operator=(const UsbSysfsEntry&) = delete;

  platform::Status create(const std::filesystem::path& root, int portNumber,
                          const std::string& ttyDevice, std::uint16_t product,
                          const std::string& serial);
  void remove();

 private:
  std::filesystem::path device_;  // ROOT/devices/vantor-sim/usb1/1-N
  std::filesystem::path classLink_;
};

// "/dev/pts/3" -> "pts!3".
std::string kernelTtyName(const std::string& device);

}  // namespace sim
