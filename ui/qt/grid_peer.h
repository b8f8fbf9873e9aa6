#pragma once
// The string grid as a QTableView over a model that reads the grid's own cells, so a grid of
// 65,536 rows costs the view only the rows on screen. Fixed rows and columns are drawn as
// header cells inside the table, where the classic grid has them.

#include <QAbstractTableModel>
#include <QTableView>
#include <optional>

#include "ui/grid.h"

namespace ui::qt {

class GridModel : public QAbstractTableModel {
 public:
  explicit GridModel(TStringGrid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  bool isFixed(int col, int row) const;
  // The grid's size changed: rows and columns come and go in the view to match.
  void followSize();
  void cellChanged(int col, int row);
  void rowsChanged(int first, int last);
  void allChanged();

 private:
  TStringGrid& grid_;
  int rows_ = 0;
  int cols_ = 0;
};

class GridView : public QTableView {
 public:
  GridView(QWidget* parent, TStringGrid& grid);

  GridModel& model() const { return *model_; }
  void applyLayout();
  void applyCurrentCell();
  bool editing() const { return state() == QAbstractItemView::EditingState; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  QModelIndex cellAt(const QPoint& at) const;
  void openEditor();
  void closeOpenEditor();

  TStringGrid& grid_;
  GridModel* model_;
  std::optional<int> dragFrom_;  // the row being dragged by its fixed cell
  bool closingFromControl_ = false;
};

}  // namespace ui::qt
