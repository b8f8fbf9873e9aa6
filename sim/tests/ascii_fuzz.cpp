// libFuzzer target: no host input may crash the ASCII firmware, make it send a broken reply, or
// keep it from coming back after a reset.

#include <cstdio>
#include <cstdlib>

#include "sim/tests/ascii_garbage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem = sim::playGarbage(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
