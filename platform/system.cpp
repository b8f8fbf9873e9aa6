#include "platform/system.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

std::string withSlash(std::string folder) {
  if (folder.back() != '/') {
    folder += '/';
  }
  return folder;
}

// In the child between fork and exec only async-signal-safe calls are allowed.
[[noreturn]] void execOrReport(const char* program, char* const argv[], int reportFd) {
  const int devNull = ::open("/dev/null", O_RDONLY);
  if (devNull >= 0) {
    ::dup2(devNull, STDIN_FILENO);
  }
  ::execvp(program, argv);
  const int error = errno;
  [[maybe_unused]] ssize_t n = ::write(reportFd, &error, sizeof error);
  ::_exit(127);
}

}  // namespace

std::string dataFolder() {
  // The base directory rules ignore a relative XDG_DATA_HOME.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    return withSlash(xdg);
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') {
    return withSlash(home) + ".local/share/";
  }
  return "";
}

Status openWithAssociatedProgram(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    return Status::fromErrno("stat");
  }
  const bool runDirectly = S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
  std::string program = runDirectly ? path : "xdg-open";
  std::string argument = path;
  char* argvDirect[] = {program.data(), nullptr};
  char* argvOpener[] = {program.data(), argument.data(), nullptr};
  char* const* argv = runDirectly ? argvDirect : argvOpener;
  // A path without a slash would be looked up in PATH instead of run from here.
  std::string local = "./" + path;
  if (runDirectly && path.find('/') == std::string::npos) {
    program = local;
    argvDirect[0] = program.data();
  }

  // The exec error comes back through a pipe that closes by itself on a successful exec.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    return Status::fromErrno("pipe");
  }
  const pid_t child = ::fork();
  if (child < 0) {
    const Status s = Status::fromErrno("fork");
    ::close(report[0]);
    ::close(report[1]);
    return s;
  }
  if (child == 0) {
    // The middle process exits at once, so the program is not ours to wait for and leaves
    // no zombie behind.
    ::close(report[0]);
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild == 0) {
      execOrReport(program.c_str(), argv, report[1]);
    }
    if (grandchild < 0) {
      const int error = errno;
      [[maybe_unused]] ssize_t n = ::write(report[1], &error, sizeof error);
    }
    ::_exit(0);
  }
  ::close(report[1]);
  int childStatus = 0;
  while (::waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got = 0;
  do {
    got = ::read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  if (got == static_cast<ssize_t>(sizeof error)) {
    return Status::failure(error, "exec");
  }
  return Status::success();
}

void setCurrentThreadPriority(ThreadPriority priority) {
  int niceValue = 0;
  switch (priority) {
    case ThreadPriority::BelowNormal:
      niceValue = 5;
      break;
    case ThreadPriority::Normal:
      niceValue = 0;
      break;
    case ThreadPriority::AboveNormal:
      niceValue = -5;
      break;
  }
  const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  // Raising a priority needs a privilege most users lack; the thread then simply keeps its own.
  ::setpriority(PRIO_PROCESS, tid, niceValue);
}

}  // namespace platform
