#include "sim/frame_firmware.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "sim/frame_link.h"

namespace sim {

namespace {

// Command frames from the host.
enum Command : std::uint8_t {
  kLinkOpen = 0x01,
  kTxFirst = 0x11,
  kTxMore = 0x12,
  kTxFirstNoStop = 0x15,
  kRx = 0x21,
  kRxNackControl = 0x23,
  kTxRxStop = 0x24,
  kTxRxNoStop = 0x25,
  kSlaveTxData = 0x43,
  kLinkClose = 0x51,
  kChangeAddress = 0x61,
  kChangeGeneralCall = 0x71,
};

// Frames of the adapter.
enum Reply : std::uint8_t {
  kLinkOpenReply = 0x02,
  kTxRequest = 0x13,
  kTxComplete = 0x14,
  kRxData = 0x22,
  kSlaveRxData = 0x31,
  kSlaveRxLast = 0x32,
  kSlaveTxStart = 0x41,
  kSlaveTxMore = 0x42,
  kAddressChanged = 0x62,
  kGeneralCallChanged = 0x72,
  kBusy = 0x81,
  kSlaveNack = 0x82,
  kArbitrationLost = 0x83,
  kBusError = 0x84,
  kBusTimeout = 0x85,
  kLogText = 0x86,
};

constexpr std::size_t kBlock = 16;        // data bytes per frame in either direction
constexpr std::uint8_t kContinue = 0xFF;  // receive address meaning "go on with the last one"
constexpr std::size_t kLogTextMax = frame::kMaxPayload - 1;

std::uint8_t errorFrame(BusOutcome outcome) {
  switch (outcome) {
    case BusOutcome::Busy:
      return kBusy;
    case BusOutcome::ArbitrationLost:
      return kArbitrationLost;
    case BusOutcome::BusError:
      return kBusError;
    case BusOutcome::Timeout:
      return kBusTimeout;
    case BusOutcome::AddressNack:
    case BusOutcome::DataNack:
    case BusOutcome::Ok:
      break;
  }
  return kSlaveNack;
}

class FrameFirmware : public Firmware, public OwnSlave {
 public:
  FrameFirmware(Bus& bus, const FrameFirmwareOptions& options)
      : bus_(bus), version_(options.version), slaveAddress_(options.slaveAddress) {
    link_.send = [this](const std::vector<std::uint8_t>& bytes) {
      if (send) {
        send(bytes);
      }
    };
    link_.onFrame = [this](const std::vector<std::uint8_t>& payload) { handle(payload); };
    link_.onReset = [this] { closeI2cLink(); };
    bus_.setOwnSlave(this);
  }
  ~FrameFirmware() override { bus_.setOwnSlave(nullptr); }

  void receive(const std::uint8_t* data, std::size_t n, int hostBaud) override {
    if (hostBaud != kFrameLineBaud) {
      return;  // at another speed the adapter's UART sees only framing errors
    }
    link_.receive(data, n);
  }

  void poll(platform::Millis now) override { link_.poll(now); }

  bool command(const std::vector<std::string>& words) override;

  // The adapter's slave side, active while the host has the I2C link open.
  bool respondsTo(std::uint8_t address) const override {
    if (!linkOpen_) {
      return false;
    }
    return address == slaveAddress_ || (address == 0x00 && generalCall_);
  }
  void slaveReceived(const std::vector<std::uint8_t>& data, bool generalCall) override;
  void slaveReadRequested(std::size_t n) override;

 private:
  void handle(const std::vector<std::uint8_t>& frame);
  void linkOpen(const std::vector<std::uint8_t>& frame);
  void transmitFirst(const std::vector<std::uint8_t>& frame);
  void transmitMore(const std::vector<std::uint8_t>& frame);
  void receiveCommand(const std::vector<std::uint8_t>& frame);
  void transmitReceive(const std::vector<std::uint8_t>& frame);
  void slaveTransmitData(const std::vector<std::uint8_t>& frame);
  void masterRead(std::uint8_t address, std::size_t length, bool stop);
  void endTransmitBlock(const BusResult& result, std::size_t blockLength, bool last);
  void closeI2cLink();
  void endMasterMessage() {
    openWrite_.reset();
    openRead_.reset();
  }
  bool supportsVersion2() const { return version_ >= 200; }
  void reply(std::vector<std::uint8_t> frame) { link_.queue(std::move(frame)); }
  void replyError(BusOutcome outcome) {
    endMasterMessage();
    reply({errorFrame(outcome)});
  }
  void logText(const std::string& text);
  void unsupported(std::uint8_t type);

  Bus& bus_;
  FrameLink link_;
  int version_;
  std::uint8_t slaveAddress_;
  bool generalCall_ = false;
  bool linkOpen_ = false;

  // A master message whose stop is still outstanding: the bus stays held for more blocks or a
  // continued receive.
  std::optional<std::uint8_t> openWrite_;
  std::optional<std::uint8_t> openRead_;
  // The other master is reading the adapter's slave side and the adapter stretches the clock
  // until the host supplies data; master requests meanwhile are refused as busy.
  bool slaveTransmitting_ = false;
};

void FrameFirmware::handle(const std::vector<std::uint8_t>& frame) {
  const std::uint8_t type = frame[0];
  const bool masterRequest = type == kTxFirst || type == kTxMore || type == kTxFirstNoStop ||
                             type == kRx || type == kRxNackControl || type == kTxRxStop ||
                             type == kTxRxNoStop;
  if (masterRequest && slaveTransmitting_) {
    reply({kBusy});
    return;
  }
  switch (type) {
    case kLinkOpen:
      linkOpen(frame);
      return;
    case kTxFirst:
      transmitFirst(frame);
      return;
    case kTxFirstNoStop:
      if (!supportsVersion2()) {
        break;
      }
      transmitFirst(frame);
      return;
    case kTxMore:
      transmitMore(frame);
      return;
    case kRx:
    case kRxNackControl:
      if (type == kRxNackControl && !supportsVersion2()) {
        break;
      }
      receiveCommand(frame);
      return;
    case kTxRxStop:
    case kTxRxNoStop:
      if (!supportsVersion2()) {
        break;
      }
      transmitReceive(frame);
      return;
    case kSlaveTxData:
      slaveTransmitData(frame);
      return;
    case kLinkClose:
      closeI2cLink();
      link_.dropQueue();  // the host closes its port at once; nothing more will be taken
      return;
    case kChangeAddress:
      if (frame.size() >= 2) {
        slaveAddress_ = frame[1] & 0xFE;
        reply({kAddressChanged});
        return;
      }
      break;
    case kChangeGeneralCall:
      if (frame.size() >= 2) {
        generalCall_ = frame[1] != 0;
        reply({kGeneralCallChanged});
        return;
      }
      break;
    default:
      break;
  }
  unsupported(type);
}

void FrameFirmware::unsupported(std::uint8_t type) {
  char text[32];
  std::snprintf(text, sizeof text, "Unknown Cmd %02X", type);
  logText(text);
}

void FrameFirmware::logText(const std::string& text) {
  std::vector<std::uint8_t> frame{kLogText};
  frame.insert(frame.end(), text.begin(), text.begin() + std::min(text.size(), kLogTextMax));
  reply(std::move(frame));
}

void FrameFirmware::linkOpen(const std::vector<std::uint8_t>& frame) {
  if (frame.size() < 9) {
    logText("Short Link Open Frame");
    return;
  }
  closeI2cLink();  // a new open starts from a released bus
  // Of the open parameters only the slave ones matter on the simulated bus: it has no clock
  // rate, never stalls long enough for the bus time-out, and the host trims its own buffer.
  slaveAddress_ = frame[1] & 0xFE;
  generalCall_ = frame[5] != 0;
  linkOpen_ = true;
  reply({kLinkOpenReply, static_cast<std::uint8_t>(version_ >> 8),
         static_cast<std::uint8_t>(version_ & 0xFF)});
}

void FrameFirmware::closeI2cLink() {
  linkOpen_ = false;
  slaveTransmitting_ = false;
  if (bus_.slaveReadOutstanding() > 0) {
    bus_.serveSlaveRead(std::vector<std::uint8_t>(bus_.slaveReadOutstanding(), 0xFF));
  }
  endMasterMessage();
}

// First block: 0x11 or 0x15, the address (bit 0: stop after this block), up to 16 bytes.
void FrameFirmware::transmitFirst(const std::vector<std::uint8_t>& frame) {
  if (frame.size() < 2) {
    unsupported(frame[0]);
    return;
  }
  const std::uint8_t address = frame[1] & 0xFE;
  const bool last = (frame[1] & 0x01) != 0;
  const std::vector<std::uint8_t> block(frame.begin() + 2, frame.end());
  endMasterMessage();  // a new start ends (as a repeated start) whatever was held
  const BusResult result = bus_.masterWrite(address, block);
  openWrite_ = address;
  endTransmitBlock(result, block.size(), last);
}

// Further block: 0x12, 1 when the stop follows this block, up to 16 bytes.
void FrameFirmware::transmitMore(const std::vector<std::uint8_t>& frame) {
  if (frame.size() < 2) {
    unsupported(frame[0]);
    return;
  }
  if (!openWrite_) {
    replyError(BusOutcome::BusError);  // no message is held that these bytes could continue
    return;
  }
  const bool last = frame[1] != 0;
  const std::vector<std::uint8_t> block(frame.begin() + 2, frame.end());
  const BusResult result = bus_.masterWriteMore(*openWrite_, block);
  endTransmitBlock(result, block.size(), last);
}

void FrameFirmware::endTransmitBlock(const BusResult& result, std::size_t blockLength, bool last) {
  if (result.outcome != BusOutcome::Ok) {
    replyError(result.outcome);
    return;
  }
  if (last) {
    endMasterMessage();
    reply({kTxComplete, static_cast<std::uint8_t>(blockLength)});
    return;
  }
  // Without a stop the adapter cannot tell the last block from the others, so it asks for more;
  // the host treats the request as completion when it has nothing left. The byte is 0 so that
  // such a completion adds nothing to the host's count: the block was counted already.
  reply({kTxRequest, 0x00});
}

// 0x21: address, length (2 bytes), stop. 0x23: address, length, Nack, stop.
void FrameFirmware::receiveCommand(const std::vector<std::uint8_t>& frame) {
  const std::size_t need = frame[0] == kRx ? 5 : 6;
  if (frame.size() < need) {
    unsupported(frame[0]);
    return;
  }
  const std::size_t length = static_cast<std::size_t>(frame[2] << 8 | frame[3]);
  const bool stop = frame[need - 1] != 0;
  std::uint8_t address = frame[1];
  if (address == kContinue) {
    if (!openRead_) {
      replyError(BusOutcome::BusError);
      return;
    }
    address = *openRead_;
  } else {
    address &= 0xFE;
  }
  masterRead(address, length, stop);
}

// 0x24 (address with bit 0 set) or 0x25: address, receive length (2 bytes), 1..12 bytes.
void FrameFirmware::transmitReceive(const std::vector<std::uint8_t>& frame) {
  if (frame.size() < 5) {
    unsupported(frame[0]);
    return;
  }
  const std::uint8_t address = frame[1] & 0xFE;
  const std::size_t length = static_cast<std::size_t>(frame[2] << 8 | frame[3]);
  const bool stop = frame[0] == kTxRxStop;
  const std::vector<std::uint8_t> data(frame.begin() + 4, frame.end());
  endMasterMessage();
  const BusResult written = bus_.masterWrite(address, data);
  if (written.outcome != BusOutcome::Ok) {
    replyError(written.outcome);
    return;
  }
  masterRead(address, length, stop);  // after a repeated start
}

// A length of 0 is a block read: the slave's first byte tells how many follow.
void FrameFirmware::masterRead(std::uint8_t address, std::size_t length, bool stop) {
  endMasterMessage();
  BusResult result = bus_.masterRead(address, length == 0 ? 1 : length);
  if (result.outcome != BusOutcome::Ok) {
    replyError(result.outcome);
    return;
  }
  std::vector<std::uint8_t> data = std::move(result.data);
  if (length == 0 && data[0] > 0) {
    BusResult rest = bus_.masterRead(address, data[0]);
    if (rest.outcome != BusOutcome::Ok) {
      replyError(rest.outcome);
      return;
    }
    data.insert(data.end(), rest.data.begin(), rest.data.end());
  }
  for (std::size_t at = 0; at < data.size(); at += kBlock) {
    std::vector<std::uint8_t> frame{kRxData};
    const auto end = data.begin() + static_cast<std::ptrdiff_t>(std::min(at + kBlock, data.size()));
    frame.insert(frame.end(), data.begin() + static_cast<std::ptrdiff_t>(at), end);
    reply(std::move(frame));
  }
  if (!stop) {
    openRead_ = address;
  }
}

void FrameFirmware::slaveReceived(const std::vector<std::uint8_t>& data, bool generalCall) {
  const std::uint8_t flag = generalCall ? 1 : 0;
  std::size_t at = 0;
  do {
    const std::size_t end = std::min(at + kBlock, data.size());
    std::vector<std::uint8_t> frame{end == data.size() ? kSlaveRxLast : kSlaveRxData, flag};
    frame.insert(frame.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                 data.begin() + static_cast<std::ptrdiff_t>(end));
    reply(std::move(frame));
    at = end;
  } while (at < data.size());
}

void FrameFirmware::slaveReadRequested(std::size_t n) {
  (void)n;  // the host is asked block by block until the other master has what it wants
  slaveTransmitting_ = true;
  endMasterMessage();
  reply({kSlaveTxStart});
}

void FrameFirmware::slaveTransmitData(const std::vector<std::uint8_t>& frame) {
  if (!slaveTransmitting_) {
    return;  // nobody is reading; the data has nowhere to go
  }
  if (frame.size() == 1) {
    // The host has nothing more: the adapter lets go of the clock and the other master reads
    // the released (high) data line.
    bus_.serveSlaveRead(std::vector<std::uint8_t>(bus_.slaveReadOutstanding(), 0xFF));
  } else {
    bus_.serveSlaveRead(std::vector<std::uint8_t>(frame.begin() + 1, frame.end()));
  }
  if (bus_.slaveReadOutstanding() > 0) {
    reply({kSlaveTxMore});
    return;
  }
  slaveTransmitting_ = false;
}

// "fault repeat-ack [on|off]", "fault double-ack [on|off]" and "log TEXT".
bool FrameFirmware::command(const std::vector<std::string>& words) {
  if (words.size() >= 2 && words[0] == "log") {
    std::string text = words[1];
    for (std::size_t i = 2; i < words.size(); ++i) {
      text += " " + words[i];
    }
    logText(text);
    return true;
  }
  if (words.size() < 2 || words.size() > 3 || words[0] != "fault") {
    return false;
  }
  const bool stale = words[1] == "repeat-ack";
  if (!stale && words[1] != "double-ack") {
    return false;
  }
  if (words.size() == 3 && words[2] != "on" && words[2] != "off") {
    return false;
  }
  const bool once = words.size() == 2;
  const bool held = !once && words[2] == "on";
  if (stale) {
    once ? link_.staleAckNext() : link_.holdStaleAck(held);
  } else {
    once ? link_.doubleAckNext() : link_.holdDoubleAck(held);
  }
  return true;
}

}  // namespace

std::unique_ptr<Firmware> makeFrameFirmware(Bus& bus, const FrameFirmwareOptions& options) {
  return std::make_unique<FrameFirmware>(bus, options);
}

}  // namespace sim
