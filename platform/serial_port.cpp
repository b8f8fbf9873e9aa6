#include "platform/serial_port.h"

#include <array>
#include <cerrno>

#include "platform/line.h"
#include "platform/port_names.h"

namespace platform {

namespace detail {

bool isStandardBaud(int baud) {
  constexpr std::array kRates{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
  for (int rate : kRates) {
    if (rate == baud) {
      return true;
    }
  }
  return false;
}

Status validateSettings(const LineSettings& s) {
  if (!isStandardBaud(s.baud)) {
    return Status::failure(EINVAL, "baud rate");
  }
  if (s.dataBits < 5 || s.dataBits > 8) {
    return Status::failure(EINVAL, "data bits");
  }
  if (s.parity != 'n' && s.parity != 'e' && s.parity != 'o') {
    return Status::failure(EINVAL, "parity");
  }
  if (s.stopBits != 1 && s.stopBits != 2) {
    return Status::failure(EINVAL, "stop bits");
  }
  return Status::success();
}

}  // namespace detail

struct SerialPort::Impl {
  std::unique_ptr<detail::Line> line;
  LineSettings settings;
  bool dtr = false;
  bool rts = false;

  Status start(std::unique_ptr<detail::Line> opened, const LineSettings& wanted) {
    if (Status s = opened->apply(wanted); !s) {
      opened->close();
      return s;
    }
    line = std::move(opened);
    settings = wanted;
    // Both lines are driven to the asked state at once, as a port's line control does on open.
    Status s = line->setModemLine(true, wanted.dtr);
    if (s) {
      s = line->setModemLine(false, wanted.rts);
    }
    if (!s) {
      line->close();
      line.reset();
      return s;
    }
    dtr = wanted.dtr;
    rts = wanted.rts;
    return Status::success();
  }
};

SerialPort::SerialPort() : impl_(std::make_unique<Impl>()) {}

SerialPort::~SerialPort() {
  close();
}

Status SerialPort::open(int portNumber, const LineSettings& settings) {
  if (isOpen()) {
    return Status::failure(EBUSY, "open");
  }
  if (Status s = detail::validateSettings(settings); !s) {
    return s;
  }
  Status status;
  if (std::unique_ptr<detail::Line> memory = detail::openMemoryLine(portNumber, status)) {
    return impl_->start(std::move(memory), settings);
  }
  if (!status) {
    return status;
  }
  const std::string path = portDevicePath(portNumber);
  if (path.empty()) {
    return Status::failure(ENOENT, "open");
  }
  return openPath(path, settings);
}

Status SerialPort::openPath(const std::string& path, const LineSettings& settings) {
  if (isOpen()) {
    return Status::failure(EBUSY, "open");
  }
  if (Status s = detail::validateSettings(settings); !s) {
    return s;
  }
  Status status;
  std::unique_ptr<detail::Line> line = detail::openTermiosLine(path, status);
  if (!line) {
    return status;
  }
  return impl_->start(std::move(line), settings);
}

bool SerialPort::isOpen() const {
  return impl_->line != nullptr;
}

Status SerialPort::close() {
  if (!impl_->line) {
    return Status::success();
  }
  Status s = impl_->line->close();
  impl_->line.reset();
  return s;
}

Status SerialPort::setBaud(int baud) {
  if (!detail::isStandardBaud(baud)) {
    return Status::failure(EINVAL, "baud rate");
  }
  if (!impl_->line) {
    return Status::failure(EBADF, "set baud rate");
  }
  LineSettings wanted = impl_->settings;
  wanted.baud = baud;
  if (Status s = impl_->line->apply(wanted); !s) {
    return s;
  }
  impl_->settings = wanted;
  return Status::success();
}

const LineSettings& SerialPort::settings() const {
  return impl_->settings;
}

ReadResult SerialPort::readNonBlocking(std::uint8_t* buf, std::size_t n) {
  return readTimeout(buf, n, 0);
}

ReadResult SerialPort::readTimeout(std::uint8_t* buf, std::size_t n, Millis timeoutMs) {
  if (!impl_->line) {
    return {Status::failure(EBADF, "read"), 0};
  }
  if (n == 0) {
    return {};
  }
  return impl_->line->read(buf, n, timeoutMs < 0 ? -1 : timeoutMs);
}

Status SerialPort::write(const std::uint8_t* data, std::size_t n, Millis timeoutMs) {
  if (!impl_->line) {
    return Status::failure(EBADF, "write");
  }
  return impl_->line->write(data, n, timeoutMs);
}

Status SerialPort::setDtr(bool on) {
  if (!impl_->line) {
    return Status::failure(EBADF, "set DTR");
  }
  if (Status s = impl_->line->setModemLine(true, on); !s) {
    return s;
  }
  impl_->dtr = on;
  return Status::success();
}

Status SerialPort::setRts(bool on) {
  if (!impl_->line) {
    return Status::failure(EBADF, "set RTS");
  }
  if (Status s = impl_->line->setModemLine(false, on); !s) {
    return s;
  }
  impl_->rts = on;
  return Status::success();
}

bool SerialPort::dtr() const {
  return impl_->dtr;
}

bool SerialPort::rts() const {
  return impl_->rts;
}

Status SerialPort::modemStatus(std::uint32_t& bits) {
  bits = 0;
  if (!impl_->line) {
    return Status::failure(EBADF, "get modem status");
  }
  return impl_->line->modemStatus(bits);
}

}  // namespace platform
