#pragma once
// vantor-sim as a child process for integration tests: its standard input and output on pipes,
// its port opened the way a host program opens a serial port (raw, 19,200 baud).

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace sim::test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

inline bool waitReadable(int fd, Clock::time_point deadline) {
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      return false;
    }
    pollfd p{fd, POLLIN, 0};
    const int n = ::poll(&p, 1, static_cast<int>(left));
    if (n > 0) {
      return true;
    }
    if (n == 0) {
      return false;
    }
  }
}

class SimProcess {
 public:
  ~SimProcess() { stop(SIGKILL); }

  // `env` entries are NAME=VALUE, set in the child only.
  void start(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    int in[2];
    int out[2];
    int err[2];
    ASSERT_EQ(::pipe(in), 0);
    ASSERT_EQ(::pipe(out), 0);
    ASSERT_EQ(::pipe(err), 0);
    pid_ = ::fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      ::dup2(in[0], STDIN_FILENO);
      ::dup2(out[1], STDOUT_FILENO);
      ::dup2(err[1], STDERR_FILENO);
      for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
        ::close(fd);
      }
      for (const auto& entry : env) {
        ::putenv(const_cast<char*>(entry.c_str()));
      }
      std::vector<char*> argv{const_cast<char*>(VANTOR_SIM_PATH)};
      for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
      }
      argv.push_back(nullptr);
      ::execv(VANTOR_SIM_PATH, argv.data());
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    stdin_ = in[1];
    stdout_ = out[0];
    stderr_ = err[0];
  }

  // The next line on standard output, without its line feed; "" after `wait`.
  std::string line(std::chrono::milliseconds wait = std::chrono::seconds(10)) {
    const auto deadline = Clock::now() + wait;
    for (;;) {
      if (const auto end = printed_.find('\n'); end != std::string::npos) {
        std::string text = printed_.substr(0, end);
        printed_.erase(0, end + 1);
        return text;
      }
      if (!waitReadable(stdout_, deadline)) {
        return "";
      }
      char buffer[512];
      const ssize_t n = ::read(stdout_, buffer, sizeof buffer);
      if (n <= 0) {
        return "";
      }
      printed_.append(buffer, static_cast<std::size_t>(n));
    }
  }

  void type(const std::string& text) {
    ASSERT_EQ(::write(stdin_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }

  void endInput() {
    ::close(stdin_);
    stdin_ = -1;
  }

  // Waits for the process to end by itself; its exit code, or -1.
  int exitCode(std::chrono::milliseconds wait = std::chrono::seconds(10)) {
    const auto deadline = Clock::now() + wait;
    while (pid_ > 0 && Clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      ::usleep(10000);
    }
    return -1;
  }

  std::string errors() {
    std::string text;
    char buffer[512];
    while (waitReadable(stderr_, Clock::now() + std::chrono::milliseconds(200))) {
      const ssize_t n = ::read(stderr_, buffer, sizeof buffer);
      if (n <= 0) {
        break;
      }
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

  int stop(int signal = SIGTERM) {
    int code = -1;
    if (pid_ > 0) {
      ::kill(pid_, signal);
      int status = 0;
      ::waitpid(pid_, &status, 0);
      code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      pid_ = -1;
    }
    for (int* fd : {&stdin_, &stdout_, &stderr_}) {
      if (*fd >= 0) {
        ::close(*fd);
        *fd = -1;
      }
    }
    return code;
  }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1;
  int stdout_ = -1;
  int stderr_ = -1;
  std::string printed_;
};

// The host's end of the port.
class HostPort {
 public:
  ~HostPort() { close(); }

  bool open(const fs::path& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd_ < 0) {
      return false;
    }
    termios tio{};
    ::tcgetattr(fd_, &tio);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    return ::tcsetattr(fd_, TCSANOW, &tio) == 0;
  }
  void close() {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  void write(const Bytes& bytes) {
    ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // What arrives until `n` bytes have come or `wait` is over.
  Bytes read(std::size_t n, std::chrono::milliseconds wait = std::chrono::seconds(5)) {
    Bytes got;
    const auto deadline = Clock::now() + wait;
    while (got.size() < n && waitReadable(fd_, deadline)) {
      std::uint8_t buffer[256];
      const ssize_t count = ::read(fd_, buffer, sizeof buffer);
      if (count <= 0) {
        break;
      }
      got.insert(got.end(), buffer, buffer + count);
    }
    return got;
  }

 private:
  int fd_ = -1;
};

// A fresh folder, removed again.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/vantor-sim-test-XXXXXX";
    path_ = ::mkdtemp(pattern) != nullptr ? pattern : "";
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace sim::test
