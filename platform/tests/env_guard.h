#pragma once
// Sets or clears an environment variable for one test and puts the old value back.

#include <cstdlib>
#include <optional>
#include <string>

namespace platform::testing {

class EnvGuard {
 public:
  EnvGuard(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      old_ = old;
    }
    set(value);
  }
  ~EnvGuard() { set(old_); }
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

 private:
  void set(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_, value->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace platform::testing
