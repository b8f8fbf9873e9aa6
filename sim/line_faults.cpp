#include "sim/line_faults.h"

namespace sim {

bool LineFaults::take(FaultState& state) {
  switch (state) {
    case FaultState::Off:
      return false;
    case FaultState::Once:
      state = FaultState::Off;
      return true;
    case FaultState::On:
      return true;
  }
  return false;
}

std::vector<std::uint8_t> LineFaults::apply(std::vector<std::uint8_t> bytes) {
  if (bytes.empty() || silence) {
    return {};
  }
  if (take(lose)) {
    bytes.erase(bytes.begin());
  }
  if (!bytes.empty() && take(corrupt)) {
    bytes[bytes.size() / 2] ^= 0x01;
  }
  return bytes;
}

std::string LineFaults::describe() const {
  std::string out;
  auto add = [&out](const char* name, FaultState state) {
    if (state == FaultState::Off) {
      return;
    }
    if (!out.empty()) {
      out += ' ';
    }
    out += name;
    if (state == FaultState::Once) {
      out += "=once";
    }
  };
  add("silence", silence ? FaultState::On : FaultState::Off);
  add("lose", lose);
  add("corrupt", corrupt);
  if (slowMs > 0) {
    out += (out.empty() ? "" : " ") + std::string("slow=") + std::to_string(slowMs);
  }
  return out.empty() ? "none" : out;
}

}  // namespace sim
