#pragma once
// The host's end of the frame line, written for these tests from the protocol's own rules
// (stuffed bytes, checksum, symbols), independently of the simulator's encoder.

#include <cstdint>
#include <string>
#include <vector>

namespace sim::test {

using Bytes = std::vector<std::uint8_t>;

inline bool stuffedOnTheWire(std::uint8_t b) {
  static const Bytes kStuffed = {0x11, 0x13, 0x1B, 0x24, 0x2B, 0x2D, 0x30,
                                 0x31, 0x49, 0x4E, 0x52, 0x5B, 0x5D};
  for (auto s : kStuffed) {
    if (s == b) {
      return true;
    }
  }
  return false;
}

// SOF, payload and checksum (stuffed), EOF.
inline Bytes hostFrame(const Bytes& payload) {
  Bytes out{0x5B};
  unsigned sum = 0;
  auto put = [&out](std::uint8_t b) {
    if (stuffedOnTheWire(b)) {
      out.push_back(0x24);
      out.push_back(static_cast<std::uint8_t>(b ^ 0xFF));
    } else {
      out.push_back(b);
    }
  };
  for (auto b : payload) {
    sum += b;
    put(b);
  }
  put(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
  out.push_back(0x5D);
  return out;
}

// What the adapter sent, split into symbols (in order, as characters) and good frames. A frame
// whose checksum fails is kept in `bad`.
struct AdapterOutput {
  std::string symbols;
  std::vector<Bytes> frames;
  int bad = 0;
  // Symbols and frames in arrival order: "I", "+", "[" for each frame.
  std::string sequence;
};

inline AdapterOutput splitAdapterOutput(const Bytes& line) {
  AdapterOutput out;
  bool inFrame = false;
  bool escape = false;
  Bytes body;
  for (std::uint8_t b : line) {
    if (b == 0x5B) {
      inFrame = true;
      escape = false;
      body.clear();
    } else if (b == 0x5D && inFrame) {
      inFrame = false;
      unsigned sum = 0;
      for (auto x : body) {
        sum += x;
      }
      if (body.size() >= 2 && (sum & 0xFF) == 0) {
        body.pop_back();
        out.frames.push_back(body);
        out.sequence += '[';
      } else {
        ++out.bad;
      }
    } else if (b == 0x24) {
      escape = true;
    } else if (b == 0x2B || b == 0x2D || b == 0x30 || b == 0x31 || b == 0x49 || b == 0x4E ||
               b == 0x52) {
      out.symbols += static_cast<char>(b);
      out.sequence += static_cast<char>(b);
    } else if (inFrame) {
      body.push_back(escape ? static_cast<std::uint8_t>(~b) : b);
      escape = false;
    }
  }
  return out;
}

}  // namespace sim::test
