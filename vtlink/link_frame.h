#pragma once
// The bytes of the adapter line: one-byte symbols, the stuffing rule and the frame assembler
// that turns received bytes back into payloads.

#include <cstddef>
#include <cstdint>

#include "vtlink/data_link.h"

namespace vtlink::frame {

inline constexpr std::uint8_t kReset = 0x1B;
inline constexpr std::uint8_t kInit = 'I';
inline constexpr std::uint8_t kAckNoLink = '-';
inline constexpr std::uint8_t kAckInit = '+';
inline constexpr std::uint8_t kAckZero = '0';
inline constexpr std::uint8_t kAckOne = '1';
inline constexpr std::uint8_t kNack = 'N';
inline constexpr std::uint8_t kRack = 'R';
inline constexpr std::uint8_t kSof = '[';
inline constexpr std::uint8_t kEof = ']';
inline constexpr std::uint8_t kEscape = '$';

// Payload plus checksum, each byte possibly stuffed, between SOF and EOF.
inline constexpr std::size_t kMaxEncodedLength = 2 + 2 * (dl::kMaxPayload + 1);

inline bool isAck(std::uint8_t b) {
  return b == kAckNoLink || b == kAckInit || b == kAckZero || b == kAckOne;
}

// Sent as escape + complement: the line symbols and the three bytes the line itself reacts to.
bool needsStuffing(std::uint8_t b);

// Two's complement of the 8-bit sum, so payload and checksum add up to 0.
std::uint8_t checksum(const std::uint8_t* payload, std::size_t length);

// Collects the bytes between SOF and EOF. Symbols other than SOF, EOF and escape are the data
// link's business and never reach it.
class FrameAssembler {
 public:
  enum class Result {
    None,            // byte taken (or ignored outside a frame)
    Started,         // SOF
    NullOrOverflow,  // EOF without SOF, with nothing but a checksum, or with too many bytes
    ChecksumError,   // EOF, the sum is not 0
    Complete,        // EOF, a good frame: payload() holds it until the next byte
  };

  Result take(std::uint8_t byte);
  void clearEscape() { escape_ = false; }

  const std::uint8_t* payload() const { return stored_; }
  std::size_t payloadLength() const { return completeLength_; }

 private:
  std::uint8_t stored_[dl::kMaxPayload + 1] = {};
  std::size_t count_ = 0;
  bool inFrame_ = false;
  bool escape_ = false;
  bool overflow_ = false;
  std::uint8_t sum_ = 0;
  std::size_t completeLength_ = 0;
};

}  // namespace vtlink::frame
