#pragma once
// The USB search: which existing ports are USB adapters of vendor 7d21 with a given product
// number, found through sysfs (root VANTOR_SYSFS_ROOT, default /sys).

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
