#include "vtlink/link_frame.h"

#include <cstddef>
#include <cstdint>

#include "vtlink/data_link.h"

namespace vtlink {
namespace frame {

bool needsStuffing(std::uint8_t b) {
  switch (b) {
    case 0x11:  // XON
    case 0x13:  // XOFF
    case kReset:
    case kEscape:
    case kAckInit:
    case kAckNoLink:
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

std::uint8_t checksum(const std::uint8_t* payload, std::size_t length) {
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < length; ++i) {
    sum = static_cast<std::uint8_t>(sum + payload[i]);
  }
  return static_cast<std::uint8_t>(0x100 - sum);
}

FrameAssembler::Result FrameAssembler::take(std::uint8_t byte) {
  if (byte == kEscape) {
    escape_ = true;
    return Result::None;
  }
  if (byte == kSof) {
    escape_ = false;
    overflow_ = false;
    inFrame_ = true;
    count_ = 0;
    sum_ = 0;
    return Result::Started;
  }
  if (byte == kEof) {
    const bool wasInFrame = inFrame_;
    inFrame_ = false;
    if (!wasInFrame || count_ <= 1 || overflow_) {
      return Result::NullOrOverflow;
    }
    if (sum_ != 0) {
      return Result::ChecksumError;
    }
    completeLength_ = count_ - 1;
    return Result::Complete;
  }
  if (escape_) {
    byte = static_cast<std::uint8_t>(~byte);
    escape_ = false;
  }
  if (inFrame_) {
    if (count_ < sizeof stored_) {
      stored_[count_++] = byte;
      sum_ = static_cast<std::uint8_t>(sum_ + byte);
    } else {
      overflow_ = true;
    }
  }
  return Result::None;
}

}  // namespace frame

std::size_t encodeFrame(const std::uint8_t* payload, std::size_t length, std::uint8_t* out) {
  std::size_t n = 0;
  auto put = [&](std::uint8_t b) {
    if (frame::needsStuffing(b)) {
      out[n++] = frame::kEscape;
      out[n++] = static_cast<std::uint8_t>(b ^ 0xFF);
    } else {
      out[n++] = b;
    }
  };
  out[n++] = frame::kSof;
  for (std::size_t i = 0; i < length; ++i) {
    put(payload[i]);
  }
  put(frame::checksum(payload, length));
  out[n++] = frame::kEof;
  return n;
}

}  // namespace vtlink
