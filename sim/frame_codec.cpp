#include "sim/frame_codec.h"

namespace sim::frame {

bool isAckSymbol(std::uint8_t byte) {
  return byte == kAckInit || byte == kAckNone || byte == kAckZero || byte == kAckOne;
}

bool needsStuffing(std::uint8_t byte) {
  switch (byte) {
    case 0x11:  // XON
    case 0x13:  // XOFF
    case kReset:
    case kEscape:
    case kAckInit:
    case kAckNone:
    case kAckZero:
    case kAckOne:
    case kInit:
    case kNack:
    case kRack:
    case kSof:
    case kEof:
      return true;
    default:
      return false;
  }
}

std::uint8_t checksum(const std::vector<std::uint8_t>& payload) {
  std::uint8_t sum = 0;
  for (std::uint8_t byte : payload) {
    sum = static_cast<std::uint8_t>(sum + byte);
  }
  return static_cast<std::uint8_t>(-sum);
}

std::vector<std::uint8_t> encode(const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> out{kSof};
  auto put = [&out](std::uint8_t byte) {
    if (needsStuffing(byte)) {
      out.push_back(kEscape);
      out.push_back(static_cast<std::uint8_t>(byte ^ 0xFF));
    } else {
      out.push_back(byte);
    }
  };
  for (std::uint8_t byte : payload) {
    put(byte);
  }
  put(checksum(payload));
  out.push_back(kEof);
  return out;
}

std::uint8_t nextAckSymbol(std::uint8_t symbol) {
  return symbol == kAckZero ? kAckOne : kAckZero;
}

}  // namespace sim::frame
