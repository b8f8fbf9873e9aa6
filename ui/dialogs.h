#pragma once
// File dialogs, message boxes, message dialogs and information boxes. They all go through the
// current backend, which shows them (Qt), or scripts, records and prints them (headless).

#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

// Options of the file dialogs, as a bit set.
using TOpenOptions = unsigned;
inline constexpr TOpenOptions ofReadOnly = 1;
inline constexpr TOpenOptions ofOverwritePrompt = 2;
inline constexpr TOpenOptions ofHideReadOnly = 4;
inline constexpr TOpenOptions ofNoChangeDir = 8;
inline constexpr TOpenOptions ofFileMustExist = 16;
inline constexpr TOpenOptions ofPathMustExist = 32;
inline constexpr TOpenOptions ofEnableSizing = 64;

struct FileFilter {
  std::string description;            // "Text Files (*.txt)"
  std::vector<std::string> patterns;  // {"*.txt"}; "*.bat;*.lnk" gives two
  bool operator==(const FileFilter&) const = default;
};
// "Text Files (*.txt)|*.txt|All|*.*" as pairs. A description without a pattern gets "*".
std::vector<FileFilter> parseFilter(const std::string& filter);

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner = nullptr);

  const std::string& Title() const { return title_; }
  void setTitle(const std::string& title) { title_ = title; }
  const std::string& Filter() const { return filter_; }
  void setFilter(const std::string& filter) { filter_ = filter; }
  int FilterIndex() const { return filterIndex_; }  // 1-based, as the classic library counts
  void setFilterIndex(int index) { filterIndex_ = index; }
  // Without the dot ("iml"): added to a chosen name that has no extension.
  const std::string& DefaultExt() const { return defaultExt_; }
  void setDefaultExt(const std::string& ext) { defaultExt_ = ext; }
  const std::string& InitialDir() const { return initialDir_; }
  void setInitialDir(const std::string& dir) { initialDir_ = dir; }
  // The chosen file's full path after execute(); before it, the name to propose.
  const std::string& FileName() const { return fileName_; }
  void setFileName(const std::string& name) { fileName_ = name; }
  TOpenOptions Options() const { return options_; }
  void setOptions(TOpenOptions options) { options_ = options; }

  virtual bool isSave() const { return false; }

  // Shows the dialog modally; true with FileName set when the user chose a file.
  bool execute();

 private:
  std::string title_;
  std::string filter_;
  int filterIndex_ = 1;
  std::string defaultExt_;
  std::string initialDir_;
  std::string fileName_;
  TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
};

class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* owner = nullptr) : TOpenDialog(owner) {}
  bool isSave() const override { return true; }
};

// Message box flags (combine one button set, one icon and one default button).
using MessageBoxFlags = unsigned;
inline constexpr MessageBoxFlags MB_OK = 0x0;
inline constexpr MessageBoxFlags MB_OKCANCEL = 0x1;
inline constexpr MessageBoxFlags MB_ABORTRETRYIGNORE = 0x2;
inline constexpr MessageBoxFlags MB_YESNOCANCEL = 0x3;
inline constexpr MessageBoxFlags MB_YESNO = 0x4;
inline constexpr MessageBoxFlags MB_RETRYCANCEL = 0x5;
inline constexpr MessageBoxFlags MB_ICONERROR = 0x10;
inline constexpr MessageBoxFlags MB_ICONQUESTION = 0x20;
inline constexpr MessageBoxFlags MB_ICONWARNING = 0x30;
inline constexpr MessageBoxFlags MB_ICONINFORMATION = 0x40;
inline constexpr MessageBoxFlags MB_DEFBUTTON2 = 0x100;
inline constexpr MessageBoxFlags MB_DEFBUTTON3 = 0x200;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// Buttons of a message dialog, as a bit set.
using TMsgDlgButtons = unsigned;
inline constexpr TMsgDlgButtons mbYes = 1;
inline constexpr TMsgDlgButtons mbNo = 2;
inline constexpr TMsgDlgButtons mbOK = 4;
inline constexpr TMsgDlgButtons mbCancel = 8;
inline constexpr TMsgDlgButtons mbAbort = 16;
inline constexpr TMsgDlgButtons mbRetry = 32;
inline constexpr TMsgDlgButtons mbIgnore = 64;

enum class MessageIcon { None, Error, Question, Warning, Information };

// One box as the backend sees it: what to show and which answers it offers.
struct MessageRequest {
  enum Kind { Box, Dialog };
  Kind kind = Box;
  std::string caption;
  std::string text;  // "\r" and "\n" are line breaks
  MessageIcon icon = MessageIcon::None;
  std::vector<TModalResult> buttons;  // in the order shown
  TModalResult defaultAnswer = mrOk;  // Enter, and the headless answer when unscripted
};

// A plain message box; returns the answer (mrOk = IDOK, mrYes = IDYES, ...).
TModalResult MessageBox(const std::string& text, const std::string& caption,
                        MessageBoxFlags flags = MB_OK);
// A message dialog; its caption comes from its type ("Warning", "Error", "Information",
// "Confirm"; the application title for mtCustom).
TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
// The information box with one OK button (caption "Information").
void InformationBox(const std::string& text);
// The short message with one OK button, captioned with the application title.
void ShowMessage(const std::string& text);

// The pieces, for tests and backends.
MessageRequest messageBoxRequest(const std::string& text, const std::string& caption,
                                 MessageBoxFlags flags);
MessageRequest messageDlgRequest(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);

}  // namespace ui
