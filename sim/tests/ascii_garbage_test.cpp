#include "sim/tests/ascii_garbage.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

namespace sim {
namespace {

// Mostly pieces of the protocol, so that commands, escapes and resets really occur, with some
// bytes of any value between them.
std::vector<std::uint8_t> protocolishBytes(std::mt19937& random, std::size_t n) {
  static constexpr std::string_view kPieces[] = {
      "/",   "*",    "~",    "\r", "\x12", "\x11", "\x13", "\n",  "0",   "1",   "2",   "4",   "9",
      "A",   "F",    "FE",   "A0", "/O",   "/C",   "/B1",  "/B2", "/K",  "/U",  "/N",  "/NA", "/I",
      "/G1", "/DA0", "/D40", "/T", "/*T",  "/R",   "/*R",  "/S",  "/F0", "/E0", "/A1", "R",   "T"};
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces));
  std::uniform_int_distribution<int> anyByte(0, 255);
  std::vector<std::uint8_t> bytes;
  while (bytes.size() < n) {
    const std::size_t k = piece(random);
    if (k == std::size(kPieces)) {
      bytes.push_back(static_cast<std::uint8_t>(anyByte(random)));
    } else {
      bytes.insert(bytes.end(), kPieces[k].begin(), kPieces[k].end());
    }
  }
  return bytes;
}

TEST(AsciiGarbage, AnyHostInputGetsWellFormedRepliesAndAResetBringsTheAdapterBack) {
  std::mt19937 random(20261211);
  for (int round = 0; round < 300; ++round) {
    const auto bytes = protocolishBytes(random, 600);
    const std::string problem = playGarbage(bytes.data(), bytes.size());
    ASSERT_EQ(problem, "") << "round " << round;
  }
}

}  // namespace
}  // namespace sim
