#include "ui/headless.h"

#include <cstdio>

#include "ui/application.h"
#include "ui/controls.h"

namespace ui {

namespace {

const char* answerName(TModalResult answer) {
  switch (answer) {
    case mrOk:
      return "OK";
    case mrCancel:
      return "Cancel";
    case mrAbort:
      return "Abort";
    case mrRetry:
      return "Retry";
    case mrIgnore:
      return "Ignore";
    case mrYes:
      return "Yes";
    case mrNo:
      return "No";
    default:
      return "None";
  }
}

// Message texts use "\r" for a line break, as the programs' boxes do.
std::string withLineBreaks(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') {
        ++i;
      }
    } else {
      out += text[i];
    }
  }
  return out;
}

void addTexts(const TWinControl& parent, std::string& out) {
  for (const TControl* control : parent.controls()) {
    if (!control->Visible()) {
      continue;
    }
    std::string text;
    if (auto* label = dynamic_cast<const TLabel*>(control)) {
      text = label->Caption();
    } else if (auto* edit = dynamic_cast<const TEdit*>(control)) {
      text = edit->Text();
    } else if (auto* memo = dynamic_cast<const TMemo*>(control)) {
      text = memo->Text();
    }
    if (!text.empty()) {
      out += withLineBreaks(text);
      out += '\n';
    }
    if (auto* container = dynamic_cast<const TWinControl*>(control)) {
      addTexts(*container, out);
    }
  }
}

}  // namespace

HeadlessBackend::HeadlessBackend(bool echo) : echo_(echo) {}

void HeadlessBackend::expectModal(const std::string& className, ModalScript script) {
  expectModalIf([className](TForm& form) { return form.ClassName() == className; },
                std::move(script), className);
}

void HeadlessBackend::expectModalIf(std::function<bool(TForm&)> matches, ModalScript script,
                                    std::string description) {
  modalScripts_.push_back({std::move(matches), std::move(script), std::move(description)});
}

void HeadlessBackend::answerMessage(TModalResult answer) {
  messageAnswers_.push_back(answer);
}

void HeadlessBackend::answerFileDialog(std::optional<std::string> path) {
  fileAnswers_.push_back(std::move(path));
}

std::vector<std::string> HeadlessBackend::unmet() const {
  std::vector<std::string> out = mismatches_;
  for (const auto& script : modalScripts_) {
    out.push_back("modal form never shown: " + script.description);
  }
  for (TModalResult answer : messageAnswers_) {
    out.push_back(std::string("message answer never used: ") + answerName(answer));
  }
  for (const auto& answer : fileAnswers_) {
    out.push_back("file dialog answer never used: " + answer.value_or("(cancel)"));
  }
  return out;
}

void HeadlessBackend::clearRecords() {
  messages_.clear();
  fileDialogs_.clear();
  modalForms_.clear();
  mismatches_.clear();
  beeps_ = 0;
}

std::string HeadlessBackend::describe(const TForm& form) {
  std::string out = "[" + form.Caption() + "]\n";
  addTexts(form, out);
  return out;
}

void HeadlessBackend::runModal(TForm& form, const std::function<bool()>& done) {
  // Recorded when shown, so forms opened from inside a script come after it.
  std::size_t index = modalForms_.size();
  modalForms_.push_back({form.ClassName(), form.Caption(), mrNone, false});
  const std::string className = form.ClassName();
  if (!modalScripts_.empty() && modalScripts_.front().matches(form)) {
    Expectation expectation = std::move(modalScripts_.front());
    modalScripts_.pop_front();
    modalForms_[index].scripted = true;
    TModalResult result = expectation.script(form);
    if (result != mrNone && !done()) {
      form.setModalResult(result);
    }
    if (!done()) {
      form.close();
    }
  } else {
    if (!modalScripts_.empty()) {
      mismatches_.push_back("modal form " + className + " shown while " +
                            modalScripts_.front().description + " was expected");
    }
    answerUnscripted(form);
  }
  if (!done()) {
    // Nobody is there to answer a form that refuses to close: it is closed all the same.
    mismatches_.push_back("modal form " + className + " refused to close");
    if (echo_) {
      std::fprintf(stderr, "%s refused to close; closed with Cancel\n", className.c_str());
    }
  }
  modalForms_[index].result = form.ModalResult() == mrNone ? mrCancel : form.ModalResult();
}

void HeadlessBackend::answerUnscripted(TForm& form) {
  if (echo_) {
    std::fputs(describe(form).c_str(), stderr);
  }
  if (TButton* button = form.defaultButton()) {
    button->click();
  }
  if (form.ModalResult() == mrNone) {
    form.close();
  }
}

TModalResult HeadlessBackend::showMessage(const MessageRequest& request) {
  MessageRecord record{request, request.defaultAnswer, false};
  if (!messageAnswers_.empty()) {
    record.answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    record.scripted = true;
  }
  if (echo_) {
    std::fprintf(stderr, "[%s] %s -> %s\n", request.caption.c_str(),
                 withLineBreaks(request.text).c_str(), answerName(record.answer));
  }
  messages_.push_back(record);
  return record.answer;
}

std::optional<std::string> HeadlessBackend::runFileDialog(const TOpenDialog& dialog) {
  FileDialogRecord record{dialog.isSave(),     dialog.Title(),    dialog.Filter(),
                          dialog.InitialDir(), dialog.FileName(), std::nullopt};
  if (!fileAnswers_.empty()) {
    record.answer = fileAnswers_.front();
    fileAnswers_.pop_front();
  } else if (echo_) {
    std::fprintf(stderr, "%s dialog \"%s\": no one to choose, cancelled\n",
                 dialog.isSave() ? "Save" : "Open", dialog.Title().c_str());
  }
  fileDialogs_.push_back(record);
  return record.answer;
}

void HeadlessBackend::beep() {
  ++beeps_;
}

}  // namespace ui
