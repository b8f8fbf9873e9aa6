// Feeds arbitrary adapter frames, mixed with the application's requests, to an open link on
// the virtual clock. Whatever the adapter sends, the link must not read or write outside its
// buffers, and its record must stay consistent.
//
// Input: a sequence of [n][n bytes] chunks. n % 19 below 19 is an adapter frame of that many
// bytes (0: one tick with nothing sent); the byte after n = 19..31 picks a request instead.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "i2c_scripted_adapter.h"
#include "platform/clock.h"
#include "platform/loop.h"
#include "platform/vtloop.h"
#include "vtlink/vtlink.h"

namespace {

constexpr int kPort = 61;

void request(std::uint8_t which, std::uint8_t argument) {
  static const std::uint8_t data[40] = {0x00, 0x11, 0x13, 0x24, 0x5B};
  std::uint8_t sink[600];
  switch (which % 8) {
    case 0:
      I2CMasterTx(argument & 0x01 ? 0xFF : 0xA0, data, argument % 41, argument & 0x02);
      break;
    case 1:
      I2CMasterRx(argument & 0x01 ? 0xFF : 0xA0, argument, argument & 0x02);
      break;
    case 2:
      I2CMasterRxExt(0xA0, argument & 0x0F, 1, argument & 0x02);
      break;
    case 3:
      I2CMasterTxRx(0xA0, data, 1 + argument % 12, argument, 1);
      break;
    case 4:
      I2CSlaveTx(data, 1 + argument % 40);
      break;
    case 5:
      I2CGetMasterRxMsg(argument, sink);
      break;
    case 6:
      I2CGetSlaveRxMsg(argument, sink);
      break;
    default:
      I2CChangeSlaveAddress(argument & 0xFE);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  setenv("VANTOR_PORT_DIR", "/nonexistent", 1);
  platform::VirtualClock clock;
  vtlink_test::ScriptedAdapter adapter(kPort);
  const std::uint32_t window = VTLoopCreateWindow();
  I2CLinkRecord record{};
  record.ComPortNo = kPort;
  record.WmMsgNo = 1024;
  record.HostSlaveAddr = 0x70;
  record.MasterBitRate = 1;
  record.SlaveRxBufSize = 8;
  auto tick = [&] {
    clock.advance(50);
    adapter.pump();
  };
  I2CLinkRecord status{};
  if (I2COpen(window, 0, &record) == 0) {
    for (int i = 0; i < 100 && status.LinkStatus == 0; ++i) {
      tick();
      I2CGetStatus(&status);
    }
  }
  for (std::size_t at = 0; at < size;) {
    const std::size_t n = input[at++];
    if (n % 32 >= 19) {
      if (at < size) {
        request(static_cast<std::uint8_t>(n), input[at++]);
      }
      continue;
    }
    const std::size_t length = n % 32;
    if (length > 0 && at + length <= size) {
      adapter.sendFrame(vtlink_test::Bytes(input + at, input + at + length));
    }
    at += length;
    tick();
    I2CGetStatus(&status);
    if (status.MasterRxMsgSize > 512 || status.SlaveRxMsgSize > 8) {
      std::abort();
    }
  }
  I2CClose();
  platform::Loop& loop = platform::Loop::current();
  platform::Message message;
  while (loop.getMessage(message, 0)) {
  }
  loop.destroyWindow(window);
  return 0;
}
