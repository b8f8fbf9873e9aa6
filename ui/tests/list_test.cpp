// List boxes and their item lists: the port list and the serial-number list are filled sorted
// and must stay in step; the selection and the mouse-down handler are read by the programs.

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/form.h"
#include "ui_fixture.h"

namespace ui::test {
namespace {

using ListTest = UiTest;

TEST_F(ListTest, SortedListsPutBlankPaddedPortsFirstAndStayInStep) {
  TForm form;
  TListBox ComPortListBox{&form};
  TListBox SNListBox{&form};
  ComPortListBox.setSorted(true);
  SNListBox.setSorted(true);
  // Found in instance-name order, which is not port order.
  for (auto [port, instance] : {std::pair{"12", "A100"}, {" 5", "B200"}, {"33", "C300"}}) {
    ComPortListBox.Items().add(port);
    SNListBox.Items().add(std::string(port) + "=" + instance);
  }

  EXPECT_EQ(ComPortListBox.Items().strings(), (std::vector<std::string>{" 5", "12", "33"}));
  EXPECT_EQ(SNListBox.Items().strings(),
            (std::vector<std::string>{" 5=B200", "12=A100", "33=C300"}));
}

TEST_F(ListTest, TurningSortingOnSortsWhatIsThereAndForbidsPlacedInserts) {
  TStrings items;
  items.add("b");
  items.add("a");
  items.setSorted(true);
  EXPECT_EQ(items.strings(), (std::vector<std::string>{"a", "b"}));
  EXPECT_THROW(items.insert(0, "c"), std::logic_error);
  EXPECT_THROW(items.erase(2), std::out_of_range);
  EXPECT_EQ(items[5], "");
}

TEST_F(ListTest, SelectionFollowsItsItemAndIsLostWithIt) {
  TForm form;
  TListBox list{&form};
  list.Items().add("1");
  list.Items().add("3");
  list.setItemIndex(1);

  list.Items().insert(0, "0");
  EXPECT_EQ(list.selectedText(), "3");
  list.Items().erase(0);
  EXPECT_EQ(list.selectedText(), "3");
  list.Items().erase(1);
  EXPECT_EQ(list.ItemIndex(), -1);
  list.setItemIndex(9);
  EXPECT_EQ(list.ItemIndex(), -1);
}

// The setup dialog's mouse-down handler reads the item the click selected.
TEST_F(ListTest, ClickSelectsBeforeMouseDownAndClickHandlersRun) {
  TForm form;
  TListBox ComportListBox{&form};
  for (const char* port : {"1", "3", "12"}) {
    ComportListBox.Items().add(port);
  }
  std::vector<std::string> seen;
  ComportListBox.OnMouseDown = [&](TMouseButton, TShiftState, int, int) {
    seen.push_back("down " + ComportListBox.selectedText());
  };
  ComportListBox.OnClick = [&] { seen.push_back("click " + ComportListBox.selectedText()); };

  ComportListBox.setItemIndex(0);  // code: no handler
  form.show();
  EXPECT_TRUE(ComportListBox.userClickItem(2));
  EXPECT_TRUE(ComportListBox.userKeyDown(VK_UP));
  EXPECT_FALSE(ComportListBox.userClickItem(3));

  EXPECT_EQ(seen, (std::vector<std::string>{"down 12", "click 12", "click 3"}));
  form.hide();
}

TEST_F(ListTest, MemoTextSplitsOnEveryLineBreakKind) {
  TForm form;
  TMemo memo{&form};
  int changes = 0;
  memo.OnChange = [&] { ++changes; };
  memo.setText("one\r\ntwo\rthree\nfour");
  EXPECT_EQ(memo.Lines().strings(), (std::vector<std::string>{"one", "two", "three", "four"}));
  memo.Lines().add("five");
  EXPECT_EQ(memo.Lines().count(), 5);
  memo.clear();
  EXPECT_EQ(memo.Text(), "");
  EXPECT_EQ(changes, 3);
}

struct FilterCase {
  std::string name;
  std::string filter;
  std::vector<FileFilter> expected;
};

class FilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, ParsesDescriptionPatternPairs) {
  EXPECT_EQ(parseFilter(GetParam().filter), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterTest,
    ::testing::Values(
        FilterCase{"Single",
                   "I2C Message List Files (*.iml)|*.iml",
                   {{"I2C Message List Files (*.iml)", {"*.iml"}}}},
        FilterCase{"Two",
                   "Automation Batch Files (*.bat)|*.bat|Automation Shortcut Files (*.lnk)|*.lnk",
                   {{"Automation Batch Files (*.bat)", {"*.bat"}},
                    {"Automation Shortcut Files (*.lnk)", {"*.lnk"}}}},
        FilterCase{"SeveralPatterns", "Lists|*.iml;*.txt", {{"Lists", {"*.iml", "*.txt"}}}},
        FilterCase{"MissingPattern", "Everything", {{"Everything", {"*"}}}},
        FilterCase{"Empty", "", {}}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace ui::test
