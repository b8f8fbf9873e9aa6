#pragma once
// A form as a top-level window: an optional menu bar above a client area of exactly the form's
// client size, into which the controls are placed at their own coordinates.

#include <QMenuBar>
#include <QPointer>
#include <QWidget>

#include "ui/form.h"
#include "ui/qt/widget_peer.h"

namespace ui::qt {

class FormPeerImpl;

class FormWindow : public QWidget {
 public:
  explicit FormWindow(FormPeerImpl& peer);

  QWidget* client() const { return client_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  FormPeerImpl& peer_;
  QWidget* client_;
};

class FormPeerImpl final : public FormPeer, public WidgetPeer {
 public:
  FormPeerImpl(QtBackend& backend, TForm& form);

  QWidget* container() const override;
  FormWindow* window() const { return window_; }
  TForm& form() const { return form_; }

  void changed(Property property) override;
  void shown() override;
  void hidden() override;
  void bringToFront() override;

  // The main menu's peer hands over its bar; nullptr takes it away.
  void setMenuBar(QMenuBar* bar);

  // From the window: the user resized, closed or activated it.
  void windowResized();
  void windowClosing();
  void windowActivated();
  void windowKey(QKeyEvent& event);
  // The menu bar's items changed, and with them its height.
  void menuBarChanged();

 private:
  void applyGeometry();
  void applyBorder();
  void applyFocus();
  void placeOnScreen();
  int menuBarHeight() const;

  TForm& form_;
  FormWindow* window_;
  QPointer<QMenuBar> menuBar_;
};

}  // namespace ui::qt
