#include "ui/qt/qt_backend.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <map>
#include <vector>

#include "platform/loop.h"
#include "ui/application.h"
#include "ui/dialogs.h"
#include "ui/form.h"
#include "ui/qt/conversions.h"
#include "ui/qt/form_peer.h"
#include "ui/qt/loop_bridge.h"
#include "ui/qt/peers.h"
#include "ui/qt/widget_peer.h"

namespace ui::qt {

namespace {

// The application's hint pauses, as Qt's tooltip timings.
class HintStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_ToolTip_WakeUpDelay) {
      return Application().HintPause();
    }
    if (hint == SH_ToolTip_FallAsleepDelay) {
      return Application().HintHidePause();
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

int argcStorage = 1;
char argv0[] = "vantor";
char* argvStorage[] = {argv0, nullptr};

QMessageBox::Icon toIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Information:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

QtBackend::QtBackend() {
  if (QApplication::instance() == nullptr) {
    ownedApp_ = std::make_unique<QApplication>(argcStorage, argvStorage);
  }
  QApplication::setStyle(new HintStyle);
  // The control layer ends the program (its main form closes, or terminate); a message box
  // closing while no form is shown must not end Qt's loops.
  QApplication::setQuitOnLastWindowClosed(false);
  bridge_ = std::make_unique<LoopBridge>(platform::Loop::current());
}

QtBackend::~QtBackend() {
  if (overrideCursor_) {
    QApplication::restoreOverrideCursor();
  }
  bridge_.reset();
}

QFont QtBackend::defaultFont() const {
  // The forms' geometry was drawn for a narrow 8-point face; a condensed sans keeps their
  // texts inside their labels and buttons.
  QFont base(QStringLiteral("DejaVu Sans"));
  base.setStretch(QFont::SemiCondensed);
  base.setStyleHint(QFont::SansSerif);
  return toQFont(TFont{}, base);
}

void QtBackend::addPeer(WidgetPeer* peer) {
  peers_.insert(peer);
}

void QtBackend::removePeer(WidgetPeer* peer) {
  peers_.erase(peer);
}

void QtBackend::hintsChanged() {
  for (WidgetPeer* peer : peers_) {
    peer->applyHint();
  }
}

// Qt's focus chain follows the controls' TabOrder among the siblings of one parent; controls
// without TabStop are reached by the mouse only.
void QtBackend::tabOrderChanged(const TControl& control) {
  TWinControl* parent = control.Parent();
  if (parent == nullptr) {
    return;
  }
  std::vector<const TControl*> chain;
  for (const TControl* sibling : parent->controls()) {
    WidgetPeer* peer = widgetPeerOf(sibling);
    if (peer == nullptr || peer->widget()->focusPolicy() == Qt::NoFocus) {
      continue;
    }
    peer->widget()->setFocusPolicy(sibling->TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
    if (sibling->TabStop()) {
      chain.push_back(sibling);
    }
  }
  std::stable_sort(chain.begin(), chain.end(), [](const TControl* a, const TControl* b) {
    return a->TabOrder() < b->TabOrder();
  });
  for (std::size_t i = 1; i < chain.size(); ++i) {
    QWidget::setTabOrder(widgetPeerOf(chain[i - 1])->widget(), widgetPeerOf(chain[i])->widget());
  }
}

std::unique_ptr<FormPeer> QtBackend::createForm(TForm& form) {
  return std::make_unique<FormPeerImpl>(*this, form);
}
std::unique_ptr<Peer> QtBackend::createButton(TButton& c) {
  return makeButtonPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createBitBtn(TBitBtn& c) {
  return makeBitBtnPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createLabel(TLabel& c) {
  return makeLabelPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createEdit(TEdit& c) {
  return makeEditPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createMemo(TMemo& c) {
  return makeMemoPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createCheckBox(TCheckBox& c) {
  return makeCheckBoxPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createRadioButton(TRadioButton& c) {
  return makeRadioButtonPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createRadioGroup(TRadioGroup& c) {
  return makeRadioGroupPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createGroupBox(TGroupBox& c) {
  return makeGroupBoxPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createPanel(TPanel& c) {
  return makePanelPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createListBox(TListBox& c) {
  return makeListBoxPeer(*this, c);
}
std::unique_ptr<GridPeer> QtBackend::createStringGrid(TStringGrid& c) {
  return makeGridPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createMainMenu(TMainMenu& c) {
  return makeMainMenuPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createMenuItem(TMenuItem& c) {
  return makeMenuItemPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createTabSet(TTabSet& c) {
  return makeTabSetPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createTrackBar(TTrackBar& c) {
  return makeTrackBarPeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createShape(TShape& c) {
  return makeShapePeer(*this, c);
}
std::unique_ptr<Peer> QtBackend::createImage(TImage& c) {
  return makeImagePeer(*this, c);
}

void QtBackend::runNestedLoop(const std::function<bool()>& done) {
  if (done()) {
    return;
  }
  QEventLoop loop;
  // Qt is about to wait: everything that was pending has run, so this is where a handler's
  // ModalResult (or a terminate) is seen.
  auto* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
  auto check =
      QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &loop, [&loop, &done] {
        if (done()) {
          loop.quit();
        }
      });
  // A stream of events may keep Qt from ever blocking; look now and then all the same.
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&loop, &done] {
    if (done()) {
      loop.quit();
    }
  });
  poll.start();
  loop.exec(QEventLoop::AllEvents);
  QObject::disconnect(check);
}

void QtBackend::runModal(TForm&, const std::function<bool()>& done) {
  runNestedLoop(done);
}

void QtBackend::runMainLoop(const std::function<bool()>& done) {
  runNestedLoop(done);
}

void QtBackend::processEvents() {
  QApplication::sendPostedEvents();
  QApplication::processEvents(QEventLoop::AllEvents);
  bridge_->serve();
}

TModalResult QtBackend::showMessage(const MessageRequest& request) {
  QMessageBox box;
  box.setWindowTitle(toQString(request.caption));
  box.setText(withQtLineBreaks(request.text));
  box.setTextFormat(Qt::PlainText);
  box.setIcon(toIcon(request.icon));
  std::map<QAbstractButton*, TModalResult> answers;
  for (TModalResult answer : request.buttons) {
    QAbstractButton* button = box.addButton(toStandardButton(answer));
    answers[button] = answer;
    if (answer == request.defaultAnswer) {
      box.setDefaultButton(static_cast<QPushButton*>(button));
    }
  }
  if (request.buttons.empty()) {
    answers[box.addButton(QMessageBox::Ok)] = mrOk;
  }
  if (onDialogShown) {
    QTimer::singleShot(0, &box, [this, &box] { onDialogShown(box); });
  }
  box.exec();
  auto it = answers.find(box.clickedButton());
  // Closed without a button (Escape with no cancel button): the default answer.
  return it != answers.end() ? it->second : request.defaultAnswer;
}

std::optional<std::string> QtBackend::runFileDialog(const TOpenDialog& dialog) {
  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  files.setWindowTitle(toQString(dialog.Title()));
  files.setAcceptMode(dialog.isSave() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  const bool mustExist = !dialog.isSave() || (dialog.Options() & ofFileMustExist) != 0;
  files.setFileMode(mustExist && !dialog.isSave() ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);
  if (dialog.isSave() && (dialog.Options() & ofOverwritePrompt) == 0) {
    files.setOption(QFileDialog::DontConfirmOverwrite);
  }
  const QStringList filters = toNameFilters(dialog.Filter());
  if (!filters.isEmpty()) {
    files.setNameFilters(filters);
    const int index = std::clamp(dialog.FilterIndex(), 1, static_cast<int>(filters.size())) - 1;
    files.selectNameFilter(filters[index]);
  }
  if (!dialog.DefaultExt().empty()) {
    files.setDefaultSuffix(toQString(dialog.DefaultExt()));
  }
  if (!dialog.InitialDir().empty()) {
    files.setDirectory(toQString(dialog.InitialDir()));
  }
  if (!dialog.FileName().empty()) {
    files.selectFile(toQString(dialog.FileName()));
  }
  if (onDialogShown) {
    QTimer::singleShot(0, &files, [this, &files] { onDialogShown(files); });
  }
  if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return fromQString(files.selectedFiles().first());
}

void QtBackend::beep() {
  QApplication::beep();
}

void QtBackend::cursorChanged(TCursor cursor) {
  if (cursor == crHourGlass && !overrideCursor_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    overrideCursor_ = true;
  } else if (cursor != crHourGlass && overrideCursor_) {
    QApplication::restoreOverrideCursor();
    overrideCursor_ = false;
  }
}

void registerQtBackend() {
  registerBackendFactory("qt", [] { return std::make_unique<QtBackend>(); });
}

}  // namespace ui::qt
