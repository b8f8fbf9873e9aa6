#pragma once
// An in-process serial line. While a MemoryPort is published as port n, SerialPort::open(n)
// opens the host side of this line instead of a device; the object itself is the far side,
// played by a test or the in-process simulator. Thread-safe, so a reader thread may use it.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/serial_port.h"

namespace platform {

class MemoryPort {
 public:
  // Publishes port n until the returned object is destroyed.
  static std::shared_ptr<MemoryPort> publish(int portNumber);
  ~MemoryPort();

  // Far side: bytes the host will read. There is no driver on this line: kXon and kXoff
  // reach the host as data whatever its settings, so tests can feed a layer bytes that a tty
  // would have taken for flow control.
  void write(const std::uint8_t* data, std::size_t n);
  void write(const std::vector<std::uint8_t>& data) { write(data.data(), data.size()); }
  // Far side: takes every byte the host has written so far.
  std::vector<std::uint8_t> read();

  // What the host did with its side.
  bool hostOpen() const;
  LineSettings hostSettings() const;
  bool dtr() const;
  bool rts() const;
  void setModemLines(std::uint32_t bits);

  int portNumber() const;

  struct Shared;  // state shared with the host-side SerialPort
  std::shared_ptr<Shared> shared() const;

 private:
  explicit MemoryPort(int portNumber);
  std::shared_ptr<Shared> shared_;
  int port_;
};

}  // namespace platform
