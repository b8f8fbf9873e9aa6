#include "ui/dialogs.h"

#include "ui/application.h"
#include "ui/backend.h"

namespace ui {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::string piece;
  for (char c : text) {
    if (c == separator) {
      pieces.push_back(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  pieces.push_back(piece);
  return pieces;
}

// The name part after the last folder separator.
std::string baseName(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<FileFilter> parseFilter(const std::string& filter) {
  std::vector<FileFilter> filters;
  if (filter.empty()) {
    return filters;
  }
  std::vector<std::string> pieces = split(filter, '|');
  for (std::size_t i = 0; i < pieces.size(); i += 2) {
    FileFilter entry;
    entry.description = pieces[i];
    std::string patterns = i + 1 < pieces.size() ? pieces[i + 1] : "*";
    for (const std::string& pattern : split(patterns, ';')) {
      if (!pattern.empty()) {
        entry.patterns.push_back(pattern);
      }
    }
    if (entry.patterns.empty()) {
      entry.patterns.push_back("*");
    }
    filters.push_back(entry);
  }
  return filters;
}

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

bool TOpenDialog::execute() {
  std::optional<std::string> chosen = backend().runFileDialog(*this);
  if (!chosen || chosen->empty()) {
    return false;
  }
  std::string path = *chosen;
  if (!defaultExt_.empty() && baseName(path).find('.') == std::string::npos) {
    path += "." + defaultExt_;
  }
  fileName_ = path;
  return true;
}

// ---------------------------------------------------------------------------------------------

MessageRequest messageBoxRequest(const std::string& text, const std::string& caption,
                                 MessageBoxFlags flags) {
  MessageRequest request;
  request.kind = MessageRequest::Box;
  request.caption = caption;
  request.text = text;
  switch (flags & 0xF) {
    case MB_OKCANCEL:
      request.buttons = {mrOk, mrCancel};
      break;
    case MB_ABORTRETRYIGNORE:
      request.buttons = {mrAbort, mrRetry, mrIgnore};
      break;
    case MB_YESNOCANCEL:
      request.buttons = {mrYes, mrNo, mrCancel};
      break;
    case MB_YESNO:
      request.buttons = {mrYes, mrNo};
      break;
    case MB_RETRYCANCEL:
      request.buttons = {mrRetry, mrCancel};
      break;
    default:
      request.buttons = {mrOk};
      break;
  }
  switch (flags & 0xF0) {
    case MB_ICONERROR:
      request.icon = MessageIcon::Error;
      break;
    case MB_ICONQUESTION:
      request.icon = MessageIcon::Question;
      break;
    case MB_ICONWARNING:
      request.icon = MessageIcon::Warning;
      break;
    case MB_ICONINFORMATION:
      request.icon = MessageIcon::Information;
      break;
    default:
      break;
  }
  std::size_t defaultIndex = (flags & MB_DEFBUTTON3) ? 2 : (flags & MB_DEFBUTTON2) ? 1 : 0;
  if (defaultIndex >= request.buttons.size()) {
    defaultIndex = 0;
  }
  request.defaultAnswer = request.buttons[defaultIndex];
  return request;
}

MessageRequest messageDlgRequest(const std::string& text, TMsgDlgType type,
                                 TMsgDlgButtons buttons) {
  MessageRequest request;
  request.kind = MessageRequest::Dialog;
  request.text = text;
  switch (type) {
    case mtWarning:
      request.caption = "Warning";
      request.icon = MessageIcon::Warning;
      break;
    case mtError:
      request.caption = "Error";
      request.icon = MessageIcon::Error;
      break;
    case mtInformation:
      request.caption = "Information";
      request.icon = MessageIcon::Information;
      break;
    case mtConfirmation:
      request.caption = "Confirm";
      request.icon = MessageIcon::Question;
      break;
    case mtCustom:
      request.caption = Application().Title();
      break;
  }
  // The order the classic dialog shows them in.
  static const std::pair<TMsgDlgButtons, TModalResult> kOrder[] = {
      {mbYes, mrYes},     {mbNo, mrNo},       {mbOK, mrOk},         {mbCancel, mrCancel},
      {mbAbort, mrAbort}, {mbRetry, mrRetry}, {mbIgnore, mrIgnore},
  };
  for (const auto& [bit, result] : kOrder) {
    if ((buttons & bit) != 0) {
      request.buttons.push_back(result);
    }
  }
  if (request.buttons.empty()) {
    request.buttons.push_back(mrOk);
  }
  // OK, else Yes, else Retry is the default, as in the classic dialog; otherwise the first.
  request.defaultAnswer = request.buttons.front();
  for (TModalResult preferred : {mrOk, mrYes, mrRetry}) {
    for (TModalResult offered : request.buttons) {
      if (offered == preferred) {
        request.defaultAnswer = preferred;
        return request;
      }
    }
  }
  return request;
}

TModalResult MessageBox(const std::string& text, const std::string& caption,
                        MessageBoxFlags flags) {
  return backend().showMessage(messageBoxRequest(text, caption, flags));
}

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  return backend().showMessage(messageDlgRequest(text, type, buttons));
}

void InformationBox(const std::string& text) {
  MessageDlg(text, mtInformation, mbOK);
}

void ShowMessage(const std::string& text) {
  MessageRequest request = messageBoxRequest(text, Application().Title(), MB_OK);
  backend().showMessage(request);
}

}  // namespace ui
