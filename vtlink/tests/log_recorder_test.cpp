// The diagnostic log file: header, levels, line shape, second open and the rewind.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "vtlink/log_recorder.h"
#include "vtlink/tests/link_case_name.h"
#include "vtlink/tests/log_test_file.h"

namespace vtlink {
namespace {

const char* const kTitle = "Orrin Vantor Win32 DLL Log File";

class LogRecorderTest : public testing::Test {
 protected:
  std::string path() const { return dir_.path() + "/vtlink.log"; }
  std::vector<std::string> lines() const { return test::readLogLines(path()); }
  std::vector<std::string> bodies() const { return test::logBodies(lines()); }

  test::TempDir dir_;
  LogRecorder log_;
};

TEST_F(LogRecorderTest, HeaderAndEndLines) {
  ASSERT_TRUE(log_.open(path().c_str(), 3, 100, kTitle));
  log_.write(1, "Data Link: Opening Link Service.");
  log_.close();
  auto all = lines();
  ASSERT_EQ(all.size(), 6u);
  for (const auto& line : all) {
    EXPECT_TRUE(std::regex_match(line, std::regex(R"([0-2]\d:[0-5]\d:[0-5]\d L1: .*)"))) << line;
  }
  EXPECT_TRUE(std::regex_match(
      all[0], std::regex(R"(.{8} L1: Orrin Vantor Win32 DLL Log File )"
                         R"((Sun|Mon|Tue|Wed|Thu|Fri|Sat) )"
                         R"((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123]\d \d{4}\.)")))
      << all[0];
  auto body = bodies();
  EXPECT_EQ(body[1], "Logging Level = 3.");
  EXPECT_EQ(body[2], "Rewind Log File at 100 Lines.");
  EXPECT_EQ(body[3], "----- START OF LOG -----.");
  EXPECT_EQ(body[4], "Data Link: Opening Link Service.");
  EXPECT_EQ(body[5], "----- END OF LOG -----.");
}

TEST_F(LogRecorderTest, DayOfMonthIsPaddedWithASpace) {
  ASSERT_TRUE(log_.open(path().c_str(), 1, 20, kTitle));
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char day[4];
  std::snprintf(day, sizeof day, "%2d", local.tm_mday);
  std::string header = lines().at(0);
  // "... Log File Thu Aug  9 2004." : the day sits in two places before the year.
  EXPECT_EQ(header.substr(header.size() - 8, 3), std::string(day) + " ") << header;
}

struct LevelCase {
  const char* name;
  int configured;
  int rewindLimit;
  int lineLevel;
  const char* headerLevel;  // the second header line
  const char* headerLimit;  // the third header line
  const char* tag;          // the written line's tag, or nullptr when it is left out
};

class LogLevelTest : public LogRecorderTest, public testing::WithParamInterface<LevelCase> {};

TEST_P(LogLevelTest, BoundsLevelsAndLimit) {
  const LevelCase& c = GetParam();
  ASSERT_TRUE(log_.open(path().c_str(), c.configured, c.rewindLimit, kTitle));
  log_.write(c.lineLevel, "Comm Link: Rx Data = [%02X].", 0x5B);
  auto all = lines();
  EXPECT_EQ(all.at(1).substr(8), std::string(" L1: ") + c.headerLevel);
  EXPECT_EQ(all.at(2).substr(8), std::string(" L1: ") + c.headerLimit);
  if (c.tag == nullptr) {
    EXPECT_EQ(all.size(), 4u);
  } else {
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[4].substr(8), std::string(c.tag) + "Comm Link: Rx Data = [5B].");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, LogLevelTest,
    testing::Values(LevelCase{"SevenActsAsFour", 7, 100, 4, "Logging Level = 4.",
                              "Rewind Log File at 100 Lines.", " L4: "},
                    LevelCase{"LimitFiveBecomesTwenty", 1, 5, 1, "Logging Level = 1.",
                              "Rewind Log File at 20 Lines.", " L1: "},
                    LevelCase{"LineAboveLevelLeftOut", 2, 100, 3, "Logging Level = 2.",
                              "Rewind Log File at 100 Lines.", nullptr},
                    LevelCase{"LineAtLevelWritten", 2, 100, 2, "Logging Level = 2.",
                              "Rewind Log File at 100 Lines.", " L2: "},
                    LevelCase{"LineLevelZeroIsOne", 1, 100, 0, "Logging Level = 1.",
                              "Rewind Log File at 100 Lines.", " L1: "},
                    LevelCase{"LineLevelNineIsFour", 4, 100, 9, "Logging Level = 4.",
                              "Rewind Log File at 100 Lines.", " L4: "},
                    LevelCase{"LineLevelNineLeftOutBelowFour", 3, 100, 9, "Logging Level = 3.",
                              "Rewind Log File at 100 Lines.", nullptr}),
    test::CaseName());

TEST_F(LogRecorderTest, LoggingOffCreatesNoFile) {
  struct Off {
    const char* name;
    const char* path;
    int level;
  };
  const std::string named = path();
  for (const Off& off :
       {Off{"no path", nullptr, 4}, Off{"empty path", "", 4}, Off{"level 0", named.c_str(), 0}}) {
    SCOPED_TRACE(off.name);
    LogRecorder recorder;
    EXPECT_TRUE(recorder.open(off.path, off.level, 100, kTitle));
    EXPECT_FALSE(recorder.isOpen());
    recorder.write(1, "nothing");
    recorder.close();
    EXPECT_FALSE(std::ifstream(named).good());
  }
}

TEST_F(LogRecorderTest, UnwritableFileFailsTheOpen) {
  EXPECT_FALSE(log_.open((dir_.path() + "/missing/vtlink.log").c_str(), 4, 100, kTitle));
  EXPECT_FALSE(log_.isOpen());
}

TEST_F(LogRecorderTest, OpenStartsTheFileAnew) {
  {
    std::ofstream old(path());
    old << "left over from an earlier run, much longer than anything written below\n";
  }
  ASSERT_TRUE(log_.open(path().c_str(), 1, 100, kTitle));
  EXPECT_EQ(lines().size(), 4u);
  EXPECT_EQ(test::readFile(path()).find("left over"), std::string::npos);
}

TEST_F(LogRecorderTest, LinesAreCutAtEightyCharacters) {
  ASSERT_TRUE(log_.open(path().c_str(), 1, 100, kTitle));
  const std::string fits(67, 'a');
  const std::string hundred(100, 'b');
  log_.write(1, "%s", fits.c_str());
  log_.write(1, "%s", hundred.c_str());
  log_.write(1, "%s\n", hundred.c_str());
  auto all = lines();
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(all[4].substr(8), " L1: " + fits);
  EXPECT_EQ(all[5].size(), 80u);
  EXPECT_EQ(all[5].substr(8), " L1: " + std::string(67, 'b'));
  // The line feed that ends the message is the line's own, and the cut does not lose it.
  EXPECT_EQ(all[6].substr(8), all[5].substr(8));
}

TEST_F(LogRecorderTest, MessageEndingInLineFeedMakesOneLine) {
  ASSERT_TRUE(log_.open(path().c_str(), 1, 100, kTitle));
  log_.write(1, "I2C Link: I2CClose().\n");
  log_.write(1, "I2C Link: I2CClose() Successful.");
  auto body = bodies();
  ASSERT_EQ(body.size(), 6u);
  EXPECT_EQ(body[4], "I2C Link: I2CClose().");
  EXPECT_EQ(body[5], "I2C Link: I2CClose() Successful.");
}

// Adapter text arrives in a log line as it came; a line break inside it must not start a line
// of its own, which would look like a line of the library and throw off the rewind count.
TEST_F(LogRecorderTest, LineBreakInsideAMessageStaysOnItsLine) {
  ASSERT_TRUE(log_.open(path().c_str(), 1, 100, kTitle));
  log_.write(1, "Vantor Log: %.*s.", 11, "boot\r\nready");
  auto body = bodies();
  ASSERT_EQ(body.size(), 5u);
  EXPECT_EQ(body[4], "Vantor Log: boot  ready.");
}

TEST_F(LogRecorderTest, SecondOpenKeepsTheFirstFile) {
  ASSERT_TRUE(log_.open(path().c_str(), 2, 100, kTitle));
  const std::string other = dir_.path() + "/other.log";
  EXPECT_TRUE(log_.open(other.c_str(), 4, 20, "Another Title"));
  log_.write(3, "not at level 2");
  log_.write(2, "still the first file");
  EXPECT_FALSE(std::ifstream(other).good());
  EXPECT_EQ(log_.level(), 2);
  auto body = bodies();
  ASSERT_EQ(body.size(), 6u);
  EXPECT_EQ(body[1], "Logging Level = 2.");
  EXPECT_EQ(lines()[4].substr(8), " L2: Log Recorder: NOTICE - Log File Already Open.");
  EXPECT_EQ(body[5], "still the first file");
}

// Messages as long as the rewind line, so a newer pass overwrites older lines exactly.
std::string numbered(int i) {
  return formatMessage("Message number %010d.", i);
}

TEST_F(LogRecorderTest, RewindsBehindTheHeaderAndKeepsThePreviousTail) {
  ASSERT_TRUE(log_.open(path().c_str(), 1, 20, kTitle));
  ASSERT_EQ(numbered(1).size(), std::string("Log File rewind count = 1.").size());
  for (int i = 1; i <= 40; ++i) {
    log_.write(1, "%s", numbered(i).c_str());
  }
  // The header and 15 messages fill the first pass; every later pass holds the rewind line and
  // 19 messages. Forty messages are two rewinds and six lines into the third pass.
  std::vector<std::string> expected = {"Log File rewind count = 2."};
  for (int i = 35; i <= 40; ++i) {
    expected.push_back(numbered(i));
  }
  for (int i = 22; i <= 34; ++i) {
    expected.push_back(numbered(i));
  }
  auto body = bodies();
  ASSERT_EQ(body.size(), 4 + expected.size());
  EXPECT_EQ(body[3], "----- START OF LOG -----.");
  EXPECT_EQ(std::vector<std::string>(body.begin() + 4, body.end()), expected);
}

TEST_F(LogRecorderTest, RewindCutsWhatThePassBeforeLeft) {
  ASSERT_TRUE(log_.open(path().c_str(), 1, 20, kTitle));
  const std::string longText(60, 'L');
  for (int i = 1; i <= 15; ++i) {
    log_.write(1, "%s", longText.c_str());
  }
  for (int i = 16; i <= 34; ++i) {
    log_.write(1, "short %d", i);
  }
  // The second pass is shorter than the first, so the first one's tail still shows.
  EXPECT_NE(test::readFile(path()).find(longText), std::string::npos);
  log_.write(1, "short 35");
  auto body = bodies();
  EXPECT_EQ(body.at(4), "Log File rewind count = 2.");
  EXPECT_EQ(body.at(5), "short 35");
  EXPECT_EQ(test::readFile(path()).find(longText), std::string::npos);
}

}  // namespace
}  // namespace vtlink
