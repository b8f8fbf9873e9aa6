#include "vtlink/comm_link.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/port_names.h"
#include "platform/serial_port.h"

namespace vtlink {
namespace {

// The device control string is "<speed>,n,8,1"; only the speed comes from the caller, so a
// string that parses has exactly those three line fields. Returns the rate, or 0.
int parseDeviceControl(const std::string& control) {
  const std::size_t comma = control.find(',');
  if (comma == 0 || comma == std::string::npos || control.substr(comma) != ",n,8,1") {
    return 0;
  }
  int baud = 0;
  for (std::size_t i = 0; i < comma; ++i) {
    const char c = control[i];
    if (c < '0' || c > '9' || baud > 100000000) {
      return 0;
    }
    baud = baud * 10 + (c - '0');
  }
  return baud;
}

// The device a port number stands for, as the log names it.
std::string deviceName(int port) {
  std::string path = platform::portDevicePath(port);
  return path.empty() ? platform::portName(port) : path;
}

}  // namespace

CommLink::CommLink(LogRecorder& log) : log_(log) {}

CommLink::~CommLink() {
  if (port_.isOpen()) {
    close();
  }
}

bool CommLink::open(std::uint8_t port, int rxQueueSize, int txQueueSize, const char* speed) {
  (void)txQueueSize;  // the driver keeps its own queues; only the limits follow the sizes
  log_.write(1, "Comm Link: Opening Win32 Comm Service.");
  if (port_.isOpen()) {
    log_.write(2, "Comm Link: NOTICE - Link Already Open.");
    return true;
  }
  if (port == 0) {
    log_.write(1, "Comm Link: FAILURE - Invalid Port No. = %d.", port);
    return false;
  }
  log_.write(1, "Comm Link: Using %s.", deviceName(port).c_str());

  // The port opens raw, 8N1 at 19200 with XON/XOFF both ways; the caller's speed follows.
  platform::LineSettings settings;
  settings.xonXoff = true;
  settings.xonLimit = rxQueueSize * 2 / 10;
  settings.xoffLimit = rxQueueSize * 8 / 10;
  platform::Status status = port_.open(port, settings);
  if (!status) {
    log_.write(1, "Comm Link: FAILURE - CreateFile Error = %d.", status.error);
    return false;
  }

  const std::string control = std::string(speed != nullptr ? speed : "") + ",n,8,1";
  log_.write(1, "Comm Link: Device Control String = %s.", control.c_str());
  const int baud = parseDeviceControl(control);
  if (baud == 0) {
    log_.write(1, "Comm Link: FAILURE - BuildCommDCB Error = %d.", EINVAL);
    port_.close();
    return false;
  }
  status = port_.setBaud(baud);
  if (!status) {
    log_.write(1, "Comm Link: FAILURE - SetCommState Error = %d.", status.error);
    port_.close();
    return false;
  }
  // termios has no XON/XOFF thresholds; they are kept in the settings and shown here.
  log_.write(1, "Comm Link: XonLim = %d, XoffLim = %d (not set by termios).", settings.xonLimit,
             settings.xoffLimit);
  log_.write(1, "Comm Link: Open Successful.");
  return true;
}

void CommLink::close() {
  log_.write(1, "Comm Link: Closing Windows Comm Service.");
  if (!port_.isOpen()) {
    log_.write(1, "Comm Link: NOTICE - Link Not Open.");
    return;
  }
  // Dropping DTR and RTS tells the adapter the host has gone before the port is released.
  port_.setDtr(false);
  port_.setRts(false);
  platform::Status status = port_.close();
  if (status) {
    log_.write(1, "Comm Link: Close Successful.");
  } else {
    log_.write(1, "Comm Link: FAILURE - CloseHandle Error = %d.", status.error);
  }
}

bool CommLink::isOpen() const {
  return port_.isOpen();
}

int CommLink::readByte(std::uint8_t* byte) {
  if (!port_.isOpen()) {
    log_.write(2, "Comm Link: FAILURE - PORTReadByte Link Not Open.");
    return 0;
  }
  std::uint8_t received = 0;
  platform::ReadResult result = port_.readNonBlocking(&received, 1);
  if (!result.status) {
    log_.write(1, "Comm Link: FAILURE - ReadFile Error = %d.", result.status.error);
    return 0;
  }
  if (result.count == 0) {
    return 0;
  }
  log_.write(4, "Comm Link: Rx Data = [%02X].", received);
  if (byte != nullptr) {
    *byte = received;
  }
  return 1;
}

void CommLink::writeByte(std::uint8_t byte) {
  if (!port_.isOpen()) {
    log_.write(2, "Comm Link: FAILURE - PORTWriteByte Link Not Open.");
    return;
  }
  log_.write(4, "Comm Link: Tx Data = [%02X].", byte);
  platform::Status status = port_.write(&byte, 1);
  if (!status) {
    log_.write(1, "Comm Link: FAILURE - WriteFile Error = %d.", status.error);
  }
}

void CommLink::writeBlock(std::size_t length, const std::uint8_t* bytes) {
  if (!port_.isOpen()) {
    log_.write(2, "Comm Link: FAILURE - PORTWriteBlock Link Not Open.");
    return;
  }
  if (length == 0 || bytes == nullptr) {
    return;
  }
  log_.write(4, "Comm Link: Tx Data Block = [%02X]...", bytes[0]);
  platform::Status status = port_.write(bytes, length);
  if (!status) {
    log_.write(1, "Comm Link: FAILURE - WriteFile Error = %d.", status.error);
  }
}

void CommLink::writeText(const char* text) {
  const std::size_t length = text != nullptr ? std::strlen(text) : 0;
  writeBlock(length, reinterpret_cast<const std::uint8_t*>(text));
}

int CommLink::modemStatus(std::uint32_t* bits) {
  if (!port_.isOpen() || bits == nullptr) {
    return 0;
  }
  return port_.modemStatus(*bits) ? 1 : 0;
}

}  // namespace vtlink
