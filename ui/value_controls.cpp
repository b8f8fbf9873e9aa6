#include <algorithm>

#include "ui/backend.h"
#include "ui/controls.h"

namespace ui {

TGroupBox::TGroupBox(TWinControl* parent) : TWinControl(parent) {
  setBounds(0, 0, 185, 105);
}

std::unique_ptr<Peer> TGroupBox::makePeer(Backend& backend) {
  return backend.createGroupBox(*this);
}

TPanel::TPanel(TWinControl* parent) : TWinControl(parent) {
  setBounds(0, 0, 185, 41);
}

void TPanel::setBevelOuter(TBevelCut bevel) {
  if (bevel == bevelOuter_) {
    return;
  }
  bevelOuter_ = bevel;
  notify(Property::Brush);
}

std::unique_ptr<Peer> TPanel::makePeer(Backend& backend) {
  return backend.createPanel(*this);
}

// ---------------------------------------------------------------------------------------------

TTrackBar::TTrackBar(TWinControl* parent) : TControl(parent) {
  focusable_ = true;
  setTabStop(true);
  setBounds(0, 0, 150, 45);
}

void TTrackBar::setRange(int min, int max) {
  if (max < min) {
    max = min;
  }
  if (min == min_ && max == max_) {
    return;
  }
  min_ = min;
  max_ = max;
  notify(Property::Range);
  setPosition(position_);
}

void TTrackBar::setPosition(int position) {
  position = std::clamp(position, min_, max_);
  if (position == position_) {
    return;
  }
  position_ = position;
  notify(Property::Position);
  if (OnChange) {
    OnChange();
  }
}

void TTrackBar::setFrequency(int frequency) {
  if (frequency < 1 || frequency == frequency_) {
    return;
  }
  frequency_ = frequency;
  notify(Property::Range);
}

void TTrackBar::setTickMarks(TTickMark marks) {
  if (marks == tickMarks_) {
    return;
  }
  tickMarks_ = marks;
  notify(Property::Range);
}

void TTrackBar::setTickStyle(TTickStyle style) {
  if (style == tickStyle_) {
    return;
  }
  tickStyle_ = style;
  notify(Property::Range);
}

void TTrackBar::setThumbLength(int length) {
  if (length < 1 || length == thumbLength_) {
    return;
  }
  thumbLength_ = length;
  notify(Property::Range);
}

void TTrackBar::setOrientation(TTrackBarOrientation orientation) {
  if (orientation == orientation_) {
    return;
  }
  orientation_ = orientation;
  notify(Property::Range);
}

bool TTrackBar::userSetPosition(int position) {
  if (!isUserReachable()) {
    return false;
  }
  setPosition(position);
  return true;
}

void TTrackBar::defaultKeyDown(Word key, TShiftState) {
  switch (key) {
    case VK_LEFT:
    case VK_UP:
      setPosition(position_ - 1);
      break;
    case VK_RIGHT:
    case VK_DOWN:
      setPosition(position_ + 1);
      break;
    case VK_PRIOR:
      setPosition(position_ - std::max(1, (max_ - min_) / 5));
      break;
    case VK_NEXT:
      setPosition(position_ + std::max(1, (max_ - min_) / 5));
      break;
    case VK_HOME:
      setPosition(min_);
      break;
    case VK_END:
      setPosition(max_);
      break;
    default:
      break;
  }
}

std::unique_ptr<Peer> TTrackBar::makePeer(Backend& backend) {
  return backend.createTrackBar(*this);
}

// ---------------------------------------------------------------------------------------------

TShape::TShape(TWinControl* parent) : TControl(parent) {
  setBounds(0, 0, 65, 65);
}

void TShape::setShape(TShapeType shape) {
  if (shape == shape_) {
    return;
  }
  shape_ = shape;
  notify(Property::ShapeKind);
}

void TShape::setBrushColor(TColor color) {
  if (color == brushColor_) {
    return;
  }
  brushColor_ = color;
  notify(Property::Brush);
}

void TShape::setBrushStyle(TBrushStyle style) {
  if (style == brushStyle_) {
    return;
  }
  brushStyle_ = style;
  notify(Property::Brush);
}

void TShape::setPenColor(TColor color) {
  if (color == penColor_) {
    return;
  }
  penColor_ = color;
  notify(Property::Brush);
}

void TShape::setPenWidth(int width) {
  if (width < 0 || width == penWidth_) {
    return;
  }
  penWidth_ = width;
  notify(Property::Brush);
}

std::unique_ptr<Peer> TShape::makePeer(Backend& backend) {
  return backend.createShape(*this);
}

TImage::TImage(TWinControl* parent) : TControl(parent) {
  setBounds(0, 0, 105, 105);
}

void TImage::setPicture(const std::string& picture) {
  if (picture == picture_) {
    return;
  }
  picture_ = picture;
  notify(Property::Picture);
}

void TImage::setStretch(bool stretch) {
  if (stretch == stretch_) {
    return;
  }
  stretch_ = stretch;
  notify(Property::Picture);
}

void TImage::setCenter(bool center) {
  if (center == center_) {
    return;
  }
  center_ = center;
  notify(Property::Picture);
}

std::unique_ptr<Peer> TImage::makePeer(Backend& backend) {
  return backend.createImage(*this);
}

}  // namespace ui
