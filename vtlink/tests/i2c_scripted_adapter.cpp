#include "i2c_scripted_adapter.h"

#include <algorithm>

namespace vtlink_test {

namespace {

bool needsStuffing(std::uint8_t b) {
  static const std::uint8_t special[] = {0x11, 0x13, 0x1B, 0x24, 0x2B, 0x2D, 0x30,
                                         0x31, 0x49, 0x4E, 0x52, 0x5B, 0x5D};
  return std::find(std::begin(special), std::end(special), b) != std::end(special);
}

void putStuffed(Bytes& out, std::uint8_t b) {
  if (needsStuffing(b)) {
    out.push_back(0x24);
    out.push_back(static_cast<std::uint8_t>(b ^ 0xFF));
  } else {
    out.push_back(b);
  }
}

}  // namespace

Bytes encodeAdapterFrame(const Bytes& payload) {
  Bytes out{0x5B};
  std::uint8_t sum = 0;
  for (std::uint8_t b : payload) {
    putStuffed(out, b);
    sum = static_cast<std::uint8_t>(sum + b);
  }
  putStuffed(out, static_cast<std::uint8_t>(-sum));
  out.push_back(0x5D);
  return out;
}

ScriptedAdapter::ScriptedAdapter(int port) : port_(platform::MemoryPort::publish(port)) {}

void ScriptedAdapter::pump() {
  const Bytes written = port_->read();
  if (silent) {
    return;
  }
  for (std::uint8_t b : written) {
    onHostByte(b);
  }
}

void ScriptedAdapter::sendFrame(const Bytes& payload) {
  port_->write(encodeAdapterFrame(payload));
}

void ScriptedAdapter::sendRaw(const Bytes& bytes) {
  port_->write(bytes);
}

std::vector<Bytes> ScriptedAdapter::takeCommands() {
  std::vector<Bytes> taken;
  taken.swap(commands_);
  return taken;
}

void ScriptedAdapter::onHostByte(std::uint8_t b) {
  if (b == 0x1B) {
    if (++escapes_ == 3) {
      escapes_ = 0;
      ++resets_;
      ownSymbol_ = '-';
      sendRaw({'I'});
    }
    return;
  }
  escapes_ = 0;
  if (inFrame_) {
    if (b == 0x5D) {
      inFrame_ = false;
      onHostFrame();
    } else if (b == 0x24) {
      escaped_ = true;
    } else {
      frame_.push_back(escaped_ ? static_cast<std::uint8_t>(b ^ 0xFF) : b);
      escaped_ = false;
    }
    return;
  }
  switch (b) {
    case 'I':
      ownSymbol_ = '+';
      sendRaw({'+'});
      break;
    case 'R':
      sendRaw({ownSymbol_});
      break;
    case '+':
    case '0':
    case '1':
      ++hostAcks_;
      break;
    case 0x5B:
      inFrame_ = true;
      escaped_ = false;
      frame_.clear();
      break;
    default:
      break;
  }
}

void ScriptedAdapter::onHostFrame() {
  std::uint8_t sum = 0;
  for (std::uint8_t b : frame_) {
    sum = static_cast<std::uint8_t>(sum + b);
  }
  if (frame_.size() < 2 || sum != 0) {
    sendRaw({'N'});
    return;
  }
  Bytes payload(frame_.begin(), frame_.end() - 1);
  commands_.push_back(payload);
  if (!acknowledgeFrames) {
    return;
  }
  acknowledge();
  if (payload[0] == 0x01 && answerLinkOpen) {
    sendFrame({0x02, static_cast<std::uint8_t>(firmware >> 8),
               static_cast<std::uint8_t>(firmware & 0xFF)});
  }
  if (onCommand) {
    onCommand(payload);
  }
}

void ScriptedAdapter::acknowledge() {
  ownSymbol_ = ownSymbol_ == '0' ? '1' : '0';
  sendRaw({ownSymbol_});
}

}  // namespace vtlink_test
