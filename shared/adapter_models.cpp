#include "shared/adapter_models.h"

#include <array>

namespace shared {

namespace {

using enum AsciiClock;

const std::array<AdapterModelInfo, 8>& table() {
  static const std::array<AdapterModelInfo, 8> models = {{
      {.model = AdapterModel::Vantor,
       .radioButton = "VantorButton",
       .caption = "Vantor",
       .hint = "Vantor (#VT-10) Host Adapter.",
       .chooserButton = "BitBtn3",
       .chooserHandler = "VantorBtnClick",
       .chooserHint = "Click to Select Vantor (#VT-10)",
       .choiceHandler = "VantorButtonClick",
       .transport = Transport::Frame,
       .inMsgManager = true,
       .hiddenChoice = false,
       .baudRate = 19200,
       .baudChoices = {19200},
       .frameClocks = {FrameClock::k12_5kHz, FrameClock::k100kHz},
       .asciiClocks = {},
       .variableClock = false,
       .logsMenu = true,
       .intControls = false,
       .usbProduct = std::nullopt},
      {.model = AdapterModel::VantorDU,
       .radioButton = "VantorDUButton",
       .caption = "Vantor D/U",
       .hint = "Vantor DLL/USB (#VT-10D/U) Host Adapter.",
       .chooserButton = "VantorDUBitBtn",
       .chooserHandler = "VantorDUBitBtnClick",
       .chooserHint = "Click to Select Vantor DLL/USB (#VT-40D/U)",
       .choiceHandler = "VantorButtonClick",
       .transport = Transport::Frame,
       .inMsgManager = true,
       .hiddenChoice = false,
       .baudRate = 19200,
       .baudChoices = {19200},
       .frameClocks = {FrameClock::k12_5kHz, FrameClock::k100kHz},
       .asciiClocks = {},
       .variableClock = false,
       .logsMenu = true,
       .intControls = false,
       .usbProduct = 0x0201},
      {.model = AdapterModel::VarClk,
       .radioButton = "VarClkButton",
       .caption = "Variable",
       .hint = "I2C Bus Variable Clock (#VT-10-V) Host Adapter.",
       .chooserButton = "BitBtn1",
       .chooserHandler = "VarClkBtnClick",
       .chooserHint = "Click to Select Variable Clock (#VT-20-V)",
       .choiceHandler = "VarClkButtonClick",
       .transport = Transport::Frame,
       .inMsgManager = true,
       .hiddenChoice = false,
       .baudRate = 19200,
       .baudChoices = {19200},
       .frameClocks = {},
       .asciiClocks = {},
       .variableClock = true,
       .logsMenu = true,
       .intControls = false,
       .usbProduct = std::nullopt},
      {.model = AdapterModel::VantorNX,
       .radioButton = "VantorNXButton",
       .caption = "Vantor/NX",
       .hint = "Vantor/NX (#VT-20) Host Adapter.",
       .chooserButton = "BitBtn2",
       .chooserHandler = "VantorNXBtnClick",
       .chooserHint = "Click to Select Vantor/NX (#VT-20)",
       .choiceHandler = "VantorNXButtonClick",
       .transport = Transport::Ascii,
       .inMsgManager = true,
       .hiddenChoice = false,
       .baudRate = 19200,
       .baudChoices = {19200},
       .frameClocks = {FrameClock::k100kHz},
       .asciiClocks = {},
       .variableClock = false,
       .logsMenu = false,
       .intControls = false,
       .usbProduct = std::nullopt},
      {.model = AdapterModel::VantorQX,
       .radioButton = "VantorQXButton",
       .caption = "Vantor/QX",
       .hint = "Vantor/QX (#VT-30) Host Adapter.",
       .chooserButton = "VantorQXBitBtn",
       .chooserHandler = "VantorQXBtnClick",
       .chooserHint = "Click to Select Vantor/QX (#VT-30)",
       .choiceHandler = "VantorQXButtonClick",
       .transport = Transport::Ascii,
       .inMsgManager = true,
       .hiddenChoice = false,
       .baudRate = 115200,
       .baudChoices = {19200, 57600, 115200},
       .frameClocks = {},
       .asciiClocks = {k23kHz, k86kHz, k100kHz, k400kHz},
       .variableClock = false,
       .logsMenu = false,
       .intControls = true,
       .usbProduct = std::nullopt},
      {.model = AdapterModel::VantorLX,
       .radioButton = "VantorLXButton",
       .caption = "Vantor/LX",
       .hint = "Vantor/LX (#VT-40) Host Adapter.",
       .chooserButton = "VantorLXBitBtn",
       .chooserHandler = "VantorLXBtnClick",
       .chooserHint = "Click to Select Vantor/LX (#VT-40)",
       .choiceHandler = "VantorLXButtonClick",
       .transport = Transport::Ascii,
       .inMsgManager = true,
       .hiddenChoice = false,
       .baudRate = 115200,
       .baudChoices = {},
       .frameClocks = {},
       .asciiClocks = {k23kHz, k86kHz, k100kHz, k400kHz},
       .variableClock = false,
       .logsMenu = false,
       .intControls = true,
       .usbProduct = 0x0204},
      {.model = AdapterModel::Dorrit,
       .radioButton = "DorritButton",
       .caption = "Dorrit",
       .hint = "Dorrit (#DR-70) Host Adapter.",
       .chooserButton = "BitBtn4",
       .chooserHandler = "DorritBtnClick",
       .chooserHint = "Click to Select Dorrit (#DR-70)",
       .choiceHandler = "DorritButtonClick",
       .transport = Transport::Ascii,
       .inMsgManager = true,
       .hiddenChoice = false,
       .baudRate = 115200,
       .baudChoices = {},
       .frameClocks = {},
       .asciiClocks = {k23kHz, k86kHz, k100kHz, k400kHz},
       .variableClock = false,
       .logsMenu = false,
       .intControls = false,
       .usbProduct = 0x0207},
      {.model = AdapterModel::VantorKX,
       .radioButton = "VantorKXButton",
       .caption = "Vantor/KX",
       .hint = "Vantor/KX (#VT-60) Host Adapter.",
       .chooserButton = "DorritBitBtn",
       .chooserHandler = "VantorKXBtnClick",
       .chooserHint = "Click to Select Vantor/KX (#VT-60)",
       .choiceHandler = "VantorLXButtonClick",
       .transport = Transport::Ascii,
       .inMsgManager = false,
       .hiddenChoice = true,
       .baudRate = 115200,
       .baudChoices = {},
       .frameClocks = {},
       .asciiClocks = {k100kHz, k400kHz, k1000kHz},
       .variableClock = false,
       .logsMenu = false,
       .intControls = true,
       .usbProduct = 0x0206},
  }};
  return models;
}

}  // namespace

std::span<const AdapterModelInfo> adapterModels() {
  return table();
}

const AdapterModelInfo& modelInfo(AdapterModel model) {
  for (const AdapterModelInfo& info : table()) {
    if (info.model == model)
      return info;
  }
  return table().front();  // unreachable: every enumerator has a row
}

bool isAsciiModel(AdapterModel model) {
  return modelInfo(model).transport == Transport::Ascii;
}

bool isQxGroup(AdapterModel model) {
  return model == AdapterModel::VantorQX || model == AdapterModel::VantorLX ||
         model == AdapterModel::VantorKX || model == AdapterModel::Dorrit;
}

bool hasUsbDiscovery(AdapterModel model) {
  return modelInfo(model).usbProduct.has_value();
}

std::string_view noPortStatus(AdapterModel model, Program program) {
  switch (model) {
    case AdapterModel::VantorLX:
      return "No Available Vantor/LX Detected, Insert Device and Refresh";
    case AdapterModel::Dorrit:
      return "No Available Dorrit Detected, Insert Device and Refresh";
    case AdapterModel::VantorKX:
      return "No Available Vantor/KX Detected, Insert Device and Refresh";
    case AdapterModel::VantorDU:
      return program == Program::MsgManager
                 ? "No Available Vantor Dll/USB Detected, Insert Device and Refresh"
                 : "No Available Vantor DLL/USB Detected, Insert Device and Refresh";
    default:
      return "No Available ComPorts Detected, See Windows Device Manager";
  }
}

std::string_view noPortHint(AdapterModel model) {
  switch (model) {
    case AdapterModel::VantorLX:
      return "No Available Vantor/LX Detected\rInsert Device and Refresh";
    case AdapterModel::Dorrit:
      return "No Available Dorrit Detected\rInsert Device and Refresh";
    case AdapterModel::VantorKX:
      return "No Available Vantor/KX Detected\rInsert Device and Refresh";
    case AdapterModel::VantorDU:
      return "No Available Vantor DLL/USB Detected\rInsert Device and Refresh";
    default:
      return "No Available ComPorts Detected\rSee Windows Device Manager";
  }
}

}  // namespace shared
