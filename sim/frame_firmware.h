#pragma once
// Firmware of the frame-protocol adapter models: the data link of frame_link.h carrying the
// I2C command frames of the host and the adapter frames that answer them.

#include <cstdint>
#include <memory>

#include "sim/bus.h"
#include "sim/firmware.h"

namespace sim {

struct FrameFirmwareOptions {
  // Version × 100, reported in the link open reply. Below 200 the adapter lacks transmit
  // without stop (0x15), receive with Nack control (0x23) and transmit-then-receive (0x24/0x25).
  int version = 213;
  std::uint8_t slaveAddress = 0x70;  // until the host's link open frame sets its own
};

inline constexpr int kFrameLineBaud = 19200;

std::unique_ptr<Firmware> makeFrameFirmware(Bus& bus, const FrameFirmwareOptions& options = {});

}  // namespace sim
