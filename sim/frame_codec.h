#pragma once
// The byte level of the frame protocol as the adapter speaks it: line symbols, stuffing and the
// checksum of a data frame.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim::frame {

inline constexpr std::uint8_t kReset = 0x1B;  // three in a row reset the adapter
inline constexpr std::uint8_t kInit = 'I';
inline constexpr std::uint8_t kNack = 'N';
inline constexpr std::uint8_t kRack = 'R';
inline constexpr std::uint8_t kSof = '[';
inline constexpr std::uint8_t kEof = ']';
inline constexpr std::uint8_t kEscape = '$';
inline constexpr std::uint8_t kAckInit = '+';  // acknowledges an INIT
inline constexpr std::uint8_t kAckNone = '-';  // no link yet
inline constexpr std::uint8_t kAckZero = '0';
inline constexpr std::uint8_t kAckOne = '1';

inline constexpr std::size_t kMaxPayload = 18;

bool isAckSymbol(std::uint8_t byte);
// Bytes that may not appear raw inside a frame: the line symbols, XON, XOFF and ESC.
bool needsStuffing(std::uint8_t byte);
// The byte that makes the payload sum to 0 modulo 256.
std::uint8_t checksum(const std::vector<std::uint8_t>& payload);
// SOF, stuffed payload, stuffed checksum, EOF.
std::vector<std::uint8_t> encode(const std::vector<std::uint8_t>& payload);
// The acknowledgement symbol that follows `symbol` when a frame is accepted.
std::uint8_t nextAckSymbol(std::uint8_t symbol);

}  // namespace sim::frame
