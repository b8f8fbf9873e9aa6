#include "sim/ascii_models.h"

namespace sim {

namespace {

constexpr std::array<bool, 5> kNoClock{false, false, false, false, false};
constexpr std::array<bool, 5> kUpTo400kHz{true, true, true, true, false};
constexpr std::array<bool, 5> kFrom100kHz{false, false, true, true, true};

// The NX is the plain RS-232 model: 19,200 baud, a fixed 100 kHz clock and no /INT pin. The
// Dorrit accepts the monitor switch that host software sends to every model but has no /INT
// pin behind it, so it never reports.
constexpr AsciiModelTraits kNx{"nx", false, false, kNoClock, false, false, false};
constexpr AsciiModelTraits kQx{"qx", true, true, kUpTo400kHz, true, true, true};
constexpr AsciiModelTraits kLx{"lx", true, true, kUpTo400kHz, true, true, true};
constexpr AsciiModelTraits kKx{"kx", true, true, kFrom100kHz, true, true, true};
constexpr AsciiModelTraits kDorrit{"dorrit", true, true, kUpTo400kHz, true, false, false};

}  // namespace

const AsciiModelTraits& traitsOf(AsciiModel model) {
  switch (model) {
    case AsciiModel::NX:
      return kNx;
    case AsciiModel::QX:
      return kQx;
    case AsciiModel::LX:
      return kLx;
    case AsciiModel::KX:
      return kKx;
    case AsciiModel::Dorrit:
      return kDorrit;
  }
  return kNx;
}

}  // namespace sim
