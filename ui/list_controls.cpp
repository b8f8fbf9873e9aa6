#include "ui/backend.h"
#include "ui/controls.h"

namespace ui {

TListBox::TListBox(TWinControl* parent) : TControl(parent) {
  focusable_ = true;
  setTabStop(true);
  setBounds(0, 0, 121, 97);
  items_.setObserver([this](const StringsChange& change) { itemsChanged(change); });
}

void TListBox::itemsChanged(const StringsChange& change) {
  // The selection stays on its item while others come and go, as a list box's does.
  int selected = itemIndex_;
  switch (change.kind) {
    case StringsChange::Reset:
      selected = -1;
      break;
    case StringsChange::Inserted:
      if (selected >= change.index) {
        ++selected;
      }
      break;
    case StringsChange::Removed:
      if (selected == change.index) {
        selected = -1;
      } else if (selected > change.index) {
        --selected;
      }
      break;
    case StringsChange::Changed:
      break;
  }
  notifyItems(change);
  if (selected != itemIndex_) {
    itemIndex_ = selected;
    notify(Property::ItemIndex);
  }
}

void TListBox::setSorted(bool sorted) {
  if (sorted == items_.sorted()) {
    return;
  }
  items_.setSorted(sorted);
  notify(Property::Sorted);
}

void TListBox::setItemIndex(int index) {
  if (index < -1 || index >= items_.count()) {
    index = -1;
  }
  if (index == itemIndex_) {
    return;
  }
  itemIndex_ = index;
  notify(Property::ItemIndex);
}

std::string TListBox::selectedText() const {
  return itemIndex_ < 0 ? "" : items_[itemIndex_];
}

bool TListBox::userClickItem(int index, TMouseButton button) {
  if (!isUserReachable() || index < 0 || index >= items_.count()) {
    return false;
  }
  setItemIndex(index);
  if (OnMouseDown) {
    OnMouseDown(button, button == mbLeft ? ssLeft : (button == mbRight ? ssRight : ssMiddle), 0, 0);
  }
  if (OnClick) {
    OnClick();
  }
  return true;
}

bool TListBox::userSelect(int index) {
  if (!isUserReachable() || index < 0 || index >= items_.count()) {
    return false;
  }
  setItemIndex(index);
  if (OnClick) {
    OnClick();
  }
  return true;
}

void TListBox::defaultKeyDown(Word key, TShiftState) {
  int next = itemIndex_;
  if (key == VK_UP) {
    next = itemIndex_ <= 0 ? 0 : itemIndex_ - 1;
  } else if (key == VK_DOWN) {
    next = itemIndex_ + 1;
  } else if (key == VK_HOME) {
    next = 0;
  } else if (key == VK_END) {
    next = items_.count() - 1;
  } else {
    return;
  }
  if (next >= 0 && next < items_.count() && next != itemIndex_) {
    userSelect(next);
  }
}

std::unique_ptr<Peer> TListBox::makePeer(Backend& backend) {
  return backend.createListBox(*this);
}

// ---------------------------------------------------------------------------------------------

TTabSet::TTabSet(TWinControl* parent) : TControl(parent) {
  setBounds(0, 0, 185, 21);
  tabs_.setObserver([this](const StringsChange& change) {
    notifyItems(change);
    if (tabIndex_ >= tabs_.count()) {
      tabIndex_ = -1;
      notify(Property::ItemIndex);
    }
  });
}

void TTabSet::setTabIndex(int index) {
  if (index < -1 || index >= tabs_.count()) {
    index = -1;
  }
  if (index == tabIndex_) {
    return;
  }
  tabIndex_ = index;
  notify(Property::ItemIndex);
  if (OnClick) {
    OnClick();
  }
}

bool TTabSet::userSelectTab(int index) {
  if (!isUserReachable() || index < 0 || index >= tabs_.count()) {
    return false;
  }
  setTabIndex(index);
  return true;
}

std::unique_ptr<Peer> TTabSet::makePeer(Backend& backend) {
  return backend.createTabSet(*this);
}

}  // namespace ui
