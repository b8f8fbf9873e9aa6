#include "ui/application.h"

#include <algorithm>

#include "ui/backend.h"
#include "ui/form.h"

namespace ui {

TApplication& Application() {
  static TApplication application;
  return application;
}

void TApplication::initialize() {
  selectBackend();
}

void TApplication::setTitle(const std::string& title) {
  title_ = title;
}

void TApplication::setShowHint(bool show) {
  if (show == showHint_) {
    return;
  }
  showHint_ = show;
  backend().hintsChanged();
}

void TApplication::setHintHidePause(int ms) {
  if (ms == hintHidePause_) {
    return;
  }
  hintHidePause_ = ms;
  backend().hintsChanged();
}

void TApplication::setHintPause(int ms) {
  if (ms == hintPause_) {
    return;
  }
  hintPause_ = ms;
  backend().hintsChanged();
}

void TApplication::setOnMessage(platform::Loop::Hook hook) {
  platform::Loop::current().setHook(std::move(hook));
}

void TApplication::beep() {
  backend().beep();
}

void TApplication::setCursor(TCursor cursor) {
  if (cursor == cursor_) {
    return;
  }
  cursor_ = cursor;
  backend().cursorChanged(cursor);
}

void TApplication::CreateForm(TForm& form) {
  if (mainForm_ == nullptr) {
    mainForm_ = &form;
  }
  if (form.OnCreate) {
    form.OnCreate();
  }
}

int TApplication::visibleFormCount() const {
  return static_cast<int>(
      std::count_if(forms_.begin(), forms_.end(), [](TForm* f) { return f->Visible(); }));
}

bool TApplication::acceptsUserInput(const TForm& form) const {
  if (modalForms_.empty()) {
    return true;
  }
  const TForm* top = modalForms_.back();
  return &form == top || form.shownSerial_ > top->shownSerial_;
}

int TApplication::run() {
  if (mainForm_ == nullptr || terminated_) {
    return exitCode_;
  }
  mainForm_->show();
  backend().runMainLoop(
      [this] { return terminated_ || mainForm_ == nullptr || !mainForm_->Visible(); });
  return exitCode_;
}

void TApplication::terminate(int exitCode) {
  terminated_ = true;
  exitCode_ = exitCode;
}

void TApplication::processMessages() {
  backend().processEvents();
}

platform::WindowHandle TApplication::Handle() {
  if (handle_ == 0) {
    // With a procedure, so the loop dispatches its messages (and the hook sees them) instead of
    // keeping them for a getMessage() that the programs never call.
    handle_ = platform::Loop::current().createWindow([](const platform::Message&) {});
  }
  return handle_;
}

void TApplication::reset() {
  title_.clear();
  showHint_ = true;
  hintHidePause_ = 2500;
  hintPause_ = 500;
  cursor_ = crDefault;
  mainForm_ = nullptr;
  modalForms_.clear();
  terminated_ = false;
  exitCode_ = 0;
  platform::Loop::current().setHook({});
  if (handle_ != 0) {
    platform::Loop::current().destroyWindow(handle_);
    handle_ = 0;
  }
}

void TApplication::addForm(TForm* form) {
  forms_.push_back(form);
}

void TApplication::removeForm(TForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (mainForm_ == form) {
    mainForm_ = nullptr;
  }
}

}  // namespace ui
