#include "platform/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/clock_internal.h"

namespace platform {
namespace {

int baudOf(speed_t speed) {
  switch (speed) {
    case B1200:
      return 1200;
    case B2400:
      return 2400;
    case B4800:
      return 4800;
    case B9600:
      return 9600;
    case B19200:
      return 19200;
    case B38400:
      return 38400;
    case B57600:
      return 57600;
    case B115200:
      return 115200;
    case B230400:
      return 230400;
    default:
      return 0;
  }
}

// A master write that makes no progress for this long means nobody reads the slave side.
constexpr Millis kWriteStallMs = 1000;

bool waitReadable(int fd, Millis timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  for (;;) {
    const int n = ::poll(&p, 1, static_cast<int>(timeoutMs < 0 ? 0 : timeoutMs));
    if (n >= 0 || errno != EINTR) {
      return n > 0 && (p.revents & POLLIN) != 0;
    }
  }
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) {
    status_ = Status::fromErrno("posix_openpt");
    return;
  }
  if (::grantpt(master_) != 0) {
    status_ = Status::fromErrno("grantpt");
    return;
  }
  if (::unlockpt(master_) != 0) {
    status_ = Status::fromErrno("unlockpt");
    return;
  }
  char name[128] = {};
  if (::ptsname_r(master_, name, sizeof name) != 0) {
    status_ = Status::fromErrno("ptsname");
    return;
  }
  slavePath_ = name;
  const int flags = ::fcntl(master_, F_GETFL);
  if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
    status_ = Status::fromErrno("fcntl");
    return;
  }
  // Raw from the start: until a program sets the line up, a new pair would echo the adapter's
  // bytes back to it and translate carriage returns.
  termios t{};
  if (::tcgetattr(master_, &t) == 0) {
    ::cfmakeraw(&t);
    ::tcsetattr(master_, TCSANOW, &t);
  }
}

PseudoTerminal::~PseudoTerminal() {
  if (heldSlave_ >= 0) {
    ::close(heldSlave_);
  }
  if (master_ >= 0) {
    ::close(master_);
  }
}

const Status& PseudoTerminal::status() const {
  return status_;
}

int PseudoTerminal::masterFd() const {
  return master_;
}

const std::string& PseudoTerminal::slavePath() const {
  return slavePath_;
}

Status PseudoTerminal::holdSlaveOpen() {
  if (heldSlave_ >= 0) {
    return Status::success();
  }
  if (!status_) {
    return status_;
  }
  heldSlave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (heldSlave_ < 0) {
    return Status::fromErrno("open");
  }
  return Status::success();
}

std::vector<std::uint8_t> PseudoTerminal::read(Millis timeoutMs) {
  std::vector<std::uint8_t> data;
  if (master_ < 0 || !waitReadable(master_, timeoutMs)) {
    return data;
  }
  std::uint8_t buf[4096];
  for (;;) {
    const ssize_t n = ::read(master_, buf, sizeof buf);
    if (n > 0) {
      data.insert(data.end(), buf, buf + n);
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    return data;  // EAGAIN: all there is; EIO: no slave open
  }
}

std::vector<std::uint8_t> PseudoTerminal::readExactly(std::size_t n, Millis timeoutMs) {
  std::vector<std::uint8_t> data;
  if (master_ < 0) {
    return data;
  }
  const Millis end = detail::realNow() + timeoutMs;
  while (data.size() < n) {
    const Millis left = end - detail::realNow();
    if (left <= 0 || !waitReadable(master_, left)) {
      break;
    }
    std::uint8_t buf[4096];
    const std::size_t want = std::min(n - data.size(), sizeof buf);
    const ssize_t got = ::read(master_, buf, want);
    if (got > 0) {
      data.insert(data.end(), buf, buf + got);
    } else if (got < 0 && errno != EINTR && errno != EAGAIN) {
      break;
    } else if (got == 0) {
      break;
    }
  }
  return data;
}

Status PseudoTerminal::write(const std::vector<std::uint8_t>& data) {
  if (master_ < 0) {
    return Status::failure(EBADF, "write");
  }
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(master_, data.data() + done, data.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0 && errno != EAGAIN) {
      return Status::fromErrno("write");
    }
    pollfd p{master_, POLLOUT, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(kWriteStallMs));
    if (ready == 0) {
      return Status::failure(ETIMEDOUT, "write");
    }
    if (ready < 0 && errno != EINTR) {
      return Status::fromErrno("poll");
    }
  }
  return Status::success();
}

int PseudoTerminal::slaveBaud() const {
  termios t{};
  // On Linux the master's termios calls act on the slave's settings.
  if (master_ < 0 || ::tcgetattr(master_, &t) != 0) {
    return 0;
  }
  return baudOf(::cfgetospeed(&t));
}

}  // namespace platform
