#include "sim/ascii_firmware.h"

namespace sim {

namespace {

class AsciiFirmware : public Firmware {
 public:
  AsciiFirmware(AsciiModel model, Bus& bus) : model_(model), bus_(bus) {}
  void receive(const std::uint8_t* data, std::size_t n, int hostBaud) override {
    (void)data;
    (void)n;
    (void)hostBaud;
  }

 private:
  AsciiModel model_;
  Bus& bus_;
};

}  // namespace

std::optional<AsciiModel> asciiModelFromName(const std::string& name) {
  if (name == "nx") return AsciiModel::NX;
  if (name == "qx") return AsciiModel::QX;
  if (name == "lx") return AsciiModel::LX;
  if (name == "kx") return AsciiModel::KX;
  if (name == "dorrit") return AsciiModel::Dorrit;
  return std::nullopt;
}

std::unique_ptr<Firmware> makeAsciiFirmware(AsciiModel model, Bus& bus) {
  return std::make_unique<AsciiFirmware>(model, bus);
}

}  // namespace sim
