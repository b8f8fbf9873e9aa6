// Menus: a menu's own click handler runs every time it is opened, which is how the Logs menu
// enables its items just in time.

#include "ui/menu.h"
#include "ui/form.h"
#include "ui_fixture.h"

namespace ui::test {
namespace {

class MenuForm : public TForm {
 public:
  MenuForm() {
    MenuLogs.OnClick = [this] {
      ++opened;
      MenuLogsCreateLogFile.setEnabled(linkClosed);
    };
    MenuLogsCreateLogFile.OnClick = [this] {
      MenuLogsCreateLogFile.setChecked(!MenuLogsCreateLogFile.Checked());
    };
  }
  TMainMenu MainMenu1{this};
  TMenuItem MenuLogs{&MainMenu1, "Logs"};
  TMenuItem MenuLogsCreateLogFile{&MenuLogs, "Create Log File"};
  TMenuItem MenuHelp{&MainMenu1, "Help"};
  TMenuItem N1{&MenuHelp, "-"};
  int opened = 0;
  bool linkClosed = true;
};

using MenuTest = UiTest;

TEST_F(MenuTest, OpenHandlerRunsEachTimeTheMenuOpens) {
  MenuForm form;
  form.show();

  EXPECT_TRUE(form.MenuLogs.userClick());
  EXPECT_TRUE(form.MenuLogsCreateLogFile.userClick());
  form.linkClosed = false;
  EXPECT_TRUE(form.MenuLogs.userClick());
  EXPECT_FALSE(form.MenuLogsCreateLogFile.userClick()) << "disabled by the open handler";

  EXPECT_EQ(form.opened, 2);
  EXPECT_TRUE(form.MenuLogsCreateLogFile.Checked());
  form.hide();
}

TEST_F(MenuTest, HiddenOrDisabledParentsAndSeparatorsCannotBeChosen) {
  MenuForm form;
  EXPECT_FALSE(form.MenuLogs.userClick()) << "form not shown";
  form.show();
  form.MenuLogs.setVisible(false);
  EXPECT_FALSE(form.MenuLogsCreateLogFile.userClick());
  EXPECT_FALSE(form.N1.userClick());
  form.MenuLogsCreateLogFile.click();  // code may still run it
  EXPECT_TRUE(form.MenuLogsCreateLogFile.Checked());
  EXPECT_EQ(form.Menu(), &form.MainMenu1);
  form.hide();
}

}  // namespace
}  // namespace ui::test
