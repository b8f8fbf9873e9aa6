#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <typeinfo>

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/control.h"
#include "ui/form.h"

namespace ui {

namespace {

TComponent* ownerFor(TWinControl* parent) {
  if (parent == nullptr) {
    return nullptr;
  }
  TForm* form = parent->ownerForm();
  return form != nullptr ? static_cast<TComponent*>(form) : parent;
}

template <class T>
void eraseOne(std::vector<T*>& list, T* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it != list.end()) {
    list.erase(it);
  }
}

}  // namespace

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) {
    owner_->components_.push_back(this);
    form_ = owner_->form_;
  }
}

TComponent::~TComponent() {
  peer_.reset();
  for (TComponent* child : components_) {
    child->owner_ = nullptr;
  }
  if (owner_ != nullptr) {
    eraseOne(owner_->components_, this);
  }
}

TForm* TComponent::ownerForm() const {
  return form_;
}

std::string className(const std::type_info& type) {
  const char* mangled = type.name();
  int status = 0;
  char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = (status == 0 && demangled != nullptr) ? demangled : mangled;
  std::free(demangled);
  std::size_t cut = name.rfind("::");
  return cut == std::string::npos ? name : name.substr(cut + 2);
}

std::string TComponent::ClassName() const {
  return className(typeid(*this));
}

void TComponent::attachPeer(Backend& backend) {
  peer_.reset();
  peer_ = makePeer(backend);
  if (peer_) {
    pushState();
  }
}

void TComponent::detachPeer() {
  peer_.reset();
}

void TComponent::notify(Property property) const {
  if (peer_) {
    peer_->changed(property);
  }
}

void TComponent::notifyItems(const StringsChange& change) const {
  if (peer_) {
    peer_->itemsChanged(change);
  }
}

std::unique_ptr<Peer> TComponent::makePeer(Backend&) {
  return nullptr;
}

void TComponent::pushState() {
  for (int p = 0; p <= static_cast<int>(Property::Menu); ++p) {
    notify(static_cast<Property>(p));
  }
  notifyItems(StringsChange{StringsChange::Reset, -1});
}

// ---------------------------------------------------------------------------------------------

TControl::TControl(TWinControl* parent) : TComponent(ownerFor(parent)), parent_(parent) {
  if (parent_ != nullptr) {
    setOwnerForm(parent_->ownerForm());
    parent_->controls_.push_back(this);
  }
}

TControl::~TControl() {
  TForm* form = ownerForm();
  if (form != nullptr && form != this && form->activeControl_ == this) {
    form->activeControl_ = nullptr;
  }
  if (parent_ != nullptr) {
    eraseOne(parent_->controls_, this);
  }
}

void TControl::setBounds(int left, int top, int width, int height) {
  TRect next{left, top, std::max(0, width), std::max(0, height)};
  if (next == bounds_) {
    return;
  }
  bounds_ = next;
  notify(Property::Bounds);
}

void TControl::setCaption(const std::string& caption) {
  if (caption == caption_) {
    return;
  }
  caption_ = caption;
  notify(Property::Caption);
}

void TControl::setEnabled(bool enabled) {
  if (enabled == enabled_) {
    return;
  }
  enabled_ = enabled;
  notify(Property::Enabled);
}

void TControl::setVisible(bool visible) {
  storeVisible(visible);
}

void TControl::storeVisible(bool visible) {
  if (visible == visible_) {
    return;
  }
  visible_ = visible;
  visibilityChanged();
}

bool TControl::isEffectivelyEnabled() const {
  for (const TControl* c = this; c != nullptr; c = c->parent_) {
    if (!c->enabled_) {
      return false;
    }
  }
  return true;
}

bool TControl::isEffectivelyVisible() const {
  for (const TControl* c = this; c != nullptr && c != ownerForm(); c = c->parent_) {
    if (!c->visible_) {
      return false;
    }
  }
  return true;
}

bool TControl::isUserReachable() const {
  TForm* form = ownerForm();
  return form != nullptr && form->Visible() && Application().acceptsUserInput(*form) &&
         isEffectivelyEnabled() && isEffectivelyVisible();
}

void TControl::setHint(const std::string& hint) {
  if (hint == hint_) {
    return;
  }
  hint_ = hint;
  notify(Property::Hint);
}

void TControl::setShowHint(bool show) {
  if (show == showHint_) {
    return;
  }
  showHint_ = show;
  notify(Property::Hint);
}

void TControl::setFont(const TFont& font) {
  if (font == font_) {
    return;
  }
  font_ = font;
  notify(Property::Font);
}

void TControl::setFontSize(int size) {
  TFont font = font_;
  font.Size = size;
  setFont(font);
}

void TControl::setFontBold(bool bold) {
  TFont font = font_;
  font.Bold = bold;
  setFont(font);
}

void TControl::setColor(TColor color) {
  if (color == color_) {
    return;
  }
  color_ = color;
  notify(Property::Color);
}

void TControl::setTabOrder(int order) {
  if (order == tabOrder_) {
    return;
  }
  tabOrder_ = order;
  notify(Property::TabOrder);
}

void TControl::setTabStop(bool stop) {
  if (stop == tabStop_) {
    return;
  }
  tabStop_ = stop;
  notify(Property::TabOrder);
}

bool TControl::canFocus() const {
  return focusable_ && ownerForm() != nullptr && isEffectivelyEnabled() && isEffectivelyVisible();
}

bool TControl::setFocus() {
  if (!canFocus()) {
    return false;
  }
  ownerForm()->setActiveControl(this);
  return true;
}

bool TControl::Focused() const {
  TForm* form = ownerForm();
  return form != nullptr && form->ActiveControl() == this;
}

bool TControl::userClick() {
  if (!isUserReachable()) {
    return false;
  }
  if (OnClick) {
    OnClick();
  }
  return true;
}

bool TControl::userDblClick() {
  if (!isUserReachable()) {
    return false;
  }
  if (OnDblClick) {
    OnDblClick();
  }
  return true;
}

bool TControl::userMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!isUserReachable()) {
    return false;
  }
  if (OnMouseDown) {
    OnMouseDown(button, shift, x, y);
  }
  return true;
}

bool TControl::userKeyDown(Word key, TShiftState shift) {
  if (!isUserReachable()) {
    return false;
  }
  if (OnKeyDown) {
    OnKeyDown(key, shift);
  }
  if (key != 0) {
    defaultKeyDown(key, shift);
  }
  return true;
}

// ---------------------------------------------------------------------------------------------

TWinControl::TWinControl(TWinControl* parent) : TControl(parent) {}

TWinControl::~TWinControl() {
  for (TControl* child : controls_) {
    child->parent_ = nullptr;
  }
}

}  // namespace ui
