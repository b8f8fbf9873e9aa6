// The string grid: the message list (rows of six cells, rows dragged by their number) and the
// editor's data grid (one fixed header row, cells edited in place, Tab to the next cell).

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/grid.h"
#include "ui_fixture.h"

namespace ui::test {
namespace {

class GridForm : public TForm {
 public:
  GridForm() {
    MsgStrGrid.setColCount(6);
    MsgStrGrid.setRowCount(50);
    MsgStrGrid.setFixedRows(0);
    MsgStrGrid.setFixedCols(1);
    MsgStrGrid.setOptions(MsgStrGrid.Options() | TStringGrid::goRowMoving);
    for (int r = 0; r < 50; ++r) {
      MsgStrGrid.setCell(0, r, std::to_string(r + 1));
    }
    DataGrid.setColCount(999);
    DataGrid.setRowCount(2);
    DataGrid.setFixedRows(1);
    DataGrid.setFixedCols(0);
    DataGrid.setOptions(DataGrid.Options() | TStringGrid::goEditing | TStringGrid::goTabs);
  }
  TStringGrid MsgStrGrid{this};
  TStringGrid DataGrid{this};
};

class GridTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    form.show();
  }
  void TearDown() override {
    form.hide();
    UiTest::TearDown();
  }
  GridForm form;
};

TEST_F(GridTest, CurrentCellStartsAtTheFirstCellOutsideTheFixedOnes) {
  EXPECT_EQ(form.MsgStrGrid.Row(), 0);
  EXPECT_EQ(form.MsgStrGrid.Col(), 1);
  EXPECT_EQ(form.DataGrid.Row(), 1);
  EXPECT_EQ(form.DataGrid.Col(), 0);
}

TEST_F(GridTest, DraggedRowTakesItsNumberCellAlongAndTheCurrentRowFollows) {
  TStringGrid& grid = form.MsgStrGrid;
  grid.setCell(1, 2, "A0");
  grid.setRow(2);
  std::vector<std::pair<int, int>> moves;
  grid.OnRowMoved = [&](int from, int to) { moves.emplace_back(from, to); };

  EXPECT_TRUE(grid.userMoveRow(2, 0));

  EXPECT_EQ(grid.Rows(0), (std::vector<std::string>{"3", "A0", "", "", "", ""}));
  EXPECT_EQ(grid.Cells(0, 1), "1");
  EXPECT_EQ(grid.Cells(0, 2), "2");
  EXPECT_EQ(grid.Row(), 0);
  EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{2, 0}}));
}

TEST_F(GridTest, WhileSendingClicksStartADragAndNeitherMoveNorSelect) {
  TStringGrid& grid = form.MsgStrGrid;
  grid.setRow(4);
  int clicks = 0;
  int doubleClicks = 0;
  grid.OnClick = [&] { ++clicks; };
  grid.OnDblClick = [&] { ++doubleClicks; };
  grid.setDragMode(TStringGrid::dmAutomatic);

  EXPECT_FALSE(grid.userSelectCell(2, 7));
  EXPECT_FALSE(grid.userMoveRow(4, 1));
  EXPECT_TRUE(grid.userDblClickCell(2, 7));
  EXPECT_EQ(grid.Row(), 4);
  EXPECT_EQ(grid.Cells(0, 4), "5");

  grid.setDragMode(TStringGrid::dmManual);
  EXPECT_TRUE(grid.userSelectCell(2, 7));
  EXPECT_EQ(grid.Row(), 7);
  EXPECT_FALSE(grid.userSelectCell(0, 3)) << "a fixed cell is never current";
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(doubleClicks, 1);
}

TEST_F(GridTest, InsertAndDeleteKeysReachTheHandlerWithTheirCodes) {
  TStringGrid& grid = form.MsgStrGrid;
  std::vector<Word> keys;
  grid.OnKeyDown = [&](Word& key, TShiftState) {
    keys.push_back(key);
    if (key == VK_INSERT || key == VK_DELETE) {
      key = 0;
    }
  };
  grid.setRow(3);
  grid.userKeyDown(45);
  grid.userKeyDown(46);
  grid.userKeyDown(VK_DOWN);  // left to the grid

  EXPECT_EQ(keys, (std::vector<Word>{45, 46, VK_DOWN}));
  EXPECT_EQ(grid.Row(), 4);
}

TEST_F(GridTest, TabMovesTheEditorAlongTheDataCellsAndStopsAtTheEnd) {
  TStringGrid& grid = form.DataGrid;
  grid.setCol(0);
  grid.setRow(1);
  for (const char* text : {"01", "ab"}) {
    EXPECT_TRUE(grid.userEditCell(text));
    grid.userKeyDown(VK_TAB);
  }
  EXPECT_EQ(grid.Cells(0, 1), "01");
  EXPECT_EQ(grid.Cells(1, 1), "ab");
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_TRUE(grid.EditorMode());
  grid.userKeyDown(VK_TAB, ssShift);
  EXPECT_EQ(grid.Col(), 1);

  grid.setCol(998);
  grid.userKeyDown(VK_TAB);
  EXPECT_EQ(grid.Col(), 998) << "no cell after the last one";
  grid.setRow(0);
  EXPECT_FALSE(grid.userEditCell("x")) << "a fixed cell is not edited";
}

TEST_F(GridTest, EditingNeedsTheEditingOption) {
  TStringGrid& grid = form.MsgStrGrid;
  grid.setCol(3);
  EXPECT_FALSE(grid.userEditCell("01,"));
  EXPECT_EQ(grid.Cells(3, grid.Row()), "");
  grid.userKeyDown(VK_TAB);
  EXPECT_EQ(grid.Col(), 3) << "Tab without goTabs is not the grid's";
}

TEST_F(GridTest, ResizingKeepsContentAndKeepsTheCurrentCellInside) {
  TStringGrid& grid = form.MsgStrGrid;
  grid.setCell(5, 49, "500");
  grid.setRow(49);
  grid.setRowCount(51);
  EXPECT_EQ(grid.Cells(5, 49), "500");
  EXPECT_EQ(grid.Cells(1, 50), "");
  grid.setRowCount(10);
  EXPECT_EQ(grid.Row(), 9);
  EXPECT_EQ(grid.Cells(5, 49), "") << "reading outside the grid";
  EXPECT_THROW(grid.setCell(6, 0, "x"), std::out_of_range);
  EXPECT_THROW(grid.MoveRow(0, 10), std::out_of_range);

  form.DataGrid.setCell(998, 1, "FF");
  form.DataGrid.setColCount(1000);
  form.DataGrid.setCell(999, 0, "1000");
  EXPECT_EQ(form.DataGrid.Rows(1).size(), 1000u);
  EXPECT_EQ(form.DataGrid.ColWidths(999), form.DataGrid.DefaultColWidth());
}

}  // namespace
}  // namespace ui::test
