#include "platform/system.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <thread>

#include "platform/tests/env_guard.h"

namespace platform {
namespace {

struct FolderCase {
  const char* name;
  std::optional<std::string> xdg;
  std::optional<std::string> home;
  std::string folder;
};

class DataFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(DataFolderTest, ComesFromTheEnvironment) {
  testing::EnvGuard xdg("XDG_DATA_HOME", GetParam().xdg);
  testing::EnvGuard home("HOME", GetParam().home);
  EXPECT_EQ(dataFolder(), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataFolderTest,
    ::testing::Values(
        FolderCase{"XdgWins", "/data/me", "/home/me", "/data/me/"},
        FolderCase{"XdgKeepsItsSlash", "/data/me/", "/home/me", "/data/me/"},
        FolderCase{"HomeWithoutXdg", std::nullopt, "/home/me", "/home/me/.local/share/"},
        FolderCase{"EmptyXdgIsIgnored", "", "/home/me", "/home/me/.local/share/"},
        FolderCase{"RelativeXdgIsIgnored", "data", "/home/me", "/home/me/.local/share/"},
        FolderCase{"RootHome", std::nullopt, "/", "/.local/share/"},
        FolderCase{"Neither", std::nullopt, std::nullopt, ""},
        FolderCase{"EmptyHome", std::nullopt, "", ""}),
    [](const auto& row) { return row.param.name; });

int niceOfThisThread() {
  return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)));
}

TEST(ThreadPriorityTest, BelowNormalLowersOnlyTheCallingThread) {
  const int before = niceOfThisThread();
  int inWorker = before;
  std::thread([&] {
    setCurrentThreadPriority(ThreadPriority::BelowNormal);
    inWorker = niceOfThisThread();
  }).join();
  EXPECT_GT(inWorker, before);
  EXPECT_EQ(niceOfThisThread(), before);
}

}  // namespace
}  // namespace platform
