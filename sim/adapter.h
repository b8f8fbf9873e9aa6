#pragma once
// One simulated adapter: the bus with its devices, the firmware of the chosen model, the line
// faults, and the command interpreter through which tests and users drive the world around it
// (the other bus master, /INT, faults). The transports (memory_transport.h, pty_transport.h)
// carry its bytes and call poll() often.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "sim/bus.h"
#include "sim/firmware.h"
#include "sim/line_faults.h"
#include "sim/models.h"

namespace sim {

struct AdapterOptions {
  std::string model = "vantor";
  int firmwareVersion = 213;  // frame models only
  // The own slave address from power-on until the host sets one; unset: the model's default
  // (70 for the frame models, FE for the ASCII ones).
  std::optional<std::uint8_t> slaveAddress;
};

class Adapter {
 public:
  // How long after the host's bytes the adapter's answer leaves, without the slow fault.
  static constexpr platform::Millis kReplyLatencyMs = 2;

  // The model must exist (see findModel()).
  explicit Adapter(const AdapterOptions& options);
  ~Adapter();

  const ModelInfo& model() const { return model_; }
  Bus& bus() { return bus_; }
  Firmware& firmware() { return *firmware_; }
  LineFaults& lineFaults() { return faults_; }

  // Bytes the host wrote, at the line speed it uses.
  void fromHost(const std::uint8_t* data, std::size_t n, int hostBaud);
  // Moves the adapter's time on: the firmware's due work, then every answer that is due.
  void poll(platform::Millis now);
  // Where the adapter's bytes go; set by the transport.
  std::function<void(const std::vector<std::uint8_t>&)> toHost;

  // One command line (see the simulator's --help); returns its one-line result, which starts
  // with "ok" or "error:".
  std::string execute(const std::string& line);
  // Lines that report something later, on its own ("event read 70 01 02").
  std::function<void(const std::string&)> onNotice;
  bool quitRequested() const { return quit_; }

 private:
  struct Pending {
    platform::Millis due;
    std::vector<std::uint8_t> bytes;
  };

  std::string fault(const std::vector<std::string>& words);
  std::string faultList() const;
  std::string eeprom(const std::vector<std::string>& words);
  std::string ioPort(const std::vector<std::string>& words);
  void notice(const std::string& line) {
    if (onNotice) {
      onNotice(line);
    }
  }

  ModelInfo model_;
  Bus bus_;
  std::unique_ptr<Firmware> firmware_;
  LineFaults faults_;
  std::set<std::string> firmwareFaults_;  // held firmware faults, by name
  std::deque<Pending> output_;
  platform::Millis now_ = 0;
  std::uint8_t lastSlaveReadAddress_ = 0;
  bool quit_ = false;
};

}  // namespace sim
