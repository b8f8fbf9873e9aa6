#pragma once
// The adapter family both programs serve: which transport each model uses, its serial and clock
// rates, its /INT features, how its port is found, and the texts the main windows show for it.
// There is no "current model" here: each program's checked radio button is that.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "shared/ascii_protocol.h"

namespace shared {

enum class AdapterModel {
  Vantor,
  VantorDU,
  VarClk,
  VantorNX,
  VantorQX,
  VantorLX,
  Dorrit,
  VantorKX
};

enum class Transport { Frame, Ascii };

// The frame-based models' fixed pair of bus clocks.
enum class FrameClock { k12_5kHz, k100kHz };

struct AdapterModelInfo {
  AdapterModel model;
  // The main window's radio button, its caption and hint.
  std::string_view radioButton;
  std::string_view caption;
  std::string_view hint;
  // The chooser's picture button, its handler and hint.
  std::string_view chooserButton;
  std::string_view chooserHandler;
  std::string_view chooserHint;
  // The click handler of the radio button, which reconfigures the main window.
  std::string_view choiceHandler;
  Transport transport;
  bool inMsgManager;
  // Not shown in the device group; reached only from the command line.
  bool hiddenChoice;
  int baudRate;                  // set by the choice handler
  std::vector<int> baudChoices;  // offered while the link is closed; empty: menu hidden
  std::vector<FrameClock> frameClocks;
  std::vector<AsciiClock> asciiClocks;
  bool variableClock;  // clock from the variable clock dialog instead of a fixed set
  bool logsMenu;
  bool intControls;  // /INT group, Send On /INT and Beep On /INT
  // USB product number whose adapters the discovery lists; none: every openable port.
  std::optional<std::uint16_t> usbProduct;
};

std::span<const AdapterModelInfo> adapterModels();
const AdapterModelInfo& modelInfo(AdapterModel model);

bool isAsciiModel(AdapterModel model);
// Vantor/QX, /LX, /KX and Dorrit: the models with a clock, time-out and reset before close.
bool isQxGroup(AdapterModel model);
bool hasUsbDiscovery(AdapterModel model);

// Status text and port list hint when discovery finds no port ("\r" is a line break in the
// hint).
std::string_view noPortStatus(AdapterModel model, Program program);
std::string_view noPortHint(AdapterModel model);

}  // namespace shared
