// A serial line on a termios device.
//
// Settings termios cannot express are not applied here: the XON/XOFF limits (Linux decides
// itself when to send XOFF and XON) and transmit-while-XOFF (Linux always stops sending on
// XOFF). SerialPort keeps them in settings() so callers can log what they asked for.

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/clock_internal.h"
#include "platform/line.h"

namespace platform::detail {
namespace {

speed_t speedConstant(int baud) {
  switch (baud) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    default:
      return B115200;
  }
}

tcflag_t sizeFlag(int dataBits) {
  switch (dataBits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

// Pseudo-terminals have no modem lines; the ioctls fail with one of these.
bool noModemLines(int error) {
  return error == EINVAL || error == ENOTTY;
}

Millis remainingOf(Millis end) {
  const Millis left = end - realNow();
  return left > 0 ? left : 0;
}

// poll() on real time; -1 waits without limit. Returns the revents, 0 on time-out.
int waitFor(int fd, short events, Millis timeoutMs, Status& status) {
  const Millis end = realNow() + timeoutMs;
  for (;;) {
    const int timeout = timeoutMs < 0 ? -1 : static_cast<int>(remainingOf(end));
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, timeout);
    if (n >= 0) {
      return n == 0 ? 0 : p.revents;
    }
    if (errno != EINTR) {
      status = Status::fromErrno("poll");
      return -1;
    }
  }
}

class TermiosLine final : public Line {
 public:
  explicit TermiosLine(int fd) : fd_(fd) {}
  ~TermiosLine() override { close(); }

  Status apply(const LineSettings& s) override {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
      return Status::fromErrno("tcgetattr");
    }
    ::cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | sizeFlag(s.dataBits);
    if (s.parity != 'n') {
      t.c_cflag |= PARENB;
      t.c_iflag |= INPCK;
    }
    if (s.parity == 'o') {
      t.c_cflag |= PARODD;
    }
    if (s.stopBits == 2) {
      t.c_cflag |= CSTOPB;
    }
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (s.xonXoff) {
      t.c_iflag |= IXON | IXOFF;
    }
    t.c_cc[VSTART] = kXon;
    t.c_cc[VSTOP] = kXoff;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speedConstant(s.baud)) != 0 ||
        ::cfsetospeed(&t, speedConstant(s.baud)) != 0) {
      return Status::fromErrno("cfsetspeed");
    }
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) {
      return Status::fromErrno("tcsetattr");
    }
    return Status::success();
  }

  ReadResult read(std::uint8_t* buf, std::size_t n, Millis timeoutMs) override {
    ReadResult first = readAvailable(buf, n);
    if (!first.status || first.count > 0 || timeoutMs == 0) {
      return first;
    }
    Status status;
    const int revents = waitFor(fd_, POLLIN, timeoutMs, status);
    if (revents < 0) {
      return {status, 0};
    }
    if (revents == 0) {
      return {};
    }
    ReadResult result = readAvailable(buf, n);
    if (result.status && result.count == 0 && (revents & (POLLHUP | POLLERR)) != 0) {
      // The far end is gone (a removed adapter, a closed pseudo-terminal); saying "nothing
      // yet" would make a reader spin.
      return {Status::failure(EIO, "read"), 0};
    }
    return result;
  }

  Status write(const std::uint8_t* data, std::size_t n, Millis timeoutMs) override {
    const Millis end = realNow() + timeoutMs;
    std::size_t done = 0;
    while (done < n) {
      const ssize_t w = ::write(fd_, data + done, n - done);
      if (w > 0) {
        done += static_cast<std::size_t>(w);
        continue;
      }
      if (w < 0 && errno == EINTR) {
        continue;
      }
      if (w < 0 && errno != EAGAIN) {
        return Status::fromErrno("write");
      }
      Status status;
      const int revents = waitFor(fd_, POLLOUT, timeoutMs < 0 ? -1 : remainingOf(end), status);
      if (revents < 0) {
        return status;
      }
      if (revents == 0) {
        return Status::failure(ETIMEDOUT, "write");
      }
      if ((revents & POLLOUT) == 0) {
        return Status::failure(EIO, "write");
      }
    }
    return Status::success();
  }

  Status setModemLine(bool dtr, bool on) override {
    int bit = dtr ? TIOCM_DTR : TIOCM_RTS;
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) != 0 && !noModemLines(errno)) {
      return Status::fromErrno(dtr ? "ioctl(DTR)" : "ioctl(RTS)");
    }
    return Status::success();
  }

  Status modemStatus(std::uint32_t& bits) override {
    bits = 0;
    int lines = 0;
    if (::ioctl(fd_, TIOCMGET, &lines) != 0) {
      return noModemLines(errno) ? Status::success() : Status::fromErrno("ioctl(TIOCMGET)");
    }
    if (lines & TIOCM_CTS) {
      bits |= kModemCts;
    }
    if (lines & TIOCM_DSR) {
      bits |= kModemDsr;
    }
    if (lines & TIOCM_RNG) {
      bits |= kModemRing;
    }
    if (lines & TIOCM_CAR) {
      bits |= kModemRlsd;
    }
    return Status::success();
  }

  Status close() override {
    if (fd_ < 0) {
      return Status::success();
    }
    const int fd = fd_;
    fd_ = -1;
    // The lock goes with the descriptor; the exclusive mode must be lifted by hand or the
    // next opener that is not root is refused.
    ::ioctl(fd, TIOCNXCL);
    if (::close(fd) != 0 && errno != EINTR) {
      return Status::fromErrno("close");
    }
    return Status::success();
  }

 private:
  ReadResult readAvailable(std::uint8_t* buf, std::size_t n) {
    for (;;) {
      const ssize_t r = ::read(fd_, buf, n);
      if (r >= 0) {
        return {Status::success(), static_cast<std::size_t>(r)};
      }
      if (errno == EINTR) {
        continue;
      }
      if (errno == EAGAIN) {
        return {};
      }
      return {Status::fromErrno("read"), 0};
    }
  }

  int fd_ = -1;
};

}  // namespace

std::unique_ptr<Line> openTermiosLine(const std::string& path, Status& status) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    status = Status::fromErrno("open");
    return nullptr;
  }
  // flock as well as TIOCEXCL: root passes TIOCEXCL, and a second opener must be refused.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    status = errno == EWOULDBLOCK ? Status::failure(EBUSY, "flock") : Status::fromErrno("flock");
    ::close(fd);
    return nullptr;
  }
  if (::isatty(fd) == 0) {
    status = Status::failure(ENOTTY, "open");
    ::close(fd);
    return nullptr;
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    status = Status::fromErrno("ioctl(TIOCEXCL)");
    ::close(fd);
    return nullptr;
  }
  // Bytes that reached the device before it was opened belong to nobody's conversation.
  ::tcflush(fd, TCIFLUSH);
  status = Status::success();
  return std::make_unique<TermiosLine>(fd);
}

}  // namespace platform::detail
