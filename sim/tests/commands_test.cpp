// The simulator's command language and command line.

#include <gtest/gtest.h>

#include "sim/adapter.h"
#include "sim/options.h"
#include "sim/schedule.h"

namespace sim {
namespace {

struct CommandCase {
  const char* name;
  const char* model;
  const char* line;
  const char* result;
};

class CommandResult : public testing::TestWithParam<CommandCase> {};

TEST_P(CommandResult, IsOneLine) {
  Adapter adapter(AdapterOptions{GetParam().model, 213, std::nullopt});
  EXPECT_EQ(adapter.execute(GetParam().line), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandResult,
    testing::Values(
        CommandCase{"Empty", "vantor", "   ", "error: empty command"},
        CommandCase{"Unknown", "vantor", "jump 3", "error: unknown command \"jump\""},
        CommandCase{"WriteToADevice", "vantor", "write 40 5a", "ok write 40 1"},
        CommandCase{"WriteBadByte", "vantor", "write 70 1FF", "error: usage: write ADDR [HH ...]"},
        CommandCase{"WriteToNobody", "vantor", "write 52 01", "error: 52 not acknowledged"},
        CommandCase{"ReadWithoutCount", "vantor", "read 70",
                    "error: usage: read ADDR N (N 1 to 65535)"},
        CommandCase{"ReadZero", "vantor", "read 70 0", "error: usage: read ADDR N (N 1 to 65535)"},
        CommandCase{"ReadTheSlaveWhileClosed", "qx", "read FE 2", "error: FE not acknowledged"},
        CommandCase{"Int", "qx", "int on", "ok int on"},
        CommandCase{"IntBadState", "qx", "int maybe", "error: usage: int on|off"},
        CommandCase{"FaultBadState", "vantor", "fault lose sometimes",
                    "error: fault state must be on, off or once"},
        CommandCase{"SilenceOnce", "vantor", "fault silence", "error: silence is on or off"},
        CommandCase{"SlowTooLong", "vantor", "fault slow on 70000",
                    "error: usage: fault slow on [MS 1 to 60000] | fault slow off"},
        CommandCase{"FrameFaultOnAscii", "nx", "fault repeat-ack on",
                    "error: fault \"repeat-ack\" is not known to the Vantor/NX model"},
        CommandCase{"AsciiFaultOnFrame", "vantor", "fault overflow on",
                    "error: fault \"overflow\" is not known to the Vantor model"},
        CommandCase{"AsciiOverflow", "qx", "fault overflow on", "ok fault overflow on"},
        CommandCase{"LogOnAscii", "qx", "log hello", "error: unknown command \"log\""},
        CommandCase{"EepromPoke", "vantor", "eeprom 10 01 02", "ok eeprom 10 2"},
        CommandCase{"EepromBadPoke", "vantor", "eeprom 10", "error: usage: eeprom [AT HH ...]"},
        CommandCase{"IoInputs", "vantor", "io in 0f", "ok io latch FF"},
        CommandCase{"Quit", "vantor", "quit", "ok quit"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(EepromCommand, DumpsAllBytesOnOneLine) {
  Adapter adapter(AdapterOptions{});
  adapter.execute("eeprom FF 5A 01");
  const std::string dump = adapter.execute("eeprom");
  ASSERT_EQ(dump.size(), std::string("ok eeprom ").size() + 256 * 3 - 1);
  EXPECT_EQ(dump.substr(0, 16), "ok eeprom 01 FF ") << "the poke wrapped to address 00";
  EXPECT_EQ(dump.substr(dump.size() - 3), " 5A");
}

struct OptionsCase {
  const char* name;
  std::vector<std::string> args;
  const char* sysfsRoot;
  const char* error;
};

class BadCommandLine : public testing::TestWithParam<OptionsCase> {};

TEST_P(BadCommandLine, IsRefusedWithAClearError) {
  std::string error;
  EXPECT_FALSE(parseOptions(GetParam().args, GetParam().sysfsRoot, error));
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Options, BadCommandLine,
    testing::Values(
        OptionsCase{"NoPort", {"--model", "qx"}, "", "--port N is required"},
        OptionsCase{"PortTooHigh", {"--port", "100"}, "", "--port takes a number from 1 to 99"},
        OptionsCase{
            "UnknownModel",
            {"--model", "zx", "--port", "1"},
            "",
            "unknown model \"zx\"; one of vantor, vantor-du, varclk, nx, qx, lx, kx, dorrit"},
        OptionsCase{"UnknownOption",
                    {"--port", "1", "--fast"},
                    "",
                    "unknown option \"--fast\" (see --help)"},
        OptionsCase{"MissingValue", {"--port"}, "", "--port needs a value"},
        OptionsCase{"BadVersion",
                    {"--port", "1", "--firmware", "2.1"},
                    "",
                    "--firmware takes the version as 213 or 2.13"},
        OptionsCase{"VersionOnAscii",
                    {"--port", "1", "--model", "nx", "--firmware", "213"},
                    "",
                    "--firmware applies to the frame models (vantor, vantor-du, varclk)"},
        OptionsCase{"OddSlaveAddress",
                    {"--port", "1", "--slave-address", "71"},
                    "",
                    "--slave-address takes an even address in hexadecimal, 02 to FE"},
        OptionsCase{"BadSchedule",
                    {"--port", "1", "--schedule", "soon:int on"},
                    "",
                    "schedule item \"soon:int on\" is not MS:COMMAND"},
        OptionsCase{"UsbWithoutRoot",
                    {"--port", "1", "--usb-product", "0204"},
                    "",
                    "a USB description needs VANTOR_SYSFS_ROOT, the folder to write it in"},
        OptionsCase{"SerialOnASerialModel",
                    {"--port", "1", "--serial", "X1"},
                    "/tmp/s",
                    "--serial needs --usb-product for a model that is not a USB model"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CommandLine, TakesValuesInBothFormsAndDescribesUsbModelsWhenARootIsSet) {
  std::string error;
  const auto options = parseOptions(
      {"--model=lx", "--port", "12", "--schedule", "100:int on; 50:write 70 01;"}, "/tmp/s", error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->adapter.model, "lx");
  EXPECT_EQ(options->port, 12);
  EXPECT_EQ(options->usbProduct, 0x0204);
  EXPECT_EQ(options->usbSerial, "SIM0012");
  ASSERT_EQ(options->schedule.size(), 2u);
  EXPECT_EQ(options->schedule[1].at, 50);
  EXPECT_EQ(options->schedule[1].command, "write 70 01");

  const auto frame = parseOptions({"--port", "3", "--firmware", "1.50"}, "", error);
  ASSERT_TRUE(frame) << error;
  EXPECT_EQ(frame->adapter.firmwareVersion, 150);
  EXPECT_EQ(frame->usbProduct, 0);
}

TEST(Schedule, RunsEachCommandOnceInTimeOrder) {
  std::string error;
  auto commands = parseSchedule("300:b;100:a;300:c", error);
  ASSERT_TRUE(commands) << error;
  Scheduler scheduler(*commands, 1000);
  EXPECT_TRUE(scheduler.due(1099).empty());
  EXPECT_EQ(scheduler.due(1100), std::vector<std::string>{"a"});
  EXPECT_EQ(scheduler.due(5000), (std::vector<std::string>{"b", "c"}));
  EXPECT_TRUE(scheduler.empty());
}

}  // namespace
}  // namespace sim
