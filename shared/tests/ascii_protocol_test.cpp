#include "shared/ascii_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/tests/case_name.h"

namespace shared {
namespace {

// ---- Command texts, byte for byte -----------------------------------------------------------

struct CommandCase {
  const char* name;
  std::string built;
  std::string wire;
};

class CommandTextTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandTextTest, BuildsTheWireText) {
  EXPECT_EQ(GetParam().built, GetParam().wire);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandTextTest,
    ::testing::Values(
        CommandCase{"Reset", resetCharacters(), std::string("\x12\x12\x12")},
        CommandCase{"Open", openCommand(), "/O\r"}, CommandCase{"Close", closeCommand(), "/C\r"},
        CommandCase{"Baud57600", baudCommand(57600).value_or("?"), "/B1\r"},
        CommandCase{"Baud115200", baudCommand(115200).value_or("?"), "/B2\r"},
        CommandCase{"InitF0", fixedInitF0Command(), "/F0\r"},
        CommandCase{"InitE0", fixedInitE0Command(), "/E0\r"},
        CommandCase{"InitA1", fixedInitA1Command(), "/A1\r"},
        CommandCase{"Clock23k", clockCommand(AsciiClock::k23kHz), "/K0\r"},
        CommandCase{"Clock86k", clockCommand(AsciiClock::k86kHz), "/K1\r"},
        CommandCase{"Clock100k", clockCommand(AsciiClock::k100kHz), "/K2\r"},
        CommandCase{"Clock400k", clockCommand(AsciiClock::k400kHz), "/K3\r"},
        CommandCase{"Clock1000k", clockCommand(AsciiClock::k1000kHz), "/K4\r"},
        CommandCase{"TimeOut", busTimeOutCommand("1000"), "/U1000\r"},
        CommandCase{"TimeOutAsTyped", busTimeOutCommand("0050"), "/U0050\r"},
        CommandCase{"MonitorOn", intMonitorCommand(true), "/N1\r"},
        CommandCase{"MonitorOff", intMonitorCommand(false), "/N0\r"},
        CommandCase{"IntAssert", intOutputCommand(true), "/NA\r"},
        CommandCase{"IntRelease", intOutputCommand(false), "/NR\r"},
        CommandCase{"OwnAddressUpperCase", ownAddressCommand(0xFE), "/IFE\r"},
        CommandCase{"OwnAddressLeadingZero", ownAddressCommand(0x0A), "/I0A\r"},
        CommandCase{"GeneralCallOn", generalCallCommand(true), "/G1\r"},
        CommandCase{"GeneralCallOff", generalCallCommand(false), "/G0\r"},
        CommandCase{"Destination", destinationCommand(0x6E), "/D6E\r"},
        CommandCase{"TransmitStop", transmitCommand("~01~02", true), "/T~01~02\r"},
        CommandCase{"TransmitNoStop", transmitCommand("Hi", false), "/*THi\r"},
        CommandCase{"TransmitEmpty", transmitCommand("", true), "/T\r"},
        CommandCase{"ReceiveStop", receiveCommand(12, true), "/R12\r"},
        CommandCase{"ReceiveNoStop", receiveCommand(7, false), "/*R7\r"},
        CommandCase{"ReceiveNoLeadingZeros", receiveCommand(100, true), "/R100\r"},
        CommandCase{"SlaveData", slaveDataCommand("~FF"), "/S~FF\r"},
        CommandCase{"MessageTransmit", masterTransmitMessage(0xA0, "~00~10", true),
                    "/DA0\r/T~00~10\r"},
        CommandCase{"MessageTransmitNoStopNoData", masterTransmitMessage(0x02, "", false),
                    "/D02\r/*T\r"},
        CommandCase{"MessageReceive", masterReceiveMessage(0xA0, 3, true), "/DA0\r/R3\r"},
        CommandCase{"MessageReceiveNoStop", masterReceiveMessage(0xA0, 3, false), "/DA0\r/*R3\r"},
        CommandCase{"MessageTransmitReceive", masterTransmitReceiveMessage(0xA0, "~00", 4, true),
                    "/DA0\r/*T~00\r/R4\r"},
        CommandCase{"MessageTransmitReceiveNoStop",
                    masterTransmitReceiveMessage(0xA0, "~00", 4, false), "/DA0\r/*T~00\r/*R4\r"}),
    caseName<CommandCase>);

TEST(BaudCommand, RatesWithoutACommandGiveNone) {
  EXPECT_FALSE(baudCommand(19200).has_value());
  EXPECT_FALSE(baudCommand(9600).has_value());
}

TEST(PortSettings, EachProgramKeepsItsOwnLineSettings) {
  const platform::LineSettings center = asciiPortSettings(Program::MsgCenter);
  EXPECT_EQ(center.baud, 115200);
  EXPECT_EQ(center.dataBits, 8);
  EXPECT_EQ(center.parity, 'n');
  EXPECT_EQ(center.stopBits, 1);
  EXPECT_TRUE(center.xonXoff);
  EXPECT_TRUE(center.dtr);
  EXPECT_TRUE(center.rts);
  EXPECT_TRUE(center.txContinueOnXoff);
  EXPECT_EQ(center.xonLimit, 10);
  EXPECT_EQ(center.xoffLimit, 10);

  const platform::LineSettings manager = asciiPortSettings(Program::MsgManager, 19200);
  EXPECT_EQ(manager.baud, 19200);
  EXPECT_TRUE(manager.xonXoff);
  EXPECT_FALSE(manager.dtr);
  EXPECT_FALSE(manager.rts);
  EXPECT_FALSE(manager.txContinueOnXoff);
  EXPECT_EQ(manager.xonLimit, 0);
  EXPECT_EQ(manager.xoffLimit, 1918);
}

// ---- Data text ------------------------------------------------------------------------------

TEST(DataText, EncodesEveryByteAsEscape) {
  EXPECT_EQ(encodeDataText({0x00, 0x1F, 0xAB, 0xFF}), "~00~1F~AB~FF");
  EXPECT_EQ(encodeDataText({}), "");
}

struct DecodeCase {
  const char* name;
  std::string text;
  std::vector<std::uint8_t> bytes;  // when valid
  bool valid;
  std::size_t errorOffset;
};

class DataTextDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DataTextDecodeTest, Decodes) {
  const DecodeCase& c = GetParam();
  const DecodedDataText decoded = decodeDataText(c.text);
  EXPECT_EQ(decoded.ok(), c.valid) << decoded.error;
  if (c.valid) {
    EXPECT_EQ(decoded.bytes, c.bytes);
  } else {
    EXPECT_FALSE(decoded.error.empty());
    EXPECT_EQ(decoded.errorOffset, c.errorOffset);
    EXPECT_TRUE(decoded.bytes.empty()) << "no partial result on invalid input";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DataTextDecodeTest,
    ::testing::Values(DecodeCase{"PlainCharacters", "123", {0x31, 0x32, 0x33}, true, 0},
                      DecodeCase{"Escapes", "~00~01~02", {0, 1, 2}, true, 0},
                      DecodeCase{"Mixed", "A~0DB", {0x41, 0x0D, 0x42}, true, 0},
                      DecodeCase{"LowerCaseDigits", "~ff~aB", {0xFF, 0xAB}, true, 0},
                      DecodeCase{"SpaceIsPrintable", " ", {0x20}, true, 0},
                      DecodeCase{"Empty", "", {}, true, 0},
                      DecodeCase{"TildeAtEnd", "AB~", {}, false, 2},
                      DecodeCase{"OneDigitOnly", "~1", {}, false, 0},
                      DecodeCase{"NotHexadecimal", "x~G0", {}, false, 1},
                      DecodeCase{"DoubleTilde", "~~41", {}, false, 0},
                      DecodeCase{"CarriageReturnWouldSplitTheCommand", "a\rb", {}, false, 1},
                      DecodeCase{"EightBitCharacter", "\xE9", {}, false, 0}),
    caseName<DecodeCase>);

// ---- WriteCommand ---------------------------------------------------------------------------

class RecordingPort : public CommandPort {
 public:
  bool writeAll(std::string_view bytes) override {
    writes.emplace_back(bytes);
    return succeed;
  }
  std::vector<std::string> writes;
  bool succeed = true;
};

TEST(WriteCommand, OneWritePerCommandStringAndItsResult) {
  RecordingPort port;
  EXPECT_TRUE(WriteCommand(port, masterTransmitMessage(0x02, "~41", true)));
  port.succeed = false;
  EXPECT_FALSE(WriteCommand(port, openCommand()));
  EXPECT_EQ(port.writes, (std::vector<std::string>{"/D02\r/T~41\r", "/O\r"}));
}

// ---- Token table ----------------------------------------------------------------------------

struct TokenCase {
  const char* name;
  ResponseToken token;
  std::string text;
  std::optional<std::uint16_t> eventCode;
  bool endsWait;
};

class TokenTableTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenTableTest, MapsTextEventAndWait) {
  const TokenCase& c = GetParam();
  EXPECT_EQ(tokenText(c.token), c.text);
  if (!c.text.empty()) {
    EXPECT_EQ(classifyLine(c.text + " trailing data"), c.token);
  }
  EXPECT_EQ(eventCodeOf(c.token), c.eventCode);
  EXPECT_EQ(endsWait(c.token), c.endsWait);
}

using T = ResponseToken;
INSTANTIATE_TEST_SUITE_P(
    Tokens, TokenTableTest,
    ::testing::Values(TokenCase{"OCC", T::OpenComplete, "/OCC", 0x111, true},
                      TokenCase{"CCC", T::CloseComplete, "/CCC", std::nullopt, true},
                      TokenCase{"MTC", T::MasterTxComplete, "/MTC", 0x118, true},
                      TokenCase{"MRC", T::MasterRxComplete, "/MRC", 0x119, true},
                      TokenCase{"SRC", T::SlaveRxComplete, "/SRC", 0x211, false},
                      TokenCase{"GRC", T::GeneralCallReceived, "/GRC", 0x211, false},
                      TokenCase{"STR", T::SlaveTxRequest, "/STR", 0x212, false},
                      TokenCase{"STC", T::SlaveTxComplete, "/STC", std::nullopt, false},
                      TokenCase{"SNA", T::SlaveNotAcknowledging, "/SNA", 0x115, true},
                      TokenCase{"I81", T::AdapterBusy, "/I81", 0x113, true},
                      TokenCase{"I83", T::ArbitrationLost, "/I83", 0x116, true},
                      TokenCase{"I84", T::BusError, "/I84", 0x114, true},
                      TokenCase{"I85", T::BusTimeOut, "/I85", 0x117, true},
                      TokenCase{"I88", T::LinkNotOpen, "/I88", std::nullopt, false},
                      TokenCase{"I89", T::InvalidArgument, "/I89", std::nullopt, false},
                      TokenCase{"I8A", T::SlaveTxRequestNotActive, "/I8A", std::nullopt, true},
                      TokenCase{"I8F", T::InvalidCommand, "/I8F", std::nullopt, false},
                      TokenCase{"I90", T::RxBufferOverflow, "/I90", std::nullopt, true},
                      TokenCase{"NSA", T::IntAsserted, "/NSA", std::nullopt, false},
                      TokenCase{"NSR", T::IntReleased, "/NSR", std::nullopt, false},
                      TokenCase{"BC0", T::BaudChange0, "/BC0", std::nullopt, false},
                      TokenCase{"BC1", T::BaudChange1, "/BC1", std::nullopt, false},
                      TokenCase{"BC2", T::BaudChange2, "/BC2", std::nullopt, false},
                      TokenCase{"Unrecognised", T::Unrecognised, "", std::nullopt, false}),
    caseName<TokenCase>);

// ---- Received bytes -------------------------------------------------------------------------

TEST(ReceivedBytes, ThreeGroupsGiveThreeBytesAndAShortTailNone) {
  EXPECT_EQ(receivedBytes("/MRC 12 AB 00"), (std::vector<std::uint8_t>{0x12, 0xAB, 0x00}));
  EXPECT_EQ(receivedBytes("/MRC 12 AB 00 "), (std::vector<std::uint8_t>{0x12, 0xAB, 0x00}));
  EXPECT_EQ(receivedBytes("/MRC 12 AB 00 4"), (std::vector<std::uint8_t>{0x12, 0xAB, 0x00}));
  EXPECT_TRUE(receivedBytes("/MRC").empty());
  EXPECT_TRUE(receivedBytes("/MRC~1").empty());
}

TEST(ReceivedBytes, SeparatorIsNotExaminedAndDigitsKeepTheirCase) {
  EXPECT_EQ(receivedDigitPairs("/MRC~48,ab 0F"), (std::vector<std::string>{"48", "ab", "0F"}));
  EXPECT_EQ(receivedBytes("/MRC~48,ab 0F"), (std::vector<std::uint8_t>{0x48, 0xAB, 0x0F}));
}

TEST(ReceivedBytes, PairThatIsNotHexadecimalGivesZero) {
  EXPECT_EQ(receivedBytes("/SRC zz 1G 7f"), (std::vector<std::uint8_t>{0x00, 0x00, 0x7F}));
  EXPECT_EQ(receivedByteCount("/SRC zz 1G 7f"), 3u);
}

// ---- Line assembly --------------------------------------------------------------------------

struct AssemblyCase {
  const char* name;
  std::size_t limit;
  bool awaitingPrompt;
  std::string input;
  std::vector<std::string> lines;
  std::vector<ResponseToken> tokens;
  int prompts;
};

class ResponseAssemblerTest : public ::testing::TestWithParam<AssemblyCase> {};

TEST_P(ResponseAssemblerTest, Assembles) {
  const AssemblyCase& c = GetParam();
  std::vector<std::string> lines;
  std::vector<ResponseToken> tokens;
  int prompts = 0;
  ResponseAssembler assembler(
      c.limit,
      [&](const ResponseLine& line) {
        lines.push_back(line.text);
        tokens.push_back(line.token);
      },
      [&] { ++prompts; });
  assembler.setAwaitingPrompt(c.awaitingPrompt);
  for (char ch : c.input)
    assembler.Feed(static_cast<std::uint8_t>(ch));
  EXPECT_EQ(lines, c.lines);
  EXPECT_EQ(tokens, c.tokens);
  EXPECT_EQ(prompts, c.prompts);
}

constexpr std::size_t kCenter = ResponseAssembler::kMsgCenterLineLimit;
constexpr std::size_t kManager = ResponseAssembler::kMsgManagerLineLimit;

std::string longLine(std::size_t length) {
  std::string line = "/MRC";
  while (line.size() < length)
    line += static_cast<char>('a' + line.size() % 26);
  return line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ResponseAssemblerTest,
    ::testing::Values(
        AssemblyCase{"EchoOfThreeCharactersIsDiscarded", kCenter, false, "/O\r", {}, {}, 0},
        AssemblyCase{
            "FourCharactersMakeALine", kCenter, false, "/OCC\r", {"/OCC"}, {T::OpenComplete}, 0},
        AssemblyCase{"DiscardedLineLeavesNoRemains",
                     kCenter,
                     false,
                     "/OC\r/MTC\r",
                     {"/MTC"},
                     {T::MasterTxComplete},
                     0},
        AssemblyCase{"EmptyLinesAreNothing", kCenter, false, "\r\r\r", {}, {}, 0},
        AssemblyCase{"LineFeedAnywhereIsDropped",
                     kCenter,
                     false,
                     "\n/O\nCC\n\r\n",
                     {"/OCC"},
                     {T::OpenComplete},
                     0},
        AssemblyCase{"CrLfAndCrAloneAreAlike",
                     kCenter,
                     false,
                     "/MTC\r\n/SNA\r",
                     {"/MTC", "/SNA"},
                     {T::MasterTxComplete, T::SlaveNotAcknowledging},
                     0},
        AssemblyCase{"StarWithoutPromptIsNeverStored",
                     kCenter,
                     false,
                     "/M*TC\r*",
                     {"/MTC"},
                     {T::MasterTxComplete},
                     0},
        AssemblyCase{"StarWhileAwaitingStartsInitialisation", kManager, true, "*", {}, {}, 1},
        AssemblyCase{"EveryStarWhileAwaitingIsReported", kManager, true, "\r\n**", {}, {}, 2},
        AssemblyCase{"StarInsideALineWhileAwaiting",
                     kCenter,
                     true,
                     "/OC*C\r",
                     {"/OCC"},
                     {T::OpenComplete},
                     1},
        AssemblyCase{"LowerCaseTokenIsUnrecognised",
                     kCenter,
                     false,
                     "/occ\r",
                     {"/occ"},
                     {T::Unrecognised},
                     0},
        AssemblyCase{"BannerIsUnrecognisedAndKeptWhole",
                     kManager,
                     false,
                     "Vantor/QX V2.1\r",
                     {"Vantor/QX V2.1"},
                     {T::Unrecognised},
                     0},
        AssemblyCase{"ReceivedDataStaysInTheLine",
                     kCenter,
                     false,
                     "/MRC 12 AB\r",
                     {"/MRC 12 AB"},
                     {T::MasterRxComplete},
                     0},
        AssemblyCase{"MsgCenterCutsAt1998",
                     kCenter,
                     false,
                     longLine(2500) + "\r",
                     {longLine(1998)},
                     {T::MasterRxComplete},
                     0},
        AssemblyCase{"MsgCenterKeepsExactly1998",
                     kCenter,
                     false,
                     longLine(1998) + "\r",
                     {longLine(1998)},
                     {T::MasterRxComplete},
                     0},
        AssemblyCase{"MsgManagerCutsAt772",
                     kManager,
                     false,
                     longLine(800) + "\r/OCC\r",
                     {longLine(772), "/OCC"},
                     {T::MasterRxComplete, T::OpenComplete},
                     0}),
    caseName<AssemblyCase>);

TEST(ResponseAssembler, ResetDropsAPartialLine) {
  std::vector<std::string> lines;
  ResponseAssembler assembler(kCenter,
                              [&](const ResponseLine& line) { lines.push_back(line.text); }, {});
  for (char ch : std::string("/MT"))
    assembler.Feed(static_cast<std::uint8_t>(ch));
  EXPECT_EQ(assembler.fillCount(), 4u);
  assembler.Reset();
  EXPECT_EQ(assembler.fillCount(), 1u);
  for (char ch : std::string("/OCC\r"))
    assembler.Feed(static_cast<std::uint8_t>(ch));
  EXPECT_EQ(lines, (std::vector<std::string>{"/OCC"}));
}

// A handler that shows a modal box pumps the loop, so bytes of the next line can arrive while
// the previous line is still being handled; neither line may be disturbed.
TEST(ResponseAssembler, HandlerMayFeedTheNextLine) {
  std::vector<std::string> lines;
  ResponseAssembler* self = nullptr;
  ResponseAssembler assembler(kCenter,
                              [&](const ResponseLine& line) {
                                lines.push_back(line.text);
                                if (line.token == T::SlaveTxRequest) {
                                  for (char ch : std::string("/STC\r"))
                                    self->Feed(static_cast<std::uint8_t>(ch));
                                  EXPECT_EQ(line.text, "/STR")
                                      << "the line being handled must stay intact";
                                }
                              },
                              {});
  self = &assembler;
  for (char ch : std::string("/STR\r"))
    assembler.Feed(static_cast<std::uint8_t>(ch));
  EXPECT_EQ(lines, (std::vector<std::string>{"/STR", "/STC"}));
  EXPECT_EQ(assembler.lastLine().text, "/STC");
  EXPECT_EQ(assembler.fillCount(), 1u);
}

}  // namespace
}  // namespace shared
