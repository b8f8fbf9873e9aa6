#pragma once
// Arbitrary host bytes, line speeds and bus events thrown at the ASCII firmware, shared by the
// libFuzzer target and a seeded unit test.

#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

// Plays `data` at a firmware and then runs the host's three-speed reset and "/O\r". Returns
// an empty text when every transmission was one well-formed reply and the adapter came back,
// else what went wrong.
std::string playGarbage(const std::uint8_t* data, std::size_t n);

}  // namespace sim
