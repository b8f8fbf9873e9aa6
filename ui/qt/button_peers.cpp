// Buttons, bit buttons, check boxes and radio buttons.

#include <QCheckBox>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "ui/qt/conversions.h"
#include "ui/qt/peers.h"
#include "ui/qt/widget_peer.h"

namespace ui::qt {

namespace {

class ButtonPeer : public Peer, public WidgetPeer {
 public:
  ButtonPeer(QtBackend& backend, TButton& button)
      : WidgetPeer(backend, button, new QPushButton(parentWidgetFor(button))), button_(button) {
    auto* widget = pushButton();
    widget->setAutoDefault(false);
    QObject::connect(widget, &QPushButton::clicked, [this] {
      if (!pushing()) {
        button_.userClick();
      }
    });
  }

  void changed(Property property) override {
    Pushing guard(*this);
    switch (property) {
      case Property::Caption:
        pushButton()->setText(toQString(button_.Caption()));
        break;
      case Property::Default:
        pushButton()->setDefault(button_.Default());
        break;
      case Property::Picture:
        applyPicture();
        break;
      default:
        applyCommon(property);
        break;
    }
  }

 protected:
  QPushButton* pushButton() const { return static_cast<QPushButton*>(widget()); }
  virtual void applyPicture() {}

 private:
  TButton& button_;
};

class BitBtnPeer final : public ButtonPeer {
 public:
  BitBtnPeer(QtBackend& backend, TBitBtn& button) : ButtonPeer(backend, button), bit_(button) {}

 private:
  void applyPicture() override {
    QIcon icon;
    if (!bit_.Glyph().empty()) {
      icon = QIcon(toQString(bit_.Glyph()));
    } else {
      icon = standardIcon();
    }
    pushButton()->setIcon(icon);
  }

  QIcon standardIcon() const {
    QStyle* style = pushButton()->style();
    switch (bit_.BitBtnKind()) {
      case TBitBtn::bkOK:
        return style->standardIcon(QStyle::SP_DialogOkButton);
      case TBitBtn::bkCancel:
        return style->standardIcon(QStyle::SP_DialogCancelButton);
      case TBitBtn::bkYes:
        return style->standardIcon(QStyle::SP_DialogYesButton);
      case TBitBtn::bkNo:
        return style->standardIcon(QStyle::SP_DialogNoButton);
      case TBitBtn::bkClose:
        return style->standardIcon(QStyle::SP_DialogCloseButton);
      case TBitBtn::bkHelp:
        return style->standardIcon(QStyle::SP_DialogHelpButton);
      default:
        return {};
    }
  }

  TBitBtn& bit_;
};

class CheckBoxPeer final : public Peer, public WidgetPeer {
 public:
  CheckBoxPeer(QtBackend& backend, TCheckBox& box)
      : WidgetPeer(backend, box, new QCheckBox(parentWidgetFor(box))), box_(box) {
    QObject::connect(checkBox(), &QCheckBox::clicked, [this] {
      if (pushing()) {
        return;
      }
      box_.userClick();
      // The control may have refused, or its handler set another value.
      changed(Property::Checked);
    });
  }

  void changed(Property property) override {
    Pushing guard(*this);
    switch (property) {
      case Property::Caption:
        checkBox()->setText(toQString(box_.Caption()));
        break;
      case Property::Checked:
        checkBox()->setChecked(box_.Checked());
        break;
      default:
        applyCommon(property);
        break;
    }
  }

 private:
  QCheckBox* checkBox() const { return static_cast<QCheckBox*>(widget()); }
  TCheckBox& box_;
};

class RadioButtonPeer final : public Peer, public WidgetPeer {
 public:
  RadioButtonPeer(QtBackend& backend, TRadioButton& radio)
      : WidgetPeer(backend, radio, new QRadioButton(parentWidgetFor(radio))), radio_(radio) {
    // The control unchecks its siblings; Qt must not do it behind the controls' backs.
    radioButton()->setAutoExclusive(false);
    QObject::connect(radioButton(), &QRadioButton::clicked, [this] {
      if (pushing()) {
        return;
      }
      radio_.userClick();
      changed(Property::Checked);
    });
  }

  void changed(Property property) override {
    Pushing guard(*this);
    switch (property) {
      case Property::Caption:
        radioButton()->setText(toQString(radio_.Caption()));
        break;
      case Property::Checked:
        radioButton()->setChecked(radio_.Checked());
        break;
      default:
        applyCommon(property);
        break;
    }
  }

 private:
  QRadioButton* radioButton() const { return static_cast<QRadioButton*>(widget()); }
  TRadioButton& radio_;
};

}  // namespace

std::unique_ptr<Peer> makeButtonPeer(QtBackend& backend, TButton& button) {
  return std::make_unique<ButtonPeer>(backend, button);
}

std::unique_ptr<Peer> makeBitBtnPeer(QtBackend& backend, TBitBtn& button) {
  return std::make_unique<BitBtnPeer>(backend, button);
}

std::unique_ptr<Peer> makeCheckBoxPeer(QtBackend& backend, TCheckBox& box) {
  return std::make_unique<CheckBoxPeer>(backend, box);
}

std::unique_ptr<Peer> makeRadioButtonPeer(QtBackend& backend, TRadioButton& radio) {
  return std::make_unique<RadioButtonPeer>(backend, radio);
}

}  // namespace ui::qt
