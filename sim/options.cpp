#include "sim/options.h"

#include <cstdio>

#include "sim/hex_words.h"

namespace sim {

namespace {

// "213" or "2.13".
std::optional<int> parseVersion(const std::string& text) {
  long value = 0;
  const auto dot = text.find('.');
  if (dot == std::string::npos) {
    if (parseDecimal(text, 1, 65535, value)) {
      return static_cast<int>(value);
    }
    return std::nullopt;
  }
  long major = 0;
  long minor = 0;
  const std::string minorText = text.substr(dot + 1);
  if (!parseDecimal(text.substr(0, dot), 0, 655, major) || minorText.size() != 2 ||
      !parseDecimal(minorText, 0, 99, minor) || major * 100 + minor == 0) {
    return std::nullopt;
  }
  return static_cast<int>(major * 100 + minor);
}

std::optional<std::uint16_t> parseHex16(const std::string& text) {
  std::string digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits = digits.substr(2);
  }
  if (digits.empty() || digits.size() > 4) {
    return std::nullopt;
  }
  unsigned value = 0;
  for (char c : digits) {
    std::uint8_t digit = 0;
    if (!parseHexByte(std::string(1, c), digit)) {
      return std::nullopt;
    }
    value = value * 16 + digit;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<SimOptions> parseOptions(const std::vector<std::string>& args,
                                       const std::string& sysfsRoot, std::string& error) {
  SimOptions options;
  bool firmwareGiven = false;
  bool usbAsked = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
    }
    if (name == "--help" || name == "-h") {
      options.help = true;
      return options;
    }
    const bool known = name == "--model" || name == "--port" || name == "--firmware" ||
                       name == "--slave-address" || name == "--schedule" ||
                       name == "--usb-product" || name == "--serial";
    if (!known) {
      error = "unknown option \"" + name + "\" (see --help)";
      return std::nullopt;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return std::nullopt;
      }
      value = args[++i];
    }
    if (name == "--model") {
      if (findModel(*value) == nullptr) {
        error = "unknown model \"" + *value +
                "\"; one of vantor, vantor-du, varclk, nx, qx, lx, kx, dorrit";
        return std::nullopt;
      }
      options.adapter.model = *value;
    } else if (name == "--port") {
      long port = 0;
      if (!parseDecimal(*value, 1, 99, port)) {
        error = "--port takes a number from 1 to 99";
        return std::nullopt;
      }
      options.port = static_cast<int>(port);
    } else if (name == "--firmware") {
      const auto version = parseVersion(*value);
      if (!version) {
        error = "--firmware takes the version as 213 or 2.13";
        return std::nullopt;
      }
      options.adapter.firmwareVersion = *version;
      firmwareGiven = true;
    } else if (name == "--slave-address") {
      std::uint8_t address = 0;
      if (!parseHexByte(*value, address) || address == 0 || (address & 1) != 0) {
        error = "--slave-address takes an even address in hexadecimal, 02 to FE";
        return std::nullopt;
      }
      options.adapter.slaveAddress = address;
    } else if (name == "--schedule") {
      auto schedule = parseSchedule(*value, error);
      if (!schedule) {
        return std::nullopt;
      }
      options.schedule.insert(options.schedule.end(), schedule->begin(), schedule->end());
    } else if (name == "--usb-product") {
      const auto product = parseHex16(*value);
      if (!product || *product == 0) {
        error = "--usb-product takes a product number in hexadecimal, for example 0204";
        return std::nullopt;
      }
      options.usbProduct = *product;
      usbAsked = true;
    } else {
      options.usbSerial = *value;
      usbAsked = true;
    }
  }
  if (options.port == 0) {
    error = "--port N is required";
    return std::nullopt;
  }
  const ModelInfo& model = *findModel(options.adapter.model);
  if (firmwareGiven && model.ascii) {
    error = "--firmware applies to the frame models (vantor, vantor-du, varclk)";
    return std::nullopt;
  }
  if (usbAsked && sysfsRoot.empty()) {
    error = "a USB description needs VANTOR_SYSFS_ROOT, the folder to write it in";
    return std::nullopt;
  }
  if (usbAsked || (model.usbProduct != 0 && !sysfsRoot.empty())) {
    if (options.usbProduct == 0) {
      options.usbProduct = model.usbProduct;
    }
    if (options.usbProduct == 0) {
      error = "--serial needs --usb-product for a model that is not a USB model";
      return std::nullopt;
    }
    if (options.usbSerial.empty()) {
      char serial[16];
      std::snprintf(serial, sizeof serial, "SIM%04d", options.port);
      options.usbSerial = serial;
    }
  }
  return options;
}

std::string helpText() {
  return R"(Usage: vantor-sim --port N [options]

Plays one adapter on a pseudo-terminal and publishes it as COMN in the folder named by
VANTOR_PORT_DIR. Prints "ready COMN" when the port exists; removes it again on "quit",
SIGINT, SIGTERM or SIGHUP. The end of standard input does not stop it.

Options:
  --model M            vantor (default), vantor-du, varclk: frame protocol;
                       nx, qx, lx, kx, dorrit: ASCII protocol
  --port N             port number, 1 to 99 (required)
  --firmware V         frame models: firmware version as 213 or 2.13 (default 2.13);
                       below 2.00 the adapter lacks 0x15, 0x23, 0x24 and 0x25
  --slave-address HH   the adapter's own slave address until the host sets one
                       (default 70)
  --schedule S         commands to run later: "MS:COMMAND;MS:COMMAND", MS milliseconds
                       after the port is ready
  --usb-product HEX    describe the port as a USB device of vendor 7d21 with this
                       product number under VANTOR_SYSFS_ROOT (the USB models vantor-du,
                       lx, kx and dorrit are described by default when it is set)
  --serial TEXT        the USB serial number (default SIM and the port, e.g. SIM0007)
  --help               this text

Commands, on standard input one per line or in --schedule; each is answered with one line
that begins with "ok" or "error:":
  write ADDR [HH ...]  another master writes the bytes to ADDR (the adapter's own slave
                       address, or a device of the bus)
  read ADDR N          another master reads N bytes from ADDR; when the adapter has served
                       them a line "event read ADDR HH ..." follows
  gc [HH ...]          another master sends a general call with the bytes
  int on|off           assert or release the /INT input
  fault NAME [on|off|once]   inject a fault; NAME alone is once:
                       silence (on/off)  the adapter neither answers nor listens
                       lose              the first byte of an adapter transmission is lost
                       corrupt           the middle byte of a transmission has bit 0 flipped
                       slow on [MS]      answers leave MS ms late (default 1500)
                       busy, arbitration, bus-error, timeout, nack
                                         master transfers fail so
                       repeat-ack        frame models: a frame is answered with the last
                                         acknowledgement again and not taken
                       double-ack        frame models: a frame is acknowledged twice
                       overflow          ASCII models: a command line is lost, "/I90"
  faults               the faults in force
  eeprom               the 256 bytes of the EEPROM at A0
  eeprom AT HH ...     store bytes in the EEPROM directly
  io [in HH]           the I/O port at 40: its latch; set the levels on its pins
  log TEXT             frame models: send TEXT as an adapter log frame (0x86)
  help                 the command list
  quit                 withdraw the port and end

The bus: a 256-byte EEPROM at A0, an I/O port at 40; no other address acknowledges.
)";
}

}  // namespace sim
