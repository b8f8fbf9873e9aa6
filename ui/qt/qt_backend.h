#pragma once
// The Qt 6 backend: every control kind as a real widget at the control's geometry, the string
// grid as a QTableView over the grid's cells, modal forms in a nested Qt loop with the platform
// loop embedded, QMessageBox and QFileDialog for the dialogs, and QApplication::beep.

#include <QFont>
#include <QStringList>
#include <memory>
#include <set>

#include "ui/backend.h"

class QApplication;

namespace ui::qt {

class LoopBridge;
class WidgetPeer;

class QtBackend : public Backend {
 public:
  // Uses the running QApplication, or makes one (owned) when there is none.
  QtBackend();
  ~QtBackend() override;

  std::string name() const override { return "qt"; }

  std::unique_ptr<FormPeer> createForm(TForm&) override;
  std::unique_ptr<Peer> createButton(TButton&) override;
  std::unique_ptr<Peer> createBitBtn(TBitBtn&) override;
  std::unique_ptr<Peer> createLabel(TLabel&) override;
  std::unique_ptr<Peer> createEdit(TEdit&) override;
  std::unique_ptr<Peer> createMemo(TMemo&) override;
  std::unique_ptr<Peer> createCheckBox(TCheckBox&) override;
  std::unique_ptr<Peer> createRadioButton(TRadioButton&) override;
  std::unique_ptr<Peer> createRadioGroup(TRadioGroup&) override;
  std::unique_ptr<Peer> createGroupBox(TGroupBox&) override;
  std::unique_ptr<Peer> createPanel(TPanel&) override;
  std::unique_ptr<Peer> createListBox(TListBox&) override;
  std::unique_ptr<GridPeer> createStringGrid(TStringGrid&) override;
  std::unique_ptr<Peer> createMainMenu(TMainMenu&) override;
  std::unique_ptr<Peer> createMenuItem(TMenuItem&) override;
  std::unique_ptr<Peer> createTabSet(TTabSet&) override;
  std::unique_ptr<Peer> createTrackBar(TTrackBar&) override;
  std::unique_ptr<Peer> createShape(TShape&) override;
  std::unique_ptr<Peer> createImage(TImage&) override;

  void runModal(TForm& form, const std::function<bool()>& done) override;
  void runMainLoop(const std::function<bool()>& done) override;
  void processEvents() override;

  TModalResult showMessage(const MessageRequest& request) override;
  std::optional<std::string> runFileDialog(const TOpenDialog& dialog) override;

  void beep() override;
  void cursorChanged(TCursor cursor) override;
  void hintsChanged() override;

  // The font a control with the default TFont gets.
  QFont defaultFont() const;

  // Bookkeeping of the live peers, for application-wide changes (hints) and tab order.
  void addPeer(WidgetPeer* peer);
  void removePeer(WidgetPeer* peer);
  void tabOrderChanged(const TControl& control);

  // Test hooks: a message box or file dialog that is about to run is handed to this function
  // first (a test answers it through its widgets); it is never called in a program.
  std::function<void(QWidget& dialog)> onDialogShown;

 private:
  // Runs Qt's loop, with the platform loop inside it, until `done` is true.
  void runNestedLoop(const std::function<bool()>& done);

  std::unique_ptr<QApplication> ownedApp_;
  std::unique_ptr<LoopBridge> bridge_;
  std::set<WidgetPeer*> peers_;
  bool overrideCursor_ = false;
};

// Makes "qt" selectable by TApplication::initialize (VANTOR_UI=qt, or a display).
void registerQtBackend();

}  // namespace ui::qt
