#include "vtlink/data_link.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "platform/loop.h"
#include "vtlink/link_frame.h"

namespace vtlink {
namespace {

constexpr int kNoSymbol = -1;
constexpr int kOpenRetries = 10;
constexpr int kSendRetries = 3;
constexpr platform::Millis kOpenTimeoutMs = 1000;
constexpr platform::Millis kAckTimeoutMs = 5000;
constexpr platform::Millis kResendTimeoutMs = 3000;
constexpr platform::Millis kRackTimeoutMs = 2000;
constexpr int kQueueSize = 512;

enum class Response { None, Ack, Nack };
enum class Handler { None, Open, Transmit };

// Events run user code that may close, reopen or even destroy the link. Whoever raised one
// checks this record, which outlives the link, before touching the link's state again.
struct LinkLife {
  bool alive = true;
  unsigned epoch = 0;  // moves on every open and close
};

}  // namespace

struct DataLink::State {
  State(LogRecorder& l, CommLink& c) : log(l), comm(c), life(std::make_shared<LinkLife>()) {}

  LogRecorder& log;
  CommLink& comm;
  std::shared_ptr<LinkLife> life;

  EventCallback callback;
  std::uint32_t window = 0;
  std::uint8_t port = 0;
  std::string speed;
  platform::Loop* loop = nullptr;
  platform::TimerId timer = 0;

  bool connected = false;
  std::uint16_t linkStatus = dl::kIdle;
  std::uint16_t receiveStatus = dl::kBusy;
  std::uint8_t ownSymbol = frame::kAckNoLink;
  int peerSymbol = kNoSymbol;
  int savedPeerSymbol = kNoSymbol;
  Response lastResponse = Response::None;
  int retries = 0;
  int countdown = 0;
  bool expired = false;
  bool armedOnce = false;
  Handler handler = Handler::None;
  bool writing = false;

  // A copy of the frame being sent, so a resend cannot pick up a buffer the sender reused.
  std::uint8_t txFrame[dl::kMaxPayload] = {};
  std::size_t txLength = 0;

  frame::FrameAssembler assembler;
  std::uint8_t rxFrame[dl::kMaxPayload] = {};
  std::size_t rxLength = 0;
  bool rxPresent = false;

  void arm(platform::Millis ms) {
    countdown = static_cast<int>(ms / dl::kTickMs);
    if (countdown != 0) {
      expired = false;
    }
    armedOnce = true;
  }

  // The callback is copied first: it may replace itself (a reopen) while it runs.
  void raise(std::uint32_t event) {
    EventCallback receiver = callback;
    if (receiver) {
      receiver(event);
    }
  }

  void stopTimer() {
    if (timer != 0 && loop != nullptr) {
      loop->killTimer(timer);
    }
    timer = 0;
  }

  void writeSymbol(std::uint8_t symbol) {
    writing = true;
    lastResponse = Response::None;
    switch (symbol) {
      case frame::kInit:
        log.write(2, "Data Link: Issuing INIT Frame.");
        break;
      case frame::kNack:
        log.write(3, "Data Link: Issuing NACK Frame.");
        break;
      case frame::kRack:
        log.write(3, "Data Link: Issuing RACK Frame.");
        break;
      default:
        log.write(3, "Data Link: Issuing ACK Frame.");
        break;
    }
    comm.writeByte(symbol);
    writing = false;
  }
  void writeAck() { writeSymbol(ownSymbol); }

  void writeDataFrame() {
    writing = true;
    lastResponse = Response::None;
    std::uint8_t wire[frame::kMaxEncodedLength];
    const std::size_t n = encodeFrame(txFrame, txLength, wire);
    for (std::size_t i = 0; i < n; ++i) {
      comm.writeByte(wire[i]);
    }
    writing = false;
  }

  bool receive();
  void deliver(const std::uint8_t* payload, std::size_t length);
  void openHandler();
  void transmitHandler();
};

DataLink::DataLink(LogRecorder& log, CommLink& comm) : s_(std::make_unique<State>(log, comm)) {}

DataLink::~DataLink() {
  if (s_->timer != 0 || s_->comm.isOpen()) {
    close();
  }
  s_->life->alive = false;
}

std::uint16_t DataLink::open(std::uint32_t window, std::uint8_t port, const char* speed,
                             EventCallback callback) {
  State& s = *s_;
  s.log.write(1, "Data Link: Opening Link Service.");
  if (s.linkStatus == dl::kBusy) {
    s.log.write(2, "Data Link: WARNING - Link Operation in Progress.");
    return dl::kInProgress;
  }
  if (s.connected) {
    s.log.write(2, "Data Link: WARNING - Link Already Open.");
    return dl::kAlreadyConnected;
  }
  s.port = port;
  s.speed = speed != nullptr ? speed : "";
  s.callback = std::move(callback);
  s.linkStatus = dl::kIdle;
  s.receiveStatus = dl::kBusy;
  if (port == 0) {
    s.log.write(1, "Data Link: FAILURE - Invalid Port No. = %d.", port);
    return dl::kInvalidPort;
  }
  s.window = window;

  ++s.life->epoch;
  s.stopTimer();
  s.countdown = 0;
  s.assembler = frame::FrameAssembler();
  s.ownSymbol = frame::kAckNoLink;
  s.rxPresent = false;
  s.rxLength = 0;
  s.peerSymbol = kNoSymbol;
  s.connected = false;
  s.lastResponse = Response::None;
  s.writing = false;
  if (!s.comm.open(port, kQueueSize, kQueueSize, s.speed.c_str())) {
    s.log.write(1, "Data Link: FAILURE - Unable to Open Comm Port.");
    s.comm.close();
    return dl::kPortOpenFailed;
  }
  s.loop = &platform::Loop::current();
  std::weak_ptr<LinkLife> life = s.life;
  s.timer = s.loop->setTimer(dl::kTickMs, [this, life] {
    auto l = life.lock();
    if (l && l->alive) {
      tick();
    }
  });
  if (s.timer == 0) {
    s.log.write(1, "Data Link: FAILURE - Unable to Allocate Timer.");
    s.comm.close();
    return dl::kNoTimer;
  }

  s.linkStatus = dl::kBusy;
  s.retries = kOpenRetries;
  s.arm(kOpenTimeoutMs);
  s.handler = Handler::Open;
  s.log.write(2, "Data Link: Issuing Device Reset Sequence.");
  const std::uint8_t reset[] = {frame::kReset, frame::kReset, frame::kReset};
  s.comm.writeBlock(sizeof reset, reset);
  return 0;
}

std::uint16_t DataLink::sendFrame(std::size_t length, const std::uint8_t* payload) {
  State& s = *s_;
  s.log.write(2, "Data Link: Initiating Data Frame Tx.");
  if (s.linkStatus == dl::kBusy) {
    s.log.write(2, "Data Link: WARNING - Link Operation in Progress.");
    return dl::kInProgress;
  }
  if (!s.connected) {
    s.log.write(2, "Data Link: WARNING - Link NOT Connected.");
    return dl::kNotConnected;
  }
  if (length > dl::kMaxPayload) {
    s.log.write(2, "Data Link: WARNING - Tx Data Field Too Long, Max = %d.",
                static_cast<int>(dl::kMaxPayload));
    return dl::kPayloadTooLong;
  }
  // An empty frame is dropped by the adapter as null and would only run into the time-outs.
  if (length == 0 || payload == nullptr) {
    s.log.write(2, "Data Link: WARNING - Tx Data Field Empty.");
    return dl::kPayloadTooLong;
  }
  s.linkStatus = dl::kBusy;
  std::memcpy(s.txFrame, payload, length);
  s.txLength = length;
  s.savedPeerSymbol = s.peerSymbol;
  s.retries = kSendRetries;
  s.arm(kAckTimeoutMs);
  s.handler = Handler::Transmit;
  s.log.write(2, "Data Link: Sending Data Frame.");
  s.log.write(3, "Data Link: Tx Data = \"%s\".", dataDump(s.txFrame, s.txLength).c_str());
  s.writeDataFrame();
  return 0;
}

std::size_t DataLink::fetchFrame(std::size_t max, std::uint8_t* destination) const {
  const State& s = *s_;
  if (!s.rxPresent || destination == nullptr) {
    return 0;
  }
  const std::size_t n = std::min(max, s.rxLength);
  std::memcpy(destination, s.rxFrame, n);
  return n;
}

std::uint16_t DataLink::acknowledgeFrame() {
  State& s = *s_;
  if (!s.connected) {
    s.log.write(2, "Data Link: WARNING - Link NOT Connected.");
    return dl::kNotConnected;
  }
  if (!s.rxPresent) {
    s.log.write(2, "Data Link: WARNING - ACK attempted when no Data Frame present.");
    return dl::kNoFrameToAck;
  }
  s.ownSymbol = s.ownSymbol == frame::kAckZero ? frame::kAckOne : frame::kAckZero;
  s.rxPresent = false;
  s.receiveStatus = dl::kBusy;
  s.writeAck();
  return 0;
}

void DataLink::close() {
  State& s = *s_;
  ++s.life->epoch;
  s.log.write(1, "Data Link: Closing Link Service.");
  s.handler = Handler::None;
  s.stopTimer();
  s.comm.close();
  s.ownSymbol = frame::kAckNoLink;
  s.peerSymbol = kNoSymbol;
  s.connected = false;
  s.log.write(1, "Data Link: Close Successful.");
  s.linkStatus = dl::kIdle;
}

void DataLink::tick() {
  // Held for the whole tick: an event may destroy the link itself.
  const std::shared_ptr<LinkLife> life = s_->life;
  const unsigned epoch = life->epoch;
  State& s = *s_;
  if (!s.armedOnce) {
    return;
  }
  if (s.countdown != 0 && --s.countdown == 0) {
    s.expired = true;
  }
  const bool response = s.receive();
  if (!life->alive || life->epoch != epoch) {
    return;
  }
  if (!response && !s.expired) {
    return;
  }
  if (s.handler == Handler::Open) {
    s.openHandler();
  } else if (s.handler == Handler::Transmit) {
    s.transmitHandler();
  }
}

// Drains the line until it is empty or one item is complete: an ACK, a NACK, an INIT or a
// whole frame. True when the item was a response the handler must look at.
bool DataLink::State::receive() {
  if (writing) {
    return false;
  }
  std::uint8_t byte = 0;
  while (comm.readByte(&byte) == 1) {
    if (frame::isAck(byte)) {
      log.write(3, "Data Link: ACK Frame Received.");
      peerSymbol = byte;
      lastResponse = Response::Ack;
      return true;
    }
    switch (byte) {
      case frame::kInit:
        log.write(2, "Data Link: INIT Frame Received.");
        assembler.clearEscape();
        ownSymbol = frame::kAckInit;
        writeAck();
        return true;
      case frame::kNack:
        log.write(3, "Data Link: NACK Frame Received.");
        lastResponse = Response::Nack;
        return true;
      case frame::kRack:
        log.write(3, "Data Link: RACK Frame Received.");
        writeAck();
        continue;
      default:
        break;
    }
    switch (assembler.take(byte)) {
      case frame::FrameAssembler::Result::Started:
        log.write(3, "Data Link: SOF Detected.");
        break;
      case frame::FrameAssembler::Result::NullOrOverflow:
        log.write(3, "Data Link: EOF Detected.");
        log.write(3, "Data Link: Data Field Null/Overflow Detected.");
        break;
      case frame::FrameAssembler::Result::ChecksumError:
        log.write(3, "Data Link: EOF Detected.");
        log.write(3, "Data Link: CheckSum Error Detected.");
        writeSymbol(frame::kNack);
        break;
      case frame::FrameAssembler::Result::Complete:
        log.write(3, "Data Link: EOF Detected.");
        log.write(3, "Data Link: CheckSum Verified.");
        deliver(assembler.payload(), assembler.payloadLength());
        return false;  // the event may have closed the link: nothing of it is touched here
      case frame::FrameAssembler::Result::None:
        break;
    }
  }
  return false;
}

// The frame is not acknowledged here: that is the receiver's decision, after it has fetched it.
void DataLink::State::deliver(const std::uint8_t* payload, std::size_t length) {
  if (!connected) {
    return;
  }
  log.write(2, "Data Link: Data Frame Received.");
  std::memcpy(rxFrame, payload, length);
  rxLength = length;
  rxPresent = true;
  receiveStatus = dl::kFrameReceived;
  log.write(3, "Data Link: Rx Data = \"%s\".", dataDump(rxFrame, rxLength).c_str());
  raise(dl::kFrameReceived);
}

void DataLink::State::openHandler() {
  // The adapter acknowledged one of our INITs and we have received one of its own.
  if (peerSymbol == frame::kAckInit && ownSymbol != frame::kAckNoLink) {
    connected = true;
    handler = Handler::None;
    linkStatus = dl::kConnected;
    log.write(1, "Data Link: Connection Established, Open Complete.");
    raise(dl::kConnected);
    return;
  }
  if (!expired) {
    return;
  }
  if (--retries != 0) {
    writeSymbol(frame::kInit);
    arm(kOpenTimeoutMs);
    return;
  }
  handler = Handler::None;
  linkStatus = dl::kOpenFailed;
  log.write(1, "Data Link: FAILURE - Timeout, Device NOT Responding.");
  stopTimer();
  comm.close();
  raise(dl::kOpenFailed);
}

void DataLink::State::transmitHandler() {
  if (lastResponse == Response::Ack && peerSymbol != savedPeerSymbol) {
    handler = Handler::None;
    linkStatus = dl::kFrameAcked;
    log.write(2, "Data Link: Data Frame Acknowledged, Tx Complete.");
    raise(dl::kFrameAcked);
    return;
  }
  if (lastResponse == Response::Nack || lastResponse == Response::Ack) {
    // A NACK, or an ACK that repeats the one seen before this frame went out.
    if (--retries != 0) {
      log.write(2, "Data Link: NACK or Invalid ACK Received, Resending Data Frame.");
      writeDataFrame();
      arm(kResendTimeoutMs);
      return;
    }
    linkStatus = dl::kFrameNotAcked;
    log.write(1, "Data Link: FAILURE - Host Adapter Not Acking Data Frame.");
    handler = Handler::None;
    raise(dl::kFrameNotAcked);
    return;
  }
  if (!expired) {
    return;
  }
  if (--retries != 0) {
    log.write(2, "Data Link: WARNING - Device Not Responding, Resynchronizing Link.");
    writeSymbol(frame::kRack);
    arm(kRackTimeoutMs);
    return;
  }
  linkStatus = dl::kNotResponding;
  log.write(1, "Data Link: FAILURE - Device Not Responding.");
  handler = Handler::None;
  raise(dl::kNotResponding);
}

std::uint16_t DataLink::linkStatus() const {
  return s_->linkStatus;
}
std::uint16_t DataLink::receiveStatus() const {
  return s_->receiveStatus;
}
bool DataLink::connected() const {
  return s_->connected;
}
bool DataLink::timerRunning() const {
  return s_->timer != 0;
}

}  // namespace vtlink
