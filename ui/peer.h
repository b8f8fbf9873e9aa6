#pragma once
// What a backend attaches to a control. The control owns all state; its peer only shows it.
// After a setter has stored a value the control calls changed() with the property, and the
// peer reads the new value back from the control. A control without a peer works the same.

#include "ui/strings.h"

namespace ui {

enum class Property {
  Caption,  // also a form's caption and a menu item's caption
  Text,     // edit and memo text
  Bounds,   // Left, Top, Width, Height (a form: also its client size)
  Enabled,
  Visible,
  Hint,  // Hint or ShowHint
  Font,
  Color,
  TabOrder,
  Focus,  // the form's active control changed
  Checked,
  ReadOnly,
  MaxLength,
  Alignment,  // label alignment, word wrap, auto size
  ItemIndex,  // list box, radio group, tab set
  Columns,    // radio group columns
  Sorted,
  Range,     // track bar Min, Max, Frequency, TickMarks, ThumbLength, Orientation
  Position,  // track bar position
  ShapeKind,
  Brush,    // shape brush and pen
  Picture,  // image or bit button glyph
  ScrollBars,
  BorderStyle,  // form border style, border icons, constraints, position
  ModalResult,
  Default,      // button Default or Cancel
  GridSize,     // ColCount, RowCount, FixedCols, FixedRows
  GridLayout,   // column widths, row heights, default sizes, options
  CurrentCell,  // Row, Col, or the editor mode
  DragMode,
  Cursor,
  Menu,  // a form's main menu was set or a menu's items changed
};

class Peer {
 public:
  virtual ~Peer() = default;
  virtual void changed(Property) {}
  // Items of a list box, radio group, tab set, or lines of a memo.
  virtual void itemsChanged(const StringsChange&) {}
};

}  // namespace ui
