#include "ui/qt/grid_peer.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>

#include "ui/qt/conversions.h"
#include "ui/qt/peers.h"
#include "ui/qt/widget_peer.h"

namespace ui::qt {

namespace {
constexpr Word kF2Key = 113;  // the virtual key that opens a grid's in-place editor
}  // namespace

GridModel::GridModel(TStringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), rows_(grid.RowCount()), cols_(grid.ColCount()) {}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cols_;
}

bool GridModel::isFixed(int col, int row) const {
  return col < grid_.FixedCols() || row < grid_.FixedRows();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) {
    return {};
  }
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return toQString(grid_.Cells(index.column(), index.row()));
    case Qt::BackgroundRole:
      if (isFixed(index.column(), index.row())) {
        return QApplication::palette().button();
      }
      return {};
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
      return {};
  }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || index.row() != grid_.Row() || index.column() != grid_.Col()) {
    return false;
  }
  return grid_.userEditCell(fromQString(value.toString()));
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  if (isFixed(index.column(), index.row())) {
    return Qt::ItemIsEnabled;
  }
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (grid_.hasOption(TStringGrid::goEditing)) {
    flags |= Qt::ItemIsEditable;
  }
  return flags;
}

void GridModel::followSize() {
  if (grid_.ColCount() != cols_) {
    beginResetModel();
    rows_ = grid_.RowCount();
    cols_ = grid_.ColCount();
    endResetModel();
    return;
  }
  const int rows = grid_.RowCount();
  if (rows > rows_) {
    beginInsertRows({}, rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
  } else if (rows < rows_) {
    beginRemoveRows({}, rows, rows_ - 1);
    rows_ = rows;
    endRemoveRows();
  }
}

void GridModel::cellChanged(int col, int row) {
  if (row < rows_ && col < cols_) {
    const QModelIndex at = index(row, col);
    emit dataChanged(at, at, {Qt::DisplayRole, Qt::EditRole});
  }
}

void GridModel::rowsChanged(int first, int last) {
  if (rows_ > 0 && cols_ > 0) {
    emit dataChanged(index(std::max(0, first), 0), index(std::min(last, rows_ - 1), cols_ - 1));
  }
}

void GridModel::allChanged() {
  rowsChanged(0, rows_ - 1);
}

GridView::GridView(QWidget* parent, TStringGrid& grid)
    : QTableView(parent), grid_(grid), model_(new GridModel(grid, this)) {
  setModel(model_);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  // Fixed section sizes keep the view's cost independent of the number of rows.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setMinimumSectionSize(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setWordWrap(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void GridView::applyLayout() {
  verticalHeader()->setDefaultSectionSize(grid_.DefaultRowHeight());
  for (int col = 0; col < grid_.ColCount(); ++col) {
    setColumnWidth(col, grid_.ColWidths(col));
  }
  const bool lines =
      grid_.hasOption(TStringGrid::goVertLine) || grid_.hasOption(TStringGrid::goHorzLine);
  setShowGrid(lines);
  setSelectionBehavior(grid_.hasOption(TStringGrid::goRowSelect) ? QAbstractItemView::SelectRows
                                                                 : QAbstractItemView::SelectItems);
  model_->allChanged();  // flags depend on goEditing
}

void GridView::applyCurrentCell() {
  const QModelIndex current = model_->index(grid_.Row(), grid_.Col());
  if (current != currentIndex()) {
    closeOpenEditor();
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
  }
  if (current.isValid()) {
    scrollTo(current);
  }
  if (grid_.EditorMode()) {
    openEditor();
  } else {
    closeOpenEditor();
  }
}

void GridView::openEditor() {
  const QModelIndex current = currentIndex();
  if (current.isValid() && state() != QAbstractItemView::EditingState) {
    edit(current);
  }
}

void GridView::closeOpenEditor() {
  if (state() != QAbstractItemView::EditingState) {
    return;
  }
  if (QWidget* editor = indexWidget(currentIndex())) {
    closingFromControl_ = true;
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    closingFromControl_ = false;
  }
}

QModelIndex GridView::cellAt(const QPoint& at) const {
  return indexAt(at);
}

void GridView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const QModelIndex at = cellAt(event->position().toPoint());
  if (!at.isValid() || event->button() != Qt::LeftButton) {
    return;
  }
  const bool numberCell = at.column() < grid_.FixedCols() && at.row() >= grid_.FixedRows();
  if (numberCell && grid_.hasOption(TStringGrid::goRowMoving) &&
      grid_.DragMode() == TStringGrid::dmManual) {
    dragFrom_ = at.row();
    viewport()->setCursor(Qt::SizeVerCursor);
    return;
  }
  grid_.userSelectCell(at.column(), at.row());
}

void GridView::mouseMoveEvent(QMouseEvent*) {}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragFrom_) {
    return;
  }
  const int from = *dragFrom_;
  dragFrom_.reset();
  viewport()->unsetCursor();
  int to = rowAt(static_cast<int>(event->position().y()));
  if (to < 0) {
    to = event->position().y() < 0 ? grid_.FixedRows() : grid_.RowCount() - 1;
  }
  if (to != from) {
    grid_.userMoveRow(from, to);
  }
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex at = cellAt(event->position().toPoint());
  if (at.isValid() && event->button() == Qt::LeftButton) {
    grid_.userDblClickCell(at.column(), at.row());
  }
}

void GridView::keyPressEvent(QKeyEvent* event) {
  if (editing()) {
    // A key the in-place editor let through (its Enter, Escape and Tab reach the grid as the
    // editor's end instead): the form must not see it a second time.
    event->accept();
    return;
  }
  // Keys with a virtual code went to the control already; what is left is typing, which opens
  // the in-place editor on a grid that allows editing.
  if (event->text().isEmpty() || !event->text()[0].isPrint() ||
      !grid_.hasOption(TStringGrid::goEditing)) {
    event->ignore();
    return;
  }
  if (!grid_.EditorMode()) {
    grid_.userKeyDown(kF2Key);
  }
  if (QWidget* editor = indexWidget(currentIndex())) {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->selectAll();
    }
    QApplication::sendEvent(editor, event);
  }
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Qt would move to the next cell itself; the control moves, and the view follows it.
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  if (closingFromControl_) {
    return;
  }
  switch (hint) {
    case QAbstractItemDelegate::EditNextItem:
      grid_.userKeyDown(VK_TAB, ssNone);
      break;
    case QAbstractItemDelegate::EditPreviousItem:
      grid_.userKeyDown(VK_TAB, ssShift);
      break;
    case QAbstractItemDelegate::SubmitModelCache:
      grid_.userKeyDown(VK_RETURN, ssNone);
      break;
    case QAbstractItemDelegate::RevertModelCache:
      grid_.userKeyDown(VK_ESCAPE, ssNone);
      break;
    default:
      break;
  }
  // Taking the focus from an editor just opened on the next cell would close it again.
  if (state() != QAbstractItemView::EditingState) {
    setFocus(Qt::OtherFocusReason);
  }
}

namespace {

class GridPeerImpl final : public GridPeer, public WidgetPeer {
 public:
  GridPeerImpl(QtBackend& backend, TStringGrid& grid)
      : WidgetPeer(backend, grid, new GridView(parentWidgetFor(grid), grid)), grid_(grid) {
    forwardDoubleClick_ = false;
  }

  void changed(Property property) override {
    Pushing guard(*this);
    switch (property) {
      case Property::GridSize:
        view().model().followSize();
        view().applyLayout();
        view().applyCurrentCell();
        break;
      case Property::GridLayout:
        view().applyLayout();
        break;
      case Property::CurrentCell:
        view().applyCurrentCell();
        break;
      case Property::DragMode:
        break;
      default:
        applyCommon(property);
        break;
    }
  }

  void cellChanged(int col, int row) override { view().model().cellChanged(col, row); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && view().editing()) {
      return false;  // from the editor: GridView::keyPressEvent swallows it
    }
    return WidgetPeer::eventFilter(watched, event);
  }

  void rowMoved(int from, int to) override {
    view().model().rowsChanged(std::min(from, to), std::max(from, to));
  }

  void colMoved(int, int) override {
    Pushing guard(*this);
    view().model().allChanged();
    view().applyLayout();
  }

 protected:
  bool wantsTab() const override { return grid_.hasOption(TStringGrid::goTabs); }

 private:
  GridView& view() const { return *static_cast<GridView*>(widget()); }
  TStringGrid& grid_;
};

}  // namespace

std::unique_ptr<GridPeer> makeGridPeer(QtBackend& backend, TStringGrid& grid) {
  return std::make_unique<GridPeerImpl>(backend, grid);
}

}  // namespace ui::qt
