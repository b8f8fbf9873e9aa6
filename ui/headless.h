#pragma once
// The headless backend: no window at all. Tests script the answers to modal forms, message
// boxes and file dialogs, and read every control directly; every message box, message dialog,
// file dialog, modal form and beep is recorded. When nothing is scripted (a program run with
// VANTOR_UI=headless), boxes and modal forms are printed to standard error and answered with
// their default button.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <typeinfo>
#include <vector>

#include "ui/backend.h"
#include "ui/form.h"

namespace ui {

struct MessageRecord {
  MessageRequest request;
  TModalResult answer = mrNone;
  bool scripted = false;
};

struct FileDialogRecord {
  bool save = false;
  std::string title;
  std::string filter;
  std::string initialDir;
  std::string fileName;  // proposed
  std::optional<std::string> answer;
};

struct ModalRecord {
  std::string className;
  std::string caption;
  TModalResult result = mrNone;
  bool scripted = false;
};

class HeadlessBackend : public Backend {
 public:
  // `echo`: print boxes and unscripted modal forms to standard error.
  explicit HeadlessBackend(bool echo = false);
  std::string name() const override { return "headless"; }

  // The handler acts on the form as a user would (sets controls, clicks buttons) and returns
  // the result; mrNone means "whatever ModalResult the form now holds", and if that is still
  // mrNone the form is closed as with its close box. Scripts are used in order; a form that
  // does not match the next script is answered as if unscripted and noted in unmet().
  using ModalScript = std::function<TModalResult(TForm&)>;
  void expectModal(const std::string& className, ModalScript script);
  template <class Form>
  void expectModal(std::function<TModalResult(Form&)> script) {
    expectModalIf([](TForm& form) { return dynamic_cast<Form*>(&form) != nullptr; },
                  [script](TForm& form) { return script(dynamic_cast<Form&>(form)); },
                  className(typeid(Form)));
  }
  void expectModalIf(std::function<bool(TForm&)> matches, ModalScript script,
                     std::string description);

  // Answers for the next message boxes and dialogs, in order; unscripted ones get their
  // default answer.
  void answerMessage(TModalResult answer);
  // Answers for the next file dialogs, in order: a path, or nullopt to cancel. Unscripted
  // dialogs are cancelled.
  void answerFileDialog(std::optional<std::string> path);

  const std::vector<MessageRecord>& messages() const { return messages_; }
  const std::vector<FileDialogRecord>& fileDialogs() const { return fileDialogs_; }
  const std::vector<ModalRecord>& modalForms() const { return modalForms_; }
  int beepCount() const { return beeps_; }
  TCursor cursor() const { return cursor_; }
  // Scripts and answers not used, and modal forms that met the wrong script; empty when the
  // test went as planned.
  std::vector<std::string> unmet() const;
  void clearRecords();

  void runModal(TForm& form, const std::function<bool()>& done) override;
  TModalResult showMessage(const MessageRequest& request) override;
  std::optional<std::string> runFileDialog(const TOpenDialog& dialog) override;
  void beep() override;
  void cursorChanged(TCursor cursor) override { cursor_ = cursor; }

  // The form as text: caption, then the visible labels', edits' and memos' texts, one a line.
  static std::string describe(const TForm& form);

 private:
  struct Expectation {
    std::function<bool(TForm&)> matches;
    ModalScript script;
    std::string description;
  };
  void answerUnscripted(TForm& form);

  bool echo_;
  std::deque<Expectation> modalScripts_;
  std::deque<TModalResult> messageAnswers_;
  std::deque<std::optional<std::string>> fileAnswers_;
  std::vector<MessageRecord> messages_;
  std::vector<FileDialogRecord> fileDialogs_;
  std::vector<ModalRecord> modalForms_;
  std::vector<std::string> mismatches_;
  int beeps_ = 0;
  TCursor cursor_ = crDefault;
};

}  // namespace ui
