// libFuzzer target for the receiving side of the data link: arbitrary adapter bytes, delivered a
// few at a time between ticks, to a link that has completed its handshake and acknowledges
// every frame it is given.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/clock.h"
#include "platform/loop.h"
#include "platform/memory_port.h"
#include "vtlink/comm_link.h"
#include "vtlink/data_link.h"
#include "vtlink/log_recorder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vtlink;
  platform::VirtualClock clock;
  auto adapter = platform::MemoryPort::publish(7);
  LogRecorder log;  // not opened: the log writes nothing
  CommLink comm(log);
  DataLink link(log, comm);
  link.open(0, 7, "19200", [&](std::uint32_t event) {
    if (event == dl::kFrameReceived) {
      std::uint8_t got[dl::kMaxPayload + 8];
      if (link.fetchFrame(sizeof got, got) > dl::kMaxPayload) {
        std::abort();
      }
      link.acknowledgeFrame();
    }
  });
  const std::uint8_t handshake[] = {'I', '+'};
  adapter->write(handshake, sizeof handshake);
  clock.advance(100);
  // The first byte of each chunk says how many bytes follow before the next tick.
  for (std::size_t i = 0; i < size;) {
    const std::size_t chunk = 1 + data[i++] % 24;
    const std::size_t n = chunk < size - i ? chunk : size - i;
    adapter->write(data + i, n);
    i += n;
    clock.advance(dl::kTickMs);
    adapter->read();
  }
  link.close();
  if (platform::Loop::current().timerCount() != 0) {
    std::abort();
  }
  return 0;
}
