#include "ui/backend.h"
#include "ui/controls.h"

namespace ui {

TLabel::TLabel(TWinControl* parent) : TControl(parent) {
  setBounds(0, 0, 32, 13);
}

void TLabel::setAlignment(TAlignment alignment) {
  if (alignment == alignment_) {
    return;
  }
  alignment_ = alignment;
  notify(Property::Alignment);
}

void TLabel::setWordWrap(bool wrap) {
  if (wrap == wordWrap_) {
    return;
  }
  wordWrap_ = wrap;
  notify(Property::Alignment);
}

void TLabel::setAutoSize(bool autoSize) {
  if (autoSize == autoSize_) {
    return;
  }
  autoSize_ = autoSize;
  notify(Property::Alignment);
}

void TLabel::setTransparent(bool transparent) {
  if (transparent == transparent_) {
    return;
  }
  transparent_ = transparent;
  notify(Property::Color);
}

std::unique_ptr<Peer> TLabel::makePeer(Backend& backend) {
  return backend.createLabel(*this);
}

// ---------------------------------------------------------------------------------------------

TEdit::TEdit(TWinControl* parent) : TControl(parent) {
  focusable_ = true;
  setTabStop(true);
  setBounds(0, 0, 121, 21);
}

void TEdit::setText(const std::string& text) {
  if (text == Text()) {
    return;
  }
  storeCaption(text);
  notify(Property::Text);
  if (OnChange) {
    OnChange();
  }
}

void TEdit::setReadOnly(bool readOnly) {
  if (readOnly == readOnly_) {
    return;
  }
  readOnly_ = readOnly;
  notify(Property::ReadOnly);
}

void TEdit::setMaxLength(int maxLength) {
  if (maxLength < 0 || maxLength == maxLength_) {
    return;
  }
  maxLength_ = maxLength;
  notify(Property::MaxLength);
}

bool TEdit::userSetText(const std::string& text) {
  if (!isUserReachable() || readOnly_) {
    return false;
  }
  if (maxLength_ > 0 && static_cast<int>(text.size()) > maxLength_) {
    setText(text.substr(0, static_cast<std::size_t>(maxLength_)));
  } else {
    setText(text);
  }
  return true;
}

std::unique_ptr<Peer> TEdit::makePeer(Backend& backend) {
  return backend.createEdit(*this);
}

// ---------------------------------------------------------------------------------------------

TMemo::TMemo(TWinControl* parent) : TControl(parent) {
  focusable_ = true;
  setTabStop(true);
  setBounds(0, 0, 185, 89);
  lines_.setObserver([this](const StringsChange& change) {
    notifyItems(change);
    if (OnChange) {
      OnChange();
    }
  });
}

void TMemo::setReadOnly(bool readOnly) {
  if (readOnly == readOnly_) {
    return;
  }
  readOnly_ = readOnly;
  notify(Property::ReadOnly);
}

void TMemo::setWordWrap(bool wrap) {
  if (wrap == wordWrap_) {
    return;
  }
  wordWrap_ = wrap;
  notify(Property::ScrollBars);
}

void TMemo::setScrollBars(TScrollStyle style) {
  if (style == scrollBars_) {
    return;
  }
  scrollBars_ = style;
  notify(Property::ScrollBars);
}

bool TMemo::userSetText(const std::string& text) {
  if (!isUserReachable() || readOnly_) {
    return false;
  }
  lines_.setText(text);
  return true;
}

std::unique_ptr<Peer> TMemo::makePeer(Backend& backend) {
  return backend.createMemo(*this);
}

}  // namespace ui
