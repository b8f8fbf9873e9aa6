#include "sim/ascii_text.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct DataTextCase {
  const char* name;
  const char* text;
  std::optional<Bytes> bytes;
  // Rows print as their name, which keeps the listed test names stable.
  friend void PrintTo(const DataTextCase& row, std::ostream* os) { *os << row.name; }
};

class DataText : public testing::TestWithParam<DataTextCase> {};

TEST_P(DataText, ParsesAsTheAdapterReadsIt) {
  EXPECT_EQ(parseDataText(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DataText,
    testing::Values(DataTextCase{"Empty", "", Bytes{}},
                    DataTextCase{"PlainCharacters", "123", Bytes{0x31, 0x32, 0x33}},
                    DataTextCase{"Escapes", "~00~01~02", Bytes{0, 1, 2}},
                    DataTextCase{"MixedAndLowerCase", "A~0d~fF", Bytes{0x41, 0x0D, 0xFF}},
                    DataTextCase{"TildeItselfIsEscaped", "~7E", Bytes{0x7E}},
                    DataTextCase{"LoneTildeAtEnd", "AB~", std::nullopt},
                    DataTextCase{"OneDigitAtEnd", "~4", std::nullopt},
                    DataTextCase{"NonHexDigit", "~4G", std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(AsciiArguments, DecimalStopsAtItsLimitWithoutOverflowing) {
  EXPECT_EQ(parseDecimal("32767", 32767), 32767u);
  EXPECT_EQ(parseDecimal("32768", 32767), std::nullopt);
  EXPECT_EQ(parseDecimal("99999999999999999999", 32767), std::nullopt);
  EXPECT_EQ(parseDecimal("", 10), std::nullopt);
  EXPECT_EQ(parseDecimal("1a", 10), std::nullopt);
  EXPECT_EQ(parseHexByte("a0"), 0xA0);
  EXPECT_EQ(parseHexByte("A"), std::nullopt);
  EXPECT_EQ(parseHexByte("A00"), std::nullopt);
}

TEST(AsciiReplies, ReceivedBytesGoInGroupsOfThreeUpperCaseCharacters) {
  EXPECT_EQ(bytesReply("/MRC", {0x41, 0x0A, 0xFF}), "/MRC 41 0A FF\r");
  EXPECT_EQ(bytesReply("/SRC", {}), "/SRC\r");
}

}  // namespace
}  // namespace sim
