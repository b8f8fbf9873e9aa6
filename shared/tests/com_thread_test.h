#pragma once
// The far side of a serial line for the reader tests: an in-process line or a pseudo-terminal.
// The same tests run over both.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace shared::testing {

class FarLine {
 public:
  virtual ~FarLine() = default;
  // Opens the host side as a program does.
  virtual platform::Status openHost(platform::SerialPort& port) = 0;
  // Bytes from the "adapter" to the host.
  virtual void send(const std::vector<std::uint8_t>& bytes) = 0;
};

enum class LineKind { Memory, Pty };
std::unique_ptr<FarLine> makeFarLine(LineKind kind);

// Threads of this process now (entries of /proc/self/task).
int threadCount();
// Threads of this process running below normal priority (nice > 0).
int niceThreadCount();

}  // namespace shared::testing
