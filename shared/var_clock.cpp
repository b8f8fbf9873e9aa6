#include "shared/var_clock.h"

#include <algorithm>

namespace shared {

namespace {
constexpr std::uint64_t kClockBase = 11095200;
constexpr std::uint64_t kDivider = 96;
}  // namespace

std::uint32_t varClockRateHz(int control) {
  const int value = std::clamp(control, kMinVarClockControl, kMaxVarClockControl);
  return static_cast<std::uint32_t>(kClockBase / ((256 - value) * kDivider));
}

std::optional<int> varClockControlFor(std::uint32_t rateHz) {
  if (rateHz == 0)
    return std::nullopt;
  // 64-bit: rate x 96 overflows 32 bits for rates past 44 MHz.
  const std::uint64_t quotient = kClockBase / (rateHz * kDivider);
  if (quotient > 256 || 256 - quotient > static_cast<std::uint64_t>(kMaxVarClockControl)) {
    return std::nullopt;
  }
  return static_cast<int>(256 - quotient);
}

}  // namespace shared
