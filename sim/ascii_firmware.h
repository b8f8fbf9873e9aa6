#pragma once
// Firmware of the ASCII-command adapter models.

#include <memory>
#include <optional>
#include <string>

#include "sim/bus.h"
#include "sim/firmware.h"

namespace sim {

enum class AsciiModel { NX, QX, LX, KX, Dorrit };

// "nx", "qx", "lx", "kx", "dorrit"
std::optional<AsciiModel> asciiModelFromName(const std::string& name);

std::unique_ptr<Firmware> makeAsciiFirmware(AsciiModel model, Bus& bus);

}  // namespace sim
