#pragma once
// Plays the adapter on an in-memory serial line for the library's tests: answers the reset and
// INIT, acknowledges every data frame with alternating symbols, answers the link open frame,
// and sends the adapter frames a test asks for. Framing is written here from the wire rules,
// not borrowed from the library, so a test that passes means two readings agree.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/memory_port.h"

namespace vtlink_test {

using Bytes = std::vector<std::uint8_t>;

// SOF, stuffed payload, stuffed checksum, EOF.
Bytes encodeAdapterFrame(const Bytes& payload);

class ScriptedAdapter {
 public:
  explicit ScriptedAdapter(int port);

  // Takes what the host wrote and answers it. The test fixture calls this after every tick.
  void pump();

  // Adapter frames and raw symbols towards the host.
  void sendFrame(const Bytes& payload);
  void sendRaw(const Bytes& bytes);

  // Command frames the host sent (decoded payloads), in order, and taking them clears them.
  std::vector<Bytes> takeCommands();
  const std::vector<Bytes>& commands() const { return commands_; }
  // Acknowledgement symbols the host sent for the adapter's frames.
  int hostAcks() const { return hostAcks_; }
  int resetsSeen() const { return resets_; }
  bool hostOpen() const { return port_->hostOpen(); }
  platform::MemoryPort& port() { return *port_; }

  // Firmware version reported in the link open reply, times 100.
  unsigned firmware = 200;
  // Acknowledge the host's data frames (off: the host's frame stays unacknowledged).
  bool acknowledgeFrames = true;
  // Answer the link open frame with the link open reply.
  bool answerLinkOpen = true;
  // Read nothing and answer nothing, like an adapter that is switched off.
  bool silent = false;
  // Called for every command frame after it was acknowledged.
  std::function<void(const Bytes&)> onCommand;

 private:
  void onHostByte(std::uint8_t byte);
  void onHostFrame();
  void acknowledge();

  std::shared_ptr<platform::MemoryPort> port_;
  std::vector<Bytes> commands_;
  std::uint8_t ownSymbol_ = '-';
  int escapes_ = 0;
  int resets_ = 0;
  int hostAcks_ = 0;
  bool inFrame_ = false;
  bool escaped_ = false;
  Bytes frame_;
};

}  // namespace vtlink_test
