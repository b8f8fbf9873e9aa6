#pragma once
// Firmware of the ASCII-command adapter models.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "sim/bus.h"
#include "sim/firmware.h"

namespace sim {

enum class AsciiModel { NX, QX, LX, KX, Dorrit };

// "nx", "qx", "lx", "kx", "dorrit"
std::optional<AsciiModel> asciiModelFromName(const std::string& name);

// The adapter answers at `ownAddress` as a slave from power-on and after every reset, until the
// host sets its own with "/I".
inline constexpr std::uint8_t kAsciiDefaultOwnAddress = 0xFE;
std::unique_ptr<Firmware> makeAsciiFirmware(AsciiModel model, Bus& bus,
                                            std::uint8_t ownAddress = kAsciiDefaultOwnAddress);

}  // namespace sim
