#pragma once
// The data link: resets the adapter, establishes the link with the INIT handshake, frames,
// stuffs and checksums payloads, acknowledges with alternating symbols, chases missing
// acknowledgements with RACK and resends on NACK. A state machine driven by tick(), which a
// 50 ms timer on the opening thread's loop calls, and by the bytes its comm link reads.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/loop.h"
#include "vtlink/comm_link.h"
#include "vtlink/log_recorder.h"

namespace vtlink {

namespace dl {
// Link and receive status, and the events raised to the user.
inline constexpr std::uint16_t kIdle = 257;
inline constexpr std::uint16_t kBusy = 258;
inline constexpr std::uint16_t kConnected = 259;
inline constexpr std::uint16_t kOpenFailed = 260;
inline constexpr std::uint16_t kNotResponding = 261;
inline constexpr std::uint16_t kFrameAcked = 262;
inline constexpr std::uint16_t kFrameNotAcked = 263;
inline constexpr std::uint16_t kFrameReceived = 264;
// Results of the operations.
inline constexpr std::uint16_t kAlreadyConnected = 512;
inline constexpr std::uint16_t kInProgress = 513;
inline constexpr std::uint16_t kInvalidPort = 517;
inline constexpr std::uint16_t kPortOpenFailed = 518;
inline constexpr std::uint16_t kNoTimer = 520;
inline constexpr std::uint16_t kNotConnected = 528;
inline constexpr std::uint16_t kNoFrameToAck = 529;
inline constexpr std::uint16_t kPayloadTooLong = 530;

inline constexpr std::size_t kMaxPayload = 18;
inline constexpr platform::Millis kTickMs = 50;
}  // namespace dl

class DataLink {
 public:
  using EventCallback = std::function<void(std::uint32_t event)>;

  DataLink(LogRecorder& log, CommLink& comm);
  ~DataLink();  // closes
  DataLink(const DataLink&) = delete;
  DataLink& operator=(const DataLink&) = delete;

  // 0 or kInProgress, kAlreadyConnected, kInvalidPort, kPortOpenFailed, kNoTimer.
  std::uint16_t open(std::uint32_t window, std::uint8_t port, const char* speed,
                     EventCallback callback);
  // The payload must stay unchanged until the outcome event (262, 261 or 263).
  std::uint16_t sendFrame(std::size_t length, const std::uint8_t* payload);
  // Copies min(max, length) bytes of the present received frame; 0 when none is present.
  std::size_t fetchFrame(std::size_t max, std::uint8_t* destination) const;
  std::uint16_t acknowledgeFrame();
  void close();

  // One 50 ms step; the timer calls it, tests on the virtual clock get it through the timer.
  void tick();

  std::uint16_t linkStatus() const;
  std::uint16_t receiveStatus() const;
  bool connected() const;
  bool timerRunning() const;

 private:
  struct State;
  std::unique_ptr<State> s_;
};

// Wire encoding shared by sender and tests: SOF, the stuffed payload and checksum, EOF. `out`
// must hold 2 + 2 * (length + 1) bytes.
std::size_t encodeFrame(const std::uint8_t* payload, std::size_t length, std::uint8_t* out);

}  // namespace vtlink
