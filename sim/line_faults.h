#pragma once
// Faults of the serial line between host and adapter, applied to what the adapter sends: each
// transmission (one symbol, one frame, one reply line) is one unit.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace sim {

enum class FaultState { Off, Once, On };

class LineFaults {
 public:
  // The adapter neither answers nor listens, as if unplugged (on or off only).
  bool silence = false;
  // The first byte of a transmission is lost.
  FaultState lose = FaultState::Off;
  // The middle byte of a transmission arrives with bit 0 flipped.
  FaultState corrupt = FaultState::Off;
  // Every transmission leaves this much later than usual (0: off).
  platform::Millis slowMs = 0;

  static constexpr platform::Millis kDefaultSlowMs = 1500;

  bool inputDropped() const { return silence; }
  // What of `bytes` reaches the host; empty when nothing does.
  std::vector<std::uint8_t> apply(std::vector<std::uint8_t> bytes);
  // "silence lose=once slow=1500", or "none".
  std::string describe() const;

 private:
  static bool take(FaultState& state);
};

}  // namespace sim
