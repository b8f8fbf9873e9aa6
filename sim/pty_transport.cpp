#include "sim/pty_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/clock.h"
#include "platform/port_names.h"
#include "platform/pty.h"
#include "sim/usb_sysfs.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

constexpr platform::Millis kPollMs = 2;

int signalPipe[2] = {-1, -1};

void onSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// SIGINT, SIGTERM and SIGHUP (the user's terminal closed) end the serving loop through a pipe
// it polls, so the port is withdrawn on the way out instead of being left behind.
class SignalCatcher {
 public:
  SignalCatcher() {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
      return;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &oldInt_);
    ::sigaction(SIGTERM, &action, &oldTerm_);
    ::sigaction(SIGHUP, &action, &oldHup_);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &oldPipe_);  // a reader of standard output that went away
  }
  ~SignalCatcher() {
    ::sigaction(SIGINT, &oldInt_, nullptr);
    ::sigaction(SIGTERM, &oldTerm_, nullptr);
    ::sigaction(SIGHUP, &oldHup_, nullptr);
    ::sigaction(SIGPIPE, &oldPipe_, nullptr);
    for (int& fd : signalPipe) {
      if (fd >= 0) {
        ::close(fd);
        fd = -1;
      }
    }
  }
  int fd() const { return signalPipe[0]; }

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
  struct sigaction oldHup_ {};
  struct sigaction oldPipe_ {};
};

// The COMn link, removed on destruction if it still leads to our pty.
class PortLink {
 public:
  ~PortLink() {
    std::error_code ec;
    if (!path_.empty() && fs::read_symlink(path_, ec) == target_) {
      fs::remove(path_, ec);
    }
  }
  bool create(const fs::path& path, const std::string& target, std::string& error) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec)) && !fs::exists(path, ec)) {
      fs::remove(path, ec);  // left behind by a simulator that was killed
    }
    if (fs::exists(fs::symlink_status(path, ec))) {
      error = path.string() + " already exists: another adapter has that port";
      return false;
    }
    fs::create_symlink(target, path, ec);
    if (ec) {
      error = "cannot create " + path.string() + ": " + ec.message();
      return false;
    }
    path_ = path;
    target_ = target;
    return true;
  }

 private:
  fs::path path_;
  fs::path target_;
};

void printLine(std::FILE* out, const std::string& line) {
  std::fputs(line.c_str(), out);
  std::fputc('\n', out);
  std::fflush(out);
}

// Standard input, one command per line; blank lines and "#" comments are skipped. At its end
// the simulator goes on serving: only "quit" or a signal stop it.
class CommandInput {
 public:
  // Left blocking (it may be the user's terminal, shared with the shell): one read after poll
  // reported input does not wait.
  explicit CommandInput(bool enabled) : open_(enabled && ::fcntl(STDIN_FILENO, F_GETFL) >= 0) {}
  bool open() const { return open_; }
  std::vector<std::string> readLines() {
    std::vector<std::string> lines;
    char buffer[1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
      open_ = false;
      pending_ += '\n';  // a last line without its line feed still counts
    } else if (n > 0) {
      pending_.append(buffer, static_cast<std::size_t>(n));
    }
    std::size_t end;
    while ((end = pending_.find('\n')) != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      const auto first = line.find_first_not_of(" \t");
      if (first != std::string::npos && line[first] != '#') {
        lines.push_back(line);
      }
    }
    return lines;
  }

 private:
  bool open_;
  std::string pending_;
};

}  // namespace

int servePty(Adapter& adapter, const PtyServeOptions& options, std::FILE* out, std::FILE* err) {
  const char* dir = std::getenv("VANTOR_PORT_DIR");
  if (dir == nullptr || *dir == '\0') {
    std::fprintf(err,
                 "vantor-sim: VANTOR_PORT_DIR is not set; it names the folder in which "
                 "the simulator publishes its port as COMn\n");
    return 2;
  }
  const fs::path portPath = platform::portDevicePath(options.portNumber);
  if (portPath.empty()) {
    std::fprintf(err, "vantor-sim: port %d has no device name\n", options.portNumber);
    return 2;
  }

  platform::PseudoTerminal pty;
  if (!pty.status()) {
    std::fprintf(err, "vantor-sim: %s failed: %s\n", pty.status().operation.c_str(),
                 std::strerror(pty.status().error));
    return 1;
  }
  if (auto held = pty.holdSlaveOpen(); !held) {
    std::fprintf(err, "vantor-sim: %s of %s failed: %s\n", held.operation.c_str(),
                 pty.slavePath().c_str(), std::strerror(held.error));
    return 1;
  }

  SignalCatcher signals;
  PortLink link;
  std::string error;
  if (!link.create(portPath, pty.slavePath(), error)) {
    std::fprintf(err, "vantor-sim: %s\n", error.c_str());
    return 1;
  }
  UsbSysfsEntry usb;
  if (options.usbProduct != 0) {
    const char* root = std::getenv("VANTOR_SYSFS_ROOT");
    const auto made = usb.create(root, options.portNumber, pty.slavePath(), options.usbProduct,
                                 options.usbSerial);
    if (!made) {
      std::fprintf(err, "vantor-sim: describing the USB device under %s failed (%s: %s)\n", root,
                   made.operation.c_str(), std::strerror(made.error));
      return 1;
    }
  }

  adapter.toHost = [&pty, err](const std::vector<std::uint8_t>& bytes) {
    if (auto written = pty.write(bytes); !written) {
      std::fprintf(err, "vantor-sim: %s to the port failed: %s\n", written.operation.c_str(),
                   std::strerror(written.error));
    }
  };
  adapter.onNotice = [out](const std::string& line) { printLine(out, line); };

  Scheduler scheduler(options.schedule, platform::now());
  CommandInput input(options.commandsFromStdin);
  printLine(out, "ready " + platform::portName(options.portNumber));

  bool signalled = false;
  while (!signalled && !adapter.quitRequested()) {
    pollfd fds[3] = {
        {pty.masterFd(), POLLIN, 0}, {signals.fd(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = input.open() ? 3 : 2;
    if (::poll(fds, count, static_cast<int>(kPollMs)) < 0 && errno != EINTR) {
      std::fprintf(err, "vantor-sim: poll failed: %s\n", std::strerror(errno));
      break;
    }
    signalled = (fds[1].revents & POLLIN) != 0;
    adapter.poll(platform::now());
    if ((fds[0].revents & POLLIN) != 0) {
      const auto bytes = pty.read(0);
      adapter.fromHost(bytes.data(), bytes.size(), pty.slaveBaud());
    }
    if (count == 3 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      for (const auto& line : input.readLines()) {
        printLine(out, adapter.execute(line));
      }
    }
    for (const auto& command : scheduler.due(platform::now())) {
      printLine(out, adapter.execute(command));
    }
  }
  adapter.toHost = nullptr;
  adapter.onNotice = nullptr;
  return 0;
}

}  // namespace sim
