#pragma once
// The string grid: a table of text cells held as one vector of cells per row, so that lists of
// 65,536 rows stay fast. Its peer is told about single cells and row moves, never asked to
// redraw everything for one cell.

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

class GridPeer : public Peer {
 public:
  virtual void cellChanged(int /*col*/, int /*row*/) {}
  // Row `from` was taken out and put in at `to`; the rows between shifted by one.
  virtual void rowMoved(int /*from*/, int /*to*/) {}
  // Column `from` was taken out and put in at `to`.
  virtual void colMoved(int /*from*/, int /*to*/) {}
};

class TStringGrid : public TControl {
 public:
  enum TDragMode { dmManual, dmAutomatic };
  // Options, as a bit set.
  using TGridOptions = unsigned;
  static constexpr TGridOptions goFixedVertLine = 1;
  static constexpr TGridOptions goFixedHorzLine = 2;
  static constexpr TGridOptions goVertLine = 4;
  static constexpr TGridOptions goHorzLine = 8;
  static constexpr TGridOptions goRangeSelect = 16;
  static constexpr TGridOptions goRowSizing = 32;
  static constexpr TGridOptions goColSizing = 64;
  static constexpr TGridOptions goRowMoving = 128;  // the user may drag rows by their fixed cell
  static constexpr TGridOptions goColMoving = 256;
  static constexpr TGridOptions goEditing = 512;  // cells are edited in place
  static constexpr TGridOptions goTabs = 1024;    // Tab moves to the next cell
  static constexpr TGridOptions goRowSelect = 2048;
  static constexpr TGridOptions goAlwaysShowEditor = 4096;
  static constexpr TGridOptions goThumbTracking = 8192;
  static constexpr TGridOptions kDefaultOptions =
      goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

  explicit TStringGrid(TWinControl* parent);

  int ColCount() const { return colCount_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // At least one column and one row; new cells are empty; the current cell is kept inside.
  void setColCount(int count);
  void setRowCount(int count);
  int FixedCols() const { return fixedCols_; }
  int FixedRows() const { return fixedRows_; }
  // Changing them makes the first cell outside the fixed ones current, as the classic grid does.
  void setFixedCols(int count);
  void setFixedRows(int count);

  // Reading outside the grid gives ""; writing outside it throws std::out_of_range.
  const std::string& Cells(int col, int row) const;
  void setCell(int col, int row, const std::string& text);
  const std::vector<std::string>& Rows(int row) const;
  // Empties every cell of the row (the grid keeps its size).
  void clearRow(int row);

  int DefaultColWidth() const { return defaultColWidth_; }
  void setDefaultColWidth(int width);  // also sets every column's width
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void setDefaultRowHeight(int height);
  int ColWidths(int col) const;
  void setColWidth(int col, int width);

  // The current cell. Setting it moves the selection without any event; outside the grid the
  // value is ignored.
  int Row() const { return row_; }
  int Col() const { return col_; }
  void setRow(int row);
  void setCol(int col);
  int TopRow() const { return topRow_; }
  void setTopRow(int row);

  TGridOptions Options() const { return options_; }
  void setOptions(TGridOptions options);
  bool hasOption(TGridOptions option) const { return (options_ & option) != 0; }
  TDragMode DragMode() const { return dragMode_; }
  void setDragMode(TDragMode mode);
  // The in-place editor is open on the current cell (only with goEditing).
  bool EditorMode() const { return editorMode_; }
  void setEditorMode(bool on);

  // Moves a whole row, fixed cells included: `from` is taken out and put in at `to`.
  void MoveRow(int from, int to);
  void MoveColumn(int from, int to);

  // The current cell changed to (col, row) from the user; handler may set `canSelect` false.
  std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
  std::function<void(int from, int to)> OnRowMoved;
  // The user edited cell (col, row) in place; the cell already holds the new text.
  std::function<void(int col, int row, const std::string& text)> OnSetEditText;

  // A mouse click on a cell. In automatic drag mode the click starts a drag instead, and the
  // current cell does not change (false). A fixed cell is never selected. OnSelectCell, then
  // OnClick.
  bool userSelectCell(int col, int row);
  // Double click on a cell: selects it as a click does, then OnDblClick.
  bool userDblClickCell(int col, int row);
  // Dragging row `from` by its fixed cell to `to` (goRowMoving, manual drag mode, both rows
  // outside the fixed rows). OnRowMoved follows.
  bool userMoveRow(int from, int to);
  // Typing into the current cell's in-place editor (goEditing; not a fixed cell).
  bool userEditCell(const std::string& text);
  // Keys: OnKeyDown first. Left alone, Tab (goTabs) moves to the next cell (Shift+Tab to the
  // previous one), wrapping to the next row; arrows, Home and End move the current cell; F2 or
  // Enter open the editor (goEditing), Escape closes it.
  using TControl::userKeyDown;

 protected:
  std::unique_ptr<Peer> makePeer(Backend& backend) override;
  void defaultKeyDown(Word key, TShiftState shift) override;

 private:
  GridPeer* gridPeer() const;
  bool selectCell(int col, int row);  // runs OnSelectCell; true when the cell became current
  void clampCurrentCell();
  void homeCurrentCell();  // the first cell outside the fixed rows and columns

  int colCount_ = 5;
  std::vector<std::vector<std::string>> rows_;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  std::vector<int> colWidths_;
  int row_ = 1;
  int col_ = 1;
  int topRow_ = 1;
  TGridOptions options_ = kDefaultOptions;
  TDragMode dragMode_ = dmManual;
  bool editorMode_ = false;
};

}  // namespace ui
