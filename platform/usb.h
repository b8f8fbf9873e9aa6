#pragma once
// The USB search: which existing ports are USB adapters of vendor 7d21 with a given product
// number, found through sysfs (root VANTOR_SYSFS_ROOT, default /sys).
//
// For each port 1..99 whose device path (port_names.h) exists:
//  1. resolve the path (symbolic links followed): /dev/ttyUSB0, /dev/pts/3, ...;
//  2. its tty name is the resolved path below /dev with "/" replaced by "!", as the kernel names
//     sysfs entries: "ttyUSB0", "pts!3" (paths outside /dev are skipped);
//  3. resolve ROOT/class/tty/<name>/device and walk up its parent folders, not above ROOT, to
//     the first that has an idVendor file: that folder is the USB device;
//  4. it matches when idVendor is "7d21" and idProduct the product as 4 hexadecimal digits
//     (both trimmed, compared without regard to case); the instance is the trimmed contents of
//     its serial file ("" when there is none).
// The kernel's own tree for USB serial adapters reads like this (a converter chip, then a
// modem-class device), and fake trees for tests and the simulator are built the same way:
//   ROOT/devices/.../usb1/1-1/{idVendor,idProduct,serial}
//   ROOT/devices/.../usb1/1-1/1-1:1.0/ttyUSB0/tty/ttyUSB0/device -> ../../../ttyUSB0
//   ROOT/class/tty/ttyUSB0 -> ../../devices/.../usb1/1-1/1-1:1.0/ttyUSB0/tty/ttyUSB0
//   ROOT/devices/.../usb1/1-2/{idVendor,idProduct,serial}
//   ROOT/devices/.../usb1/1-2/1-2:1.0/tty/ttyACM0/device -> ../../../1-2:1.0
//   ROOT/class/tty/ttyACM0 -> ../../devices/.../usb1/1-2/1-2:1.0/tty/ttyACM0

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

inline constexpr std::uint16_t kVantorUsbVendor = 0x7d21;

struct UsbAdapter {
  int port = 0;          // port number by the port-number rule
  std::string instance;  // the adapter's serial number
};

// In port order.
std::vector<UsbAdapter> findUsbAdapters(std::uint16_t productId);

}  // namespace platform
