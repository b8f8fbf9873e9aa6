#pragma once
// One adapter's firmware: takes the bytes the host writes and answers through `send`. The
// engine around it carries the bytes (pty or in-memory line) and applies line faults.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace sim {

class Firmware {
 public:
  virtual ~Firmware() = default;
  // Bytes from the host; `hostBaud` is the line speed the host uses (the firmware stays silent
  // when it does not match its own, as a real adapter would see only noise).
  virtual void receive(const std::uint8_t* data, std::size_t n, int hostBaud) = 0;
  // Called often (every few milliseconds) for work that is due later.
  virtual void poll(platform::Millis now) { (void)now; }
  // Firmware-specific faults and actions typed on the simulator's command line or standard
  // input (for example "busy on", "overflow"); false when the firmware does not know it.
  virtual bool command(const std::vector<std::string>& words) {
    (void)words;
    return false;
  }
  // Set by the engine before any call.
  std::function<void(const std::vector<std::uint8_t>&)> send;
};

}  // namespace sim
