// List boxes, track bars, shapes and images.

#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSlider>

#include "ui/qt/conversions.h"
#include "ui/qt/peers.h"
#include "ui/qt/widget_peer.h"

namespace ui::qt {

namespace {

// A click on an item goes to the control, which selects it and raises OnMouseDown and OnClick;
// the widget only shows the selection the control then holds.
class ListWidget : public QListWidget {
 public:
  ListWidget(QWidget* parent, TListBox& list) : QListWidget(parent), list_(list) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    setFocus(Qt::MouseFocusReason);
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid()) {
      list_.userClickItem(at.row(), mouseButton(event->button()));
    }
  }
  void mouseMoveEvent(QMouseEvent*) override {}
  void mouseReleaseEvent(QMouseEvent*) override {}

 private:
  TListBox& list_;
};

class ListBoxPeer final : public Peer, public WidgetPeer {
 public:
  ListBoxPeer(QtBackend& backend, TListBox& list)
      : WidgetPeer(backend, list, new ListWidget(parentWidgetFor(list), list)), list_(list) {
    forwardMouseDown_ = false;
    listWidget()->setSelectionMode(QAbstractItemView::SingleSelection);
  }

  void changed(Property property) override {
    Pushing guard(*this);
    switch (property) {
      case Property::ItemIndex:
        listWidget()->setCurrentRow(list_.ItemIndex(), QItemSelectionModel::ClearAndSelect);
        if (list_.ItemIndex() < 0) {
          listWidget()->clearSelection();
        }
        break;
      case Property::Sorted:
        break;  // the control keeps its items in order and tells each change
      default:
        applyCommon(property);
        break;
    }
  }

  void itemsChanged(const StringsChange& change) override {
    Pushing guard(*this);
    QListWidget* w = listWidget();
    const TStrings& items = list_.Items();
    switch (change.kind) {
      case StringsChange::Inserted:
        w->insertItem(change.index, toQString(items[change.index]));
        break;
      case StringsChange::Removed:
        delete w->takeItem(change.index);
        break;
      case StringsChange::Changed:
        w->item(change.index)->setText(toQString(items[change.index]));
        break;
      case StringsChange::Reset:
        w->clear();
        for (const std::string& item : items.strings()) {
          w->addItem(toQString(item));
        }
        break;
    }
    w->setCurrentRow(list_.ItemIndex(), QItemSelectionModel::ClearAndSelect);
  }

 private:
  QListWidget* listWidget() const { return static_cast<QListWidget*>(widget()); }
  TListBox& list_;
};

class TrackBarPeer final : public Peer, public WidgetPeer {
 public:
  TrackBarPeer(QtBackend& backend, TTrackBar& bar)
      : WidgetPeer(backend, bar, new QSlider(parentWidgetFor(bar))), bar_(bar) {
    QObject::connect(slider(), &QSlider::valueChanged, [this](int value) {
      if (pushing()) {
        return;
      }
      bar_.userSetPosition(value);
      Pushing guard(*this);
      slider()->setValue(bar_.Position());
    });
  }

  void changed(Property property) override {
    Pushing guard(*this);
    switch (property) {
      case Property::Range:
        applyRange();
        break;
      case Property::Position:
        slider()->setValue(bar_.Position());
        break;
      default:
        applyCommon(property);
        break;
    }
  }

 private:
  QSlider* slider() const { return static_cast<QSlider*>(widget()); }

  void applyRange() {
    QSlider* s = slider();
    s->setOrientation(bar_.Orientation() == TTrackBar::trVertical ? Qt::Vertical : Qt::Horizontal);
    s->setRange(bar_.Min(), bar_.Max());
    s->setValue(bar_.Position());
    s->setTickInterval(bar_.Frequency());
    s->setPageStep(std::max(1, (bar_.Max() - bar_.Min()) / 5));
    QSlider::TickPosition ticks = QSlider::NoTicks;
    if (bar_.TickStyle() != TTrackBar::tsNone) {
      switch (bar_.TickMarks()) {
        case TTrackBar::tmBottomRight:
          ticks = QSlider::TicksBelow;
          break;
        case TTrackBar::tmTopLeft:
          ticks = QSlider::TicksAbove;
          break;
        case TTrackBar::tmBoth:
          ticks = QSlider::TicksBothSides;
          break;
      }
    }
    s->setTickPosition(ticks);
  }

  TTrackBar& bar_;
};

QColor shapeColor(TColor color, QColor fallback) {
  return toQColor(color).value_or(fallback);
}

class ShapeWidget : public QWidget {
 public:
  ShapeWidget(QWidget* parent, const TShape& shape) : QWidget(parent), shape_(shape) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int pen = std::max(0, shape_.PenWidth());
    painter.setPen(pen > 0 ? QPen(shapeColor(shape_.PenColor(), Qt::black), pen) : Qt::NoPen);
    if (shape_.BrushStyle() == TShape::bsClear) {
      painter.setBrush(Qt::NoBrush);
    } else {
      painter.setBrush(shapeColor(shape_.BrushColor(), Qt::white));
    }
    QRectF area = QRectF(rect()).adjusted(pen / 2.0, pen / 2.0, -pen / 2.0 - 0.5, -pen / 2.0 - 0.5);
    const auto kind = shape_.Shape();
    const bool square =
        kind == TShape::stSquare || kind == TShape::stRoundSquare || kind == TShape::stCircle;
    if (square) {
      const qreal side = std::min(area.width(), area.height());
      area = QRectF(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    }
    switch (kind) {
      case TShape::stEllipse:
      case TShape::stCircle:
        painter.drawEllipse(area);
        break;
      case TShape::stRoundRect:
      case TShape::stRoundSquare: {
        const qreal radius = std::min(area.width(), area.height()) / 4;
        painter.drawRoundedRect(area, radius, radius);
        break;
      }
      default:
        painter.drawRect(area);
        break;
    }
  }

 private:
  const TShape& shape_;
};

class ShapePeer final : public Peer, public WidgetPeer {
 public:
  ShapePeer(QtBackend& backend, TShape& shape)
      : WidgetPeer(backend, shape, new ShapeWidget(parentWidgetFor(shape), shape)) {}

  void changed(Property property) override {
    if (property == Property::ShapeKind || property == Property::Brush) {
      widget()->update();
      return;
    }
    applyCommon(property);
  }
};

class ImagePeer final : public Peer, public WidgetPeer {
 public:
  ImagePeer(QtBackend& backend, TImage& image)
      : WidgetPeer(backend, image, new QLabel(parentWidgetFor(image))), image_(image) {}

  void changed(Property property) override {
    Pushing guard(*this);
    if (property == Property::Picture) {
      auto* label = static_cast<QLabel*>(widget());
      label->setPixmap(image_.Picture().empty() ? QPixmap() : QPixmap(toQString(image_.Picture())));
      label->setScaledContents(image_.Stretch());
      label->setAlignment(image_.Center() ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
      return;
    }
    applyCommon(property);
  }

 private:
  TImage& image_;
};

}  // namespace

std::unique_ptr<Peer> makeListBoxPeer(QtBackend& backend, TListBox& list) {
  return std::make_unique<ListBoxPeer>(backend, list);
}

std::unique_ptr<Peer> makeTrackBarPeer(QtBackend& backend, TTrackBar& bar) {
  return std::make_unique<TrackBarPeer>(backend, bar);
}

std::unique_ptr<Peer> makeShapePeer(QtBackend& backend, TShape& shape) {
  return std::make_unique<ShapePeer>(backend, shape);
}

std::unique_ptr<Peer> makeImagePeer(QtBackend& backend, TImage& image) {
  return std::make_unique<ImagePeer>(backend, image);
}

}  // namespace ui::qt
