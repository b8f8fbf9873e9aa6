#include "ui/backend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/loop.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/grid.h"
#include "ui/headless.h"
#include "ui/menu.h"

namespace ui {

std::unique_ptr<FormPeer> Backend::createForm(TForm&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createButton(TButton&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createBitBtn(TBitBtn& button) {
  return createButton(button);
}
std::unique_ptr<Peer> Backend::createLabel(TLabel&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createEdit(TEdit&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createMemo(TMemo&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createCheckBox(TCheckBox&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createRadioButton(TRadioButton&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createRadioGroup(TRadioGroup&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createGroupBox(TGroupBox&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createPanel(TPanel&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createListBox(TListBox&) {
  return nullptr;
}
std::unique_ptr<GridPeer> Backend::createStringGrid(TStringGrid&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createMainMenu(TMainMenu&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createMenuItem(TMenuItem&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createTabSet(TTabSet&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createTrackBar(TTrackBar&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createShape(TShape&) {
  return nullptr;
}
std::unique_ptr<Peer> Backend::createImage(TImage&) {
  return nullptr;
}

void Backend::runModal(TForm&, const std::function<bool()>& done) {
  platform::Loop::current().runUntil(done);
}

void Backend::runMainLoop(const std::function<bool()>& done) {
  platform::Loop::current().runUntil(done);
}

void Backend::processEvents() {
  platform::Loop::current().processPending();
}

TModalResult Backend::showMessage(const MessageRequest& request) {
  return request.defaultAnswer;
}

std::optional<std::string> Backend::runFileDialog(const TOpenDialog&) {
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------------

namespace {

std::unique_ptr<Backend>& currentBackend() {
  static std::unique_ptr<Backend> current;
  return current;
}

std::map<std::string, BackendFactory>& factories() {
  static std::map<std::string, BackendFactory> registry;
  return registry;
}

bool isSet(const std::optional<std::string>& value) {
  return value && !value->empty();
}

}  // namespace

Backend& backend() {
  auto& current = currentBackend();
  if (!current) {
    current = std::make_unique<HeadlessBackend>(true);
  }
  return *current;
}

Backend& setBackend(std::unique_ptr<Backend> next) {
  for (TForm* form : Application().forms()) {
    form->detachPeers();
  }
  auto& current = currentBackend();
  current = next ? std::move(next) : std::make_unique<HeadlessBackend>(true);
  return *current;
}

void registerBackendFactory(const std::string& name, BackendFactory factory) {
  factories()[name] = std::move(factory);
}

bool hasBackendFactory(const std::string& name) {
  return factories().count(name) != 0;
}

std::string chooseBackendName(const EnvLookup& env, const std::vector<std::string>& registered) {
  auto known = [&](const std::string& name) {
    return std::find(registered.begin(), registered.end(), name) != registered.end();
  };
  std::optional<std::string> requested = env("VANTOR_UI");
  if (isSet(requested)) {
    return *requested == "headless" || !known(*requested) ? "headless" : *requested;
  }
  bool display =
      isSet(env("DISPLAY")) || isSet(env("WAYLAND_DISPLAY")) || isSet(env("QT_QPA_PLATFORM"));
  return display && known("qt") ? "qt" : "headless";
}

std::string chooseBackendName(const EnvLookup& env) {
  std::vector<std::string> registered;
  for (const auto& [name, factory] : factories()) {
    registered.push_back(name);
  }
  return chooseBackendName(env, registered);
}

std::string selectBackend() {
  auto env = [](const std::string& name) -> std::optional<std::string> {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
  };
  std::string name = chooseBackendName(env);
  std::optional<std::string> requested = env("VANTOR_UI");
  if (isSet(requested) && *requested != name) {
    std::fprintf(stderr, "VANTOR_UI=%s: no such user interface in this program, running headless\n",
                 requested->c_str());
  }
  if (name == "headless") {
    setBackend(std::make_unique<HeadlessBackend>(true));
  } else {
    setBackend(factories()[name]());
  }
  return name;
}

}  // namespace ui
