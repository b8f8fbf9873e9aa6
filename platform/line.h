#pragma once
// What a SerialPort talks through: a termios device or the host side of a MemoryPort. The
// port object keeps the settings and the remembered DTR/RTS state; a line only carries them out.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/serial_port.h"

namespace platform::detail {

class Line {
 public:
  virtual ~Line() = default;
  virtual Status apply(const LineSettings& settings) = 0;
  // Returns at once when `timeoutMs` is 0; -1 waits until a byte comes or the line fails.
  virtual ReadResult read(std::uint8_t* buf, std::size_t n, Millis timeoutMs) = 0;
  virtual Status write(const std::uint8_t* data, std::size_t n, Millis timeoutMs) = 0;
  virtual Status setModemLine(bool dtr, bool on) = 0;
  virtual Status modemStatus(std::uint32_t& bits) = 0;
  virtual Status close() = 0;
};

// Checks what both kinds of line must refuse alike.
Status validateSettings(const LineSettings& settings);
bool isStandardBaud(int baud);

std::unique_ptr<Line> openTermiosLine(const std::string& path, Status& status);
std::unique_ptr<Line> openMemoryLine(int portNumber, Status& status);  // null: none published

}  // namespace platform::detail
