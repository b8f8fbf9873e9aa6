#include "ui/qt/form_peer.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "ui/application.h"
#include "ui/qt/conversions.h"
#include "ui/qt/qt_backend.h"

namespace ui::qt {

FormWindow::FormWindow(FormPeerImpl& peer) : peer_(peer), client_(new QWidget(this)) {
  client_->setObjectName(QStringLiteral("client"));
  // Widgets inside the client area are placed by hand, at the controls' coordinates.
  client_->setAutoFillBackground(false);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  // The menu bar gets its items after it was placed, and its height with them; it knows its
  // new size only once it has handled the change.
  const auto type = event->type();
  if (type == QEvent::ActionAdded || type == QEvent::ActionRemoved ||
      type == QEvent::ActionChanged) {
    QMetaObject::invokeMethod(
        this, [this] { peer_.menuBarChanged(); }, Qt::QueuedConnection);
  }
  return QWidget::eventFilter(watched, event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The form decides (OnCloseQuery, OnClose); when it hides, the window follows.
  event->ignore();
  peer_.windowClosing();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  peer_.windowResized();
}

void FormWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    peer_.windowActivated();
  }
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  peer_.windowKey(*event);
}

FormPeerImpl::FormPeerImpl(QtBackend& backend, TForm& form)
    : WidgetPeer(backend, form, new FormWindow(*this)),
      form_(form),
      window_(static_cast<FormWindow*>(widget())) {
  window_->setAttribute(Qt::WA_DeleteOnClose, false);
  window_->setFont(backend.defaultFont());  // controls with the default font inherit it
}

QWidget* FormPeerImpl::container() const {
  return window_->client();
}

int FormPeerImpl::menuBarHeight() const {
  return menuBar_ && !menuBar_->isHidden() ? menuBar_->sizeHint().height() : 0;
}

void FormPeerImpl::changed(Property property) {
  Pushing guard(*this);
  switch (property) {
    case Property::Caption:
      window_->setWindowTitle(toQString(form_.Caption()));
      break;
    case Property::Bounds:
      applyGeometry();
      break;
    case Property::BorderStyle:
      applyBorder();
      applyGeometry();
      break;
    case Property::Visible:
      break;  // shown() and hidden() do it, after the form's own handling
    case Property::Focus:
      applyFocus();
      break;
    case Property::Menu:
      if (menuBar_) {
        menuBar_->setVisible(form_.Menu() != nullptr);
      }
      applyGeometry();
      break;
    case Property::Cursor:
      break;
    default:
      applyCommon(property);
      break;
  }
}

void FormPeerImpl::applyGeometry() {
  const int bar = menuBarHeight();
  const int width = form_.ClientWidth();
  const int height = form_.ClientHeight();
  if (menuBar_) {
    menuBar_->setGeometry(0, 0, width, bar);
  }
  window_->client()->setGeometry(0, bar, width, height);
  const QSize size(width, height + bar);
  const TSizeConstraints& c = form_.Constraints();
  const bool sizeable = form_.BorderStyle() == bsSizeable || form_.BorderStyle() == bsSizeToolWin;
  if (sizeable) {
    const int frameW = form_.Width() - width;
    const int frameH = form_.Height() - height;
    window_->setMinimumSize(c.MinWidth > 0 ? std::max(0, c.MinWidth - frameW) : 0,
                            c.MinHeight > 0 ? std::max(0, c.MinHeight - frameH) + bar : 0);
    window_->setMaximumSize(c.MaxWidth > 0 ? c.MaxWidth - frameW : QWIDGETSIZE_MAX,
                            c.MaxHeight > 0 ? c.MaxHeight - frameH + bar : QWIDGETSIZE_MAX);
    window_->resize(size);
  } else {
    window_->setFixedSize(size);
  }
  if (form_.Position() == poDesigned || form_.Position() == poDefault) {
    window_->move(form_.Left(), form_.Top());
  }
}

void FormPeerImpl::applyBorder() {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
  switch (form_.BorderStyle()) {
    case bsNone:
      flags |= Qt::FramelessWindowHint;
      break;
    case bsDialog:
      flags = Qt::Dialog | Qt::CustomizeWindowHint;
      break;
    case bsToolWindow:
    case bsSizeToolWin:
      flags = Qt::Tool | Qt::CustomizeWindowHint;
      break;
    default:
      break;
  }
  if (form_.BorderStyle() != bsNone) {
    flags |= Qt::WindowTitleHint;
    const TBorderIcons icons = form_.BorderIcons();
    if (icons & biSystemMenu) {
      flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
      const bool framed = form_.BorderStyle() == bsSingle || form_.BorderStyle() == bsSizeable;
      if (framed && (icons & biMinimize)) {
        flags |= Qt::WindowMinimizeButtonHint;
      }
      if (form_.BorderStyle() == bsSizeable && (icons & biMaximize)) {
        flags |= Qt::WindowMaximizeButtonHint;
      }
    }
  }
  if (flags == window_->windowFlags()) {
    return;
  }
  const bool visible = window_->isVisible();
  window_->setWindowFlags(flags);  // hides the window
  if (visible) {
    window_->show();
  }
}

void FormPeerImpl::applyFocus() {
  if (WidgetPeer* active = widgetPeerOf(form_.ActiveControl())) {
    active->widget()->setFocus(Qt::OtherFocusReason);
  }
}

void FormPeerImpl::placeOnScreen() {
  const TPosition position = form_.Position();
  if (position == poDesigned || position == poDefault) {
    return;
  }
  QRect area;
  TForm* main = Application().MainForm();
  WidgetPeer* mainPeer = main != &form_ ? widgetPeerOf(main) : nullptr;
  if (position == poMainFormCenter && mainPeer != nullptr && mainPeer->widget()->isVisible()) {
    area = mainPeer->widget()->frameGeometry();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (!area.isEmpty()) {
    QRect frame = window_->frameGeometry();
    frame.moveCenter(area.center());
    window_->move(frame.topLeft());
  }
}

void FormPeerImpl::shown() {
  Pushing guard(*this);
  window_->setWindowModality(form_.Modal() ? Qt::ApplicationModal : Qt::NonModal);
  placeOnScreen();
  window_->show();
  bringToFront();
  applyFocus();
}

void FormPeerImpl::hidden() {
  Pushing guard(*this);
  window_->hide();
  window_->setWindowModality(Qt::NonModal);
}

void FormPeerImpl::bringToFront() {
  // The offscreen platform has no stacking order and says so on every raise.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    window_->raise();
  }
  window_->activateWindow();
}

void FormPeerImpl::setMenuBar(QMenuBar* bar) {
  if (menuBar_ && menuBar_ != bar) {
    menuBar_->hide();
  }
  menuBar_ = bar;
  if (bar != nullptr) {
    bar->setParent(window_);
    bar->installEventFilter(window_);
    bar->setVisible(form_.Menu() != nullptr);
  }
  Pushing guard(*this);
  applyGeometry();
}

void FormPeerImpl::menuBarChanged() {
  if (!menuBar_ || menuBar_->height() == menuBarHeight()) {
    return;
  }
  Pushing guard(*this);
  applyGeometry();
}

void FormPeerImpl::windowResized() {
  if (pushing()) {
    return;
  }
  const int bar = menuBarHeight();
  const int clientW = window_->width();
  const int clientH = window_->height() - bar;
  if (clientW == form_.ClientWidth() && clientH == form_.ClientHeight()) {
    return;
  }
  const int frameW = form_.Width() - form_.ClientWidth();
  const int frameH = form_.Height() - form_.ClientHeight();
  form_.userResize(clientW + frameW, clientH + frameH);
  // The form may have kept its size (constraints, a fixed border): show what it holds.
  Pushing guard(*this);
  window_->client()->setGeometry(0, bar, form_.ClientWidth(), form_.ClientHeight());
}

void FormPeerImpl::windowClosing() {
  if (!pushing()) {
    form_.userClose();
  }
}

void FormPeerImpl::windowActivated() {
  if (!pushing() && form_.Visible()) {
    form_.userActivate();
  }
}

void FormPeerImpl::windowKey(QKeyEvent& event) {
  const Word vk = virtualKey(event);
  if (vk == 0 || pushing()) {
    event.ignore();
    return;
  }
  form_.userKeyDown(vk, shiftState(event.modifiers()));
}

}  // namespace ui::qt
