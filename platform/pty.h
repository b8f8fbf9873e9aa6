#pragma once
// A pseudo-terminal pair for tests and the simulator. The master side is the "adapter"; the
// slave path is what a program opens as its serial port.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/status.h"

namespace platform {

class PseudoTerminal {
 public:
  PseudoTerminal();  // opens, grants and unlocks a pair; check status()
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const Status& status() const;
  int masterFd() const;
  const std::string& slavePath() const;

  // Keeps a descriptor of the slave side open (not locked) so the master never sees a hang-up
  // between clients.
  Status holdSlaveOpen();

  // Master side I/O. read waits up to `timeoutMs` of real time for the first byte and returns
  // what has arrived.
  std::vector<std::uint8_t> read(Millis timeoutMs);
  // Reads until `n` bytes arrived or `timeoutMs` passed.
  std::vector<std::uint8_t> readExactly(std::size_t n, Millis timeoutMs);
  Status write(const std::vector<std::uint8_t>& data);

  // The line speed the program on the slave side has set, in bit/s (0 if unknown).
  int slaveBaud() const;

 private:
  Status status_;
  int master_ = -1;
  int heldSlave_ = -1;
  std::string slavePath_;
};

}  // namespace platform
