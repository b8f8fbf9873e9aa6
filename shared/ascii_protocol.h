#pragma once
// The line protocol of the ASCII-command adapters (Vantor/NX, /QX, /LX, /KX and Dorrit), as
// both programs speak it: the command texts the host writes, the data text with "~" escapes,
// one write per command, and the assembler that turns received bytes into response lines.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_port.h"

namespace shared {

// Where the two programs differ on the same wire.
enum class Program { MsgCenter, MsgManager };

// ---- Port settings --------------------------------------------------------------------------

// The rate every open starts at; the handshake then steps down to 57,600 and 19,200.
inline constexpr int kHandshakeStartBaud = 115200;
inline constexpr int kLinkBaud = 19200;

// 8N1, XON/XOFF both ways, and each program's own modem lines and flow-control limits (the
// limits termios cannot express are carried for the log).
platform::LineSettings asciiPortSettings(Program program, int baud = kHandshakeStartBaud);

// ---- Command texts (byte for byte what goes on the wire) ------------------------------------

// DC2 DC2 DC2: back to the command prompt; no "/" and no carriage return.
std::string resetCharacters();
std::string openCommand();   // "/O\r"
std::string closeCommand();  // "/C\r"
// "/B1\r" for 57,600 and "/B2\r" for 115,200; nothing for any other rate, which the adapter
// has no command for (19,200 is where every link starts).
std::optional<std::string> baudCommand(int baud);
std::string fixedInitF0Command();  // "/F0\r"
std::string fixedInitE0Command();  // "/E0\r"
std::string fixedInitA1Command();  // "/A1\r"

// The master clock rates of the "/K" command, in the order of their digit.
enum class AsciiClock { k23kHz = 0, k86kHz = 1, k100kHz = 2, k400kHz = 3, k1000kHz = 4 };
std::string clockCommand(AsciiClock clock);  // "/K0\r" .. "/K4\r"

// "/U" + the time-out in milliseconds + "\r". The text goes out as given: one program sends the
// text of its entry field as typed.
std::string busTimeOutCommand(std::string_view milliseconds);
std::string intMonitorCommand(bool on);                // "/N1\r" or "/N0\r"
std::string intOutputCommand(bool asserted);           // "/NA\r" or "/NR\r"
std::string ownAddressCommand(std::uint8_t address);   // "/I" + two upper-case hex digits + "\r"
std::string generalCallCommand(bool enabled);          // "/G1\r" or "/G0\r"
std::string destinationCommand(std::uint8_t address);  // "/D" + hh + "\r"
// "/T" + data + "\r", or "/*T" + data + "\r" when no stop condition is wanted.
std::string transmitCommand(std::string_view dataText, bool stop);
// "/R" + count + "\r", or "/*R" + count + "\r" without a stop; the count in plain decimal.
std::string receiveCommand(unsigned count, bool stop);
std::string slaveDataCommand(std::string_view dataText);  // "/S" + data + "\r"

// The message commands, each joined into the one string that is written at once.
std::string masterTransmitMessage(std::uint8_t address, std::string_view dataText, bool stop);
std::string masterReceiveMessage(std::uint8_t address, unsigned count, bool stop);
// The transmit part never ends with a stop: a repeated start leads into the receive.
std::string masterTransmitReceiveMessage(std::uint8_t address, std::string_view dataText,
                                         unsigned count, bool stop);

// ---- Data text ------------------------------------------------------------------------------
// A printable character other than "~" stands for its own code; "~" and two hexadecimal digits
// stand for one byte.

// Every byte as "~" + two upper-case hexadecimal digits.
std::string encodeDataText(const std::vector<std::uint8_t>& bytes);

struct DecodedDataText {
  std::vector<std::uint8_t> bytes;
  // Empty when the text was valid; otherwise what is wrong and where (0-based offset).
  std::string error;
  std::size_t errorOffset = 0;
  bool ok() const { return error.empty(); }
};
// A text with a "~" not followed by two hexadecimal digits, or with a character that is not
// printable (a carriage return would end the command early on the wire), is reported, not
// guessed at.
DecodedDataText decodeDataText(std::string_view text);

// ---- Writing --------------------------------------------------------------------------------

// Where command strings go: the serial port in the programs, a recorder in tests.
class CommandPort {
 public:
  virtual ~CommandPort() = default;
  // Writes every byte in one write operation; true when it completed.
  virtual bool writeAll(std::string_view bytes) = 0;
};

// The serial port with the adapters' write time-out of 1000 ms.
class SerialCommandPort final : public CommandPort {
 public:
  static constexpr platform::Millis kWriteTimeoutMs = 1000;
  explicit SerialCommandPort(platform::SerialPort& port) : port_(port) {}
  bool writeAll(std::string_view bytes) override;
  // The failure of the last write (operation and errno), for whoever logs it.
  const platform::Status& lastStatus() const { return lastStatus_; }

 private:
  platform::SerialPort& port_;
  platform::Status lastStatus_;
};

// Writes the whole string in one write; true when the write completed. Callers decide what a
// false result means.
bool WriteCommand(CommandPort& port, std::string_view text);

// ---- Response tokens ------------------------------------------------------------------------

enum class ResponseToken {
  OpenComplete,             // "/OCC"
  CloseComplete,            // "/CCC"
  MasterTxComplete,         // "/MTC"
  MasterRxComplete,         // "/MRC"
  SlaveRxComplete,          // "/SRC"
  GeneralCallReceived,      // "/GRC"
  SlaveTxRequest,           // "/STR"
  SlaveTxComplete,          // "/STC"
  SlaveNotAcknowledging,    // "/SNA"
  AdapterBusy,              // "/I81"
  ArbitrationLost,          // "/I83"
  BusError,                 // "/I84"
  BusTimeOut,               // "/I85"
  LinkNotOpen,              // "/I88"
  InvalidArgument,          // "/I89"
  SlaveTxRequestNotActive,  // "/I8A"
  InvalidCommand,           // "/I8F"
  RxBufferOverflow,         // "/I90"
  IntAsserted,              // "/NSA"
  IntReleased,              // "/NSR"
  BaudChange0,              // "/BC0"
  BaudChange1,              // "/BC1"
  BaudChange2,              // "/BC2"
  Unrecognised,             // any other line
};

// The four characters of a token; "" for Unrecognised.
std::string_view tokenText(ResponseToken token);
// Case-sensitive, on the first four characters of the line.
ResponseToken classifyLine(std::string_view line);
// The event code the token stands for (the codes vtlink also raises), or none when the token is
// handled directly.
std::optional<std::uint16_t> eventCodeOf(ResponseToken token);
// Whether the reply ends the wait of the response watchdog.
bool endsWait(ResponseToken token);

// ---- Received bytes ("/MRC", "/SRC", "/GRC") ------------------------------------------------
// After the token, one group of three characters per byte: a separator the host does not
// examine, then two hexadecimal digits. A short last group carries no byte.

std::size_t receivedByteCount(std::string_view line);
// The two digit characters of each byte exactly as received (no case change).
std::vector<std::string> receivedDigitPairs(std::string_view line);
// The byte values; a pair that is not hexadecimal gives 0.
std::vector<std::uint8_t> receivedBytes(std::string_view line);

// ---- Line assembly --------------------------------------------------------------------------

struct ResponseLine {
  std::string text;  // line feeds and "*" removed, cut to the line limit
  ResponseToken token = ResponseToken::Unrecognised;
};

class ResponseAssembler {
 public:
  // Characters of one line each program keeps.
  static constexpr std::size_t kMsgCenterLineLimit = 1998;
  static constexpr std::size_t kMsgManagerLineLimit = 772;

  using LineHandler = std::function<void(const ResponseLine&)>;
  using PromptHandler = std::function<void()>;

  // `onPrompt` is the program's initialisation step, started by "*" while a prompt is awaited;
  // it is the program that clears the flag, when its step actually runs.
  ResponseAssembler(std::size_t lineLimit, LineHandler onLine, PromptHandler onPrompt);

  // One received byte. The handlers may feed further bytes (a modal box pumps the loop) or
  // reset the assembler: the line is taken out before it is handed over.
  void Feed(std::uint8_t byte);
  // Fill count back to 1: an empty line. Called whenever a port is opened.
  void Reset();

  bool awaitingPrompt() const { return awaitingPrompt_; }
  void setAwaitingPrompt(bool awaiting) { awaitingPrompt_ = awaiting; }

  // One more than the number of characters stored for the current line.
  std::size_t fillCount() const { return current_.size() + 1; }
  // The latest complete line that was dispatched.
  const ResponseLine& lastLine() const { return lastLine_; }
  std::size_t lineLimit() const { return lineLimit_; }

 private:
  std::size_t lineLimit_;
  LineHandler onLine_;
  PromptHandler onPrompt_;
  std::string current_;
  ResponseLine lastLine_;
  bool awaitingPrompt_ = false;
};

}  // namespace shared
