#include "shared/ascii_protocol.h"

#include <array>
#include <utility>

#include "vtlink/vtlink.h"

namespace shared {

namespace {

constexpr char kDc2 = 0x12;
constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string hexByte(std::uint8_t value) {
  return {kHexDigits[value >> 4], kHexDigits[value & 0x0F]};
}

std::string command(std::string_view body) {
  std::string text = "/";
  text += body;
  text += '\r';
  return text;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

bool printable(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 0x20 && code <= 0x7E;
}

// Token texts in the order the dispatcher compares them; the first match decides.
constexpr std::array<std::pair<std::string_view, ResponseToken>, 23> kTokens = {{
    {"/OCC", ResponseToken::OpenComplete},
    {"/CCC", ResponseToken::CloseComplete},
    {"/MTC", ResponseToken::MasterTxComplete},
    {"/MRC", ResponseToken::MasterRxComplete},
    {"/SRC", ResponseToken::SlaveRxComplete},
    {"/GRC", ResponseToken::GeneralCallReceived},
    {"/STR", ResponseToken::SlaveTxRequest},
    {"/STC", ResponseToken::SlaveTxComplete},
    {"/SNA", ResponseToken::SlaveNotAcknowledging},
    {"/I81", ResponseToken::AdapterBusy},
    {"/I83", ResponseToken::ArbitrationLost},
    {"/I84", ResponseToken::BusError},
    {"/I85", ResponseToken::BusTimeOut},
    {"/I88", ResponseToken::LinkNotOpen},
    {"/I89", ResponseToken::InvalidArgument},
    {"/I8A", ResponseToken::SlaveTxRequestNotActive},
    {"/I8F", ResponseToken::InvalidCommand},
    {"/I90", ResponseToken::RxBufferOverflow},
    {"/NSA", ResponseToken::IntAsserted},
    {"/NSR", ResponseToken::IntReleased},
    {"/BC0", ResponseToken::BaudChange0},
    {"/BC1", ResponseToken::BaudChange1},
    {"/BC2", ResponseToken::BaudChange2},
}};

constexpr std::size_t kTokenLength = 4;
constexpr std::size_t kByteGroupLength = 3;

}  // namespace

platform::LineSettings asciiPortSettings(Program program, int baud) {
  platform::LineSettings settings;
  settings.baud = baud;
  settings.dataBits = 8;
  settings.parity = 'n';
  settings.stopBits = 1;
  settings.xonXoff = true;
  const bool center = program == Program::MsgCenter;
  settings.dtr = center;
  settings.rts = center;
  settings.txContinueOnXoff = center;
  settings.xonLimit = center ? 10 : 0;
  settings.xoffLimit = center ? 10 : 1918;
  return settings;
}

std::string resetCharacters() {
  return std::string(3, kDc2);
}
std::string openCommand() {
  return command("O");
}
std::string closeCommand() {
  return command("C");
}

std::optional<std::string> baudCommand(int baud) {
  if (baud == 57600)
    return command("B1");
  if (baud == 115200)
    return command("B2");
  return std::nullopt;
}

std::string fixedInitF0Command() {
  return command("F0");
}
std::string fixedInitE0Command() {
  return command("E0");
}
std::string fixedInitA1Command() {
  return command("A1");
}

std::string clockCommand(AsciiClock clock) {
  return command(std::string("K") + static_cast<char>('0' + static_cast<int>(clock)));
}

std::string busTimeOutCommand(std::string_view milliseconds) {
  return command("U" + std::string(milliseconds));
}

std::string intMonitorCommand(bool on) {
  return command(on ? "N1" : "N0");
}
std::string intOutputCommand(bool asserted) {
  return command(asserted ? "NA" : "NR");
}
std::string ownAddressCommand(std::uint8_t address) {
  return command("I" + hexByte(address));
}
std::string generalCallCommand(bool enabled) {
  return command(enabled ? "G1" : "G0");
}
std::string destinationCommand(std::uint8_t address) {
  return command("D" + hexByte(address));
}

std::string transmitCommand(std::string_view dataText, bool stop) {
  return command(std::string(stop ? "T" : "*T") + std::string(dataText));
}

std::string receiveCommand(unsigned count, bool stop) {
  return command(std::string(stop ? "R" : "*R") + std::to_string(count));
}

std::string slaveDataCommand(std::string_view dataText) {
  return command("S" + std::string(dataText));
}

std::string masterTransmitMessage(std::uint8_t address, std::string_view dataText, bool stop) {
  return destinationCommand(address) + transmitCommand(dataText, stop);
}

std::string masterReceiveMessage(std::uint8_t address, unsigned count, bool stop) {
  return destinationCommand(address) + receiveCommand(count, stop);
}

std::string masterTransmitReceiveMessage(std::uint8_t address, std::string_view dataText,
                                         unsigned count, bool stop) {
  return destinationCommand(address) + transmitCommand(dataText, false) +
         receiveCommand(count, stop);
}

std::string encodeDataText(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  for (std::uint8_t byte : bytes) {
    text += '~';
    text += hexByte(byte);
  }
  return text;
}

DecodedDataText decodeDataText(std::string_view text) {
  DecodedDataText result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '~') {
      const int high = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
      const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
      if (high < 0 || low < 0) {
        result.error = "\"~\" at position " + std::to_string(i + 1) +
                       " must be followed by two hexadecimal digits (~00...~FF)";
        result.errorOffset = i;
        result.bytes.clear();
        return result;
      }
      result.bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
      i += 2;
    } else if (!printable(c)) {
      result.error = "the character code 0x" + hexByte(static_cast<std::uint8_t>(c)) +
                     " at position " + std::to_string(i + 1) + " is not printable; write it as ~" +
                     hexByte(static_cast<std::uint8_t>(c));
      result.errorOffset = i;
      result.bytes.clear();
      return result;
    } else {
      result.bytes.push_back(static_cast<std::uint8_t>(c));
    }
  }
  return result;
}

bool SerialCommandPort::writeAll(std::string_view bytes) {
  lastStatus_ = port_.write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                            kWriteTimeoutMs);
  return lastStatus_.ok();
}

bool WriteCommand(CommandPort& port, std::string_view text) {
  return port.writeAll(text);
}

std::string_view tokenText(ResponseToken token) {
  for (const auto& [text, value] : kTokens) {
    if (value == token)
      return text;
  }
  return {};
}

ResponseToken classifyLine(std::string_view line) {
  const std::string_view token = line.substr(0, kTokenLength);
  for (const auto& [text, value] : kTokens) {
    if (token == text)
      return value;
  }
  return ResponseToken::Unrecognised;
}

// The same event codes the link library raises, so one event handler serves both transports.
std::optional<std::uint16_t> eventCodeOf(ResponseToken token) {
  switch (token) {
    case ResponseToken::OpenComplete:
      return I2C_EV_OPEN_COMPLETE;
    case ResponseToken::MasterTxComplete:
      return I2C_EV_MASTER_TX_COMPLETE;
    case ResponseToken::MasterRxComplete:
      return I2C_EV_MASTER_RX_COMPLETE;
    case ResponseToken::SlaveRxComplete:
    case ResponseToken::GeneralCallReceived:
      return I2C_EV_SLAVE_RX_COMPLETE;
    case ResponseToken::SlaveTxRequest:
      return I2C_EV_SLAVE_TX_REQUEST;
    case ResponseToken::SlaveNotAcknowledging:
      return I2C_EV_SLAVE_NACK;
    case ResponseToken::AdapterBusy:
      return I2C_EV_ADAPTER_BUSY;
    case ResponseToken::ArbitrationLost:
      return I2C_EV_ARBITRATION_LOST;
    case ResponseToken::BusError:
      return I2C_EV_BUS_ERROR;
    case ResponseToken::BusTimeOut:
      return I2C_EV_BUS_TIMEOUT;
    default:
      return std::nullopt;
  }
}

bool endsWait(ResponseToken token) {
  switch (token) {
    case ResponseToken::OpenComplete:
    case ResponseToken::CloseComplete:
    case ResponseToken::MasterTxComplete:
    case ResponseToken::MasterRxComplete:
    case ResponseToken::SlaveNotAcknowledging:
    case ResponseToken::AdapterBusy:
    case ResponseToken::ArbitrationLost:
    case ResponseToken::BusError:
    case ResponseToken::BusTimeOut:
    case ResponseToken::SlaveTxRequestNotActive:
    case ResponseToken::RxBufferOverflow:
      return true;
    default:
      return false;
  }
}

std::size_t receivedByteCount(std::string_view line) {
  return line.size() > kTokenLength ? (line.size() - kTokenLength) / kByteGroupLength : 0;
}

std::vector<std::string> receivedDigitPairs(std::string_view line) {
  std::vector<std::string> pairs;
  const std::size_t count = receivedByteCount(line);
  pairs.reserve(count);
  for (std::size_t k = 0; k < count; ++k) {
    // The digits sit at 1-based positions 6 + 3k and 7 + 3k, after the separator.
    pairs.emplace_back(line.substr(kTokenLength + kByteGroupLength * k + 1, 2));
  }
  return pairs;
}

std::vector<std::uint8_t> receivedBytes(std::string_view line) {
  std::vector<std::uint8_t> bytes;
  for (const std::string& pair : receivedDigitPairs(line)) {
    const int high = hexValue(pair[0]);
    const int low = hexValue(pair[1]);
    bytes.push_back(high < 0 || low < 0 ? 0 : static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

ResponseAssembler::ResponseAssembler(std::size_t lineLimit, LineHandler onLine,
                                     PromptHandler onPrompt)
    : lineLimit_(lineLimit), onLine_(std::move(onLine)), onPrompt_(std::move(onPrompt)) {
  current_.reserve(lineLimit_);
}

void ResponseAssembler::Feed(std::uint8_t byte) {
  switch (byte) {
    case 0x0A:
      return;
    case 0x2A:
      if (awaitingPrompt_ && onPrompt_)
        onPrompt_();
      return;
    case 0x0D: {
      if (current_.size() < kTokenLength) {
        // An echo such as "/O" or a stray short line carries nothing.
        current_.clear();
        return;
      }
      ResponseLine line;
      line.text = std::move(current_);
      current_.clear();
      line.token = classifyLine(line.text);
      lastLine_ = line;
      if (onLine_)
        onLine_(line);
      return;
    }
    default:
      if (current_.size() < lineLimit_)
        current_.push_back(static_cast<char>(byte));
      return;
  }
}

void ResponseAssembler::Reset() {
  current_.clear();
}

}  // namespace shared
