#pragma once
// A window. Programs subclass it (class TVarClkSelectForm : public ui::TForm) and hold their
// controls as members, built with the form (or a group box of it) as parent.

#include <functional>
#include <string>

#include "ui/control.h"

namespace ui {

class TButton;
class TMainMenu;

class FormPeer : public Peer {
 public:
  // The form became visible (modeless) or was hidden.
  virtual void shown() {}
  virtual void hidden() {}
  virtual void bringToFront() {}
};

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter };
// Title-bar buttons, as a bit set.
using TBorderIcons = unsigned;
inline constexpr TBorderIcons biSystemMenu = 1;
inline constexpr TBorderIcons biMinimize = 2;
inline constexpr TBorderIcons biMaximize = 4;
inline constexpr TBorderIcons biHelp = 8;

struct TSizeConstraints {
  int MinWidth = 0;  // 0: no limit
  int MinHeight = 0;
  int MaxWidth = 0;
  int MaxHeight = 0;
  bool operator==(const TSizeConstraints&) const = default;
};

class TForm : public TWinControl {
 public:
  // The frame around the client area that Width and Height include: borders and title bar,
  // and a menu bar row when the form has a main menu.
  static constexpr int kFrameWidth = 16;
  static constexpr int kFrameHeight = 39;
  static constexpr int kMenuBarHeight = 20;

  TForm();
  ~TForm() override;

  int ClientWidth() const;
  int ClientHeight() const;
  void setClientSize(int width, int height);
  void setClientWidth(int width) { setClientSize(width, ClientHeight()); }
  void setClientHeight(int height) { setClientSize(ClientWidth(), height); }
  // Keeps the size inside the constraints; a size change runs OnResize, also from code.
  void setBounds(int left, int top, int width, int height) override;

  const TSizeConstraints& Constraints() const { return constraints_; }
  void setConstraints(const TSizeConstraints& constraints);
  TPosition Position() const { return position_; }
  void setPosition(TPosition position);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void setBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void setBorderIcons(TBorderIcons icons);
  // Whether the layout follows the screen's font size; kept for the programs' tables.
  bool Scaled() const { return scaled_; }
  void setScaled(bool scaled) { scaled_ = scaled; }

  TMainMenu* Menu() const { return menu_; }
  void setMenu(TMainMenu* menu);

  // Creates the peers of the form and its components on the current backend when they do not
  // exist yet (show() does it; a renderer may call it for a form that is not shown).
  void ensurePeers();
  // Drops the peers of the form and its components (before the backend changes).
  void detachPeers();

  // Modeless show: Visible, peers, OnShow (each time it becomes visible), then OnActivate.
  // Forms are created hidden; setVisible(true) is show() and setVisible(false) is hide().
  void show();
  void hide();  // runs OnHide when it was visible
  void setVisible(bool visible) override;
  // The user or code asks the form to close: OnClose decides (caHide by default, caNone keeps
  // it open). A modal form closes with mrCancel unless ModalResult is already set; closing the
  // main form ends the application.
  void close();
  // Shows the form modally and runs a nested loop until ModalResult is set (by code, a button
  // with a modal result, or close()); hides it and returns the result.
  TModalResult showModal();
  bool Modal() const { return modal_; }
  TModalResult ModalResult() const { return modalResult_; }
  void setModalResult(TModalResult result);

  bool Active() const { return active_; }
  void bringToFront();

  TControl* ActiveControl() const { return activeControl_; }
  // Moves the focus; the old control's OnExit runs, then the new one's OnEnter.
  void setActiveControl(TControl* control);

  // The buttons that Enter and Escape press: the visible, enabled button marked Default
  // (Cancel) in this form, or nullptr.
  TButton* defaultButton() const;
  TButton* cancelButton() const;

  TNotifyEvent OnCreate;  // run by TApplication::CreateForm
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnResize;
  std::function<void(TCloseAction& action)> OnClose;
  std::function<void(bool& canClose)> OnCloseQuery;

  // User input at the window level.
  bool userClose();                        // the close box
  bool userResize(int width, int height);  // dragging the frame (sizeable forms)
  void userActivate();                     // the window became the active one
  // A key with the focus on the form: the active control's handling first; then Enter presses
  // the default button, Escape the cancel button, and Tab (Shift+Tab) moves the focus to the
  // next (previous) control with a tab stop, by TabOrder within each parent. A grid with
  // goTabs keeps Tab for its cells.
  bool userKeyDown(Word key, TShiftState shift = ssNone) override;
  // The controls that Tab visits, in order.
  std::vector<TControl*> tabOrderList() const;

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;
  void pushState() override;
  void visibilityChanged() override;

 private:
  friend class TApplication;
  friend class TControl;
  FormPeer* formPeer() const;
  // Ends a modal loop: OnCloseQuery and OnClose may refuse (ModalResult back to mrNone).
  bool finishModal();
  void activate();
  int frameWidth() const;
  int frameHeight() const;

  TSizeConstraints constraints_;
  TPosition position_ = poDesigned;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  bool scaled_ = true;
  TMainMenu* menu_ = nullptr;
  bool modal_ = false;
  TModalResult modalResult_ = mrNone;
  bool active_ = false;
  bool peersAttached_ = false;
  unsigned long shownSerial_ = 0;  // when it was last shown, to tell forms above a modal one
  TControl* activeControl_ = nullptr;
};

}  // namespace ui
