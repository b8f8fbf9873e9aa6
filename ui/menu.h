#pragma once
// The main menu and its items. A menu item with sub-items is a menu: opening it runs its
// OnClick each time, before the sub-items are shown, as the classic library does, so a handler
// can enable or disable them just in time.

#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

class TMainMenu;

class TMenuItem : public TComponent {
 public:
  // A top-level item of `menu`, or a sub-item of `parent`. "-" as caption is a separator.
  explicit TMenuItem(TMainMenu* menu, const std::string& caption = "");
  explicit TMenuItem(TMenuItem* parent, const std::string& caption = "");
  ~TMenuItem() override;

  TMenuItem* parentItem() const { return parentItem_; }
  TMainMenu* menu() const { return menu_; }
  const std::vector<TMenuItem*>& items() const { return items_; }
  int count() const { return static_cast<int>(items_.size()); }
  bool isSeparator() const { return caption_ == "-"; }

  // "&" marks the access key ("E&xit").
  const std::string& Caption() const { return caption_; }
  void setCaption(const std::string& caption);
  bool Checked() const { return checked_; }
  void setChecked(bool checked);  // runs no handler
  bool Enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void setVisible(bool visible);
  const std::string& Hint() const { return hint_; }
  void setHint(const std::string& hint);

  TNotifyEvent OnClick;

  // Runs OnClick, as the program's own code does.
  void click();
  // The user chose the item, or opened it when it has sub-items: refused when the item or a
  // parent item is disabled or hidden, or the form is not shown.
  bool userClick();
  bool isUserReachable() const;

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  friend class TMainMenu;
  TMainMenu* menu_ = nullptr;
  TMenuItem* parentItem_ = nullptr;
  std::vector<TMenuItem*> items_;
  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
};

class TMainMenu : public TComponent {
 public:
  // Becomes the form's menu when the form has none yet.
  explicit TMainMenu(TForm* form);
  ~TMainMenu() override;

  const std::vector<TMenuItem*>& items() const { return items_; }
  // Finds an item anywhere in the tree by its Name; nullptr when absent.
  TMenuItem* findItem(const std::string& name) const;

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  friend class TMenuItem;
  std::vector<TMenuItem*> items_;
};

}  // namespace ui
