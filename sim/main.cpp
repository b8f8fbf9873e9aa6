// vantor-sim: one simulated adapter on a pseudo-terminal.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "sim/adapter.h"
#include "sim/options.h"
#include "sim/pty_transport.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const char* root = std::getenv("VANTOR_SYSFS_ROOT");
  std::string error;
  const auto options = sim::parseOptions(args, root != nullptr ? root : "", error);
  if (!options) {
    std::fprintf(stderr, "vantor-sim: %s\n", error.c_str());
    return 2;
  }
  if (options->help) {
    std::fputs(sim::helpText().c_str(), stdout);
    return 0;
  }
  sim::Adapter adapter(options->adapter);
  sim::PtyServeOptions serve;
  serve.portNumber = options->port;
  serve.schedule = options->schedule;
  serve.usbProduct = options->usbProduct;
  serve.usbSerial = options->usbSerial;
  return sim::servePty(adapter, serve, stdout, stderr);
}
