#pragma once
// A pseudo-terminal published as port n through VANTOR_PORT_DIR, for tests of the link on a
// real tty line. The master side is the test's adapter.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "platform/pty.h"
#include "vtlink/tests/log_test_file.h"

namespace vtlink::test {

class PtyLine {
 public:
  explicit PtyLine(int port) {
    if (!pty_.status()) {
      return;
    }
    // Held open so the master never sees a hang-up between two openers of the slave.
    pty_.holdSlaveOpen();
    const std::string link = dir_.path() + "/COM" + std::to_string(port);
    if (::symlink(pty_.slavePath().c_str(), link.c_str()) == 0) {
      ::setenv("VANTOR_PORT_DIR", dir_.path().c_str(), 1);
      ready_ = true;
    }
  }
  ~PtyLine() { ::unsetenv("VANTOR_PORT_DIR"); }

  bool ready() const { return ready_; }
  platform::PseudoTerminal& adapter() { return pty_; }
  const std::string& dir() const { return dir_.path(); }

 private:
  TempDir dir_;
  platform::PseudoTerminal pty_;
  bool ready_ = false;
};

}  // namespace vtlink::test
