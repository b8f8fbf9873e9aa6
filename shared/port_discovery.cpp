#include "shared/port_discovery.h"

#include <charconv>

#include "platform/port_names.h"
#include "platform/serial_port.h"
#include "platform/usb.h"

namespace shared {

namespace {

constexpr std::string_view kNothingFound = "None";
constexpr std::string_view kListEnd = " ";
constexpr std::string_view kNoSerialNumber = "Not Available";

// USB ports 1 to 9 get a leading blank, so that sorted texts keep port order (" 5" < "12") and
// the serial list, sorted by the same texts, stays in step with the port list.
std::string usbEntryText(int portNumber) {
  std::string text = std::to_string(portNumber);
  return portNumber <= 9 ? " " + text : text;
}

void reportProgress(const DiscoveryReport& report) {
  if (report.repaint)
    report.repaint();
}

int addUsbAdapters(std::uint16_t product, const PortChoiceControls& controls) {
  int found = 0;
  for (const platform::UsbAdapter& adapter : platform::findUsbAdapters(product)) {
    if (!ProbePort(adapter.port))
      continue;
    ++found;
    const std::string text = usbEntryText(adapter.port);
    controls.portList.Items().add(text);
    controls.serialList.Items().add(text + "=" + adapter.instance);
  }
  return found;
}

int addOpenablePorts(const PortChoiceControls& controls, const DiscoveryReport& report) {
  int found = 0;
  controls.portList.setSorted(false);
  for (int n = platform::kFirstPort; n <= platform::kLastPort; ++n) {
    if (!ProbePort(n))
      continue;
    ++found;
    controls.portList.Items().add(std::to_string(n));
    reportProgress(report);
  }
  return found;
}

}  // namespace

bool ProbePort(int portNumber) {
  if (portNumber < platform::kFirstPort || portNumber > platform::kLastPort)
    return false;
  platform::SerialPort port;
  if (!port.open(portNumber, platform::LineSettings{}).ok())
    return false;
  port.close();
  return true;
}

int DiscoverPorts(AdapterModel model, Program program, const PortChoiceControls& controls,
                  const DiscoveryReport& report) {
  reportProgress(report);
  ui::TListBox& ports = controls.portList;
  ui::TListBox& serials = controls.serialList;
  ports.Items().clear();
  serials.Items().clear();
  ports.setSorted(true);
  serials.setSorted(true);

  const std::optional<std::uint16_t> product = modelInfo(model).usbProduct;
  const int found =
      product ? addUsbAdapters(*product, controls) : addOpenablePorts(controls, report);

  // Unsorted from here on, so that "None" and the closing " " stay at the end.
  ports.setSorted(false);
  serials.setSorted(false);
  if (found > 0) {
    if (report.portsFound)
      report.portsFound();
    ports.setHint(std::string(kPortListHint));
  } else {
    ports.Items().add(std::string(kNothingFound));
    serials.Items().add(std::string(kNothingFound));
    if (report.noPortFound)
      report.noPortFound(std::string(noPortStatus(model, program)));
    ports.setHint(std::string(noPortHint(model)));
  }
  ports.Items().add(std::string(kListEnd));
  serials.Items().add(std::string(kListEnd));
  ports.setItemIndex(1);
  ports.setItemIndex(0);
  UpdateSerialNumber(model, controls);
  return found;
}

void UpdateSerialNumber(AdapterModel model, const PortChoiceControls& controls) {
  if (hasUsbDiscovery(model)) {
    const std::string& entry = controls.serialList.Items()[controls.portList.ItemIndex()];
    const std::size_t separator = entry.find('=');
    if (separator != std::string::npos) {
      controls.serialBox.setText("SN# " + entry.substr(separator + 1));
      controls.serialBox.setVisible(true);
      return;
    }
  }
  controls.serialBox.setText(std::string(kNoSerialNumber));
  controls.serialBox.setVisible(false);
}

int portNumberOfEntry(std::string_view entry) {
  const std::size_t first = entry.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return 0;
  const std::string_view digits = entry.substr(first);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  // Only the whole text as a plain decimal number counts (no sign, nothing after it).
  if (error != std::errc() || end != digits.data() + digits.size() || digits.front() == '-') {
    return 0;
  }
  return value;
}

}  // namespace shared
