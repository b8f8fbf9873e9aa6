#include "sim/ascii_text.h"

namespace sim {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<std::uint8_t> parseHexByte(std::string_view text) {
  if (text.size() != 2) {
    return std::nullopt;
  }
  const int high = hexValue(text[0]);
  const int low = hexValue(text[1]);
  if (high < 0 || low < 0) {
    return std::nullopt;
  }
  return static_cast<std::uint8_t>(high * 16 + low);
}

std::optional<unsigned> parseDecimal(std::string_view text, unsigned max) {
  if (text.empty()) {
    return std::nullopt;
  }
  unsigned long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > max) {
      return std::nullopt;  // also stops a long digit string before it can overflow
    }
  }
  return static_cast<unsigned>(value);
}

std::optional<std::vector<std::uint8_t>> parseDataText(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '~') {
      bytes.push_back(static_cast<std::uint8_t>(text[i]));
      continue;
    }
    auto escaped = parseHexByte(text.substr(i + 1, 2));
    if (!escaped) {
      return std::nullopt;
    }
    bytes.push_back(*escaped);
    i += 2;
  }
  return bytes;
}

std::string bytesReply(std::string_view token, const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string line(token);
  for (std::uint8_t b : bytes) {
    line += ' ';
    line += kDigits[b >> 4];
    line += kDigits[b & 0x0F];
  }
  line += '\r';
  return line;
}

}  // namespace sim
