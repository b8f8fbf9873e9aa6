#pragma once
// The serial reader of an ASCII link: a background thread that reads the port one byte at a
// time and hands every byte, in arrival order, to the main thread by a synchronous call. It
// parses nothing and touches no program state; it only keeps blocking reads off the main
// thread.
//
// Lifecycle: created suspended on the main thread, Resume() starts it at below-normal
// priority, Halt() stops it for good. From the moment Halt() begins no byte reaches the main
// thread, and once Halt() has returned the reader no longer uses the port, so the caller may
// close it. A halted reader is never resumed; each open of a link makes a new one.

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "platform/loop.h"
#include "platform/serial_port.h"

namespace shared {

class TComThread {
 public:
  // Each read waits at most this long, so a silent adapter still wakes the reader ten times a
  // second and a halt never waits longer than one read.
  static constexpr platform::Millis kReadTimeoutMs = 100;
  // Pause after a failed read, so a port that keeps failing (an unplugged USB adapter) does not
  // spin a core until the program's watchdog closes it.
  static constexpr platform::Millis kFailedReadPauseMs = 10;

  // The program's adapter event entry: the byte in the low 8 bits, the high 8 bits 0.
  using ByteHandler = std::function<void(std::uint16_t)>;

  // Must be made on the thread whose loop receives the bytes (the main thread). The port must
  // stay open until Halt() has returned.
  TComThread(platform::SerialPort& port, ByteHandler onByte);
  // Halts.
  ~TComThread();
  TComThread(const TComThread&) = delete;
  TComThread& operator=(const TComThread&) = delete;

  void Resume();
  // Main thread only. Also safe from inside the byte handler (the close after "/CCC" runs
  // there): the reader is then parked in its hand-over and ends as soon as that returns.
  void Halt();

  bool running() const;  // resumed and not halted

 private:
  struct State;
  static void Execute(const std::shared_ptr<State>& state);
  static bool ReadOneByte(State& state);
  static void DeliverByte(State& state);

  std::shared_ptr<State> state_;
  std::thread thread_;
  bool resumed_ = false;
};

}  // namespace shared
