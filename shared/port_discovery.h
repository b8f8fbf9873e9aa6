#pragma once
// Port discovery, written once for both programs: which numbered ports the chosen model can be
// opened on, filled into the program's port list, its hidden serial-number list and its
// serial-number box. USB models are found by the USB search (with each adapter's serial
// number); every other model by probing ports 1 to 99.

#include <functional>
#include <string>
#include <string_view>

#include "shared/adapter_models.h"
#include "ui/controls.h"

namespace shared {

// The controls discovery fills. In the Message Center all three are on the main window; in the
// Message Manager the port list and the box are on the setup dialog.
struct PortChoiceControls {
  ui::TListBox& portList;
  ui::TListBox& serialList;  // port text + "=" + instance name, in step with portList
  ui::TEdit& serialBox;
};

// How each program reports the outcome.
struct DiscoveryReport {
  // Ports were found (the Message Center resets its status line).
  std::function<void()> portsFound;
  // None was found: the model's status text (status line or events pane).
  std::function<void(const std::string& status)> noPortFound;
  // Lets the window show progress during the scan of 99 ports.
  std::function<void()> repaint;
};

// "Select PC Communications Port": the list's hint when ports were found.
inline constexpr std::string_view kPortListHint = "Select PC Communications Port";

// True when port n can be opened for reading and writing without sharing; the port is closed
// again at once. A port that another program holds is not usable.
bool ProbePort(int portNumber);

// Refills the lists for `model` and returns the number of ports found. Ends with " " after the
// ports (or after "None"), entry 0 selected and the serial-number box updated.
int DiscoverPorts(AdapterModel model, Program program, const PortChoiceControls& controls,
                  const DiscoveryReport& report = {});

// The serial-number box for the selected port entry: "SN# " + its instance name, shown, for the
// USB models; "Not Available", hidden, otherwise.
void UpdateSerialNumber(AdapterModel model, const PortChoiceControls& controls);

// The port number of a list entry: its decimal value, a leading blank ignored; "None", " " and
// anything else that is not a port number give 0.
int portNumberOfEntry(std::string_view entry);

}  // namespace shared
