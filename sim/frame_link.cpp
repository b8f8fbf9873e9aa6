#include "sim/frame_link.h"

#include <utility>

namespace sim {

using namespace frame;

void FrameLink::receive(const std::uint8_t* data, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    takeByte(data[i]);
  }
}

void FrameLink::takeByte(std::uint8_t byte) {
  if (byte == kReset) {
    if (++resetRun_ == 3) {
      resetRun_ = 0;
      resetLink();
    }
    return;
  }
  resetRun_ = 0;
  if (byte == 0x11 || byte == 0x13) {
    return;  // flow control; the adapter never needs pausing, so it is dropped
  }
  if (isAckSymbol(byte)) {
    acknowledgement(byte);
    return;
  }
  switch (byte) {
    case kInit: {
      escape_ = false;
      own_ = kAckInit;
      sendSymbol(own_);
      // The host cannot finish its open without our INIT; if ours went unanswered (lost on the
      // line), offer it again.
      if (!peer_) {
        sendSymbol(kInit);
      }
      return;
    }
    case kNack:
      if (awaitingAck_) {
        transmitHead();
      }
      return;
    case kRack:
      sendSymbol(own_);
      return;
    case kEscape:
      escape_ = true;
      return;
    case kSof:
      inFrame_ = true;
      escape_ = false;
      overflow_ = false;
      stored_.clear();
      sum_ = 0;
      return;
    case kEof:
      endOfFrame();
      return;
    default:
      break;
  }
  if (escape_) {
    byte = static_cast<std::uint8_t>(~byte);
    escape_ = false;
  }
  if (!inFrame_) {
    return;  // stray byte between frames
  }
  if (stored_.size() < kMaxPayload + 1) {
    stored_.push_back(byte);
    sum_ = static_cast<std::uint8_t>(sum_ + byte);
  } else {
    overflow_ = true;
  }
}

void FrameLink::endOfFrame() {
  const bool complete = inFrame_ && !overflow_ && stored_.size() >= 2;
  inFrame_ = false;
  if (!complete) {
    return;  // empty, checksum-only or overlong: dropped without an answer
  }
  if (sum_ != 0) {
    sendSymbol(kNack);
    return;
  }
  if (!hostLinked()) {
    return;  // no INIT from the host yet: not ours to take
  }
  if (staleOnce_ || staleHeld_) {
    staleOnce_ = false;
    sendSymbol(own_);
    return;
  }
  own_ = nextAckSymbol(own_);
  sendSymbol(own_);
  if (doubleOnce_ || doubleHeld_) {
    doubleOnce_ = false;
    sendSymbol(own_);
  }
  stored_.pop_back();  // the checksum
  if (onFrame) {
    onFrame(stored_);
  }
}

void FrameLink::acknowledgement(std::uint8_t symbol) {
  peer_ = symbol;
  if (!awaitingAck_) {
    return;
  }
  silentWaits_ = 0;
  if (symbol != savedPeer_) {
    awaitingAck_ = false;
    outgoing_.pop_front();
    if (!outgoing_.empty()) {
      transmitHead();
    }
    return;
  }
  // The host repeated the acknowledgement it gave before this frame: it has not taken it.
  transmitHead();
}

void FrameLink::resetLink() {
  inFrame_ = false;
  escape_ = false;
  own_ = kAckNone;
  peer_.reset();
  staleOnce_ = false;
  doubleOnce_ = false;
  dropQueue();
  if (onReset) {
    onReset();
  }
  sendSymbol(kInit);
}

void FrameLink::queue(std::vector<std::uint8_t> payload) {
  outgoing_.push_back(std::move(payload));
  if (!awaitingAck_) {
    transmitHead();
  }
}

void FrameLink::dropQueue() {
  outgoing_.clear();
  awaitingAck_ = false;
  silentWaits_ = 0;
}

void FrameLink::transmitHead() {
  if (outgoing_.empty()) {
    awaitingAck_ = false;
    return;
  }
  if (!awaitingAck_) {
    savedPeer_ = peer_;  // a resend keeps the symbol seen before the first attempt
  }
  awaitingAck_ = true;
  deadline_ = now_ + kAckTimeoutMs;
  send(encode(outgoing_.front()));
}

void FrameLink::poll(platform::Millis now) {
  now_ = now;
  if (!awaitingAck_ || now < deadline_) {
    return;
  }
  if (++silentWaits_ >= kSilentWaitsBeforeGivingUp) {
    dropQueue();  // nobody is listening; stop filling the line
    return;
  }
  deadline_ = now + kAckTimeoutMs;
  sendSymbol(kRack);
}

}  // namespace sim
