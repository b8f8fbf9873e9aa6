#pragma once
// The variable clock model's bus clock: an 8-bit reload value, the control value, picks the
// rate. Both directions use unsigned integer division, rounded down, so the 255 rates the first
// gives map back to their own control values.

#include <cstdint>
#include <optional>

namespace shared {

inline constexpr int kMinVarClockControl = 0;
inline constexpr int kMaxVarClockControl = 254;
inline constexpr std::uint32_t kMinVarClockRateHz = 451;
inline constexpr std::uint32_t kMaxVarClockRateHz = 57787;

// 11095200 div ((256 - control) x 96). The control value is clamped to 0...254 first.
std::uint32_t varClockRateHz(int control);

// 256 - 11095200 div (rate x 96), or none when that is outside 0...254 (which includes a rate
// of 0, where the formula would divide by zero).
std::optional<int> varClockControlFor(std::uint32_t rateHz);

}  // namespace shared
