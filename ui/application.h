#pragma once
// The application object: title, hints, the message hook, beep, cursor, the main form and the
// main loop. One per process: ui::Application().

#include <functional>
#include <string>
#include <vector>

#include "platform/loop.h"
#include "ui/types.h"

namespace ui {

class TForm;

class TApplication {
 public:
  // Chooses and installs the backend for a program run (see ui/backend.h: VANTOR_UI, the
  // display variables, the registered factories). Tests install theirs with ui::setBackend.
  void initialize();

  const std::string& Title() const { return title_; }
  void setTitle(const std::string& title);

  // Application-wide display of control hints, and how long a hint stays visible.
  bool ShowHint() const { return showHint_; }
  void setShowHint(bool show);
  int HintHidePause() const { return hintHidePause_; }
  void setHintHidePause(int ms);
  int HintPause() const { return hintPause_; }
  void setHintPause(int ms);

  // Sees every message the platform loop takes before it is dispatched (the programs' hooks
  // for their message numbers); true means handled. An empty hook removes it.
  void setOnMessage(platform::Loop::Hook hook);

  // The default system beep, through the backend (recorded by the headless one).
  void beep();

  TCursor Cursor() const { return cursor_; }
  void setCursor(TCursor cursor);  // crHourGlass while a long job runs

  // The first form created with CreateForm, unless set otherwise. Closing it ends run().
  TForm* MainForm() const { return mainForm_; }
  void setMainForm(TForm* form) { mainForm_ = form; }
  // Registers a form built by the program, in the programs' creation order, and runs its
  // OnCreate. The first one becomes the main form.
  void CreateForm(TForm& form);
  // Every form alive, in creation order.
  const std::vector<TForm*>& forms() const { return forms_; }
  // Forms shown now (modeless or modal); a test's tear-down expects none.
  int visibleFormCount() const;
  // While a modal form runs, a user reaches only that form and forms shown after it.
  bool acceptsUserInput(const TForm& form) const;
  TForm* topModalForm() const { return modalForms_.empty() ? nullptr : modalForms_.back(); }

  // Shows the main form and runs the loop until terminate() or the main form closes; returns
  // the exit code.
  int run();
  void terminate(int exitCode = 0);
  bool Terminated() const { return terminated_; }
  int ExitCode() const { return exitCode_; }
  // Handles what is waiting (timers, posted messages, the backend's events) without waiting.
  void processMessages();

  // The application's own hidden window: a message target for the link library's
  // notifications. Created on first use, destroyed by reset().
  platform::WindowHandle Handle();

  // Back to the state at process start (title, hints, hook, cursor, forms are forgotten, the
  // handle destroyed). For tests' tear-down.
  void reset();

 private:
  friend class TForm;
  friend TApplication& Application();
  TApplication() = default;
  void addForm(TForm* form);
  void removeForm(TForm* form);

  std::string title_;
  bool showHint_ = true;
  int hintHidePause_ = 2500;
  int hintPause_ = 500;
  TCursor cursor_ = crDefault;
  TForm* mainForm_ = nullptr;
  std::vector<TForm*> forms_;
  std::vector<TForm*> modalForms_;
  unsigned long showSerial_ = 0;
  bool terminated_ = false;
  int exitCode_ = 0;
  platform::WindowHandle handle_ = 0;
};

TApplication& Application();

}  // namespace ui
