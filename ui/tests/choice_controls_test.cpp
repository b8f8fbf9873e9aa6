// Check boxes, radio buttons and radio groups: the programs rely on code that checks a box
// running its click handler, and on radio buttons being the only record of the chosen model.

#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui_fixture.h"

namespace ui::test {
namespace {

class DeviceForm : public TForm {
 public:
  DeviceForm() {
    for (auto* b : {&VantorButton, &VantorQXButton, &DorritButton}) {
      b->OnClick = [this, b] { clicks.push_back(b->Caption()); };
    }
    VantorButton.setCaption("Vantor");
    VantorQXButton.setCaption("Vantor/QX");
    DorritButton.setCaption("Dorrit");
    Other.setCaption("Baud 19,200");
    Other.OnClick = [this] { clicks.push_back("other group"); };
  }
  TGroupBox GroupBox1{this};
  TRadioButton VantorButton{&GroupBox1};
  TRadioButton VantorQXButton{&GroupBox1};
  TRadioButton DorritButton{&GroupBox1};
  TRadioButton Other{this};  // a different parent: not a sibling
  std::vector<std::string> clicks;
};

using ChoiceTest = UiTest;

TEST_F(ChoiceTest, CheckingRadioInCodeUnchecksSiblingsAndRunsOnlyItsHandler) {
  DeviceForm form;
  form.Other.setChecked(true);
  form.VantorButton.setChecked(true);
  form.VantorQXButton.setChecked(true);

  EXPECT_FALSE(form.VantorButton.Checked());
  EXPECT_TRUE(form.VantorQXButton.Checked());
  EXPECT_FALSE(form.DorritButton.Checked());
  EXPECT_TRUE(form.Other.Checked()) << "a radio button in another group was unchecked";
  EXPECT_EQ(form.clicks, (std::vector<std::string>{"other group", "Vantor", "Vantor/QX"}));
}

TEST_F(ChoiceTest, CheckingTheCheckedRadioAgainRunsNothing) {
  DeviceForm form;
  form.show();
  form.DorritButton.setChecked(true);
  form.clicks.clear();

  form.DorritButton.setChecked(true);
  EXPECT_TRUE(form.DorritButton.userClick());
  form.DorritButton.setChecked(false);  // unchecking runs no handler either

  EXPECT_TRUE(form.clicks.empty());
  form.hide();
}

TEST_F(ChoiceTest, UserClickIsRefusedWhereAUserCouldNotClick) {
  DeviceForm form;
  EXPECT_FALSE(form.VantorButton.userClick()) << "form not shown";
  form.show();
  form.GroupBox1.setEnabled(false);
  EXPECT_FALSE(form.VantorButton.userClick()) << "group disabled";
  form.GroupBox1.setEnabled(true);
  form.VantorQXButton.hide();
  EXPECT_FALSE(form.VantorQXButton.userClick()) << "button hidden";

  EXPECT_TRUE(form.VantorButton.userClick());
  EXPECT_TRUE(form.VantorButton.Checked());
  EXPECT_EQ(form.clicks, std::vector<std::string>{"Vantor"});
  form.hide();
}

// BeepOnAlert and SendOnAlert refuse to stay checked for most models by unchecking themselves in
// their click handler: the handler runs again for the uncheck, and the box ends unchecked.
TEST_F(ChoiceTest, CheckBoxHandlerThatUnchecksItselfEndsUnchecked) {
  TForm form;
  TCheckBox BeepOnAlert{&form};
  std::vector<bool> seen;
  BeepOnAlert.OnClick = [&] {
    seen.push_back(BeepOnAlert.Checked());
    BeepOnAlert.setChecked(false);
  };

  BeepOnAlert.setChecked(true);

  EXPECT_FALSE(BeepOnAlert.Checked());
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_F(ChoiceTest, CheckBoxRunsHandlerOnEveryChangeFromCodeOrUser) {
  TForm form;
  TCheckBox StopOnNak{&form};
  int clicks = 0;
  StopOnNak.OnClick = [&] { ++clicks; };

  StopOnNak.setChecked(false);  // no change
  EXPECT_EQ(clicks, 0);
  StopOnNak.setChecked(true);
  EXPECT_EQ(clicks, 1);
  form.show();
  EXPECT_TRUE(StopOnNak.userClick());
  EXPECT_FALSE(StopOnNak.Checked());
  EXPECT_EQ(clicks, 2);
  form.hide();
}

TEST_F(ChoiceTest, RadioGroupRunsClickWhenItsIndexChanges) {
  TForm form;
  TRadioGroup DirectionRadioGroup{&form};
  DirectionRadioGroup.Items().add("Read");
  DirectionRadioGroup.Items().add("Write");
  std::vector<int> seen;
  DirectionRadioGroup.OnClick = [&] { seen.push_back(DirectionRadioGroup.ItemIndex()); };

  DirectionRadioGroup.setItemIndex(1);
  DirectionRadioGroup.setItemIndex(1);
  DirectionRadioGroup.setItemIndex(7);  // out of range: nothing checked, no click
  EXPECT_EQ(DirectionRadioGroup.ItemIndex(), -1);
  form.show();
  EXPECT_TRUE(DirectionRadioGroup.userSelect(0));
  EXPECT_FALSE(DirectionRadioGroup.userSelect(2));

  EXPECT_EQ(seen, (std::vector<int>{1, 0}));
  form.hide();
}

}  // namespace
}  // namespace ui::test
