#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/memory_port.h"
#include "platform/pty.h"
#include "shared/tests/com_thread_test.h"

namespace shared::testing {

namespace {

constexpr int kMemoryPortNumber = 7;

platform::LineSettings adapterSettings() {
  platform::LineSettings settings;
  settings.baud = 115200;
  return settings;
}

class MemoryLine : public FarLine {
 public:
  MemoryLine() : port_(platform::MemoryPort::publish(kMemoryPortNumber)) {}
  platform::Status openHost(platform::SerialPort& port) override {
    return port.open(kMemoryPortNumber, adapterSettings());
  }
  void send(const std::vector<std::uint8_t>& bytes) override { port_->write(bytes); }

 private:
  std::shared_ptr<platform::MemoryPort> port_;
};

class PtyLine : public FarLine {
 public:
  PtyLine() {
    EXPECT_TRUE(pty_.status().ok()) << pty_.status().text();
    // The master must not see a hang-up while the host closes and reopens its side.
    EXPECT_TRUE(pty_.holdSlaveOpen().ok());
  }
  platform::Status openHost(platform::SerialPort& port) override {
    return port.openPath(pty_.slavePath(), adapterSettings());
  }
  void send(const std::vector<std::uint8_t>& bytes) override {
    EXPECT_TRUE(pty_.write(bytes).ok());
  }

 private:
  platform::PseudoTerminal pty_;
};

}  // namespace

std::unique_ptr<FarLine> makeFarLine(LineKind kind) {
  if (kind == LineKind::Memory)
    return std::make_unique<MemoryLine>();
  return std::make_unique<PtyLine>();
}

int threadCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator("/proc/self/task")) {
    ++count;
  }
  return count;
}

int niceThreadCount() {
  int count = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", ec)) {
    std::ifstream in(entry.path() / "stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name, which is in parentheses and may hold blanks; the nice
    // value is field 19 of the whole line, the 17th after the name.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
      continue;
    std::istringstream rest(stat.substr(close + 1));
    std::string field;
    for (int i = 0; i < 17 && rest >> field; ++i) {
    }
    if (!field.empty() && std::stoi(field) > 0)
      ++count;
  }
  return count;
}

}  // namespace shared::testing
