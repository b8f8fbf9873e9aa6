#pragma once
// The adapter models the simulator can play.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/ascii_firmware.h"

namespace sim {

struct ModelInfo {
  std::string name;                 // as given to --model
  std::string title;                // as users know it
  std::optional<AsciiModel> ascii;  // unset: a frame-protocol model
  std::uint16_t usbProduct = 0;     // USB virtual port models; 0 for plain serial ones
};

const std::vector<ModelInfo>& models();
const ModelInfo* findModel(const std::string& name);

}  // namespace sim
