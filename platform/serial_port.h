#pragma once
// A serial port on termios, or on an in-process line published with MemoryPort. Opening is
// exclusive (TIOCEXCL and flock), so a second opener fails, root included.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/status.h"

namespace platform {

// Modem line bits in the values the programs and vtlink report.
inline constexpr std::uint32_t kModemCts = 0x10;
inline constexpr std::uint32_t kModemDsr = 0x20;
inline constexpr std::uint32_t kModemRing = 0x40;
inline constexpr std::uint32_t kModemRlsd = 0x80;

inline constexpr std::uint8_t kXon = 0x11;
inline constexpr std::uint8_t kXoff = 0x13;

struct LineSettings {
  int baud = 19200;  // a standard rate; others are refused with EINVAL
  int dataBits = 8;
  char parity = 'n';  // 'n', 'e' or 'o'
  int stopBits = 1;
  bool xonXoff = true;  // in both directions, with kXon / kXoff
  bool dtr = true;      // asserted after open
  bool rts = true;
  // termios cannot express these; they are kept so callers can log what they asked for.
  int xonLimit = 0;
  int xoffLimit = 0;
  bool txContinueOnXoff = false;
};

struct ReadResult {
  Status status;
  std::size_t count = 0;  // bytes read; 0 with an ok status means none waiting / time-out
};

class SerialPort {
 public:
  SerialPort();
  ~SerialPort();  // closes
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Port n by the port-number rule (see port_names.h), or a published MemoryPort.
  Status open(int portNumber, const LineSettings& settings);
  Status openPath(const std::string& path, const LineSettings& settings);
  bool isOpen() const;
  Status close();

  Status setBaud(int baud);
  const LineSettings& settings() const;

  // Returns at once with what has arrived, up to `n` bytes.
  ReadResult readNonBlocking(std::uint8_t* buf, std::size_t n);
  // Waits up to `timeoutMs` of real time for at least one byte (-1: until one comes).
  ReadResult readTimeout(std::uint8_t* buf, std::size_t n, Millis timeoutMs);
  // Writes everything; `timeoutMs` -1 waits as long as the driver needs.
  Status write(const std::uint8_t* data, std::size_t n, Millis timeoutMs = -1);

  Status setDtr(bool on);
  Status setRts(bool on);
  // Last state set through setDtr/setRts (pseudo-terminals have no modem lines of their own).
  bool dtr() const;
  bool rts() const;
  Status modemStatus(std::uint32_t& bits);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
