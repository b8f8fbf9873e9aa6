#include "sim/hex_words.h"

#include <cctype>
#include <cstdio>

namespace sim {

std::vector<std::string> splitWords(const std::string& line) {
  std::vector<std::string> out;
  std::string word;
  for (char c : line) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (!word.empty()) {
        out.push_back(word);
        word.clear();
      }
    } else {
      word += c;
    }
  }
  if (!word.empty()) {
    out.push_back(word);
  }
  return out;
}

bool parseHexByte(const std::string& word, std::uint8_t& out) {
  if (word.empty() || word.size() > 2) {
    return false;
  }
  unsigned value = 0;
  for (unsigned char c : word) {
    if (!std::isxdigit(c)) {
      return false;
    }
    value =
        value * 16 + static_cast<unsigned>(std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
  }
  out = static_cast<std::uint8_t>(value);
  return true;
}

bool parseHexBytes(const std::vector<std::string>& words, std::size_t from,
                   std::vector<std::uint8_t>& out) {
  out.clear();
  for (std::size_t i = from; i < words.size(); ++i) {
    std::uint8_t byte = 0;
    if (!parseHexByte(words[i], byte)) {
      return false;
    }
    out.push_back(byte);
  }
  return true;
}

bool parseDecimal(const std::string& word, long min, long max, long& out) {
  if (word.empty() || word.size() > 9) {
    return false;
  }
  long value = 0;
  for (unsigned char c : word) {
    if (!std::isdigit(c)) {
      return false;
    }
    value = value * 10 + (c - '0');
  }
  if (value < min || value > max) {
    return false;
  }
  out = value;
  return true;
}

std::string hexByte(std::uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) {
      out += ' ';
    }
    out += hexByte(bytes[i]);
  }
  return out;
}

}  // namespace sim
