#pragma once
// The adapter on a pseudo-terminal: published as COMn in VANTOR_PORT_DIR (a symbolic link to
// the pty's slave side), served on the real clock together with commands from standard input
// and a schedule, until "quit", SIGINT, SIGTERM or SIGHUP; the link (and a USB description, if any)
// is removed again on the way out.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/adapter.h"
#include "sim/schedule.h"

namespace sim {

struct PtyServeOptions {
  int portNumber = 0;
  std::vector<ScheduledCommand> schedule;
  bool commandsFromStdin = true;
  std::uint16_t usbProduct = 0;  // 0: no USB description
  std::string usbSerial;
};

// Prints "ready COMn" once the port exists, then one result line per command and the adapter's
// notices, on `out`; problems go to `err`. Returns the process exit code.
int servePty(Adapter& adapter, const PtyServeOptions& options, std::FILE* out, std::FILE* err);

}  // namespace sim
