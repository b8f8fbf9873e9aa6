#include "sim/models.h"

namespace sim {

const std::vector<ModelInfo>& models() {
  static const std::vector<ModelInfo> table = {
      {"vantor", "Vantor", std::nullopt, 0},
      {"vantor-du", "Vantor D/U", std::nullopt, 0x0201},
      {"varclk", "Variable clock", std::nullopt, 0},
      {"nx", "Vantor/NX", AsciiModel::NX, 0},
      {"qx", "Vantor/QX", AsciiModel::QX, 0},
      {"lx", "Vantor/LX", AsciiModel::LX, 0x0204},
      {"kx", "Vantor/KX", AsciiModel::KX, 0x0206},
      {"dorrit", "Dorrit", AsciiModel::Dorrit, 0x0207},
  };
  return table;
}

const ModelInfo* findModel(const std::string& name) {
  for (const auto& model : models()) {
    if (model.name == name) {
      return &model;
    }
  }
  return nullptr;
}

}  // namespace sim
