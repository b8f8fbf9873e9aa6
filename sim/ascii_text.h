#pragma once
// The text forms of the ASCII command protocol as the adapter reads and writes them: command
// arguments, the "~" data text, and reply lines that carry received bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Exactly two hexadecimal digits, either case.
std::optional<std::uint8_t> parseHexByte(std::string_view text);

// One or more decimal digits with a value of at most `max`.
std::optional<unsigned> parseDecimal(std::string_view text, unsigned max);

// Every character other than "~" stands for its own code; "~" and two hexadecimal digits for
// one byte. A "~" without two digits after it makes the whole text invalid.
std::optional<std::vector<std::uint8_t>> parseDataText(std::string_view text);

// token + one " HH" group per byte + "\r", e.g. "/MRC 41 0A\r".
std::string bytesReply(std::string_view token, const std::vector<std::uint8_t>& bytes);

}  // namespace sim
