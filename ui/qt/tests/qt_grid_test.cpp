// The string grid as a table view: its cells come from the grid, clicks, double-clicks, keys,
// row drags and in-place edits go through the grid's input methods, and a 65,536-row list
// stays fast.

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "ui/qt/tests/qt_fixture.h"

namespace ui::qt::testing {
namespace {

class GridForm : public TForm {
 public:
  GridForm() {
    setClientSize(420, 260);
    Grid.setBounds(8, 8, 400, 240);
    Grid.setColCount(6);
    Grid.setFixedRows(0);
    Grid.setFixedCols(1);
    Grid.setRowCount(50);
    Grid.setDefaultRowHeight(18);
    for (int row = 0; row < Grid.RowCount(); ++row) {
      Grid.setCell(0, row, std::to_string(row + 1));
    }
    Grid.setOptions(Grid.Options() | TStringGrid::goRowMoving);
  }
  TStringGrid Grid{this};
};

class QtGridTest : public QtBackendTest {
 protected:
  void SetUp() override {
    QtBackendTest::SetUp();
    form_ = std::make_unique<GridForm>();
    form_->show();
    spin();
    view_ = widgetAs<QTableView>(grid());
    ASSERT_NE(view_, nullptr);
  }
  void TearDown() override {
    form_.reset();
    QtBackendTest::TearDown();
  }
  TStringGrid& grid() { return form_->Grid; }
  QTableView& view() { return *view_; }
  QString shown(int col, int row) {
    return view().model()->data(view().model()->index(row, col)).toString();
  }
  QPoint cellCentre(int col, int row) {
    return view().visualRect(view().model()->index(row, col)).center();
  }

 private:
  std::unique_ptr<GridForm> form_;
  QTableView* view_ = nullptr;
};

TEST_F(QtGridTest, TheViewReadsTheGridsCellsAndFollowsChanges) {
  EXPECT_EQ(view().model()->rowCount(), 50);
  EXPECT_EQ(view().model()->columnCount(), 6);
  EXPECT_EQ(shown(0, 49), QStringLiteral("50"));
  grid().setCell(1, 3, "A0");
  EXPECT_EQ(shown(1, 3), QStringLiteral("A0"));
  grid().setRowCount(51);
  grid().setCell(0, 50, "51");
  EXPECT_EQ(view().model()->rowCount(), 51);
  EXPECT_EQ(shown(0, 50), QStringLiteral("51"));
  grid().setRowCount(10);
  EXPECT_EQ(view().model()->rowCount(), 10);
  grid().setColWidth(3, 123);
  EXPECT_EQ(view().columnWidth(3), 123);
  EXPECT_EQ(view().rowHeight(5), 18);
}

TEST_F(QtGridTest, AClickSelectsTheCellUnlessTheGridDragsAutomatically) {
  int clicks = 0;
  grid().OnClick = [&clicks] { ++clicks; };
  QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, cellCentre(2, 4));
  EXPECT_EQ(grid().Row(), 4);
  EXPECT_EQ(grid().Col(), 2);
  EXPECT_EQ(view().currentIndex().row(), 4);
  EXPECT_EQ(clicks, 1);

  // While a list is being sent the row under work stays selected.
  grid().setDragMode(TStringGrid::dmAutomatic);
  QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, cellCentre(2, 7));
  EXPECT_EQ(grid().Row(), 4);
  EXPECT_EQ(view().currentIndex().row(), 4);
}

TEST_F(QtGridTest, DoubleClickAndTheInsertAndDeleteKeysReachTheHandlers) {
  std::vector<std::string> events;
  grid().OnDblClick = [&] { events.push_back("dbl " + std::to_string(grid().Row())); };
  grid().OnKeyDown = [&](Word& key, TShiftState) {
    events.push_back("key " + std::to_string(key));
  };
  QTest::mouseDClick(view().viewport(), Qt::LeftButton, {}, cellCentre(3, 2));
  view().setFocus();
  QTest::keyClick(&view(), Qt::Key_Insert);
  QTest::keyClick(&view(), Qt::Key_Delete);
  QTest::keyClick(&view(), Qt::Key_Down);
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events[0], "dbl 2");  // once, not once for Qt and once for the grid
  EXPECT_EQ(std::count(events.begin(), events.end(), "dbl 2"), 1);
  EXPECT_EQ(events[1], "key 45");
  EXPECT_EQ(events[2], "key 46");
  EXPECT_EQ(events[3], "key 40");
  EXPECT_EQ(grid().Row(), 3);  // the grid's own reaction to Down, shown by the view
  EXPECT_EQ(view().currentIndex().row(), 3);
}

TEST_F(QtGridTest, DraggingARowByItsNumberCellMovesTheWholeRow) {
  grid().setCell(1, 1, "A0");
  std::pair<int, int> moved{-1, -1};
  grid().OnRowMoved = [&moved](int from, int to) { moved = {from, to}; };
  QTest::mousePress(view().viewport(), Qt::LeftButton, {}, cellCentre(0, 1));
  QTest::mouseRelease(view().viewport(), Qt::LeftButton, {}, cellCentre(0, 4));
  EXPECT_EQ(moved, std::make_pair(1, 4));
  EXPECT_EQ(grid().Cells(1, 4), "A0");
  EXPECT_EQ(grid().Cells(0, 4), "2");  // numbers travel with their rows
  EXPECT_EQ(shown(1, 4), QStringLiteral("A0"));
  EXPECT_EQ(shown(1, 1), QString());
}

TEST_F(QtGridTest, InPlaceEditingCommitsTheTextAndTabMovesToTheNextCell) {
  grid().setOptions(grid().Options() | TStringGrid::goEditing | TStringGrid::goTabs);
  std::vector<std::string> edits;
  grid().OnSetEditText = [&edits](int col, int row, const std::string& text) {
    edits.push_back(std::to_string(col) + "," + std::to_string(row) + "=" + text);
  };
  QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, cellCentre(1, 0));
  view().setFocus();
  QTest::keyClick(&view(), Qt::Key_F2);
  ASSERT_TRUE(grid().EditorMode());
  auto* editor = qobject_cast<QLineEdit*>(view().indexWidget(view().currentIndex()));
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "A0");
  QTest::keyClick(editor, Qt::Key_Tab);
  spin();
  EXPECT_EQ(grid().Cells(1, 0), "A0");
  EXPECT_EQ(grid().Col(), 2);
  EXPECT_TRUE(grid().EditorMode());
  ASSERT_FALSE(edits.empty());
  EXPECT_EQ(edits.back(), "1,0=A0");

  // The editor is open on the next cell: type, and Enter closes it.
  auto* next = qobject_cast<QLineEdit*>(view().indexWidget(view().currentIndex()));
  ASSERT_NE(next, nullptr);
  QTest::keyClicks(next, "W");
  QTest::keyClick(next, Qt::Key_Return);
  spin();
  EXPECT_EQ(grid().Cells(2, 0), "W");
  EXPECT_FALSE(grid().EditorMode());
  EXPECT_EQ(view().indexWidget(view().currentIndex()), nullptr);  // the editor is gone
}

TEST_F(QtGridTest, SixtyFiveThousandRowsAreCreatedAndShownWellUnderASecond) {
  QElapsedTimer clock;
  clock.start();
  GridForm big;
  big.Grid.setRowCount(65536);
  for (int row = 0; row < big.Grid.RowCount(); ++row) {
    big.Grid.setCell(0, row, std::to_string(row + 1));
    big.Grid.setCell(1, row, "A0");
  }
  big.show();
  spin();
  big.Grid.setRow(65535);
  spin();
  const qint64 elapsed = clock.elapsed();
  auto* bigView = widgetAs<QTableView>(big.Grid);
  EXPECT_EQ(bigView->model()->rowCount(), 65536);
  EXPECT_EQ(bigView->currentIndex().row(), 65535);
  EXPECT_EQ(bigView->rowAt(bigView->viewport()->height() - 2) >= 65500, true);
  EXPECT_LT(elapsed, 1000) << "creating and showing 65,536 rows took " << elapsed << " ms";
  big.hide();
}

}  // namespace
}  // namespace ui::qt::testing
