#pragma once
// The command line of vantor-sim.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/adapter.h"
#include "sim/schedule.h"

namespace sim {

struct SimOptions {
  AdapterOptions adapter;
  int port = 0;
  std::vector<ScheduledCommand> schedule;
  std::uint16_t usbProduct = 0;  // 0: no USB description
  std::string usbSerial;
  bool help = false;
};

// `args` without the program name. nullopt with `error` set for a bad command line. The USB
// description is asked for by --usb-product or --serial, or by choosing a USB model while
// VANTOR_SYSFS_ROOT is set (`sysfsRoot`, empty when unset).
std::optional<SimOptions> parseOptions(const std::vector<std::string>& args,
                                       const std::string& sysfsRoot, std::string& error);

std::string helpText();

}  // namespace sim
