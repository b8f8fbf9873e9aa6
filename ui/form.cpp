#include "ui/form.h"

#include <algorithm>
#include <stdexcept>

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/controls.h"
#include "ui/grid.h"
#include "ui/menu.h"

namespace ui {

namespace {

// Components in creation order, children of components (menu items of menu items) included.
void collect(const TComponent& owner, std::vector<TComponent*>& out) {
  for (TComponent* c : owner.components()) {
    out.push_back(c);
    collect(*c, out);
  }
}

TButton* findButton(const TForm& form, bool wantDefault) {
  std::vector<TComponent*> all;
  collect(form, all);
  for (TComponent* c : all) {
    auto* button = dynamic_cast<TButton*>(c);
    if (button != nullptr && (wantDefault ? button->Default() : button->Cancel()) &&
        button->isEffectivelyEnabled() && button->isEffectivelyVisible()) {
      return button;
    }
  }
  return nullptr;
}

}  // namespace

TForm::TForm() : TWinControl(nullptr) {
  setOwnerForm(this);
  storeVisible(false);
  setBounds(0, 0, 320 + kFrameWidth, 240 + kFrameHeight);
  Application().addForm(this);
}

TForm::~TForm() {
  if (modal_) {
    Application().modalForms_.erase(
        std::remove(Application().modalForms_.begin(), Application().modalForms_.end(), this),
        Application().modalForms_.end());
  }
  Application().removeForm(this);
}

FormPeer* TForm::formPeer() const {
  return static_cast<FormPeer*>(peer());
}

int TForm::frameWidth() const {
  return borderStyle_ == bsNone ? 0 : kFrameWidth;
}

int TForm::frameHeight() const {
  return (borderStyle_ == bsNone ? 0 : kFrameHeight) + (menu_ != nullptr ? kMenuBarHeight : 0);
}

int TForm::ClientWidth() const {
  return std::max(0, Width() - frameWidth());
}
int TForm::ClientHeight() const {
  return std::max(0, Height() - frameHeight());
}

void TForm::setClientSize(int width, int height) {
  setBounds(Left(), Top(), width + frameWidth(), height + frameHeight());
}

void TForm::setBounds(int left, int top, int width, int height) {
  const TSizeConstraints& c = constraints_;
  if (c.MaxWidth > 0) {
    width = std::min(width, c.MaxWidth);
  }
  if (c.MaxHeight > 0) {
    height = std::min(height, c.MaxHeight);
  }
  width = std::max(width, c.MinWidth);
  height = std::max(height, c.MinHeight);
  bool resized = width != Width() || height != Height();
  TControl::setBounds(left, top, width, height);
  if (resized && OnResize) {
    OnResize();
  }
}

void TForm::setConstraints(const TSizeConstraints& constraints) {
  constraints_ = constraints;
  notify(Property::BorderStyle);
  setBounds(Left(), Top(), Width(), Height());
}

void TForm::setPosition(TPosition position) {
  if (position == position_) {
    return;
  }
  position_ = position;
  notify(Property::BorderStyle);
}

void TForm::setBorderStyle(TFormBorderStyle style) {
  if (style == borderStyle_) {
    return;
  }
  borderStyle_ = style;
  notify(Property::BorderStyle);
}

void TForm::setBorderIcons(TBorderIcons icons) {
  if (icons == borderIcons_) {
    return;
  }
  borderIcons_ = icons;
  notify(Property::BorderStyle);
}

void TForm::setMenu(TMainMenu* menu) {
  if (menu == menu_) {
    return;
  }
  menu_ = menu;
  notify(Property::Menu);
}

// Controls created after the form first had peers get theirs when it is shown again.
void TForm::ensurePeers() {
  Backend& b = backend();
  if (!peersAttached_) {
    attachPeer(b);
  }
  std::vector<TComponent*> all;
  collect(*this, all);
  for (TComponent* c : all) {
    if (!peersAttached_ || c->peer() == nullptr) {
      c->attachPeer(b);
    }
  }
  peersAttached_ = true;
}

void TForm::detachPeers() {
  std::vector<TComponent*> all;
  collect(*this, all);
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    (*it)->detachPeer();
  }
  detachPeer();
  peersAttached_ = false;
}

std::unique_ptr<Peer> TForm::makePeer(Backend& backend) {
  return backend.createForm(*this);
}

void TForm::pushState() {
  // A form peer learns its visibility through shown() and hidden() only.
  for (int p = 0; p <= static_cast<int>(Property::Menu); ++p) {
    if (static_cast<Property>(p) != Property::Visible) {
      notify(static_cast<Property>(p));
    }
  }
  if (Visible() && formPeer() != nullptr) {
    formPeer()->shown();
  }
}

void TForm::visibilityChanged() {
  if (FormPeer* p = formPeer()) {
    if (Visible()) {
      p->shown();
    } else {
      p->hidden();
    }
  }
}

void TForm::setVisible(bool visible) {
  if (visible) {
    show();
  } else {
    hide();
  }
}

void TForm::show() {
  if (Visible()) {
    bringToFront();
    return;
  }
  ensurePeers();
  shownSerial_ = ++Application().showSerial_;
  storeVisible(true);
  if (OnShow) {
    OnShow();
  }
  if (Visible()) {
    activate();
  }
}

void TForm::hide() {
  if (modal_) {
    // Hiding a modal form ends its modal loop; the loop does the hiding.
    if (modalResult_ == mrNone) {
      setModalResult(mrCancel);
    }
    return;
  }
  if (!Visible()) {
    return;
  }
  storeVisible(false);
  bool wasActive = active_;
  active_ = false;
  if (wasActive && OnDeactivate) {
    OnDeactivate();
  }
  if (OnHide) {
    OnHide();
  }
}

void TForm::activate() {
  if (active_) {
    return;
  }
  for (TForm* other : Application().forms()) {
    if (other != this && other->active_) {
      other->active_ = false;
      if (other->OnDeactivate) {
        other->OnDeactivate();
      }
    }
  }
  active_ = true;
  if (OnActivate) {
    OnActivate();
  }
}

void TForm::bringToFront() {
  if (FormPeer* p = formPeer()) {
    p->bringToFront();
  }
  if (Visible()) {
    activate();
  }
}

void TForm::close() {
  if (modal_) {
    if (modalResult_ == mrNone) {
      setModalResult(mrCancel);
    }
    return;
  }
  bool canClose = true;
  if (OnCloseQuery) {
    OnCloseQuery(canClose);
  }
  if (!canClose) {
    return;
  }
  TCloseAction action = caHide;
  if (OnClose) {
    OnClose(action);
  }
  if (action == caNone) {
    return;
  }
  hide();
  if (Application().MainForm() == this) {
    Application().terminate();
  }
}

bool TForm::finishModal() {
  bool canClose = true;
  if (OnCloseQuery) {
    OnCloseQuery(canClose);
  }
  TCloseAction action = caHide;
  if (canClose && OnClose) {
    OnClose(action);
  }
  if (!canClose || action == caNone) {
    modalResult_ = mrNone;
    notify(Property::ModalResult);
    return false;
  }
  return true;
}

TModalResult TForm::showModal() {
  if (modal_) {
    throw std::logic_error(ClassName() + " is already shown modally");
  }
  if (Visible()) {
    throw std::logic_error("cannot show the visible form " + ClassName() + " modally");
  }
  TForm* previouslyActive = nullptr;
  for (TForm* form : Application().forms()) {
    if (form->active_) {
      previouslyActive = form;
    }
  }
  modalResult_ = mrNone;
  modal_ = true;
  Application().modalForms_.push_back(this);
  show();

  bool finished = false;
  auto done = [this, &finished] {
    if (finished) {
      return true;
    }
    if (Application().Terminated()) {
      finished = true;
    } else if (modalResult_ != mrNone) {
      finished = finishModal();
    }
    return finished;
  };
  if (!done()) {
    backend().runModal(*this, done);
  }
  if (modalResult_ == mrNone) {
    modalResult_ = mrCancel;  // the application ended, or the backend gave up on the form
  }
  TModalResult result = modalResult_;

  auto& stack = Application().modalForms_;
  stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
  modal_ = false;
  hide();
  // The window that was active before gets the activation back, if it still shows.
  auto& forms = Application().forms();
  bool stillThere = std::find(forms.begin(), forms.end(), previouslyActive) != forms.end();
  if (stillThere && previouslyActive->Visible()) {
    previouslyActive->activate();
  }
  return result;
}

void TForm::setModalResult(TModalResult result) {
  if (result == modalResult_) {
    return;
  }
  modalResult_ = result;
  notify(Property::ModalResult);
}

void TForm::setActiveControl(TControl* control) {
  if (control == activeControl_) {
    return;
  }
  TControl* previous = activeControl_;
  activeControl_ = control;
  notify(Property::Focus);
  if (previous != nullptr && previous->OnExit) {
    previous->OnExit();
  }
  if (control != nullptr && control->OnEnter) {
    control->OnEnter();
  }
}

TButton* TForm::defaultButton() const {
  return findButton(*this, true);
}
TButton* TForm::cancelButton() const {
  return findButton(*this, false);
}

bool TForm::userClose() {
  if (!Visible() || !Application().acceptsUserInput(*this) || borderStyle_ == bsNone ||
      (borderIcons_ & biSystemMenu) == 0) {
    return false;
  }
  close();
  return true;
}

bool TForm::userResize(int width, int height) {
  if (!Visible() || !Application().acceptsUserInput(*this) ||
      (borderStyle_ != bsSizeable && borderStyle_ != bsSizeToolWin)) {
    return false;
  }
  setBounds(Left(), Top(), width, height);
  return true;
}

void TForm::userActivate() {
  if (Visible() && Application().acceptsUserInput(*this)) {
    activate();
  }
}

bool TForm::userKeyDown(Word key, TShiftState shift) {
  if (!Visible() || !Application().acceptsUserInput(*this) || !Enabled()) {
    return false;
  }
  TControl* target = activeControl_;
  if (target != nullptr && target->isUserReachable() && target->OnKeyDown) {
    target->OnKeyDown(key, shift);
  }
  if (key == 0) {
    return true;
  }
  bool ownsReturn =
      dynamic_cast<TButton*>(target) != nullptr || dynamic_cast<TMemo*>(target) != nullptr;
  if (key == VK_RETURN && !ownsReturn) {
    if (TButton* button = defaultButton()) {
      button->click();
      return true;
    }
  }
  if (key == VK_ESCAPE) {
    if (TButton* button = cancelButton()) {
      button->click();
      return true;
    }
  }
  auto* grid = dynamic_cast<TStringGrid*>(target);
  if (key == VK_TAB && (grid == nullptr || !grid->hasOption(TStringGrid::goTabs))) {
    std::vector<TControl*> order = tabOrderList();
    if (!order.empty()) {
      auto it = std::find(order.begin(), order.end(), target);
      std::ptrdiff_t at = it == order.end() ? -1 : it - order.begin();
      std::ptrdiff_t n = static_cast<std::ptrdiff_t>(order.size());
      std::ptrdiff_t next = (shift & ssShift) != 0 ? (at <= 0 ? n - 1 : at - 1) : (at + 1) % n;
      order[static_cast<std::size_t>(next)]->setFocus();
    }
    return true;
  }
  if (target != nullptr && target->isUserReachable()) {
    target->defaultKeyDown(key, shift);
  }
  return true;
}

namespace {
void addTabStops(const TWinControl& parent, std::vector<TControl*>& out) {
  std::vector<TControl*> children = parent.controls();
  std::stable_sort(children.begin(), children.end(),
                   [](TControl* a, TControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TControl* child : children) {
    if (child->TabStop() && child->canFocus()) {
      out.push_back(child);
    }
    if (auto* container = dynamic_cast<TWinControl*>(child)) {
      addTabStops(*container, out);
    }
  }
}
}  // namespace

std::vector<TControl*> TForm::tabOrderList() const {
  std::vector<TControl*> out;
  addTabStops(*this, out);
  return out;
}

}  // namespace ui
