// The library's own cost: data-link ticks per transaction against the simulator, next to the
// fewest ticks the one-item-per-tick rule allows, on the virtual clock and on a pty; and the
// CPU time of an idle tick with a link open.
//
// The receiver handles one acknowledgement or one frame per 50 ms tick, so a transaction
// costs at least one tick per item the adapter sends: for every command frame its ACK, then
// the adapter's answer (0x13 for the next block, 0x14, or a 0x22 with up to 17 data bytes).

#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/loop.h"
#include "sim/adapter.h"
#include "sim/memory_transport.h"
#include "vtlink/tests/i2c_scripted_adapter.h"
#include "vtlink/vtlink.h"

namespace {

constexpr uint32_t kMsgNo = 1024;
constexpr int kTickMs = 50;

struct Transaction {
  const char* name;
  std::function<uint32_t()> request;
  uint32_t event;
  int minimumTicks;
};

const uint8_t kBytes[40] = {0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

const std::vector<Transaction>& transactions() {
  static const std::vector<Transaction> all = {
      {"write1", [] { return I2CMasterTx(0xA0, kBytes, 1, 1); }, I2C_EV_MASTER_TX_COMPLETE, 2},
      {"write16", [] { return I2CMasterTx(0xA0, kBytes, 16, 1); }, I2C_EV_MASTER_TX_COMPLETE, 2},
      // Three blocks: ACK and 0x13, ACK and 0x13, ACK and 0x14.
      {"write40", [] { return I2CMasterTx(0xA0, kBytes, 40, 1); }, I2C_EV_MASTER_TX_COMPLETE, 6},
      {"read16", [] { return I2CMasterRx(0xA0, 16, 1); }, I2C_EV_MASTER_RX_COMPLETE, 2},
  };
  return all;
}

I2CLinkRecord linkRecord(int port) {
  I2CLinkRecord record{};
  record.ComPortNo = static_cast<uint8_t>(port);
  record.WmMsgNo = kMsgNo;
  record.HostSlaveAddr = 0x70;
  record.BusTimeOut = 1000;
  record.MasterBitRate = 1;
  record.SlaveRxBufSize = 64;
  return record;
}

// A window that collects the library's events.
class EventWindow {
 public:
  EventWindow()
      : hwnd_(platform::Loop::current().createWindow([this](const platform::Message& m) {
          if (m.msg == kMsgNo) {
            events_.push_back(static_cast<uint32_t>(m.wparam));
          }
        })) {}
  ~EventWindow() {
    platform::Loop::current().processPending();
    platform::Loop::current().destroyWindow(hwnd_);
  }
  uint32_t handle() const { return hwnd_; }
  bool seen(uint32_t event) const {
    return std::find(events_.begin(), events_.end(), event) != events_.end();
  }
  void clear() { events_.clear(); }

 private:
  std::vector<uint32_t> events_;
  uint32_t hwnd_;
};

// The in-process simulator on the virtual clock.
class VirtualSimLink {
 public:
  static constexpr int kPort = 41;

  VirtualSimLink() : adapter_(sim::AdapterOptions{}), transport_(adapter_, kPort) {
    const I2CLinkRecord record = linkRecord(kPort);
    ok_ = I2COpen(window_.handle(), 0, &record) == 0 && runUntil(I2C_EV_OPEN_COMPLETE);
  }
  ~VirtualSimLink() { I2CClose(); }
  bool ok() const { return ok_; }

  // Starts the request right after a tick and counts the ticks until its event.
  int ticksFor(const Transaction& t) {
    clock_.advance(kTickMs - clock_.now() % kTickMs);
    window_.clear();
    const platform::Millis start = clock_.now();
    if (t.request() != 0 || !runUntil(t.event)) {
      return -1;
    }
    uint8_t sink[64];
    I2CGetMasterRxMsg(sizeof sink, sink);
    return static_cast<int>((clock_.now() - start + kTickMs - 1) / kTickMs);
  }

 private:
  bool runUntil(uint32_t event) {
    for (int ms = 0; ms < 20000 && !window_.seen(event); ++ms) {
      clock_.advance(1);
      platform::Loop::current().processPending();
    }
    return window_.seen(event);
  }

  platform::VirtualClock clock_;
  sim::Adapter adapter_;
  sim::MemoryTransport transport_;
  EventWindow window_;
  bool ok_ = false;
};

// Ticks per transaction over `Link`: the in-process simulator on the virtual clock, or
// vantor-sim on a pty.
template <class Link>
void TicksPerTransaction(benchmark::State& state, const Transaction& t) {
  Link link;
  if (!link.ok()) {
    state.SkipWithError("the link did not open");
    return;
  }
  double ticks = 0;
  for (auto _ : state) {
    const double n = link.ticksFor(t);
    if (n < 0) {
      state.SkipWithError("the transaction did not complete");
      return;
    }
    ticks += n;
  }
  state.counters["ticks"] = benchmark::Counter(ticks, benchmark::Counter::kAvgIterations);
  state.counters["minimum"] = t.minimumTicks;
}

// One tick of an open, idle link: nothing arrives, nothing is due.
void IdleTick(benchmark::State& state) {
  platform::VirtualClock clock;
  vtlink_test::ScriptedAdapter adapter(42);
  EventWindow window;
  const I2CLinkRecord record = linkRecord(42);
  if (I2COpen(window.handle(), 0, &record) != 0) {
    state.SkipWithError("the link did not open");
    return;
  }
  for (int i = 0; i < 100 && !window.seen(I2C_EV_OPEN_COMPLETE); ++i) {
    clock.advance(kTickMs);
    adapter.pump();
    platform::Loop::current().processPending();
  }
  if (!window.seen(I2C_EV_OPEN_COMPLETE)) {
    state.SkipWithError("the link did not open");
    return;
  }
  for (auto _ : state) {
    clock.advance(kTickMs);
  }
  I2CClose();
}

#ifdef VANTOR_SIM_PATH
// vantor-sim as a child process on a pty, on the real clock.
class PtySimLink {
 public:
  static constexpr int kPort = 43;

  PtySimLink() {
    char pattern[] = "/tmp/vtlink-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
      return;
    }
    dir_ = pattern;
    setenv("VANTOR_PORT_DIR", dir_.c_str(), 1);
    int fromSim[2];
    if (pipe(fromSim) != 0) {
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fromSim[1], 1);
      close(fromSim[0]);
      const std::string port = std::to_string(kPort);
      execl(VANTOR_SIM_PATH, VANTOR_SIM_PATH, "--port", port.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fromSim[1]);
    out_ = fdopen(fromSim[0], "r");
    char line[128];
    if (out_ == nullptr || std::fgets(line, sizeof line, out_) == nullptr) {
      return;
    }
    const I2CLinkRecord record = linkRecord(kPort);
    ok_ = I2COpen(window_.handle(), 0, &record) == 0 && runUntil(I2C_EV_OPEN_COMPLETE);
  }
  ~PtySimLink() {
    I2CClose();
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ != nullptr) {
      std::fclose(out_);
    }
    unsetenv("VANTOR_PORT_DIR");
    if (!dir_.empty()) {
      std::filesystem::remove_all(dir_);
    }
  }
  bool ok() const { return ok_; }

  // Real time from the request to its event, in ticks. The request falls anywhere between
  // two ticks, so the figure is not a whole number.
  double ticksFor(const Transaction& t) {
    window_.clear();
    const platform::Millis start = platform::now();
    if (t.request() != 0 || !runUntil(t.event)) {
      return -1;
    }
    uint8_t sink[64];
    I2CGetMasterRxMsg(sizeof sink, sink);
    return static_cast<double>(platform::now() - start) / kTickMs;
  }

 private:
  bool runUntil(uint32_t event) {
    return platform::Loop::current().runUntil([&] { return window_.seen(event); }, 15000);
  }

  std::string dir_;
  pid_t pid_ = -1;
  std::FILE* out_ = nullptr;
  EventWindow window_;
  bool ok_ = false;
};
#endif

int registerAll() {
  for (const Transaction& t : transactions()) {
    benchmark::RegisterBenchmark((std::string("Virtual/") + t.name).c_str(),
                                 TicksPerTransaction<VirtualSimLink>, t);
  }
#ifdef VANTOR_SIM_PATH
  for (const Transaction& t : transactions()) {
    benchmark::RegisterBenchmark((std::string("Pty/") + t.name).c_str(),
                                 TicksPerTransaction<PtySimLink>, t)
        ->UseRealTime()
        ->Iterations(5);
  }
#endif
  benchmark::RegisterBenchmark("IdleTick", IdleTick);
  return 0;
}

const int registered = registerAll();

}  // namespace

BENCHMARK_MAIN();
