#include <algorithm>

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"
#include "ui/menu.h"

namespace ui {

TMenuItem::TMenuItem(TMainMenu* menu, const std::string& caption)
    : TComponent(menu != nullptr ? (menu->Owner() != nullptr ? menu->Owner() : menu) : nullptr),
      menu_(menu),
      caption_(caption) {
  if (menu_ != nullptr) {
    menu_->items_.push_back(this);
    menu_->notify(Property::Menu);
  }
}

TMenuItem::TMenuItem(TMenuItem* parent, const std::string& caption)
    : TComponent(parent != nullptr ? (parent->Owner() != nullptr ? parent->Owner() : parent)
                                   : nullptr),
      menu_(parent != nullptr ? parent->menu_ : nullptr),
      parentItem_(parent),
      caption_(caption) {
  if (parentItem_ != nullptr) {
    parentItem_->items_.push_back(this);
    parentItem_->notify(Property::Menu);
  }
}

TMenuItem::~TMenuItem() {
  for (TMenuItem* child : items_) {
    child->parentItem_ = nullptr;
  }
  if (parentItem_ != nullptr) {
    auto& siblings = parentItem_->items_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  } else if (menu_ != nullptr) {
    auto& top = menu_->items_;
    top.erase(std::remove(top.begin(), top.end(), this), top.end());
  }
}

void TMenuItem::setCaption(const std::string& caption) {
  if (caption == caption_) {
    return;
  }
  caption_ = caption;
  notify(Property::Caption);
}

void TMenuItem::setChecked(bool checked) {
  if (checked == checked_) {
    return;
  }
  checked_ = checked;
  notify(Property::Checked);
}

void TMenuItem::setEnabled(bool enabled) {
  if (enabled == enabled_) {
    return;
  }
  enabled_ = enabled;
  notify(Property::Enabled);
}

void TMenuItem::setVisible(bool visible) {
  if (visible == visible_) {
    return;
  }
  visible_ = visible;
  notify(Property::Visible);
}

void TMenuItem::setHint(const std::string& hint) {
  if (hint == hint_) {
    return;
  }
  hint_ = hint;
  notify(Property::Hint);
}

void TMenuItem::click() {
  if (OnClick) {
    OnClick();
  }
}

bool TMenuItem::isUserReachable() const {
  for (const TMenuItem* item = this; item != nullptr; item = item->parentItem_) {
    if (!item->enabled_ || !item->visible_ || item->isSeparator()) {
      return false;
    }
  }
  TForm* form = ownerForm();
  return form != nullptr && form->Visible() && form->Menu() == menu_ && form->Enabled() &&
         Application().acceptsUserInput(*form);
}

bool TMenuItem::userClick() {
  if (!isUserReachable()) {
    return false;
  }
  click();
  return true;
}

std::unique_ptr<Peer> TMenuItem::makePeer(Backend& backend) {
  return backend.createMenuItem(*this);
}

// ---------------------------------------------------------------------------------------------

TMainMenu::TMainMenu(TForm* form) : TComponent(form) {
  if (form != nullptr && form->Menu() == nullptr) {
    form->setMenu(this);
  }
}

TMainMenu::~TMainMenu() {
  for (TMenuItem* item : items_) {
    item->menu_ = nullptr;
  }
  TForm* form = ownerForm();
  if (form != nullptr && form->Menu() == this) {
    form->setMenu(nullptr);
  }
}

namespace {
TMenuItem* findIn(const std::vector<TMenuItem*>& items, const std::string& name) {
  for (TMenuItem* item : items) {
    if (item->Name() == name) {
      return item;
    }
    if (TMenuItem* found = findIn(item->items(), name)) {
      return found;
    }
  }
  return nullptr;
}
}  // namespace

TMenuItem* TMainMenu::findItem(const std::string& name) const {
  return findIn(items_, name);
}

std::unique_ptr<Peer> TMainMenu::makePeer(Backend& backend) {
  return backend.createMainMenu(*this);
}

}  // namespace ui
