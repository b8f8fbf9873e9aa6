#include "sim/tests/ascii_garbage.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "sim/ascii_firmware.h"
#include "sim/bus.h"
#include "sim/devices.h"

namespace sim {

namespace {

constexpr std::size_t kChunk = 24;
constexpr int kSpeeds[] = {19200, 57600, 115200, 19200};
constexpr AsciiModel kModels[] = {AsciiModel::NX, AsciiModel::QX, AsciiModel::LX, AsciiModel::KX,
                                  AsciiModel::Dorrit};

// "*" alone, or a four-character token starting with "/", perhaps more, and one "\r" at the end.
bool wellFormed(std::string_view text) {
  if (text == "*") {
    return true;
  }
  return text.size() >= 5 && text.front() == '/' && text.back() == '\r' &&
         text.find('\r') == text.size() - 1;
}

}  // namespace

std::string playGarbage(const std::uint8_t* data, std::size_t n) {
  if (n == 0) {
    return "";
  }
  Bus bus;
  attachStandardDevices(bus);
  auto firmware = makeAsciiFirmware(kModels[data[0] % 5], bus);
  std::string problem;
  std::string last;
  firmware->send = [&](const std::vector<std::uint8_t>& bytes) {
    last.assign(bytes.begin(), bytes.end());
    if (problem.empty() && !wellFormed(last)) {
      problem = "malformed reply \"" + last + "\"";
    }
  };

  // Each chunk starts with a byte that picks the line speed and what else happens on the bus.
  bool interrupt = false;
  for (std::size_t at = 1; at < n; at += kChunk) {
    const std::uint8_t head = data[at];
    if (head & 0x04) {
      bus.otherMasterWrite(head & 0x08 ? 0x00 : 0xFE, {head});
    }
    if (head & 0x10) {
      bus.otherMasterRead(0xFE, 1 + (head >> 6));
    }
    if (head & 0x20) {
      interrupt = !interrupt;
      bus.setInterrupt(interrupt);
    }
    const std::size_t end = std::min(n, at + kChunk);
    firmware->receive(data + at + 1, end - at - 1, kSpeeds[head & 0x03]);
  }

  if (!problem.empty()) {
    return problem;
  }
  static constexpr std::uint8_t kReset[] = {0x12, 0x12, 0x12};
  for (int speed : {115200, 57600, 19200}) {
    firmware->receive(kReset, sizeof kReset, speed);
  }
  if (last != "*") {
    return "no prompt after the reset";
  }
  static constexpr std::uint8_t kOpen[] = {'/', 'O', '\r'};
  firmware->receive(kOpen, sizeof kOpen, 19200);
  return last == "/OCC\r" ? "" : "link does not open after the reset";
}

}  // namespace sim
