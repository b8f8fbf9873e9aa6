// The log's formatter and data dump, on the conversions the layers' messages use.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "vtlink/log_recorder.h"
#include "vtlink/tests/link_case_name.h"

namespace vtlink {
namespace {

struct FormatCase {
  const char* name;
  std::string actual;
  std::string expected;
};

std::string addressDigits(std::uintptr_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text(sizeof(void*) * 2, '0');
  for (auto i = text.size(); i-- > 0 && value != 0; value >>= 4) {
    text[i] = kDigits[value & 0xF];
  }
  return text;
}

const int kZero = 0;
const void* const kNoAddress = nullptr;
const char* const kNoText = nullptr;

class FormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, FormatsAsTheLogShowsIt) {
  EXPECT_EQ(GetParam().actual, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, FormatTest,
    testing::Values(
        FormatCase{"AddressAsManyDigitsAsAnAddressHas",
                   formatMessage("%Lp", reinterpret_cast<const void*>(0xAB12)),
                   addressDigits(0xAB12)},
        FormatCase{"NullAddressAllZeros", formatMessage("(%Lp)", kNoAddress),
                   "(" + addressDigits(0) + ")"},
        FormatCase{"PrefixedUpperHex", formatMessage("%#X", 0x1fu), "0X1F"},
        FormatCase{"PrefixedZeroIsPlainZero", formatMessage("%#X", kZero), "0"},
        FormatCase{"VersionWithLeadingSpace", formatMessage("%2d.%02.2d", 213 / 100, 213 % 100),
                   " 2.13"},
        FormatCase{"VersionMinorPadded", formatMessage("%2d.%02.2d", 1, 5), " 1.05"},
        FormatCase{"VersionTwoDigitMajor", formatMessage("%2d.%02.2d", 12, kZero), "12.00"},
        FormatCase{"CountedText", formatMessage("Vantor Log: %.*s.", 3, "abcdef"),
                   "Vantor Log: abc."},
        FormatCase{"StarWidth", formatMessage("[%*d]", 4, 7), "[   7]"},
        FormatCase{"NegativeStarWidthLeftAligns", formatMessage("[%*d]", -4, 7), "[7   ]"},
        FormatCase{"ByteAsTwoHexDigits", formatMessage("[%02X]", 0x0a), "[0A]"},
        FormatCase{"Character", formatMessage("%c%c", 'O', 'K'), "OK"},
        FormatCase{"LongAndUnsigned", formatMessage("%ld %u %lu", -5L, 4000000000u, 7ul),
                   "-5 4000000000 7"},
        FormatCase{"SizeT", formatMessage("%zu", std::size_t{18}), "18"},
        FormatCase{"NullTextDoesNotCrash", formatMessage("%s", kNoText), "(null)"},
        FormatCase{"PercentSign", formatMessage("100%%"), "100%"},
        FormatCase{"WriteBackIsIgnored", formatMessage("a%nb", static_cast<int*>(nullptr)), "ab"},
        FormatCase{"UnknownConversionShownAsWritten", formatMessage("%y %d", 3), "%y 3"},
        FormatCase{"TrailingPercentKept", formatMessage("50%"), "50%"},
        FormatCase{"MasterTxEntryLine",
                   formatMessage("I2C Link: I2CMasterTx(%#X, %Lp, %u, %u).", 0xA0u,
                                 reinterpret_cast<const void*>(0x1000), 5u, 1u),
                   "I2C Link: I2CMasterTx(0XA0, " + addressDigits(0x1000) + ", 5, 1)."}),
    test::CaseName());

struct DumpCase {
  const char* name;
  std::size_t length;
  std::string expected;
};

class DumpTest : public testing::TestWithParam<DumpCase> {};

// Bytes 0x21, 0xA0, 0x00, 0x04, 0x01 and then 0x10, 0x11, ... so every entry is distinct.
std::vector<std::uint8_t> dumpBytes(std::size_t n) {
  std::vector<std::uint8_t> bytes = {0x21, 0xA0, 0x00, 0x04, 0x01};
  for (std::uint8_t b = 0x10; bytes.size() < n; ++b) {
    bytes.push_back(b);
  }
  bytes.resize(n);
  return bytes;
}

std::string entries(std::size_t from, std::size_t to) {
  auto bytes = dumpBytes(to);
  std::string text;
  for (std::size_t i = from; i < to; ++i) {
    text += formatMessage("[%02X]", bytes[i]);
  }
  return text;
}

TEST_P(DumpTest, DumpsBytesInBrackets) {
  auto bytes = dumpBytes(GetParam().length);
  EXPECT_EQ(dataDump(bytes.data(), bytes.size()), GetParam().expected);
}

// The dump grows while it is shorter than 90 characters: 23 entries fit, a 24th is "...".
INSTANTIATE_TEST_SUITE_P(
    Dumps, DumpTest,
    testing::Values(DumpCase{"Empty", 0, ""}, DumpCase{"FiveBytes", 5, "[21][A0][00][04][01]"},
                    DumpCase{"TwentyThreeBytesAllShown", 23, entries(0, 23)},
                    DumpCase{"TwentyFourBytesCut", 24, entries(0, 23) + "..."}),
    test::CaseName());

}  // namespace
}  // namespace vtlink
