#pragma once
// Small text helpers of the simulator's command language.

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// Splits at blanks and tabs.
std::vector<std::string> splitWords(const std::string& line);
// One or two hexadecimal digits, either case.
bool parseHexByte(const std::string& word, std::uint8_t& out);
// words[from..] as bytes; false at the first word that is not one.
bool parseHexBytes(const std::vector<std::string>& words, std::size_t from,
                   std::vector<std::uint8_t>& out);
bool parseDecimal(const std::string& word, long min, long max, long& out);
// "0A"; bytes separated by one blank.
std::string hexByte(std::uint8_t byte);
std::string hexBytes(const std::vector<std::uint8_t>& bytes);

}  // namespace sim
