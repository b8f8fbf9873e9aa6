// The three layers together on the real clock and the real loop, against an adapter played on
// a pseudo-terminal by a thread of this test, with its own reading of the frame rules.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/loop.h"
#include "vtlink/comm_link.h"
#include "vtlink/data_link.h"
#include "vtlink/log_recorder.h"
#include "vtlink/tests/link_pty_line.h"
#include "vtlink/tests/log_test_file.h"

namespace vtlink::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint8_t kPort = 4;

// Answers the reset with its own INIT, the host's INIT with "+", acknowledges each good data
// frame with "0", "1", "0", ... and, once it has acknowledged the host's first frame, sends a
// frame of its own.
class AdapterThread {
 public:
  AdapterThread(platform::PseudoTerminal& pty, Bytes ownFrame)
      : pty_(pty), ownFrame_(std::move(ownFrame)), thread_([this] { run(); }) {}
  ~AdapterThread() {
    stop_ = true;
    thread_.join();
  }

  std::vector<Bytes> received() {
    std::lock_guard lock(m_);
    return received_;
  }
  Bytes hostAcks() {
    std::lock_guard lock(m_);
    return hostAcks_;
  }

 private:
  void run() {
    while (!stop_) {
      for (std::uint8_t b : pty_.read(20)) {
        take(b);
      }
    }
  }

  void send(const Bytes& bytes) { pty_.write(bytes); }

  void take(std::uint8_t b) {
    if (b == 0x1B) {
      if (++escapes_ == 3) {
        escapes_ = 0;
        send({'I'});
      }
      return;
    }
    escapes_ = 0;
    if (b == '[') {
      frame_.emplace();
      unstuff_ = false;
    } else if (b == ']') {
      if (frame_ && frame_->size() >= 2) {
        endOfFrame();
      }
      frame_.reset();
    } else if (b == '$') {
      unstuff_ = true;
    } else if (b == 'I') {
      send({'+'});
    } else if (b == '+' || b == '0' || b == '1') {
      std::lock_guard lock(m_);
      hostAcks_.push_back(b);
    } else if (frame_) {
      frame_->push_back(unstuff_ ? static_cast<std::uint8_t>(~b) : b);
      unstuff_ = false;
    }
  }

  void endOfFrame() {
    std::uint8_t sum = 0;
    for (std::uint8_t b : *frame_) {
      sum = static_cast<std::uint8_t>(sum + b);
    }
    if (sum != 0) {
      send({'N'});
      return;
    }
    {
      std::lock_guard lock(m_);
      received_.emplace_back(frame_->begin(), frame_->end() - 1);
    }
    send({ackSymbol_});
    ackSymbol_ = ackSymbol_ == '0' ? '1' : '0';
    if (!ownFrameSent_) {
      ownFrameSent_ = true;
      send(ownFrame_);
    }
  }

  platform::PseudoTerminal& pty_;
  const Bytes ownFrame_;
  std::atomic<bool> stop_{false};
  std::mutex m_;
  std::vector<Bytes> received_;
  Bytes hostAcks_;
  int escapes_ = 0;
  std::optional<Bytes> frame_;
  bool unstuff_ = false;
  std::uint8_t ackSymbol_ = '0';
  bool ownFrameSent_ = false;
  std::thread thread_;  // last: starts once everything above is set up
};

// The adapter's frame 11 5B, stuffed as the wire carries it.
const Bytes kAdapterFrame = {0x5B, 0x24, 0xEE, 0x24, 0xA4, 0x94, 0x5D};
const Bytes kHostPayload = {0x21, 0xA0, 0x00, 0x04, 0x01};

// `expected` must appear in `lines` in this order, other lines between them allowed.
void expectInOrder(const std::vector<std::string>& lines,
                   const std::vector<std::string>& expected) {
  std::size_t at = 0;
  for (const auto& want : expected) {
    while (at < lines.size() && lines[at] != want) {
      ++at;
    }
    if (at == lines.size()) {
      ADD_FAILURE() << "missing, or out of order: \"" << want << "\"";
      return;
    }
    ++at;
  }
}

TEST(LinkEndToEndTest, HandshakeAndOneFrameEachWayOnAPty) {
  PtyLine line(kPort);
  ASSERT_TRUE(line.ready()) << "no pseudo-terminal";
  TempDir logDir;
  const std::string logPath = logDir.path() + "/vtlink.log";
  LogRecorder log;
  ASSERT_TRUE(log.open(logPath.c_str(), 3, 10000, "Orrin Vantor Win32 DLL Log File"));
  CommLink comm(log);
  DataLink link(log, comm);
  platform::Loop& loop = platform::Loop::current();

  std::vector<std::uint32_t> events;
  Bytes fetched;
  {
    AdapterThread adapter(line.adapter(), kAdapterFrame);
    const std::uint16_t opened = link.open(0, kPort, "19200", [&](std::uint32_t event) {
      events.push_back(event);
      if (event == dl::kConnected) {
        EXPECT_EQ(link.sendFrame(kHostPayload.size(), kHostPayload.data()), 0);
      } else if (event == dl::kFrameReceived) {
        std::uint8_t got[dl::kMaxPayload] = {};
        fetched.assign(got, got + link.fetchFrame(sizeof got, got));
        EXPECT_EQ(link.acknowledgeFrame(), 0);
      }
    });
    ASSERT_EQ(opened, 0);
    EXPECT_TRUE(loop.runUntil([&] { return adapter.hostAcks().size() == 2; }, 5000));
    EXPECT_EQ(adapter.received(), std::vector<Bytes>{kHostPayload});
    // "+" for the adapter's INIT, "0" for its first frame.
    EXPECT_EQ(adapter.hostAcks(), Bytes({'+', '0'}));
    link.close();
  }
  EXPECT_EQ(events,
            (std::vector<std::uint32_t>{dl::kConnected, dl::kFrameAcked, dl::kFrameReceived}));
  EXPECT_EQ(fetched, Bytes({0x11, 0x5B}));
  EXPECT_EQ(loop.timerCount(), 0u);
  log.close();

  std::vector<std::string> tagged;
  for (const auto& l : readLogLines(logPath)) {
    tagged.push_back(l.substr(8));
    EXPECT_EQ(l.find(" L4: "), std::string::npos) << "byte detail above the level: " << l;
  }
  expectInOrder(tagged, {
                            " L1: Data Link: Opening Link Service.",
                            " L1: Comm Link: Opening Win32 Comm Service.",
                            " L1: Comm Link: Using " + line.dir() + "/COM4.",
                            " L1: Comm Link: Device Control String = 19200,n,8,1.",
                            " L1: Comm Link: Open Successful.",
                            " L2: Data Link: Issuing Device Reset Sequence.",
                            " L2: Data Link: INIT Frame Received.",
                            " L3: Data Link: Issuing ACK Frame.",
                            " L2: Data Link: Issuing INIT Frame.",
                            " L3: Data Link: ACK Frame Received.",
                            " L1: Data Link: Connection Established, Open Complete.",
                            " L2: Data Link: Initiating Data Frame Tx.",
                            " L2: Data Link: Sending Data Frame.",
                            " L3: Data Link: Tx Data = \"[21][A0][00][04][01]\".",
                            " L3: Data Link: ACK Frame Received.",
                            " L2: Data Link: Data Frame Acknowledged, Tx Complete.",
                            " L3: Data Link: SOF Detected.",
                            " L3: Data Link: EOF Detected.",
                            " L3: Data Link: CheckSum Verified.",
                            " L2: Data Link: Data Frame Received.",
                            " L3: Data Link: Rx Data = \"[11][5B]\".",
                            " L3: Data Link: Issuing ACK Frame.",
                            " L1: Data Link: Closing Link Service.",
                            " L1: Comm Link: Closing Windows Comm Service.",
                            " L1: Comm Link: Close Successful.",
                            " L1: Data Link: Close Successful.",
                            " L1: ----- END OF LOG -----.",
                        });
}

}  // namespace
}  // namespace vtlink::test
