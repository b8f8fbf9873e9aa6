#include "ui/qt/widget_peer.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/qt/conversions.h"
#include "ui/qt/qt_backend.h"

namespace ui::qt {

WidgetPeer::WidgetPeer(QtBackend& backend, TControl& control, QWidget* widget, KeyRouting routing)
    : backend_(backend), control_(control), widget_(widget), routing_(routing) {
  widget_->setObjectName(toQString(control.Name()));
  widget_->installEventFilter(this);
  // A control whose parent has no widget would otherwise pop up as a window of its own.
  orphan_ = widget_->parentWidget() == nullptr && control.Parent() != nullptr;
  backend_.addPeer(this);
}

WidgetPeer::~WidgetPeer() {
  backend_.removePeer(this);
  delete widget_.data();
}

bool WidgetPeer::applyCommon(Property property) {
  Pushing guard(*this);
  switch (property) {
    case Property::Bounds:
      applyBounds();
      return true;
    case Property::Enabled:
      widget_->setEnabled(control_.Enabled());
      return true;
    case Property::Visible:
      widget_->setVisible(control_.Visible() && !orphan_);
      return true;
    case Property::Hint:
      applyHint();
      return true;
    case Property::Font:
      applyFont();
      return true;
    case Property::Color:
      applyColor();
      return true;
    case Property::TabOrder:
      backend_.tabOrderChanged(control_);
      return true;
    default:
      return false;
  }
}

void WidgetPeer::applyHint() {
  const bool show = control_.ShowHint() && Application().ShowHint();
  widget_->setToolTip(show ? tooltipText(control_.Hint()) : QString());
}

void WidgetPeer::applyBounds() {
  widget_->setGeometry(control_.Left(), control_.Top(), control_.Width(), control_.Height());
}

void WidgetPeer::applyFont() {
  if (control_.Font() == TFont{}) {
    // A control inherits its form's face; the form's window sets it.
    widget_->setFont(widget_->isWindow() ? backend_.defaultFont() : QFont());
    return;
  }
  widget_->setFont(toQFont(control_.Font(), backend_.defaultFont()));
  QPalette palette = widget_->palette();
  if (auto text = toQColor(control_.Font().Color)) {
    palette.setColor(QPalette::WindowText, *text);
    palette.setColor(QPalette::ButtonText, *text);
    palette.setColor(QPalette::Text, *text);
  }
  widget_->setPalette(palette);
}

void WidgetPeer::applyColor() {
  const auto color = toQColor(control_.Color());
  if (!color) {
    widget_->setAutoFillBackground(false);
    widget_->setBackgroundRole(QPalette::NoRole);
    return;
  }
  QPalette palette = widget_->palette();
  palette.setColor(QPalette::Window, *color);
  palette.setColor(QPalette::Base, *color);
  palette.setColor(QPalette::Button, *color);
  widget_->setPalette(palette);
  widget_->setAutoFillBackground(true);
}

bool WidgetPeer::keyPressed(Word key, TShiftState shift) {
  control_.userKeyDown(key, shift);
  return routing_ == KeyRouting::Control;
}

bool WidgetPeer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != widget_ || pushing()) {
    return false;
  }
  switch (event->type()) {
    case QEvent::FocusIn:
      control_.userSetFocus();
      return false;
    case QEvent::MouseButtonPress: {
      if (forwardMouseDown_) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        control_.userMouseDown(mouseButton(mouse->button()),
                               shiftState(mouse->modifiers(), mouse->buttons()), at.x(), at.y());
      }
      return false;
    }
    case QEvent::MouseButtonDblClick:
      if (forwardDoubleClick_) {
        control_.userDblClick();
      }
      return false;
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      const Word vk = virtualKey(*key);
      // Tab moves the focus as Qt does it; the focus change reaches the form through FocusIn.
      if (vk == 0 || (vk == VK_TAB && !wantsTab()) || (vk >= '0' && vk <= 'Z')) {
        return false;
      }
      const TShiftState shift = shiftState(key->modifiers());
      const bool formKey = vk == VK_ESCAPE || (vk == VK_RETURN && formTakesReturn_);
      if (formKey && control_.ownerForm() != nullptr) {
        // The form gives the key to the focused control first, then to its default or
        // cancel button.
        control_.ownerForm()->userKeyDown(vk, shift);
        return true;
      }
      if (!keyPressed(vk, shift)) {
        // The widget handles the key too (caret keys of an edit), but its parents must not
        // see it again if it ignores it: the control had it already.
        static_cast<QObject*>(widget_.data())->event(event);
      }
      return true;
    }
    default:
      return false;
  }
}

WidgetPeer* widgetPeerOf(const TComponent* component) {
  return component == nullptr ? nullptr : dynamic_cast<WidgetPeer*>(component->peer());
}

QWidget* parentWidgetFor(const TControl& control) {
  WidgetPeer* parent = widgetPeerOf(control.Parent());
  return parent != nullptr ? parent->container() : nullptr;
}

}  // namespace ui::qt
