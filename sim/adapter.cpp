#include "sim/adapter.h"

#include <cstdio>
#include <stdexcept>

#include "sim/ascii_firmware.h"
#include "sim/devices.h"
#include "sim/frame_firmware.h"
#include "sim/hex_words.h"

namespace sim {

namespace {

struct BusFaultName {
  const char* name;
  BusOutcome outcome;
};

constexpr BusFaultName kBusFaults[] = {
    {"busy", BusOutcome::Busy},          {"arbitration", BusOutcome::ArbitrationLost},
    {"bus-error", BusOutcome::BusError}, {"timeout", BusOutcome::Timeout},
    {"nack", BusOutcome::AddressNack},
};

std::optional<BusOutcome> busOutcomeFromFaultName(const std::string& name) {
  for (const auto& fault : kBusFaults) {
    if (name == fault.name) {
      return fault.outcome;
    }
  }
  return std::nullopt;
}

std::string faultNameOf(BusOutcome outcome) {
  for (const auto& fault : kBusFaults) {
    if (fault.outcome == outcome) {
      return fault.name;
    }
  }
  return "?";
}

}  // namespace

Adapter::Adapter(const AdapterOptions& options) {
  const ModelInfo* info = findModel(options.model);
  if (info == nullptr) {
    throw std::invalid_argument("unknown adapter model \"" + options.model + "\"");
  }
  model_ = *info;
  attachStandardDevices(bus_);
  if (model_.ascii) {
    firmware_ = makeAsciiFirmware(*model_.ascii, bus_,
                                  options.slaveAddress.value_or(kAsciiDefaultOwnAddress));
  } else {
    FrameFirmwareOptions frame;
    frame.version = options.firmwareVersion;
    frame.slaveAddress = options.slaveAddress.value_or(frame.slaveAddress);
    firmware_ = makeFrameFirmware(bus_, frame);
  }
  firmware_->send = [this](const std::vector<std::uint8_t>& bytes) {
    auto onLine = faults_.apply(bytes);
    if (!onLine.empty()) {
      output_.push_back({now_ + kReplyLatencyMs + faults_.slowMs, std::move(onLine)});
    }
  };
  bus_.onOtherMasterReadDone = [this](const std::vector<std::uint8_t>& data) {
    notice("event read " + hexByte(lastSlaveReadAddress_) + (data.empty() ? "" : " ") +
           hexBytes(data));
  };
}

Adapter::~Adapter() {
  bus_.onOtherMasterReadDone = nullptr;
  firmware_.reset();  // before the bus it is attached to
}

void Adapter::fromHost(const std::uint8_t* data, std::size_t n, int hostBaud) {
  if (n == 0 || faults_.inputDropped()) {
    return;
  }
  firmware_->receive(data, n, hostBaud);
}

void Adapter::poll(platform::Millis now) {
  now_ = now;
  firmware_->poll(now);
  while (!output_.empty() && output_.front().due <= now) {
    auto bytes = std::move(output_.front().bytes);
    output_.pop_front();
    if (toHost) {
      toHost(bytes);
    }
  }
}

std::string Adapter::execute(const std::string& line) {
  const std::vector<std::string> words = splitWords(line);
  if (words.empty()) {
    return "error: empty command";
  }
  const std::string& verb = words[0];
  std::vector<std::uint8_t> bytes;
  std::uint8_t address = 0;

  if (verb == "write") {
    if (words.size() < 2 || !parseHexByte(words[1], address) || !parseHexBytes(words, 2, bytes)) {
      return "error: usage: write ADDR [HH ...]";
    }
    if (!bus_.otherMasterWrite(address, bytes)) {
      return "error: " + hexByte(address) + " not acknowledged";
    }
    return "ok write " + hexByte(address) + " " + std::to_string(bytes.size());
  }
  if (verb == "gc") {
    if (!parseHexBytes(words, 1, bytes)) {
      return "error: usage: gc [HH ...]";
    }
    if (!bus_.otherMasterWrite(0x00, bytes)) {
      return "error: general call not acknowledged";
    }
    return "ok gc " + std::to_string(bytes.size());
  }
  if (verb == "read") {
    long count = 0;
    if (words.size() != 3 || !parseHexByte(words[1], address) ||
        !parseDecimal(words[2], 1, 65535, count)) {
      return "error: usage: read ADDR N (N 1 to 65535)";
    }
    if (bus_.slaveReadOutstanding() > 0) {
      return "error: the read of " + hexByte(lastSlaveReadAddress_) + " is not served yet";
    }
    lastSlaveReadAddress_ = address & 0xFE;
    if (!bus_.otherMasterRead(address, static_cast<std::size_t>(count))) {
      return "error: " + hexByte(address) + " not acknowledged";
    }
    return "ok read " + hexByte(address) + " " + std::to_string(count);
  }
  if (verb == "int") {
    if (words.size() != 2 || (words[1] != "on" && words[1] != "off")) {
      return "error: usage: int on|off";
    }
    bus_.setInterrupt(words[1] == "on");
    return "ok int " + words[1];
  }
  if (verb == "fault") {
    return fault(words);
  }
  if (verb == "faults") {
    return "ok faults " + faultList();
  }
  if (verb == "eeprom") {
    return eeprom(words);
  }
  if (verb == "io") {
    return ioPort(words);
  }
  if (verb == "quit") {
    quit_ = true;
    return "ok quit";
  }
  if (verb == "help") {
    return "ok commands: write ADDR HH..; read ADDR N; gc HH..; int on|off; "
           "fault NAME on|off|once; faults; eeprom [AT HH..]; io [in HH]; log TEXT; quit";
  }
  if (firmware_->command(words)) {
    return "ok " + line;
  }
  return "error: unknown command \"" + verb + "\"";
}

// "fault NAME" alone is "fault NAME once". Faults of the line and the bus are the engine's;
// the rest go to the firmware as the whole command, "fault NAME [STATE]".
std::string Adapter::fault(const std::vector<std::string>& words) {
  if (words.size() < 2) {
    return "error: usage: fault NAME [on|off|once]";
  }
  std::vector<std::string> line = words;
  long ms = 0;
  if (line.size() == 3 && line[1] == "slow" && parseDecimal(line[2], 1, 60000, ms)) {
    line.insert(line.begin() + 2, "on");  // "fault slow MS" is "fault slow on MS"
  }
  const std::string& name = line[1];
  const std::string state = line.size() > 2 ? line[2] : "once";
  if (state != "on" && state != "off" && state != "once") {
    return "error: fault state must be on, off or once";
  }
  const FaultState wanted =
      state == "on" ? FaultState::On : (state == "once" ? FaultState::Once : FaultState::Off);
  const std::string done = "ok fault " + name + " " + state;

  if (name == "silence") {
    if (wanted == FaultState::Once) {
      return "error: silence is on or off";
    }
    faults_.silence = wanted == FaultState::On;
    if (faults_.silence) {
      output_.clear();  // what was still on its way is lost with the adapter
    }
    return done;
  }
  if (name == "lose" || name == "corrupt") {
    (name == "lose" ? faults_.lose : faults_.corrupt) = wanted;
    return done;
  }
  if (name == "slow") {
    ms = LineFaults::kDefaultSlowMs;
    if (wanted == FaultState::Once || (line.size() > 3 && !parseDecimal(line[3], 1, 60000, ms))) {
      return "error: usage: fault slow on [MS 1 to 60000] | fault slow off";
    }
    faults_.slowMs = wanted == FaultState::On ? ms : 0;
    return done;
  }
  if (auto outcome = busOutcomeFromFaultName(name)) {
    if (wanted == FaultState::Once) {
      bus_.failNext(*outcome);
    } else if (wanted == FaultState::On) {
      bus_.holdFault(*outcome);
    } else if (!bus_.heldFault() || bus_.heldFault() == outcome) {
      bus_.holdFault(std::nullopt);  // also drops a pending once
    }
    return done;
  }
  std::vector<std::string> forFirmware{"fault", name};
  if (wanted != FaultState::Once) {
    forFirmware.push_back(state);
  }
  if (firmware_->command(forFirmware)) {
    if (wanted == FaultState::Off) {
      firmwareFaults_.erase(name);
    } else if (wanted == FaultState::On) {
      firmwareFaults_.insert(name);
    }
    return done;
  }
  return "error: fault \"" + name + "\" is not known to the " + model_.title + " model";
}

std::string Adapter::faultList() const {
  std::string out = faults_.describe();
  if (out == "none") {
    out.clear();
  }
  auto add = [&out](const std::string& item) { out += (out.empty() ? "" : " ") + item; };
  if (auto held = bus_.heldFault()) {
    add(faultNameOf(*held));
  }
  for (const auto& held : firmwareFaults_) {
    add(held);
  }
  return out.empty() ? "none" : out;
}

std::string Adapter::eeprom(const std::vector<std::string>& words) {
  auto* memory = dynamic_cast<Eeprom256*>(bus_.device(0xA0));
  if (memory == nullptr) {
    return "error: no EEPROM at A0";
  }
  if (words.size() == 1) {
    const auto& contents = memory->contents();
    return "ok eeprom " + hexBytes(std::vector<std::uint8_t>(contents.begin(), contents.end()));
  }
  std::uint8_t at = 0;
  std::vector<std::uint8_t> bytes;
  if (!parseHexByte(words[1], at) || !parseHexBytes(words, 2, bytes) || bytes.empty()) {
    return "error: usage: eeprom [AT HH ...]";
  }
  memory->poke(at, bytes);
  return "ok eeprom " + hexByte(at) + " " + std::to_string(bytes.size());
}

std::string Adapter::ioPort(const std::vector<std::string>& words) {
  auto* port = dynamic_cast<IoPort*>(bus_.device(0x40));
  if (port == nullptr) {
    return "error: no I/O port at 40";
  }
  std::uint8_t levels = 0;
  if (words.size() == 3 && words[1] == "in" && parseHexByte(words[2], levels)) {
    port->setInputs(levels);
  } else if (words.size() != 1) {
    return "error: usage: io [in HH]";
  }
  return "ok io latch " + hexByte(port->latch());
}

}  // namespace sim
