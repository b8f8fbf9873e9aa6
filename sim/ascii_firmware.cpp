#include "sim/ascii_firmware.h"

#include <deque>
#include <string_view>
#include <utility>

#include "sim/ascii_models.h"
#include "sim/ascii_text.h"

namespace sim {

namespace {

constexpr std::uint8_t kDc2 = 0x12;
constexpr std::uint8_t kXon = 0x11;
constexpr std::uint8_t kXoff = 0x13;

constexpr int kResetBaud = 19200;
// Long enough for the longest command host software builds (2000 characters); a longer line
// has outrun the adapter's input buffer.
constexpr std::size_t kLineCapacity = 4096;
constexpr unsigned kMaxReadCount = 1024;
constexpr unsigned kMaxInactivityMs = 32767;

constexpr std::string_view kPrompt = "*";
constexpr std::string_view kOpenComplete = "/OCC\r";
constexpr std::string_view kCloseComplete = "/CCC\r";
constexpr std::string_view kTransmitComplete = "/MTC\r";
constexpr std::string_view kSlaveTransmitComplete = "/STC\r";
constexpr std::string_view kSlaveTransmitRequest = "/STR\r";
constexpr std::string_view kNotAcknowledged = "/SNA\r";
constexpr std::string_view kBusy = "/I81\r";
constexpr std::string_view kArbitrationLost = "/I83\r";
constexpr std::string_view kBusError = "/I84\r";
constexpr std::string_view kBusTimeout = "/I85\r";
constexpr std::string_view kLinkNotOpen = "/I88\r";
constexpr std::string_view kBadArgument = "/I89\r";
constexpr std::string_view kNoSlaveRequest = "/I8A\r";
constexpr std::string_view kBadCommand = "/I8F\r";
constexpr std::string_view kInputOverflow = "/I90\r";
constexpr std::string_view kInterruptAsserted = "/NSA\r";
constexpr std::string_view kInterruptReleased = "/NSR\r";

std::string_view failureReply(BusOutcome outcome) {
  switch (outcome) {
    case BusOutcome::Ok:
      break;
    case BusOutcome::AddressNack:
    case BusOutcome::DataNack:
      return kNotAcknowledged;
    case BusOutcome::ArbitrationLost:
      return kArbitrationLost;
    case BusOutcome::BusError:
      return kBusError;
    case BusOutcome::Timeout:
      return kBusTimeout;
    case BusOutcome::Busy:
      return kBusy;
  }
  return kBusError;
}

// A switch that is set for the next use only, or held until cleared.
struct FaultSwitch {
  bool once = false;
  bool held = false;

  bool take() {
    const bool fired = once || held;
    once = false;
    return fired;
  }
  bool set(const std::vector<std::string>& words) {
    if (words.size() == 2) {
      once = true;
    } else if (words[2] == "on") {
      held = true;
    } else if (words[2] == "off") {
      once = held = false;
    } else {
      return false;
    }
    return true;
  }
};

class AsciiFirmware : public Firmware, private OwnSlave {
 public:
  AsciiFirmware(AsciiModel model, Bus& bus, std::uint8_t ownAddress)
      : traits_(traitsOf(model)),
        bus_(bus),
        defaultOwnAddress_(ownAddress),
        ownAddress_(ownAddress) {
    bus_.setOwnSlave(this);
    bus_.onInterruptChange = [this](bool asserted) {
      externalInterrupt_ = asserted;
      interruptLineChanged();
    };
    externalInterrupt_ = bus_.interrupt();
    lineLevel_ = externalInterrupt_;
  }

  ~AsciiFirmware() override {
    bus_.setOwnSlave(nullptr);
    bus_.onInterruptChange = nullptr;
  }

  void receive(const std::uint8_t* data, std::size_t n, int hostBaud) override {
    hostBaud_ = hostBaud;
    for (std::size_t i = 0; i < n; ++i) {
      // Checked per byte: a baud command in the middle of a write changes what follows it.
      if (hostBaud != baud_) {
        noiseReceived();
      } else {
        take(data[i]);
      }
    }
    flush();
  }

  // Only the input overflow is the firmware's own; busy, slowness and the rest are faults of
  // the bus and the line, which the engine applies.
  bool command(const std::vector<std::string>& words) override {
    if (words.size() < 2 || words.size() > 3 || words[0] != "fault" || words[1] != "overflow") {
      return false;
    }
    return overflowFault_.set(words);
  }

 private:
  // ---- bytes from the host ----

  void take(std::uint8_t byte) {
    // Flow control is handled by the UART and never reaches the command line.
    if (byte == kXoff || byte == kXon) {
      outputHeld_ = byte == kXoff;
      return;
    }
    if (byte == kDc2) {
      if (++dc2Run_ == 3) {
        reset();
      }
      return;
    }
    dc2Run_ = 0;
    if (byte == '\n') {
      return;
    }
    if (byte == '\r') {
      std::string line;
      line.swap(line_);
      const bool lost = lineOverflowed_;
      lineOverflowed_ = false;
      if (lost || (!line.empty() && overflowFault_.take())) {
        reply(kInputOverflow);
      } else {
        execute(line);
      }
      return;
    }
    if (line_.size() < kLineCapacity) {
      line_ += static_cast<char>(byte);
    } else {
      lineOverflowed_ = true;
    }
  }

  // A byte at the wrong line speed arrives as garbage and spoils the line it falls into.
  void noiseReceived() {
    line_.clear();
    lineOverflowed_ = false;
    dc2Run_ = 0;
  }

  void reset() {
    closeLink();
    baud_ = kResetBaud;
    monitor_ = false;
    ownDrive_ = false;
    lineLevel_ = externalInterrupt_;
    ownAddress_ = defaultOwnAddress_;
    generalCall_ = false;
    destination_.reset();
    line_.clear();
    lineOverflowed_ = false;
    dc2Run_ = 0;
    pending_.clear();
    outputHeld_ = false;
    reply(kPrompt);
  }

  // ---- commands ----

  void execute(std::string_view line) {
    if (line.empty()) {
      return;
    }
    if (line[0] != '/' || line.size() < 2) {
      reply(kBadCommand);
      return;
    }
    const bool noStop = line[1] == '*';
    const std::string_view body = line.substr(noStop ? 2 : 1);
    const char letter = body.empty() ? '\0' : body[0];
    const std::string_view arg = body.empty() ? body : body.substr(1);
    if (noStop && letter != 'T' && letter != 'R') {
      reply(kBadCommand);
      return;
    }
    reply(dispatch(letter, arg));
  }

  std::string dispatch(char letter, std::string_view arg) {
    switch (letter) {
      case 'O':
        return openCommand(arg);
      case 'C':
        return closeCommand(arg);
      case 'B':
        return traits_.baudCommands ? setBaud(arg) : std::string(kBadCommand);
      case 'F':
      case 'E':
        return isSwitch(arg) ? "" : std::string(kBadArgument);
      case 'A':
        if (!traits_.setupCommands) {
          return std::string(kBadCommand);
        }
        return isSwitch(arg) ? "" : std::string(kBadArgument);
      case 'K':
        return checkClock(arg);
      case 'U':
        return checkInactivityTimeout(arg);
      case 'N':
        return interruptCommand(arg);
      case 'I':
        return setOwnAddress(arg);
      case 'G':
        if (!isSwitch(arg)) {
          return std::string(kBadArgument);
        }
        generalCall_ = arg == "1";
        return "";
      case 'D':
        return setDestination(arg);
      case 'T':
        return masterTransmit(arg);
      case 'R':
        return masterReceive(arg);
      case 'S':
        return slaveTransmit(arg);
      default:
        return std::string(kBadCommand);
    }
  }

  static bool isSwitch(std::string_view arg) { return arg == "0" || arg == "1"; }

  std::string openCommand(std::string_view arg) {
    if (!arg.empty()) {
      return std::string(kBadArgument);
    }
    open_ = true;
    return std::string(kOpenComplete);
  }

  std::string closeCommand(std::string_view arg) {
    if (!arg.empty()) {
      return std::string(kBadArgument);
    }
    closeLink();
    return std::string(kCloseComplete);
  }

  void closeLink() {
    open_ = false;
    // A master still reading the adapter gets the idle (high) line for the rest of its bytes.
    if (slaveRequest_) {
      bus_.serveSlaveRead(std::vector<std::uint8_t>(*slaveRequest_, 0xFF));
      slaveRequest_.reset();
    }
  }

  // The confirmation goes out at the old speed; everything after it uses the new one.
  std::string setBaud(std::string_view arg) {
    static constexpr int kRates[] = {19200, 57600, 115200};
    auto index = parseDecimal(arg, 2);
    if (!index || arg.size() != 1) {
      return std::string(kBadArgument);
    }
    reply("/BC" + std::string(arg) + "\r");
    baud_ = kRates[*index];
    return "";
  }

  // The simulated bus runs at any clock and has no idle time-out: only the arguments count.
  std::string checkClock(std::string_view arg) {
    if (!traits_.setupCommands) {
      return std::string(kBadCommand);
    }
    auto digit = parseDecimal(arg, 4);
    if (!digit || arg.size() != 1 || !traits_.clocks[*digit]) {
      return std::string(kBadArgument);
    }
    return "";
  }

  std::string checkInactivityTimeout(std::string_view arg) {
    if (!traits_.setupCommands) {
      return std::string(kBadCommand);
    }
    return parseDecimal(arg, kMaxInactivityMs) ? "" : std::string(kBadArgument);
  }

  std::string interruptCommand(std::string_view arg) {
    if (arg == "0" || arg == "1") {
      if (!traits_.monitorCommands) {
        return std::string(kBadCommand);
      }
      monitor_ = arg == "1";
      return "";
    }
    if (arg == "A" || arg == "R") {
      if (!traits_.interruptOutput) {
        return std::string(kBadCommand);
      }
      ownDrive_ = arg == "A";
      interruptLineChanged();
      return "";
    }
    return std::string(traits_.monitorCommands ? kBadArgument : kBadCommand);
  }

  static std::optional<std::uint8_t> evenAddress(std::string_view arg) {
    auto address = parseHexByte(arg);
    if (!address || (*address & 0x01) != 0) {
      return std::nullopt;
    }
    return address;
  }

  std::string setOwnAddress(std::string_view arg) {
    auto address = evenAddress(arg);
    if (!address) {
      return std::string(kBadArgument);
    }
    ownAddress_ = *address;
    return "";
  }

  std::string setDestination(std::string_view arg) {
    auto address = evenAddress(arg);
    if (!address) {
      return std::string(kBadArgument);
    }
    destination_ = *address;
    return "";
  }

  // The bus has no separate repeated start: a transfer without a stop simply leaves the next
  // one to follow, which is all the simulated devices can tell apart.
  std::string masterTransmit(std::string_view arg) {
    if (!open_) {
      return std::string(kLinkNotOpen);
    }
    auto data = parseDataText(arg);
    if (!data || !destination_) {
      return std::string(kBadArgument);
    }
    const BusResult result = bus_.masterWrite(*destination_, *data);
    if (result.outcome != BusOutcome::Ok) {
      return std::string(failureReply(result.outcome));
    }
    return std::string(kTransmitComplete);
  }

  // A count of 0 reads a length byte first and then as many bytes as it announces.
  std::string masterReceive(std::string_view arg) {
    if (!open_) {
      return std::string(kLinkNotOpen);
    }
    auto count = parseDecimal(arg, kMaxReadCount);
    if (!count || !destination_) {
      return std::string(kBadArgument);
    }
    BusResult result = bus_.masterRead(*destination_, *count == 0 ? 1 : *count);
    if (result.outcome == BusOutcome::Ok && *count == 0 && result.data.at(0) > 0) {
      BusResult rest = bus_.masterRead(*destination_, result.data[0]);
      result.outcome = rest.outcome;
      result.data.insert(result.data.end(), rest.data.begin(), rest.data.end());
    }
    if (result.outcome != BusOutcome::Ok) {
      return std::string(failureReply(result.outcome));
    }
    return bytesReply("/MRC", result.data);
  }

  // Bytes the host supplies beyond the request are never clocked out; missing ones read as
  // the idle line.
  std::string slaveTransmit(std::string_view arg) {
    if (!open_) {
      return std::string(kLinkNotOpen);
    }
    auto data = parseDataText(arg);
    if (!data || data->empty()) {
      return std::string(kBadArgument);
    }
    if (!slaveRequest_) {
      return std::string(kNoSlaveRequest);
    }
    data->resize(*slaveRequest_, 0xFF);
    slaveRequest_.reset();
    bus_.serveSlaveRead(*data);
    return std::string(kSlaveTransmitComplete);
  }

  // ---- the adapter's slave side and /INT ----

  bool respondsTo(std::uint8_t address) const override {
    return open_ && (address == ownAddress_ || (generalCall_ && address == 0x00));
  }

  void slaveReceived(const std::vector<std::uint8_t>& data, bool generalCall) override {
    reply(bytesReply(generalCall ? "/GRC" : "/SRC", data));
    flush();
  }

  void slaveReadRequested(std::size_t n) override {
    slaveRequest_ = n;
    reply(kSlaveTransmitRequest);
    flush();
  }

  // /INT is one open-drain line: low while the adapter or anything else on it pulls it low.
  void interruptLineChanged() {
    const bool level = ownDrive_ || externalInterrupt_;
    if (level == lineLevel_) {
      return;
    }
    lineLevel_ = level;
    if (monitor_ && traits_.interruptInput) {
      reply(level ? kInterruptAsserted : kInterruptReleased);
      flush();
    }
  }

  // ---- bytes to the host ----

  // What the adapter sends at a speed the host is not listening at is lost.
  void reply(std::string_view text) {
    if (text.empty() || hostBaud_ != baud_) {
      return;
    }
    pending_.emplace_back(text.begin(), text.end());
  }

  void flush() {
    if (flushing_) {
      return;  // a host answering from inside send() must not reorder replies
    }
    flushing_ = true;
    while (!outputHeld_ && !pending_.empty()) {
      std::vector<std::uint8_t> bytes = std::move(pending_.front());
      pending_.pop_front();
      if (send) {
        send(bytes);
      }
    }
    flushing_ = false;
  }

  const AsciiModelTraits& traits_;
  Bus& bus_;

  int hostBaud_ = 0;
  int baud_ = kResetBaud;
  std::string line_;
  bool lineOverflowed_ = false;
  int dc2Run_ = 0;

  bool open_ = false;
  const std::uint8_t defaultOwnAddress_;
  std::uint8_t ownAddress_;
  bool generalCall_ = false;
  std::optional<std::uint8_t> destination_;
  std::optional<std::size_t> slaveRequest_;

  bool monitor_ = false;
  bool ownDrive_ = false;
  bool externalInterrupt_ = false;
  bool lineLevel_ = false;

  FaultSwitch overflowFault_;

  std::deque<std::vector<std::uint8_t>> pending_;
  bool outputHeld_ = false;
  bool flushing_ = false;
};

}  // namespace

std::optional<AsciiModel> asciiModelFromName(const std::string& name) {
  for (AsciiModel model :
       {AsciiModel::NX, AsciiModel::QX, AsciiModel::LX, AsciiModel::KX, AsciiModel::Dorrit}) {
    if (name == traitsOf(model).name) {
      return model;
    }
  }
  return std::nullopt;
}

std::unique_ptr<Firmware> makeAsciiFirmware(AsciiModel model, Bus& bus, std::uint8_t ownAddress) {
  return std::make_unique<AsciiFirmware>(model, bus, ownAddress);
}

}  // namespace sim
