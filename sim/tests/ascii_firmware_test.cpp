#include "sim/ascii_firmware.h"

#include <gtest/gtest.h>

#include <string_view>

#include "sim/bus.h"
#include "sim/devices.h"

namespace sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::string_view kReset = "\x12\x12\x12";

// The firmware on a real bus with the standard devices, fed as a host would feed it; `sent`
// collects everything the adapter sends.
class AsciiAdapter : public testing::Test {
 protected:
  AsciiAdapter() { attachStandardDevices(bus_); }

  void power(AsciiModel model) {
    firmware_ = makeAsciiFirmware(model, bus_);
    firmware_->send = [this](const Bytes& bytes) { sent_.append(bytes.begin(), bytes.end()); };
  }

  std::string exchange(std::string_view text, int hostBaud = 19200) {
    firmware_->receive(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), hostBaud);
    return taken();
  }

  std::string taken() { return std::exchange(sent_, {}); }

  void openLink(AsciiModel model) {
    power(model);
    ASSERT_EQ(exchange(kReset), "*");
    ASSERT_EQ(exchange("/O\r"), "/OCC\r");
  }

  Bus bus_;
  std::unique_ptr<Firmware> firmware_;
  std::string sent_;
};

// ---- reset handshake and line speed ----

TEST_F(AsciiAdapter, HostHandshakeAtThreeSpeedsGetsOnePromptAtTheLast) {
  power(AsciiModel::QX);
  EXPECT_EQ(exchange(kReset, 115200), "");
  EXPECT_EQ(exchange(kReset, 57600), "");
  EXPECT_EQ(exchange(kReset, 19200), "*");
}

TEST_F(AsciiAdapter, ResetReachesAnAdapterLeftAtAHigherSpeed) {
  openLink(AsciiModel::QX);
  EXPECT_EQ(exchange("/B2\r"), "/BC2\r");
  // The reset at 115,200 takes effect, but its prompt comes at 19,200 and is not heard.
  EXPECT_EQ(exchange(kReset, 115200), "");
  EXPECT_EQ(exchange(kReset, 57600), "");
  EXPECT_EQ(exchange(kReset, 19200), "*");
  EXPECT_EQ(exchange("/O\r"), "/OCC\r");
}

TEST_F(AsciiAdapter, BaudCommandSwitchesAfterItsConfirmation) {
  power(AsciiModel::QX);
  exchange(kReset);
  // What follows the command in the same write is still sent at the old speed: noise.
  EXPECT_EQ(exchange("/B1\r/O\r"), "/BC1\r");
  EXPECT_EQ(exchange("/O\r", 19200), "");
  EXPECT_EQ(exchange("/O\r", 57600), "/OCC\r");
}

TEST_F(AsciiAdapter, NoiseSpoilsOnlyTheLineItFallsInto) {
  power(AsciiModel::QX);
  exchange(kReset);
  EXPECT_EQ(exchange("/O", 19200), "");
  EXPECT_EQ(exchange("x", 9600), "");
  EXPECT_EQ(exchange("\r/O\r"), "/OCC\r");
}

TEST_F(AsciiAdapter, ResetClosesTheLinkAndForgetsTheSettings) {
  openLink(AsciiModel::QX);
  exchange("/DA0\r/N1\r");
  EXPECT_EQ(exchange(kReset), "*");
  EXPECT_EQ(exchange("/T~00\r"), "/I88\r");
  EXPECT_EQ(exchange("/O\r/T~00\r"), "/OCC\r/I89\r");  // no destination any more
  bus_.setInterrupt(true);
  EXPECT_EQ(taken(), "");  // monitor off again
}

TEST_F(AsciiAdapter, LineFeedsAndPartialResetsAreNotPartOfACommand) {
  power(AsciiModel::QX);
  exchange(kReset);
  EXPECT_EQ(exchange("/\x12\x12O\r\n"), "/OCC\r");
}

// ---- whole sessions as the two host programs run them ----

TEST_F(AsciiAdapter, MessageCenterSessionOnQx) {
  power(AsciiModel::QX);
  EXPECT_EQ(exchange(kReset), "*");
  EXPECT_EQ(exchange("/F0\r/E0\r/A1\r/K2\r/U1000\r/N0\r/IFE\r/O\r"), "/OCC\r");
  EXPECT_EQ(exchange("/DA0\r/T~00~41\r"), "/MTC\r");
  EXPECT_EQ(exchange("/DA0\r/T~00\r/R1\r"), "/MTC\r/MRC 41\r");
  EXPECT_EQ(exchange("/DA0\r/*T~00\r/*R2\r"), "/MTC\r/MRC 41 FF\r");
  EXPECT_EQ(exchange("/D50\r/T\r"), "/SNA\r");
  EXPECT_EQ(exchange("/C\r"), "/CCC\r");
  EXPECT_EQ(exchange(kReset), "*");
}

TEST_F(AsciiAdapter, MessageManagerSessionOnLxAt115200) {
  power(AsciiModel::LX);
  EXPECT_EQ(exchange(kReset), "*");
  EXPECT_EQ(exchange("/B2\r"), "/BC2\r");
  const int fast = 115200;
  EXPECT_EQ(exchange("/F0\r/IA2\r/G1\r/N0\r/NR\r/K3\r/U500\r/N1\r/O\r", fast), "/OCC\r");
  EXPECT_EQ(exchange("/D40\r/T~5A\r/R1\r", fast), "/MTC\r/MRC 5A\r");
  EXPECT_EQ(exchange("/C\r", fast), "/CCC\r");
}

TEST_F(AsciiAdapter, MessageCenterInitialisationOnNxIsAccepted) {
  power(AsciiModel::NX);
  EXPECT_EQ(exchange(kReset), "*");
  EXPECT_EQ(exchange("/F0\r/E0\r/IFE\r/O\r"), "/OCC\r");
}

TEST_F(AsciiAdapter, ZeroCountReadsTheLengthByteAndWhatItAnnounces) {
  openLink(AsciiModel::QX);
  EXPECT_EQ(exchange("/DA0\r/T~10~02~AA~BB~CC\r"), "/MTC\r");
  EXPECT_EQ(exchange("/T~10\r/R0\r"), "/MTC\r/MRC 02 AA BB\r");
}

// ---- one command at a time, per model ----

struct CommandCase {
  const char* name;
  AsciiModel model;
  const char* input;
  const char* reply;
  // Rows print as their name, which keeps the listed test names stable.
  friend void PrintTo(const CommandCase& row, std::ostream* os) { *os << row.name; }
};

class AsciiCommand : public AsciiAdapter, public testing::WithParamInterface<CommandCase> {};

TEST_P(AsciiCommand, RepliesAsTheModelDoes) {
  openLink(GetParam().model);
  EXPECT_EQ(exchange(GetParam().input), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Models, AsciiCommand,
    testing::Values(
        // Commands a model does not have.
        CommandCase{"NxHasOneSpeed", AsciiModel::NX, "/B1\r", "/I8F\r"},
        CommandCase{"NxHasOneClock", AsciiModel::NX, "/K2\r", "/I8F\r"},
        CommandCase{"NxHasNoTimeout", AsciiModel::NX, "/U1000\r", "/I8F\r"},
        CommandCase{"NxHasNoA1", AsciiModel::NX, "/A1\r", "/I8F\r"},
        CommandCase{"NxHasNoMonitor", AsciiModel::NX, "/N0\r", "/I8F\r"},
        CommandCase{"NxHasNoIntOutput", AsciiModel::NX, "/NA\r", "/I8F\r"},
        CommandCase{"DorritHasNoIntOutput", AsciiModel::Dorrit, "/NA\r/NR\r", "/I8F\r/I8F\r"},
        CommandCase{"UnknownLetter", AsciiModel::QX, "/Z\r", "/I8F\r"},
        CommandCase{"NoStopOnlyForTransfers", AsciiModel::QX, "/*O\r", "/I8F\r"},
        CommandCase{"NoLeadingSlash", AsciiModel::QX, "O\r", "/I8F\r"},
        CommandCase{"LowerCaseLetter", AsciiModel::QX, "/o\r", "/I8F\r"},
        // Accepted as host software sends them to each model.
        CommandCase{"DorritTakesTheMonitorSwitch", AsciiModel::Dorrit, "/N0\r/N1\r", ""},
        CommandCase{"KxRunsAt1000kHz", AsciiModel::KX, "/K4\r", ""},
        CommandCase{"LxConfirmsItsSpeed", AsciiModel::LX, "/B2\r", "/BC2\r"},
        CommandCase{"DorritConfirmsItsSpeed", AsciiModel::Dorrit, "/B0\r", "/BC0\r"},
        CommandCase{"LongestTimeout", AsciiModel::QX, "/U32767\r/U0\r", ""},
        CommandCase{"OpenTwice", AsciiModel::QX, "/O\r", "/OCC\r"},
        CommandCase{"EmptyLine", AsciiModel::QX, "\r", ""},
        // Bad arguments.
        CommandCase{"KxHasNo23kHz", AsciiModel::KX, "/K0\r", "/I89\r"},
        CommandCase{"QxHasNo1000kHz", AsciiModel::QX, "/K4\r", "/I89\r"},
        CommandCase{"NoSuchSpeed", AsciiModel::QX, "/B3\r", "/I89\r"},
        CommandCase{"TimeoutTooLong", AsciiModel::QX, "/U32768\r", "/I89\r"},
        CommandCase{"OddDestination", AsciiModel::QX, "/DA1\r", "/I89\r"},
        CommandCase{"DestinationNotHex", AsciiModel::QX, "/DZ0\r", "/I89\r"},
        CommandCase{"OddOwnAddress", AsciiModel::QX, "/IFF\r", "/I89\r"},
        CommandCase{"GeneralCallSwitch", AsciiModel::QX, "/G2\r", "/I89\r"},
        CommandCase{"MonitorSwitch", AsciiModel::QX, "/NX\r", "/I89\r"},
        CommandCase{"BrokenEscape", AsciiModel::QX, "/DA0\r/T~4\r", "/I89\r"},
        CommandCase{"ReadCountTooLarge", AsciiModel::QX, "/DA0\r/R1025\r", "/I89\r"},
        CommandCase{"ReadCountNotDecimal", AsciiModel::QX, "/DA0\r/R1x\r", "/I89\r"},
        CommandCase{"NoDestinationYet", AsciiModel::QX, "/T~00\r/R1\r", "/I89\r/I89\r"},
        CommandCase{"OpenTakesNoArgument", AsciiModel::QX, "/O1\r", "/I89\r"},
        CommandCase{"EmptySlaveData", AsciiModel::QX, "/S\r", "/I89\r"},
        // Transfers need an open link and, for "/S", a request.
        CommandCase{"TransfersOnAClosedLink", AsciiModel::QX,
                    "/C\r/DA0\r/T~00\r/*T~00\r/R1\r/*R1\r/S~FF\r",
                    "/CCC\r/I88\r/I88\r/I88\r/I88\r/I88\r"},
        CommandCase{"CloseTwice", AsciiModel::QX, "/C\r/C\r", "/CCC\r/CCC\r"},
        CommandCase{"SlaveDataWithoutRequest", AsciiModel::QX, "/S~FF\r", "/I8A\r"}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- bus outcomes ----

struct OutcomeCase {
  const char* name;
  BusOutcome outcome;
  const char* input;
  const char* reply;
  // Rows print as their name, which keeps the listed test names stable.
  friend void PrintTo(const OutcomeCase& row, std::ostream* os) { *os << row.name; }
};

class AsciiBusOutcome : public AsciiAdapter, public testing::WithParamInterface<OutcomeCase> {};

TEST_P(AsciiBusOutcome, BecomesItsReplyForOneTransferOnly) {
  openLink(AsciiModel::QX);
  exchange("/DA0\r");
  bus_.failNext(GetParam().outcome);
  EXPECT_EQ(exchange(GetParam().input), GetParam().reply);
  EXPECT_EQ(exchange("/T~00\r"), "/MTC\r");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, AsciiBusOutcome,
    testing::Values(OutcomeCase{"AddressNack", BusOutcome::AddressNack, "/T~00\r", "/SNA\r"},
                    OutcomeCase{"DataNack", BusOutcome::DataNack, "/T~00~01\r", "/SNA\r"},
                    OutcomeCase{"Busy", BusOutcome::Busy, "/T~00\r", "/I81\r"},
                    OutcomeCase{"ArbitrationLost", BusOutcome::ArbitrationLost, "/T~00\r",
                                "/I83\r"},
                    OutcomeCase{"BusError", BusOutcome::BusError, "/R1\r", "/I84\r"},
                    OutcomeCase{"BusTimeout", BusOutcome::Timeout, "/*R3\r", "/I85\r"},
                    OutcomeCase{"LengthByteLost", BusOutcome::Timeout, "/R0\r", "/I85\r"}),
    [](const auto& row) { return std::string(row.param.name); });

// ---- the adapter's slave side ----

TEST_F(AsciiAdapter, AnotherMasterWritingToTheOwnAddressIsReported) {
  openLink(AsciiModel::QX);
  exchange("/IFE\r");
  EXPECT_TRUE(bus_.otherMasterWrite(0xFE, {0x01, 0x02}));
  EXPECT_EQ(taken(), "/SRC 01 02\r");
  EXPECT_FALSE(bus_.otherMasterWrite(0x00, {0x05}));  // general calls are off
  EXPECT_EQ(exchange("/G1\r"), "");
  EXPECT_TRUE(bus_.otherMasterWrite(0x00, {0x05}));
  EXPECT_EQ(taken(), "/GRC 05\r");
}

TEST_F(AsciiAdapter, PowerOnOwnAddressHoldsUntilTheHostSetsOneAndAfterEachReset) {
  firmware_ = makeAsciiFirmware(AsciiModel::QX, bus_, 0x70);
  firmware_->send = [this](const Bytes& bytes) { sent_.append(bytes.begin(), bytes.end()); };
  exchange(kReset);
  exchange("/O\r");
  EXPECT_TRUE(bus_.otherMasterWrite(0x70, {0x01}));
  EXPECT_EQ(taken(), "/SRC 01\r");
  exchange("/IFE\r");
  EXPECT_FALSE(bus_.otherMasterWrite(0x70, {0x01}));
  exchange(std::string(kReset) + "/O\r");
  EXPECT_TRUE(bus_.otherMasterWrite(0x70, {0x01}));
}

TEST_F(AsciiAdapter, OwnAddressIsDeafWhileTheLinkIsClosed) {
  openLink(AsciiModel::QX);
  exchange("/IFE\r/G1\r/C\r");
  EXPECT_FALSE(bus_.otherMasterWrite(0xFE, {0x01}));
  EXPECT_FALSE(bus_.otherMasterWrite(0x00, {0x01}));
  EXPECT_FALSE(bus_.otherMasterRead(0xFE, 1));
  EXPECT_EQ(taken(), "");
}

TEST_F(AsciiAdapter, AnotherMasterReadingGetsWhatTheHostSupplies) {
  openLink(AsciiModel::QX);
  exchange("/IA2\r");
  ASSERT_TRUE(bus_.otherMasterRead(0xA2, 3));
  EXPECT_EQ(taken(), "/STR\r");
  EXPECT_EQ(exchange("/S~00~01~02\r"), "/STC\r");
  ASSERT_FALSE(bus_.otherMasterReads().empty());
  EXPECT_EQ(bus_.otherMasterReads().back(), (Bytes{0x00, 0x01, 0x02}));
  EXPECT_EQ(exchange("/S~00\r"), "/I8A\r");  // that request was served
}

TEST_F(AsciiAdapter, SlaveDataShorterOrLongerThanTheReadIsFittedToIt) {
  openLink(AsciiModel::QX);
  exchange("/IA2\r");
  ASSERT_TRUE(bus_.otherMasterRead(0xA2, 2));
  EXPECT_EQ(taken() + exchange("/S~FF\r"), "/STR\r/STC\r");
  EXPECT_EQ(bus_.otherMasterReads().back(), (Bytes{0xFF, 0xFF}));
  ASSERT_TRUE(bus_.otherMasterRead(0xA2, 1));
  EXPECT_EQ(taken() + exchange("/SAB\r"), "/STR\r/STC\r");
  EXPECT_EQ(bus_.otherMasterReads().back(), (Bytes{'A'}));
  EXPECT_EQ(bus_.slaveReadOutstanding(), 0u);
}

TEST_F(AsciiAdapter, ClosingDuringASlaveReadReleasesTheOtherMaster) {
  openLink(AsciiModel::QX);
  exchange("/IA2\r");
  ASSERT_TRUE(bus_.otherMasterRead(0xA2, 2));
  taken();
  EXPECT_EQ(exchange("/C\r"), "/CCC\r");
  EXPECT_EQ(bus_.slaveReadOutstanding(), 0u);
  EXPECT_EQ(bus_.otherMasterReads().back(), (Bytes{0xFF, 0xFF}));
}

// ---- /INT ----

TEST_F(AsciiAdapter, MonitorReportsChangesOfTheIntLineOnlyWhileOn) {
  openLink(AsciiModel::QX);
  bus_.setInterrupt(true);
  EXPECT_EQ(taken(), "");
  bus_.setInterrupt(false);
  exchange("/N1\r");
  bus_.setInterrupt(true);
  EXPECT_EQ(taken(), "/NSA\r");
  bus_.setInterrupt(false);
  EXPECT_EQ(taken(), "/NSR\r");
}

TEST_F(AsciiAdapter, OwnIntOutputAndAnotherDeviceShareOneLine) {
  openLink(AsciiModel::QX);
  EXPECT_EQ(exchange("/N1\r/NA\r"), "/NSA\r");
  bus_.setInterrupt(true);
  EXPECT_EQ(exchange("/NR\r"), "");  // still held low by the other device
  bus_.setInterrupt(false);
  EXPECT_EQ(taken(), "/NSR\r");
}

TEST_F(AsciiAdapter, DorritHasNoIntLineToReport) {
  openLink(AsciiModel::Dorrit);
  exchange("/N1\r");
  bus_.setInterrupt(true);
  EXPECT_EQ(taken(), "");
}

// ---- faults and flow control ----

TEST_F(AsciiAdapter, OverflowLosesTheCommand) {
  openLink(AsciiModel::QX);
  ASSERT_TRUE(firmware_->command({"fault", "overflow"}));
  EXPECT_EQ(exchange("/DA0\r/T~00\r"), "/I90\r/I89\r");  // the "/DA0" was lost
  ASSERT_TRUE(firmware_->command({"fault", "overflow", "on"}));
  EXPECT_EQ(exchange("/O\r/O\r"), "/I90\r/I90\r");
  ASSERT_TRUE(firmware_->command({"fault", "overflow", "off"}));
  EXPECT_EQ(exchange("/O\r"), "/OCC\r");
  EXPECT_EQ(exchange("/T" + std::string(5000, 'x') + "\r/O\r"), "/I90\r/OCC\r");
}

TEST_F(AsciiAdapter, UnknownFaultWordsAreLeftToOthers) {
  power(AsciiModel::QX);
  EXPECT_FALSE(firmware_->command({"fault", "silence", "on"}));
  EXPECT_FALSE(firmware_->command({"fault", "busy", "on"}));
  EXPECT_FALSE(firmware_->command({"fault", "slow", "on"}));
  EXPECT_FALSE(firmware_->command({"fault", "overflow", "maybe"}));
  EXPECT_FALSE(firmware_->command({"int", "assert"}));
}

TEST_F(AsciiAdapter, XoffHoldsRepliesUntilXon) {
  openLink(AsciiModel::QX);
  EXPECT_EQ(exchange("\x13/C\r"), "");
  EXPECT_EQ(exchange("\x11"), "/CCC\r");
}

}  // namespace
}  // namespace sim
