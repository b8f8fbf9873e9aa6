#pragma once
// One error path for every system call of the platform layer: a failed operation carries its
// name and the errno value, and callers log or show both.

#include <string>

namespace platform {

struct Status {
  int error = 0;          // errno value; 0 means success
  std::string operation;  // what failed, e.g. "open", "tcsetattr"

  bool ok() const { return error == 0; }
  explicit operator bool() const { return ok(); }

  static Status success() { return {}; }
  // Captures the current errno for the named operation.
  static Status fromErrno(std::string operation);
  static Status failure(int error, std::string operation) { return {error, std::move(operation)}; }

  // "operation: system text (errno)" for logs and message boxes; "success" when ok.
  std::string text() const;
};

}  // namespace platform
