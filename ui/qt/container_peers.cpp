// Group boxes, panels, radio groups and tab sets.

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QPainter>
#include <QRadioButton>
#include <QTabBar>
#include <vector>

#include "ui/qt/conversions.h"
#include "ui/qt/peers.h"
#include "ui/qt/widget_peer.h"

namespace ui::qt {

namespace {

class GroupBoxPeer final : public Peer, public WidgetPeer {
 public:
  GroupBoxPeer(QtBackend& backend, TGroupBox& box)
      : WidgetPeer(backend, box, new QGroupBox(parentWidgetFor(box))), box_(box) {}

  void changed(Property property) override {
    Pushing guard(*this);
    if (property == Property::Caption) {
      static_cast<QGroupBox*>(widget())->setTitle(toQString(box_.Caption()));
      return;
    }
    applyCommon(property);
  }

 private:
  TGroupBox& box_;
};

// A panel shows its caption in the middle, over its bevel.
class PanelWidget : public QFrame {
 public:
  using QFrame::QFrame;
  QString caption;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    if (!caption.isEmpty()) {
      QPainter painter(this);
      painter.drawText(contentsRect(), Qt::AlignCenter, caption);
    }
  }
};

class PanelPeer final : public Peer, public WidgetPeer {
 public:
  PanelPeer(QtBackend& backend, TPanel& panel)
      : WidgetPeer(backend, panel, new PanelWidget(parentWidgetFor(panel))), panel_(panel) {}

  void changed(Property property) override {
    Pushing guard(*this);
    auto* frame = static_cast<PanelWidget*>(widget());
    switch (property) {
      case Property::Caption:
        frame->caption = withoutAccessMarks(panel_.Caption());
        frame->update();
        break;
      case Property::Brush:  // the bevel
        switch (panel_.BevelOuter()) {
          case TPanel::bvNone:
            frame->setFrameStyle(QFrame::NoFrame);
            break;
          case TPanel::bvLowered:
            frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            break;
          case TPanel::bvRaised:
            frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
            break;
        }
        break;
      default:
        applyCommon(property);
        break;
    }
  }

 private:
  TPanel& panel_;
};

// The group's radio items are laid out in its columns, top to bottom, as the classic radio
// group arranges them.
class RadioGroupPeer final : public Peer, public WidgetPeer {
 public:
  RadioGroupPeer(QtBackend& backend, TRadioGroup& group)
      : WidgetPeer(backend, group, new QGroupBox(parentWidgetFor(group))), group_(group) {}

  void changed(Property property) override {
    Pushing guard(*this);
    switch (property) {
      case Property::Caption:
        box()->setTitle(toQString(group_.Caption()));
        break;
      case Property::ItemIndex:
        applyChecked();
        break;
      case Property::Columns:
      case Property::Bounds:
      case Property::Font:
        applyCommon(property);
        layoutButtons();
        break;
      default:
        applyCommon(property);
        break;
    }
  }

  void itemsChanged(const StringsChange&) override {
    Pushing guard(*this);
    rebuild();
  }

 private:
  QGroupBox* box() const { return static_cast<QGroupBox*>(widget()); }

  void rebuild() {
    for (QRadioButton* button : buttons_) {
      delete button;
    }
    buttons_.clear();
    for (int i = 0; i < group_.Items().count(); ++i) {
      auto* button = new QRadioButton(toQString(group_.Items()[i]), box());
      button->setAutoExclusive(false);
      QObject::connect(button, &QRadioButton::clicked, [this, i] {
        if (pushing()) {
          return;
        }
        group_.userSelect(i);
        Pushing guard(*this);
        applyChecked();
      });
      button->show();
      buttons_.push_back(button);
    }
    layoutButtons();
    applyChecked();
  }

  void layoutButtons() {
    const int count = static_cast<int>(buttons_.size());
    if (count == 0) {
      return;
    }
    const int columns = std::max(1, group_.Columns());
    const int rows = (count + columns - 1) / columns;
    // Below the caption, inside the frame: the items share the height evenly.
    const int caption = box()->fontMetrics().height() + 4;
    const QRect area = box()->rect().adjusted(8, caption, -4, -4);
    const int columnWidth = area.width() / columns;
    const int rowHeight = std::max(1, area.height() / std::max(1, rows));
    for (int i = 0; i < count; ++i) {
      const int column = i / rows;
      const int row = i % rows;
      const int height = std::min(rowHeight, buttons_[i]->sizeHint().height() + 4);
      buttons_[i]->setGeometry(area.left() + column * columnWidth,
                               area.top() + row * rowHeight + (rowHeight - height) / 2, columnWidth,
                               height);
    }
  }

  void applyChecked() {
    for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
      buttons_[i]->setChecked(i == group_.ItemIndex());
    }
  }

  TRadioGroup& group_;
  std::vector<QRadioButton*> buttons_;
};

class TabSetPeer final : public Peer, public WidgetPeer {
 public:
  TabSetPeer(QtBackend& backend, TTabSet& tabs)
      : WidgetPeer(backend, tabs, new QTabBar(parentWidgetFor(tabs))), tabs_(tabs) {
    bar()->setExpanding(false);
    bar()->setDrawBase(false);
    QObject::connect(bar(), &QTabBar::currentChanged, [this](int index) {
      if (pushing()) {
        return;
      }
      tabs_.userSelectTab(index);
      Pushing guard(*this);
      bar()->setCurrentIndex(tabs_.TabIndex());
    });
  }

  void changed(Property property) override {
    Pushing guard(*this);
    if (property == Property::ItemIndex) {
      bar()->setCurrentIndex(tabs_.TabIndex());
      return;
    }
    applyCommon(property);
  }

  void itemsChanged(const StringsChange&) override {
    Pushing guard(*this);
    while (bar()->count() > 0) {
      bar()->removeTab(bar()->count() - 1);
    }
    for (const std::string& tab : tabs_.Tabs().strings()) {
      bar()->addTab(toQString(tab));
    }
    bar()->setCurrentIndex(tabs_.TabIndex());
  }

 private:
  QTabBar* bar() const { return static_cast<QTabBar*>(widget()); }
  TTabSet& tabs_;
};

}  // namespace

std::unique_ptr<Peer> makeGroupBoxPeer(QtBackend& backend, TGroupBox& box) {
  return std::make_unique<GroupBoxPeer>(backend, box);
}

std::unique_ptr<Peer> makePanelPeer(QtBackend& backend, TPanel& panel) {
  return std::make_unique<PanelPeer>(backend, panel);
}

std::unique_ptr<Peer> makeRadioGroupPeer(QtBackend& backend, TRadioGroup& group) {
  return std::make_unique<RadioGroupPeer>(backend, group);
}

std::unique_ptr<Peer> makeTabSetPeer(QtBackend& backend, TTabSet& tabs) {
  return std::make_unique<TabSetPeer>(backend, tabs);
}

}  // namespace ui::qt
