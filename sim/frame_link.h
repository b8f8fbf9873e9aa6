#pragma once
// The adapter's side of the frame data link: it answers the reset sequence with INIT, checks,
// acknowledges or NACKs the host's frames, and sends its own frames one at a time, keeping each
// until the host acknowledges it. A frame the host leaves unacknowledged (slave data it has no
// room for yet) is chased with RACK and sent again, so it waits at the adapter, not at the host.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "sim/frame_codec.h"

namespace sim {

class FrameLink {
 public:
  // How long the adapter waits for the host's acknowledgement of its frame before it asks with
  // RACK; and how many such waits in a row with no answer at all make it give the host up.
  static constexpr platform::Millis kAckTimeoutMs = 1000;
  static constexpr int kSilentWaitsBeforeGivingUp = 10;

  std::function<void(const std::vector<std::uint8_t>&)> send;     // raw bytes to the host
  std::function<void(const std::vector<std::uint8_t>&)> onFrame;  // an accepted payload
  std::function<void()> onReset;                                  // the host's reset sequence

  void receive(const std::uint8_t* data, std::size_t n);
  void poll(platform::Millis now);

  // Sent when every earlier frame has been acknowledged.
  void queue(std::vector<std::uint8_t> payload);
  // Forgets every frame not yet acknowledged (link closed by the host, or given up).
  void dropQueue();
  std::size_t queued() const { return outgoing_.size(); }

  // True once the host's INIT has arrived: only then are its frames taken.
  bool hostLinked() const { return own_ != frame::kAckNone; }

  // Fault: answer the next frame (or every frame, while held) with the previous acknowledgement
  // symbol, as if it were a repeat of the last one, and do not take it.
  void staleAckNext() { staleOnce_ = true; }
  void holdStaleAck(bool on) { staleHeld_ = on; }
  bool staleAckHeld() const { return staleHeld_; }
  // Fault: acknowledge the next frame (or every frame, while held) twice, as two transmissions.
  void doubleAckNext() { doubleOnce_ = true; }
  void holdDoubleAck(bool on) { doubleHeld_ = on; }

 private:
  void takeByte(std::uint8_t byte);
  void endOfFrame();
  void acknowledgement(std::uint8_t symbol);
  void resetLink();
  void transmitHead();
  void sendSymbol(std::uint8_t symbol) { send({symbol}); }

  platform::Millis now_ = 0;

  // Receiver.
  int resetRun_ = 0;
  bool inFrame_ = false;
  bool escape_ = false;
  bool overflow_ = false;
  std::vector<std::uint8_t> stored_;  // payload plus checksum
  std::uint8_t sum_ = 0;

  // Acknowledgement symbols: ours, and the host's last one seen.
  std::uint8_t own_ = frame::kAckNone;
  std::optional<std::uint8_t> peer_;
  bool staleOnce_ = false;
  bool staleHeld_ = false;
  bool doubleOnce_ = false;
  bool doubleHeld_ = false;

  // Sender.
  std::deque<std::vector<std::uint8_t>> outgoing_;
  bool awaitingAck_ = false;
  std::optional<std::uint8_t> savedPeer_;
  platform::Millis deadline_ = 0;
  int silentWaits_ = 0;
};

}  // namespace sim
