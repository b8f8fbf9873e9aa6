#pragma once
// What each ASCII model's firmware offers. A command a model lacks is answered "/I8F"; a clock
// digit outside the model's range "/I89".

#include <array>

#include "sim/ascii_firmware.h"

namespace sim {

struct AsciiModelTraits {
  const char* name;
  bool baudCommands;           // "/B0".."/B2": the model runs at 57,600 and 115,200 baud too
  bool setupCommands;          // "/A", "/U"
  std::array<bool, 5> clocks;  // "/K0".."/K4": 23, 86, 100, 400, 1000 kHz
  bool monitorCommands;        // "/N0", "/N1" accepted
  bool interruptInput;         // the monitor has a /INT line to watch and reports "/NSA", "/NSR"
  bool interruptOutput;        // "/NA", "/NR" drive the /INT line
};

const AsciiModelTraits& traitsOf(AsciiModel model);

}  // namespace sim
