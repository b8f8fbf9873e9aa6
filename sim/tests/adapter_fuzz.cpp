// libFuzzer target for what the simulator takes from outside: arbitrary host bytes to a frame
// adapter whose link is up (delivered a few at a time between passes of its time), and the
// same input as lines of its command language.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/adapter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::Adapter adapter(sim::AdapterOptions{});
  std::size_t sent = 0;
  adapter.toHost = [&sent](const std::vector<std::uint8_t>& bytes) { sent += bytes.size(); };
  platform::Millis now = 0;
  const std::uint8_t linkUp[] = {0x1B, 0x1B, 0x1B, '+', 'I'};
  adapter.fromHost(linkUp, sizeof linkUp, 19200);
  // A link open frame, so the slave side and every command are reachable.
  const std::uint8_t open[] = {0x5B, 0x01, 0x70, 0x00, 0x64, 0x01,
                               0x01, 0x01, 0x00, 0x40, 0xE8, 0x5D};
  adapter.fromHost(open, sizeof open, 19200);
  adapter.execute("read 70 20");

  for (std::size_t at = 0; at < size; at += 7) {
    const std::size_t n = size - at < 7 ? size - at : 7;
    adapter.fromHost(data + at, n, 19200);
    now += 300;
    adapter.poll(now);
  }
  std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) {
      end = text.size();
    }
    adapter.execute(text.substr(begin, end - begin));
    begin = end + 1;
  }
  adapter.poll(now + 60000);
  return 0;
}
