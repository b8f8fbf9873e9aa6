#pragma once
// The plain controls: buttons, labels, edits, memos, check boxes, radio buttons and groups,
// group boxes, panels, list boxes, tab sets, track bars, shapes and images.

#include <string>

#include "ui/control.h"
#include "ui/strings.h"

namespace ui {

class TButton : public TControl {
 public:
  explicit TButton(TWinControl* parent);

  // Runs the click as the program's own code does: sets the form's ModalResult to this
  // button's ModalResult when that is not mrNone, then runs OnClick. Works on hidden and
  // disabled buttons too (a dialog may end itself through an invisible OK button).
  void click();
  bool userClick() override;  // click(), when a user could reach the button

  TModalResult ModalResult() const { return modalResult_; }
  void setModalResult(TModalResult result);
  // Default: Enter on the form presses it. Cancel: Escape presses it.
  bool Default() const { return default_; }
  void setDefault(bool isDefault);
  bool Cancel() const { return cancel_; }
  void setCancel(bool isCancel);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;
  void defaultKeyDown(Word key, TShiftState shift) override;

 private:
  TModalResult modalResult_ = mrNone;
  bool default_ = false;
  bool cancel_ = false;
};

// A button with a picture; its kind sets the standard caption, modal result and role.
class TBitBtn : public TButton {
 public:
  enum Kind { bkCustom, bkOK, bkCancel, bkYes, bkNo, bkClose, bkHelp };
  explicit TBitBtn(TWinControl* parent);

  Kind BitBtnKind() const { return kind_; }
  // bkOK: "OK", mrOk, Default; bkCancel: "Cancel", mrCancel, Cancel; bkYes, bkNo, bkClose,
  // bkHelp likewise.
  void setKind(Kind kind);
  // A picture file (PNG) or resource name; empty: no picture.
  const std::string& Glyph() const { return glyph_; }
  void setGlyph(const std::string& glyph);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  Kind kind_ = bkCustom;
  std::string glyph_;
};

class TLabel : public TControl {
 public:
  explicit TLabel(TWinControl* parent);

  TAlignment Alignment() const { return alignment_; }
  void setAlignment(TAlignment alignment);
  bool WordWrap() const { return wordWrap_; }
  void setWordWrap(bool wrap);
  bool AutoSize() const { return autoSize_; }
  void setAutoSize(bool autoSize);
  bool Transparent() const { return transparent_; }
  void setTransparent(bool transparent);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  TAlignment alignment_ = taLeftJustify;
  bool wordWrap_ = false;
  bool autoSize_ = true;
  bool transparent_ = false;
};

class TEdit : public TControl {
 public:
  explicit TEdit(TWinControl* parent);

  const std::string& Text() const { return Caption(); }
  // OnChange runs when the text actually changes, also when code sets it.
  void setText(const std::string& text);
  void setCaption(const std::string& caption) override { setText(caption); }
  bool ReadOnly() const { return readOnly_; }
  void setReadOnly(bool readOnly);
  // 0: no limit. Limits typing only, as the classic edit does; code may set any text.
  int MaxLength() const { return maxLength_; }
  void setMaxLength(int maxLength);

  TNotifyEvent OnChange;

  // The user typed so that the text now reads `text` (refused when read-only; cut to MaxLength).
  bool userSetText(const std::string& text);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  bool readOnly_ = false;
  int maxLength_ = 0;
};

class TMemo : public TControl {
 public:
  enum TScrollStyle { ssNoScroll, ssHorizontal, ssVertical, ssBoth };
  explicit TMemo(TWinControl* parent);

  TStrings& Lines() { return lines_; }
  const TStrings& Lines() const { return lines_; }
  std::string Text() const { return lines_.text(); }
  void setText(const std::string& text) { lines_.setText(text); }
  void clear() { lines_.clear(); }

  bool ReadOnly() const { return readOnly_; }
  void setReadOnly(bool readOnly);
  bool WordWrap() const { return wordWrap_; }
  void setWordWrap(bool wrap);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void setScrollBars(TScrollStyle style);

  // Runs after every change of the lines, from code or from the user.
  TNotifyEvent OnChange;

  bool userSetText(const std::string& text);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  TStrings lines_;
  bool readOnly_ = false;
  bool wordWrap_ = true;
  TScrollStyle scrollBars_ = ssNoScroll;
};

class TCheckBox : public TControl {
 public:
  explicit TCheckBox(TWinControl* parent);

  bool Checked() const { return checked_; }
  // As in the classic library, a change of Checked runs OnClick, also from code; setting the
  // value it already has runs nothing. A handler may set Checked again (to refuse the change):
  // that runs OnClick once more for the new change.
  void setChecked(bool checked);
  bool userClick() override;  // toggles

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;
  void defaultKeyDown(Word key, TShiftState shift) override;

 private:
  bool checked_ = false;
};

class TRadioButton : public TControl {
 public:
  explicit TRadioButton(TWinControl* parent);

  bool Checked() const { return checked_; }
  // Checking unchecks the radio buttons with the same parent and then runs this button's
  // OnClick; unchecking runs no handler; setting the value it already has runs nothing.
  void setChecked(bool checked);
  // Checks the button; a click on the button already checked does nothing.
  bool userClick() override;

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  bool checked_ = false;
};

// A framed group of radio items held as texts; ItemIndex is the checked one (-1: none).
class TRadioGroup : public TControl {
 public:
  explicit TRadioGroup(TWinControl* parent);

  TStrings& Items() { return items_; }
  const TStrings& Items() const { return items_; }
  int ItemIndex() const { return itemIndex_; }
  // A change runs OnClick, also from code, as the group's buttons do.
  void setItemIndex(int index);
  int Columns() const { return columns_; }
  void setColumns(int columns);

  bool userSelect(int index);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  TStrings items_;
  int itemIndex_ = -1;
  int columns_ = 1;
};

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TWinControl* parent);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;
};

class TPanel : public TWinControl {
 public:
  enum TBevelCut { bvNone, bvLowered, bvRaised };
  explicit TPanel(TWinControl* parent);

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void setBevelOuter(TBevelCut bevel);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  TBevelCut bevelOuter_ = bvRaised;
};

class TListBox : public TControl {
 public:
  explicit TListBox(TWinControl* parent);

  TStrings& Items() { return items_; }
  const TStrings& Items() const { return items_; }
  // Sorted lists insert by plain byte-wise comparison, so " 5" comes before "12".
  bool Sorted() const { return items_.sorted(); }
  void setSorted(bool sorted);
  // -1: nothing selected. Setting it from code runs no handler. Out of range: -1.
  int ItemIndex() const { return itemIndex_; }
  void setItemIndex(int index);
  // The selected text, or "" when nothing is selected.
  std::string selectedText() const;

  // A mouse click on item `index`: selects it, then OnMouseDown, then OnClick.
  bool userClickItem(int index, TMouseButton button = mbLeft);
  // A keyboard selection: selects, then OnClick.
  bool userSelect(int index);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;
  void defaultKeyDown(Word key, TShiftState shift) override;

 private:
  void itemsChanged(const StringsChange& change);
  TStrings items_;
  int itemIndex_ = -1;
};

class TTabSet : public TControl {
 public:
  explicit TTabSet(TWinControl* parent);

  TStrings& Tabs() { return tabs_; }
  const TStrings& Tabs() const { return tabs_; }
  int TabIndex() const { return tabIndex_; }
  // A change runs OnClick, also from code, as the classic tab set does.
  void setTabIndex(int index);

  bool userSelectTab(int index);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  TStrings tabs_;
  int tabIndex_ = -1;
};

class TTrackBar : public TControl {
 public:
  enum TTrackBarOrientation { trHorizontal, trVertical };
  enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
  enum TTickStyle { tsNone, tsAuto, tsManual };
  explicit TTrackBar(TWinControl* parent);

  int Min() const { return min_; }
  int Max() const { return max_; }
  void setRange(int min, int max);  // the position is kept inside
  void setMin(int min) { setRange(min, max_); }
  void setMax(int max) { setRange(min_, max); }
  int Position() const { return position_; }
  // Clamped to Min..Max; a change runs OnChange, also from code.
  void setPosition(int position);
  int Frequency() const { return frequency_; }
  void setFrequency(int frequency);
  TTickMark TickMarks() const { return tickMarks_; }
  void setTickMarks(TTickMark marks);
  TTickStyle TickStyle() const { return tickStyle_; }
  void setTickStyle(TTickStyle style);
  int ThumbLength() const { return thumbLength_; }
  void setThumbLength(int length);
  TTrackBarOrientation Orientation() const { return orientation_; }
  void setOrientation(TTrackBarOrientation orientation);

  TNotifyEvent OnChange;

  bool userSetPosition(int position);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;
  void defaultKeyDown(Word key, TShiftState shift) override;

 private:
  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  int frequency_ = 1;
  TTickMark tickMarks_ = tmBottomRight;
  TTickStyle tickStyle_ = tsAuto;
  int thumbLength_ = 20;
  TTrackBarOrientation orientation_ = trHorizontal;
};

class TShape : public TControl {
 public:
  enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
  enum TBrushStyle { bsSolid, bsClear };
  explicit TShape(TWinControl* parent);

  TShapeType Shape() const { return shape_; }
  void setShape(TShapeType shape);
  TColor BrushColor() const { return brushColor_; }
  void setBrushColor(TColor color);
  TBrushStyle BrushStyle() const { return brushStyle_; }
  void setBrushStyle(TBrushStyle style);
  TColor PenColor() const { return penColor_; }
  void setPenColor(TColor color);
  int PenWidth() const { return penWidth_; }
  void setPenWidth(int width);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  TShapeType shape_ = stRectangle;
  TColor brushColor_ = clWhite;
  TBrushStyle brushStyle_ = bsSolid;
  TColor penColor_ = clBlack;
  int penWidth_ = 1;
};

class TImage : public TControl {
 public:
  explicit TImage(TWinControl* parent);

  // A picture file (PNG) or resource name; empty: no picture.
  const std::string& Picture() const { return picture_; }
  void setPicture(const std::string& picture);
  bool Stretch() const { return stretch_; }
  void setStretch(bool stretch);
  bool Center() const { return center_; }
  void setCenter(bool center);

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;

 private:
  std::string picture_;
  bool stretch_ = false;
  bool center_ = false;
};

}  // namespace ui
