// The main menu as a QMenuBar of its form's window, and its items as actions. An item with
// sub-items opens a QMenu; opening it runs the item's OnClick each time, before it shows, so a
// handler can still enable or check the sub-items.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "ui/form.h"
#include "ui/qt/conversions.h"
#include "ui/qt/form_peer.h"
#include "ui/qt/peers.h"

namespace ui::qt {

namespace {

class MenuItemPeer;

MenuItemPeer* itemPeerOf(const TMenuItem* item);

class MainMenuPeer final : public Peer {
 public:
  explicit MainMenuPeer(TMainMenu& menu) {
    auto* form =
        menu.Owner() != nullptr ? dynamic_cast<FormPeerImpl*>(menu.Owner()->peer()) : nullptr;
    bar_ = new QMenuBar(form != nullptr ? form->window() : nullptr);
    bar_->setNativeMenuBar(false);
    if (form != nullptr) {
      form_ = form->window();
      formPeer_ = form;
      form->setMenuBar(bar_);
    }
  }

  ~MainMenuPeer() override {
    if (form_ && formPeer_ != nullptr) {
      formPeer_->setMenuBar(nullptr);
    }
    delete bar_.data();
  }

  QWidget* bar() const { return bar_; }

 private:
  QPointer<QMenuBar> bar_;
  QPointer<QWidget> form_;  // guards formPeer_: the window dies with the form's peer
  FormPeerImpl* formPeer_ = nullptr;
};

class MenuItemPeer final : public Peer {
 public:
  explicit MenuItemPeer(TMenuItem& item) : item_(item) {
    QWidget* parent = parentWidget();
    action_ = new QAction(parent);
    QObject::connect(action_, &QAction::triggered, [this] {
      if (item_.items().empty()) {
        item_.userClick();
        changed(Property::Checked);
      }
    });
    if (parent != nullptr) {
      parent->insertAction(nextSiblingAction(), action_);
    }
  }

  ~MenuItemPeer() override {
    delete submenu_.data();
    delete action_.data();
  }

  // The menu the sub-items go into, made when the first one arrives.
  QMenu* submenu() {
    if (!submenu_) {
      submenu_ = new QMenu();
      QObject::connect(submenu_, &QMenu::aboutToShow, [this] { item_.userClick(); });
      action_->setMenu(submenu_);
    }
    return submenu_;
  }

  QAction* action() const { return action_; }

  void changed(Property property) override {
    if (!action_) {
      return;
    }
    switch (property) {
      case Property::Caption:
        action_->setSeparator(item_.isSeparator());
        action_->setText(toQString(item_.Caption()));
        break;
      case Property::Checked:
        // Only a checked item shows a mark, as the classic menus draw it.
        action_->setCheckable(item_.Checked());
        action_->setChecked(item_.Checked());
        break;
      case Property::Enabled:
        action_->setEnabled(item_.Enabled());
        break;
      case Property::Visible:
        action_->setVisible(item_.Visible());
        break;
      case Property::Hint:
        action_->setStatusTip(toQString(item_.Hint()));
        action_->setToolTip(tooltipText(item_.Hint()));
        break;
      case Property::Menu:
        if (!item_.items().empty()) {
          submenu();
        }
        break;
      default:
        break;
    }
  }

 private:
  QWidget* parentWidget() {
    if (item_.parentItem() != nullptr) {
      MenuItemPeer* parent = itemPeerOf(item_.parentItem());
      return parent != nullptr ? parent->submenu() : nullptr;
    }
    if (item_.menu() != nullptr) {
      auto* menu = dynamic_cast<MainMenuPeer*>(item_.menu()->peer());
      return menu != nullptr ? menu->bar() : nullptr;
    }
    return nullptr;
  }

  // Items keep their order even when a later one got its peer first.
  QAction* nextSiblingAction() const {
    const auto& siblings =
        item_.parentItem() != nullptr
            ? item_.parentItem()->items()
            : (item_.menu() != nullptr ? item_.menu()->items() : std::vector<TMenuItem*>{});
    bool after = false;
    for (TMenuItem* sibling : siblings) {
      if (sibling == &item_) {
        after = true;
      } else if (after) {
        if (MenuItemPeer* peer = itemPeerOf(sibling)) {
          return peer->action();
        }
      }
    }
    return nullptr;
  }

  TMenuItem& item_;
  QPointer<QAction> action_;
  QPointer<QMenu> submenu_;
};

MenuItemPeer* itemPeerOf(const TMenuItem* item) {
  return item == nullptr ? nullptr : dynamic_cast<MenuItemPeer*>(item->peer());
}

}  // namespace

std::unique_ptr<Peer> makeMainMenuPeer(QtBackend&, TMainMenu& menu) {
  return std::make_unique<MainMenuPeer>(menu);
}

std::unique_ptr<Peer> makeMenuItemPeer(QtBackend&, TMenuItem& item) {
  return std::make_unique<MenuItemPeer>(item);
}

}  // namespace ui::qt
