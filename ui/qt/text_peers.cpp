// Labels, edits and memos.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "ui/qt/conversions.h"
#include "ui/qt/peers.h"
#include "ui/qt/widget_peer.h"

namespace ui::qt {

namespace {

class LabelPeer final : public Peer, public WidgetPeer {
 public:
  LabelPeer(QtBackend& backend, TLabel& label)
      : WidgetPeer(backend, label, new QLabel(parentWidgetFor(label))), label_(label) {
    qLabel()->setTextFormat(Qt::PlainText);
  }

  void changed(Property property) override {
    Pushing guard(*this);
    switch (property) {
      case Property::Caption:
        qLabel()->setText(withoutAccessMarks(label_.Caption()));
        applyBounds();
        break;
      case Property::Alignment:
        applyAlignment();
        applyBounds();
        break;
      case Property::Bounds:
      case Property::Font:
        applyCommon(property);
        applyBounds();
        break;
      case Property::Color:
        if (label_.Transparent()) {
          qLabel()->setAutoFillBackground(false);
        } else {
          applyCommon(property);
        }
        break;
      default:
        applyCommon(property);
        break;
    }
  }

 private:
  QLabel* qLabel() const { return static_cast<QLabel*>(widget()); }

  void applyAlignment() {
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (label_.Alignment() == taRightJustify) {
      horizontal = Qt::AlignRight;
    } else if (label_.Alignment() == taCenter) {
      horizontal = Qt::AlignHCenter;
    }
    qLabel()->setAlignment(horizontal | Qt::AlignTop);
    qLabel()->setWordWrap(label_.WordWrap());
  }

  // An auto-sized label is as large as its text, from its top-left corner; a word-wrapped one
  // keeps its width and grows downwards.
  void applyBounds() {
    if (!label_.AutoSize()) {
      widget()->setGeometry(label_.Left(), label_.Top(), label_.Width(), label_.Height());
      return;
    }
    QSize size = qLabel()->sizeHint();
    if (label_.WordWrap() && label_.Width() > 0) {
      size = QSize(label_.Width(), qLabel()->heightForWidth(label_.Width()));
    }
    widget()->setGeometry(label_.Left(), label_.Top(), size.width(), size.height());
  }

  TLabel& label_;
};

class EditPeer final : public Peer, public WidgetPeer {
 public:
  EditPeer(QtBackend& backend, TEdit& edit)
      : WidgetPeer(backend, edit, new QLineEdit(parentWidgetFor(edit)),
                   KeyRouting::ControlAndWidget),
        edit_(edit) {
    QObject::connect(lineEdit(), &QLineEdit::textEdited, [this](const QString& text) {
      if (pushing()) {
        return;
      }
      edit_.userSetText(fromQString(text));
      changed(Property::Text);  // refused, cut, or changed again by OnChange
    });
  }

  void changed(Property property) override {
    Pushing guard(*this);
    switch (property) {
      case Property::Caption:
      case Property::Text: {
        const QString text = toQString(edit_.Text());
        if (lineEdit()->text() != text) {  // keeps the caret where the user types
          lineEdit()->setText(text);
        }
        break;
      }
      case Property::ReadOnly:
        lineEdit()->setReadOnly(edit_.ReadOnly());
        break;
      case Property::MaxLength:
        lineEdit()->setMaxLength(edit_.MaxLength() > 0 ? edit_.MaxLength() : 32767);
        break;
      default:
        applyCommon(property);
        break;
    }
  }

 private:
  QLineEdit* lineEdit() const { return static_cast<QLineEdit*>(widget()); }
  TEdit& edit_;
};

class MemoPeer final : public Peer, public WidgetPeer {
 public:
  MemoPeer(QtBackend& backend, TMemo& memo)
      : WidgetPeer(backend, memo, new QPlainTextEdit(parentWidgetFor(memo)),
                   KeyRouting::ControlAndWidget),
        memo_(memo) {
    formTakesReturn_ = false;
    QObject::connect(textEdit(), &QPlainTextEdit::textChanged, [this] {
      if (pushing()) {
        return;
      }
      ++typing_;
      memo_.userSetText(fromQString(textEdit()->toPlainText()));
      --typing_;
      syncText();
    });
  }

  void changed(Property property) override {
    Pushing guard(*this);
    switch (property) {
      case Property::ReadOnly:
        textEdit()->setReadOnly(memo_.ReadOnly());
        break;
      case Property::ScrollBars:
        applyScrollBars();
        break;
      default:
        applyCommon(property);
        break;
    }
  }

  void itemsChanged(const StringsChange& change) override {
    if (typing_ > 0) {
      return;  // the widget holds the text already
    }
    Pushing guard(*this);
    const int count = memo_.Lines().count();
    // The event panes append a line at a time, thousands of times: add the one line.
    if (change.kind == StringsChange::Inserted && change.index == count - 1 &&
        shownLines_ == count - 1) {
      appendLine(toQString(memo_.Lines()[change.index]));
      return;
    }
    syncText();
  }

 private:
  QPlainTextEdit* textEdit() const { return static_cast<QPlainTextEdit*>(widget()); }

  void appendLine(const QString& line) {
    if (memo_.Lines().count() == 1) {
      textEdit()->setPlainText(line);
    } else {
      textEdit()->appendPlainText(line);
    }
    ++shownLines_;
    textEdit()->verticalScrollBar()->setValue(textEdit()->verticalScrollBar()->maximum());
  }

  void syncText() {
    shownLines_ = memo_.Lines().count();
    const QString text = toQString(memo_.Text());
    if (textEdit()->toPlainText() != text) {
      Pushing guard(*this);
      textEdit()->setPlainText(text);
    }
  }

  void applyScrollBars() {
    const auto style = memo_.ScrollBars();
    const bool vertical = style == TMemo::ssVertical || style == TMemo::ssBoth;
    const bool horizontal = style == TMemo::ssHorizontal || style == TMemo::ssBoth;
    textEdit()->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn
                                                    : Qt::ScrollBarAlwaysOff);
    textEdit()->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn
                                                        : Qt::ScrollBarAlwaysOff);
    textEdit()->setLineWrapMode(memo_.WordWrap() ? QPlainTextEdit::WidgetWidth
                                                 : QPlainTextEdit::NoWrap);
  }

  TMemo& memo_;
  int typing_ = 0;
  int shownLines_ = 0;  // lines of the control that the widget holds
};

}  // namespace

std::unique_ptr<Peer> makeLabelPeer(QtBackend& backend, TLabel& label) {
  return std::make_unique<LabelPeer>(backend, label);
}

std::unique_ptr<Peer> makeEditPeer(QtBackend& backend, TEdit& edit) {
  return std::make_unique<EditPeer>(backend, edit);
}

std::unique_ptr<Peer> makeMemoPeer(QtBackend& backend, TMemo& memo) {
  return std::make_unique<MemoPeer>(backend, memo);
}

}  // namespace ui::qt
