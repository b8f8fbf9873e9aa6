#pragma once
// What every Qt peer of a control shares: the widget, placed at the control's geometry inside
// its parent's widget, the properties every control has, and the input that reaches the control
// through its user...() methods (focus, mouse, keys). A peer owns its widget and deletes it
// when the control drops the peer.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "ui/control.h"

namespace ui::qt {

class QtBackend;

// How a key press on the widget is shared between the control and the widget.
enum class KeyRouting {
  Control,           // the control handles the key (its OnKeyDown, then its own reaction)
  ControlAndWidget,  // the control sees it, then the widget (typing and caret keys of edits)
};

class WidgetPeer : public QObject {
 public:
  WidgetPeer(QtBackend& backend, TControl& control, QWidget* widget,
             KeyRouting routing = KeyRouting::Control);
  ~WidgetPeer() override;

  WidgetPeer(const WidgetPeer&) = delete;
  WidgetPeer& operator=(const WidgetPeer&) = delete;

  QWidget* widget() const { return widget_; }
  // Where the control's children go: the widget itself, or a form's client area.
  virtual QWidget* container() const { return widget_; }
  TControl& control() const { return control_; }
  QtBackend& backend() const { return backend_; }

  // The properties every control has; false for one this does not handle.
  bool applyCommon(Property property);
  void applyHint();

  // While the peer writes the control's state into the widget, the widget's own signals are
  // the peer's doing, not the user's.
  bool pushing() const { return pushing_ > 0; }
  class Pushing {
   public:
    explicit Pushing(WidgetPeer& peer) : peer_(peer) { ++peer_.pushing_; }
    ~Pushing() { --peer_.pushing_; }
    Pushing(const Pushing&) = delete;
    Pushing& operator=(const Pushing&) = delete;

   private:
    WidgetPeer& peer_;
  };

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // A key press the control should see; true when the widget must not see it as well.
  virtual bool keyPressed(Word key, TShiftState shift);
  // Tab moves the focus, unless the control takes it (a grid that tabs between its cells).
  virtual bool wantsTab() const { return false; }
  // Mouse presses go to the control's OnMouseDown; a peer whose control raises it itself (a
  // list box's item click) turns this off.
  bool forwardMouseDown_ = true;
  bool forwardDoubleClick_ = true;
  // Enter and Escape go to the form (default and cancel buttons); a memo keeps Enter.
  bool formTakesReturn_ = true;

 private:
  void applyBounds();
  void applyFont();
  void applyColor();

  QtBackend& backend_;
  TControl& control_;
  QPointer<QWidget> widget_;
  KeyRouting routing_;
  bool orphan_ = false;
  int pushing_ = 0;
};

// The Qt peer of a component, or nullptr when it has none on the Qt backend.
WidgetPeer* widgetPeerOf(const TComponent* component);
// The widget a new control's widget goes into.
QWidget* parentWidgetFor(const TControl& control);

}  // namespace ui::qt
