#include <algorithm>
#include <stdexcept>

#include "ui/backend.h"
#include "ui/grid.h"

namespace ui {

namespace {
const std::string kEmptyCell;
const std::vector<std::string> kEmptyRow;
constexpr Word kF2 = 113;

std::string cellName(int col, int row) {
  return "(" + std::to_string(col) + ", " + std::to_string(row) + ")";
}

// Where a position ends up when the item at `from` is taken out and put in at `to`.
int afterMove(int index, int from, int to) {
  if (index == from) {
    return to;
  }
  if (from < to && index > from && index <= to) {
    return index - 1;
  }
  if (to < from && index >= to && index < from) {
    return index + 1;
  }
  return index;
}

template <class T>
void moveItem(std::vector<T>& items, int from, int to) {
  auto first = items.begin();
  if (from < to) {
    std::rotate(first + from, first + from + 1, first + to + 1);
  } else if (to < from) {
    std::rotate(first + to, first + from, first + from + 1);
  }
}
}  // namespace

TStringGrid::TStringGrid(TWinControl* parent) : TControl(parent) {
  focusable_ = true;
  setTabStop(true);
  setBounds(0, 0, 320, 120);
  rows_.assign(5, std::vector<std::string>(static_cast<std::size_t>(colCount_)));
  colWidths_.assign(static_cast<std::size_t>(colCount_), defaultColWidth_);
}

GridPeer* TStringGrid::gridPeer() const {
  return static_cast<GridPeer*>(peer());
}

void TStringGrid::setColCount(int count) {
  count = std::max(1, count);
  if (count == colCount_) {
    return;
  }
  colCount_ = count;
  for (auto& row : rows_) {
    row.resize(static_cast<std::size_t>(count));
  }
  colWidths_.resize(static_cast<std::size_t>(count), defaultColWidth_);
  fixedCols_ = std::min(fixedCols_, count - 1);
  notify(Property::GridSize);
  clampCurrentCell();
}

void TStringGrid::setRowCount(int count) {
  count = std::max(1, count);
  if (count == RowCount()) {
    return;
  }
  rows_.resize(static_cast<std::size_t>(count),
               std::vector<std::string>(static_cast<std::size_t>(colCount_)));
  fixedRows_ = std::min(fixedRows_, count - 1);
  notify(Property::GridSize);
  clampCurrentCell();
}

void TStringGrid::setFixedCols(int count) {
  count = std::clamp(count, 0, colCount_ - 1);
  if (count == fixedCols_) {
    return;
  }
  fixedCols_ = count;
  notify(Property::GridSize);
  homeCurrentCell();
}

void TStringGrid::setFixedRows(int count) {
  count = std::clamp(count, 0, RowCount() - 1);
  if (count == fixedRows_) {
    return;
  }
  fixedRows_ = count;
  notify(Property::GridSize);
  homeCurrentCell();
}

void TStringGrid::homeCurrentCell() {
  col_ = fixedCols_;
  row_ = fixedRows_;
  topRow_ = fixedRows_;
  notify(Property::CurrentCell);
}

void TStringGrid::clampCurrentCell() {
  int col = std::clamp(col_, fixedCols_, colCount_ - 1);
  int row = std::clamp(row_, fixedRows_, RowCount() - 1);
  int top = std::clamp(topRow_, fixedRows_, RowCount() - 1);
  if (col != col_ || row != row_ || top != topRow_) {
    col_ = col;
    row_ = row;
    topRow_ = top;
    notify(Property::CurrentCell);
  }
}

const std::string& TStringGrid::Cells(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= RowCount()) {
    return kEmptyCell;
  }
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void TStringGrid::setCell(int col, int row, const std::string& text) {
  if (col < 0 || col >= colCount_ || row < 0 || row >= RowCount()) {
    throw std::out_of_range("grid cell " + cellName(col, row) + " outside " +
                            std::to_string(colCount_) + " columns and " +
                            std::to_string(RowCount()) + " rows");
  }
  std::string& cell = rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
  if (cell == text) {
    return;
  }
  cell = text;
  if (GridPeer* p = gridPeer()) {
    p->cellChanged(col, row);
  }
}

const std::vector<std::string>& TStringGrid::Rows(int row) const {
  if (row < 0 || row >= RowCount()) {
    return kEmptyRow;
  }
  return rows_[static_cast<std::size_t>(row)];
}

void TStringGrid::clearRow(int row) {
  for (int col = 0; col < colCount_; ++col) {
    setCell(col, row, "");
  }
}

void TStringGrid::setDefaultColWidth(int width) {
  width = std::max(0, width);
  defaultColWidth_ = width;
  std::fill(colWidths_.begin(), colWidths_.end(), width);
  notify(Property::GridLayout);
}

void TStringGrid::setDefaultRowHeight(int height) {
  height = std::max(0, height);
  if (height == defaultRowHeight_) {
    return;
  }
  defaultRowHeight_ = height;
  notify(Property::GridLayout);
}

int TStringGrid::ColWidths(int col) const {
  if (col < 0 || col >= colCount_) {
    return 0;
  }
  return colWidths_[static_cast<std::size_t>(col)];
}

void TStringGrid::setColWidth(int col, int width) {
  if (col < 0 || col >= colCount_) {
    throw std::out_of_range("grid column " + std::to_string(col) + " outside " +
                            std::to_string(colCount_) + " columns");
  }
  width = std::max(0, width);
  if (colWidths_[static_cast<std::size_t>(col)] == width) {
    return;
  }
  colWidths_[static_cast<std::size_t>(col)] = width;
  notify(Property::GridLayout);
}

void TStringGrid::setRow(int row) {
  if (row < 0 || row >= RowCount() || row == row_) {
    return;
  }
  row_ = row;
  notify(Property::CurrentCell);
}

void TStringGrid::setCol(int col) {
  if (col < 0 || col >= colCount_ || col == col_) {
    return;
  }
  col_ = col;
  notify(Property::CurrentCell);
}

void TStringGrid::setTopRow(int row) {
  row = std::clamp(row, fixedRows_, RowCount() - 1);
  if (row == topRow_) {
    return;
  }
  topRow_ = row;
  notify(Property::CurrentCell);
}

void TStringGrid::setOptions(TGridOptions options) {
  if (options == options_) {
    return;
  }
  options_ = options;
  if (!hasOption(goEditing)) {
    editorMode_ = false;
  }
  notify(Property::GridLayout);
}

void TStringGrid::setDragMode(TDragMode mode) {
  if (mode == dragMode_) {
    return;
  }
  dragMode_ = mode;
  notify(Property::DragMode);
}

void TStringGrid::setEditorMode(bool on) {
  on = on && hasOption(goEditing);
  if (on == editorMode_) {
    return;
  }
  editorMode_ = on;
  notify(Property::CurrentCell);
}

void TStringGrid::MoveRow(int from, int to) {
  if (from < 0 || from >= RowCount() || to < 0 || to >= RowCount()) {
    throw std::out_of_range("grid row move " + std::to_string(from) + " -> " + std::to_string(to) +
                            " outside " + std::to_string(RowCount()) + " rows");
  }
  if (from == to) {
    return;
  }
  moveItem(rows_, from, to);
  if (GridPeer* p = gridPeer()) {
    p->rowMoved(from, to);
  }
  int row = afterMove(row_, from, to);
  if (row != row_) {
    row_ = row;
    notify(Property::CurrentCell);
  }
}

void TStringGrid::MoveColumn(int from, int to) {
  if (from < 0 || from >= colCount_ || to < 0 || to >= colCount_) {
    throw std::out_of_range("grid column move " + std::to_string(from) + " -> " +
                            std::to_string(to) + " outside " + std::to_string(colCount_) +
                            " columns");
  }
  if (from == to) {
    return;
  }
  for (auto& row : rows_) {
    moveItem(row, from, to);
  }
  moveItem(colWidths_, from, to);
  if (GridPeer* p = gridPeer()) {
    p->colMoved(from, to);
  }
  int col = afterMove(col_, from, to);
  if (col != col_) {
    col_ = col;
    notify(Property::CurrentCell);
  }
}

bool TStringGrid::selectCell(int col, int row) {
  if (col < fixedCols_ || col >= colCount_ || row < fixedRows_ || row >= RowCount()) {
    return false;
  }
  bool canSelect = true;
  if (OnSelectCell) {
    OnSelectCell(col, row, canSelect);
  }
  if (!canSelect) {
    return false;
  }
  if (col != col_ || row != row_) {
    col_ = col;
    row_ = row;
    notify(Property::CurrentCell);
  }
  return true;
}

bool TStringGrid::userSelectCell(int col, int row) {
  if (!isUserReachable() || dragMode_ == dmAutomatic) {
    return false;
  }
  if (!selectCell(col, row)) {
    return false;
  }
  if (OnClick) {
    OnClick();
  }
  return true;
}

bool TStringGrid::userDblClickCell(int col, int row) {
  if (!isUserReachable()) {
    return false;
  }
  if (dragMode_ == dmManual) {
    selectCell(col, row);
  }
  if (OnDblClick) {
    OnDblClick();
  }
  return true;
}

bool TStringGrid::userMoveRow(int from, int to) {
  if (!isUserReachable() || !hasOption(goRowMoving) || dragMode_ != dmManual) {
    return false;
  }
  if (from < fixedRows_ || from >= RowCount() || to < fixedRows_ || to >= RowCount()) {
    return false;
  }
  MoveRow(from, to);
  if (OnRowMoved) {
    OnRowMoved(from, to);
  }
  return true;
}

bool TStringGrid::userEditCell(const std::string& text) {
  if (!isUserReachable() || !hasOption(goEditing) || col_ < fixedCols_ || row_ < fixedRows_) {
    return false;
  }
  setEditorMode(true);
  setCell(col_, row_, text);
  if (OnSetEditText) {
    OnSetEditText(col_, row_, text);
  }
  return true;
}

void TStringGrid::defaultKeyDown(Word key, TShiftState shift) {
  int col = col_;
  int row = row_;
  const int lastCol = colCount_ - 1;
  const int lastRow = RowCount() - 1;
  switch (key) {
    case VK_TAB:
      if (!hasOption(goTabs)) {
        return;
      }
      if ((shift & ssShift) != 0) {
        if (col > fixedCols_) {
          --col;
        } else if (row > fixedRows_) {
          col = lastCol;
          --row;
        }
      } else if (col < lastCol) {
        ++col;
      } else if (row < lastRow) {
        col = fixedCols_;
        ++row;
      }
      break;
    case VK_LEFT:
      col = std::max(fixedCols_, col - 1);
      break;
    case VK_RIGHT:
      col = std::min(lastCol, col + 1);
      break;
    case VK_UP:
      row = std::max(fixedRows_, row - 1);
      break;
    case VK_DOWN:
      row = std::min(lastRow, row + 1);
      break;
    case VK_HOME:
      col = fixedCols_;
      break;
    case VK_END:
      col = lastCol;
      break;
    case kF2:
    case VK_RETURN:
      setEditorMode(hasOption(goEditing) && (key == kF2 || !editorMode_));
      return;
    case VK_ESCAPE:
      setEditorMode(false);
      return;
    default:
      return;
  }
  if (col != col_ || row != row_) {
    selectCell(col, row);
  }
}

std::unique_ptr<Peer> TStringGrid::makePeer(Backend& backend) {
  return backend.createStringGrid(*this);
}

}  // namespace ui
