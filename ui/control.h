#pragma once
// The base classes of every form element. A component has an owner (its form) and a name; a
// control also has a parent (the form or a group box) and the state every control shares.
//
// Declare a parent member before its children: members are built in declaration order, and a
// child registers with its parent when it is built.
//
// Two ways in. Code sets state with the setters (setCaption, setChecked, ...), which behave as
// the classic library's properties do, including the events that library raises for them.
// User input (from a backend, or from a test acting as the user) comes through the user...()
// methods, which do nothing and return false when a real user could not have done it: the
// control or one of its parents is disabled or hidden, or its form is not shown.

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "ui/peer.h"
#include "ui/types.h"

namespace ui {

class Backend;
class TForm;
class TWinControl;

using TNotifyEvent = std::function<void()>;
using TKeyEvent = std::function<void(Word& key, TShiftState shift)>;
using TMouseEvent = std::function<void(TMouseButton button, TShiftState shift, int x, int y)>;

// The unqualified C++ class name of a type ("TVarClkSelectForm").
std::string className(const std::type_info& type);

class TComponent {
 public:
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  // The form this component belongs to (itself for a form), or nullptr.
  TForm* ownerForm() const;

  const std::string& Name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  // The unqualified C++ class name, e.g. "TVarClkSelectForm".
  std::string ClassName() const;

  // Components owned by this one, in creation order.
  const std::vector<TComponent*>& components() const { return components_; }

  Peer* peer() const { return peer_.get(); }
  // Creates this component's peer on `backend` (none when the backend has no kind for it) and
  // lets it read the whole state. Replaces an existing peer.
  void attachPeer(Backend& backend);
  void detachPeer();

 protected:
  void notify(Property property) const;
  void notifyItems(const StringsChange& change) const;
  virtual std::unique_ptr<Peer> makePeer(Backend& backend);
  // After a peer is attached: tells it every property, and the items of a list-like control.
  virtual void pushState();
  void setOwnerForm(TForm* form) { form_ = form; }

 private:
  TComponent* owner_;
  TForm* form_ = nullptr;
  std::string name_;
  std::vector<TComponent*> components_;
  std::unique_ptr<Peer> peer_;
};

class TControl : public TComponent {
 public:
  // `parent` may be nullptr only for a form.
  explicit TControl(TWinControl* parent);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }

  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width; }
  int Height() const { return bounds_.Height; }
  TRect BoundsRect() const { return bounds_; }
  void setLeft(int left) { setBounds(left, bounds_.Top, bounds_.Width, bounds_.Height); }
  void setTop(int top) { setBounds(bounds_.Left, top, bounds_.Width, bounds_.Height); }
  void setWidth(int width) { setBounds(bounds_.Left, bounds_.Top, width, bounds_.Height); }
  void setHeight(int height) { setBounds(bounds_.Left, bounds_.Top, bounds_.Width, height); }
  virtual void setBounds(int left, int top, int width, int height);

  const std::string& Caption() const { return caption_; }
  virtual void setCaption(const std::string& caption);

  bool Enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  bool Visible() const { return visible_; }
  virtual void setVisible(bool visible);
  void show() { setVisible(true); }
  void hide() { setVisible(false); }
  // Enabled and visible together with every parent up to the form (the form's own visibility
  // is not part of it).
  bool isEffectivelyEnabled() const;
  bool isEffectivelyVisible() const;
  // What a user could reach now: effectively enabled and visible, on a form that is shown.
  bool isUserReachable() const;

  // "\r" in a hint is a line break.
  const std::string& Hint() const { return hint_; }
  void setHint(const std::string& hint);
  bool ShowHint() const { return showHint_; }
  void setShowHint(bool show);

  const TFont& Font() const { return font_; }
  void setFont(const TFont& font);
  void setFontSize(int size);
  void setFontBold(bool bold);
  TColor Color() const { return color_; }
  void setColor(TColor color);

  int TabOrder() const { return tabOrder_; }
  void setTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void setTabStop(bool stop);

  // Focus lives on the form (its ActiveControl). setFocus does nothing and returns false for a
  // control that cannot take it (not effectively enabled and visible, or not focusable).
  virtual bool canFocus() const;
  bool setFocus();
  bool Focused() const;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TKeyEvent OnKeyDown;

  // User input common to all controls.
  bool userSetFocus() { return isUserReachable() && setFocus(); }
  virtual bool userClick();
  virtual bool userDblClick();
  virtual bool userMouseDown(TMouseButton button = mbLeft, TShiftState shift = ssLeft, int x = 0,
                             int y = 0);
  // OnKeyDown first; a key the handler leaves non-zero then gets the control's own handling.
  virtual bool userKeyDown(Word key, TShiftState shift = ssNone);

 protected:
  // The control's own reaction to a key that its OnKeyDown left alone.
  virtual void defaultKeyDown(Word /*key*/, TShiftState /*shift*/) {}
  // Stores Visible and tells the peer, without the form-level handling of show() and hide().
  void storeVisible(bool visible);
  // Stores the caption without telling the peer (an edit tells it as Text).
  void storeCaption(const std::string& caption) { caption_ = caption; }
  virtual void visibilityChanged() { notify(Property::Visible); }
  bool focusable_ = false;

 private:
  friend class TWinControl;
  friend class TForm;
  TWinControl* parent_;
  TRect bounds_;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
  bool showHint_ = true;
  TFont font_;
  TColor color_ = clDefault;
  int tabOrder_ = 0;
  bool tabStop_ = false;
};

// A control that holds other controls (form, group box, panel).
class TWinControl : public TControl {
 public:
  explicit TWinControl(TWinControl* parent);
  ~TWinControl() override;

  const std::vector<TControl*>& controls() const { return controls_; }

 private:
  friend class TControl;
  std::vector<TControl*> controls_;
};

}  // namespace ui
