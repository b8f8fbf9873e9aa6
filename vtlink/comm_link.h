#pragma once
// The lowest layer of the library: one serial port at the adapters' settings, single-byte
// reads that never wait, byte and block writes, modem lines. Knows nothing of frames.

#include <cstddef>
#include <cstdint>

#include "platform/serial_port.h"
#include "vtlink/log_recorder.h"

namespace vtlink {

class CommLink {
 public:
  explicit CommLink(LogRecorder& log);
  ~CommLink();

  // speed: the rate as text, e.g. "19200".
  bool open(std::uint8_t port, int rxQueueSize, int txQueueSize, const char* speed);
  void close();
  bool isOpen() const;

  // 1 when a byte was read, 0 when none was waiting or on error.
  int readByte(std::uint8_t* byte);
  void writeByte(std::uint8_t byte);
  void writeBlock(std::size_t length, const std::uint8_t* bytes);
  void writeText(const char* text);
  // Non-zero on success; 0 with no port open.
  int modemStatus(std::uint32_t* bits);

  // The underlying port, for tests that check DTR and RTS.
  const platform::SerialPort& port() const { return port_; }

 private:
  LogRecorder& log_;
  platform::SerialPort port_;
};

}  // namespace vtlink
