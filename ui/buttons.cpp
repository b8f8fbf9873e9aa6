#include "ui/backend.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace ui {

TButton::TButton(TWinControl* parent) : TControl(parent) {
  focusable_ = true;
  setTabStop(true);
  setBounds(0, 0, 75, 25);
}

void TButton::click() {
  if (modalResult_ != mrNone && ownerForm() != nullptr) {
    ownerForm()->setModalResult(modalResult_);
  }
  if (OnClick) {
    OnClick();
  }
}

bool TButton::userClick() {
  if (!isUserReachable()) {
    return false;
  }
  click();
  return true;
}

void TButton::setModalResult(TModalResult result) {
  if (result == modalResult_) {
    return;
  }
  modalResult_ = result;
  notify(Property::ModalResult);
}

void TButton::setDefault(bool isDefault) {
  if (isDefault == default_) {
    return;
  }
  default_ = isDefault;
  notify(Property::Default);
}

void TButton::setCancel(bool isCancel) {
  if (isCancel == cancel_) {
    return;
  }
  cancel_ = isCancel;
  notify(Property::Default);
}

void TButton::defaultKeyDown(Word key, TShiftState) {
  if (key == VK_SPACE || key == VK_RETURN) {
    click();
  }
}

std::unique_ptr<Peer> TButton::makePeer(Backend& backend) {
  return backend.createButton(*this);
}

TBitBtn::TBitBtn(TWinControl* parent) : TButton(parent) {}

void TBitBtn::setKind(Kind kind) {
  kind_ = kind;
  struct Standard {
    const char* caption;
    TModalResult result;
  };
  static const Standard kStandard[] = {
      {"", mrNone},  {"OK", mrOk},       {"Cancel", mrCancel}, {"&Yes", mrYes},
      {"&No", mrNo}, {"&Close", mrNone}, {"&Help", mrNone},
  };
  const Standard& standard = kStandard[kind];
  if (kind != bkCustom) {
    setCaption(standard.caption);
    setModalResult(standard.result);
  }
  setDefault(kind == bkOK || kind == bkYes);
  setCancel(kind == bkCancel || kind == bkNo);
  notify(Property::Picture);
}

void TBitBtn::setGlyph(const std::string& glyph) {
  if (glyph == glyph_) {
    return;
  }
  glyph_ = glyph;
  notify(Property::Picture);
}

std::unique_ptr<Peer> TBitBtn::makePeer(Backend& backend) {
  return backend.createBitBtn(*this);
}

// ---------------------------------------------------------------------------------------------

TCheckBox::TCheckBox(TWinControl* parent) : TControl(parent) {
  focusable_ = true;
  setTabStop(true);
  setBounds(0, 0, 97, 17);
}

void TCheckBox::setChecked(bool checked) {
  if (checked == checked_) {
    return;
  }
  checked_ = checked;
  notify(Property::Checked);
  if (OnClick) {
    OnClick();
  }
}

bool TCheckBox::userClick() {
  if (!isUserReachable()) {
    return false;
  }
  setChecked(!checked_);
  return true;
}

void TCheckBox::defaultKeyDown(Word key, TShiftState) {
  if (key == VK_SPACE) {
    setChecked(!checked_);
  }
}

std::unique_ptr<Peer> TCheckBox::makePeer(Backend& backend) {
  return backend.createCheckBox(*this);
}

// ---------------------------------------------------------------------------------------------

TRadioButton::TRadioButton(TWinControl* parent) : TControl(parent) {
  focusable_ = true;
  setBounds(0, 0, 113, 17);
}

void TRadioButton::setChecked(bool checked) {
  if (checked == checked_) {
    return;
  }
  checked_ = checked;
  setTabStop(checked);  // Tab reaches a group of radio buttons at its checked one
  notify(Property::Checked);
  if (!checked) {
    return;
  }
  if (Parent() != nullptr) {
    // Copy: a sibling's unchecking runs no code, but keep the walk independent of the list.
    std::vector<TControl*> siblings = Parent()->controls();
    for (TControl* sibling : siblings) {
      auto* radio = dynamic_cast<TRadioButton*>(sibling);
      if (radio != nullptr && radio != this) {
        radio->setChecked(false);
      }
    }
  }
  if (OnClick) {
    OnClick();
  }
}

bool TRadioButton::userClick() {
  if (!isUserReachable()) {
    return false;
  }
  setChecked(true);
  return true;
}

std::unique_ptr<Peer> TRadioButton::makePeer(Backend& backend) {
  return backend.createRadioButton(*this);
}

// ---------------------------------------------------------------------------------------------

TRadioGroup::TRadioGroup(TWinControl* parent) : TControl(parent) {
  focusable_ = true;
  setTabStop(true);
  setBounds(0, 0, 185, 105);
  items_.setObserver([this](const StringsChange& change) {
    if (itemIndex_ >= items_.count()) {
      itemIndex_ = -1;
      notify(Property::ItemIndex);
    }
    notifyItems(change);
  });
}

void TRadioGroup::setItemIndex(int index) {
  if (index < -1 || index >= items_.count()) {
    index = -1;
  }
  if (index == itemIndex_) {
    return;
  }
  itemIndex_ = index;
  notify(Property::ItemIndex);
  if (index >= 0 && OnClick) {
    OnClick();
  }
}

void TRadioGroup::setColumns(int columns) {
  if (columns < 1 || columns == columns_) {
    return;
  }
  columns_ = columns;
  notify(Property::Columns);
}

bool TRadioGroup::userSelect(int index) {
  if (!isUserReachable() || index < 0 || index >= items_.count()) {
    return false;
  }
  setItemIndex(index);
  return true;
}

std::unique_ptr<Peer> TRadioGroup::makePeer(Backend& backend) {
  return backend.createRadioGroup(*this);
}

}  // namespace ui
