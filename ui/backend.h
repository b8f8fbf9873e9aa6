#pragma once
// The backend interface: what renders and drives the controls. It mirrors the control kinds;
// every create...() returns nullptr by default ("no peer"), and every other operation has a
// working default, so a backend implements only what it shows.
//
// Selection for a program run (TApplication::initialize): VANTOR_UI=headless, or no display
// (DISPLAY and WAYLAND_DISPLAY unset, and QT_QPA_PLATFORM unset), gives the headless backend;
// VANTOR_UI=<name> gives the backend registered under that name; otherwise "qt" when the
// program registered it, else headless. ui never depends on Qt: the Qt backend registers its
// factory itself.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialogs.h"
#include "ui/peer.h"
#include "ui/types.h"

namespace ui {

class FormPeer;
class GridPeer;
class TBitBtn;
class TButton;
class TCheckBox;
class TEdit;
class TForm;
class TGroupBox;
class TImage;
class TLabel;
class TListBox;
class TMainMenu;
class TMemo;
class TMenuItem;
class TOpenDialog;
class TPanel;
class TRadioButton;
class TRadioGroup;
class TShape;
class TStringGrid;
class TTabSet;
class TTrackBar;

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::string name() const = 0;

  // Peers. A control's parent (and a menu item's menu or parent item) always has its peer
  // before the child is asked for one.
  virtual std::unique_ptr<FormPeer> createForm(TForm&);
  virtual std::unique_ptr<Peer> createButton(TButton&);
  virtual std::unique_ptr<Peer> createBitBtn(TBitBtn&);  // default: createButton
  virtual std::unique_ptr<Peer> createLabel(TLabel&);
  virtual std::unique_ptr<Peer> createEdit(TEdit&);
  virtual std::unique_ptr<Peer> createMemo(TMemo&);
  virtual std::unique_ptr<Peer> createCheckBox(TCheckBox&);
  virtual std::unique_ptr<Peer> createRadioButton(TRadioButton&);
  virtual std::unique_ptr<Peer> createRadioGroup(TRadioGroup&);
  virtual std::unique_ptr<Peer> createGroupBox(TGroupBox&);
  virtual std::unique_ptr<Peer> createPanel(TPanel&);
  virtual std::unique_ptr<Peer> createListBox(TListBox&);
  virtual std::unique_ptr<GridPeer> createStringGrid(TStringGrid&);
  virtual std::unique_ptr<Peer> createMainMenu(TMainMenu&);
  virtual std::unique_ptr<Peer> createMenuItem(TMenuItem&);
  virtual std::unique_ptr<Peer> createTabSet(TTabSet&);
  virtual std::unique_ptr<Peer> createTrackBar(TTrackBar&);
  virtual std::unique_ptr<Peer> createShape(TShape&);
  virtual std::unique_ptr<Peer> createImage(TImage&);

  // Runs the modal loop of a form that is already visible and marked modal, until `done`
  // returns true (ModalResult set). The default runs the platform loop; a GUI backend runs a
  // nested loop of its own with the platform loop inside.
  virtual void runModal(TForm& form, const std::function<bool()>& done);
  // The main loop of TApplication::run, until `done` returns true.
  virtual void runMainLoop(const std::function<bool()>& done);
  // Handles what is waiting without blocking. Default: one pass of the platform loop.
  virtual void processEvents();

  // Shows the box and returns the answer. Default: the default answer.
  virtual TModalResult showMessage(const MessageRequest& request);
  // Shows the file dialog; the chosen path, or nullopt for cancel. Default: cancel.
  virtual std::optional<std::string> runFileDialog(const TOpenDialog& dialog);

  virtual void beep() {}
  virtual void cursorChanged(TCursor) {}
  // Application ShowHint, HintPause or HintHidePause changed.
  virtual void hintsChanged() {}
};

// The backend in use. Before any is installed it is a headless one that prints message boxes.
Backend& backend();
// Installs `next` (nullptr: back to the default headless one). Peers of live forms are
// dropped first and made again on the new backend when a form is shown. Returns the new one.
Backend& setBackend(std::unique_ptr<Backend> next);

using BackendFactory = std::function<std::unique_ptr<Backend>()>;
void registerBackendFactory(const std::string& name, BackendFactory factory);
bool hasBackendFactory(const std::string& name);

// The selection rule above, on the given environment (a variable that is unset reads as
// nullopt); returns a registered name or "headless".
using EnvLookup = std::function<std::optional<std::string>(const std::string& variable)>;
std::string chooseBackendName(const EnvLookup& env);
// The same rule against a given list of registered names.
std::string chooseBackendName(const EnvLookup& env, const std::vector<std::string>& registered);
// Installs the backend chosen on the process environment; returns its name.
std::string selectBackend();

}  // namespace ui
