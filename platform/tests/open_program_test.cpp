#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/system.h"
#include "platform/tests/env_guard.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class OpenProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("vantor-open-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  void writeScript(const fs::path& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(path, fs::perms::owner_all);
  }

  bool appearsWithin(const fs::path& path, int ms) {
    for (int waited = 0; waited < ms; waited += 10) {
      if (fs::exists(path)) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  fs::path dir;
};

TEST_F(OpenProgramTest, ExecutableFileIsRunDirectlyWithoutWaiting) {
  const fs::path marker = dir / "ran";
  const fs::path script = dir / "automation.sh";
  writeScript(script, "sleep 1; touch '" + marker.string() + "'");
  const auto started = std::chrono::steady_clock::now();
  Status s = openWithAssociatedProgram(script.string());
  EXPECT_TRUE(s.ok()) << s.text();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(900))
      << "waited for the program";
  EXPECT_TRUE(appearsWithin(marker, 5000));
}

TEST_F(OpenProgramTest, OtherFilesGoToTheDesktopOpener) {
  // A stand-in opener on PATH records what it was asked to open.
  const fs::path bin = dir / "bin";
  fs::create_directories(bin);
  const fs::path asked = dir / "asked";
  writeScript(bin / "xdg-open", "echo \"$1\" > '" + asked.string() + "'");
  testing::EnvGuard path("PATH", bin.string() + ":/usr/bin:/bin");
  const fs::path log = dir / "I2C Link.log";
  std::ofstream(log) << "text";

  ASSERT_TRUE(openWithAssociatedProgram(log.string()).ok());
  ASSERT_TRUE(appearsWithin(asked, 5000));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::ifstream in(asked);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, log.string());
}

TEST_F(OpenProgramTest, FailuresAreReported) {
  EXPECT_EQ(openWithAssociatedProgram((dir / "missing.bat").string()).error, ENOENT);

  // No opener anywhere on PATH: the failed exec comes back to the caller.
  testing::EnvGuard path("PATH", dir.string());
  const fs::path text = dir / "notes.txt";
  std::ofstream(text) << "x";
  Status s = openWithAssociatedProgram(text.string());
  EXPECT_EQ(s.error, ENOENT);
  EXPECT_EQ(s.operation, "exec");
}

}  // namespace
}  // namespace platform
