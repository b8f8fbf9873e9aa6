// User input on the widgets reaches the controls through their input methods, so the controls
// raise their events; code changes on the controls show on the widgets.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTest>

#include "ui/qt/tests/qt_fixture.h"

namespace ui::qt::testing {
namespace {

// Check boxes and radio buttons take clicks on their mark and text only.
QPoint indicator(const QWidget& widget) {
  return QPoint(6, widget.height() / 2);
}

class PanelForm : public TForm {
 public:
  PanelForm() {
    setClientSize(400, 300);
    Group.setBounds(200, 8, 190, 120);
    Group.setCaption("Device");
    RadioA.setBounds(8, 20, 100, 17);
    RadioA.setCaption("NX");
    RadioB.setBounds(8, 44, 100, 17);
    RadioB.setCaption("QX");
    RadioA.setChecked(true);
    List.setBounds(8, 8, 120, 100);
    List.setSorted(true);
    Slider.setBounds(8, 120, 180, 45);
    Slider.setRange(0, 254);
    Slider.setFrequency(20);
    Memo.setBounds(8, 170, 180, 60);
    Tabs.setBounds(8, 240, 200, 24);
    Send.setBounds(300, 260, 75, 25);
    Send.setCaption("&Send");
  }

  TGroupBox Group{this};
  TRadioButton RadioA{&Group};
  TRadioButton RadioB{&Group};
  TListBox List{this};
  TTrackBar Slider{this};
  TMemo Memo{this};
  TTabSet Tabs{this};
  TButton Send{this};
};

class QtControlsTest : public QtBackendTest {
 protected:
  void SetUp() override {
    QtBackendTest::SetUp();
    form_ = std::make_unique<PanelForm>();
    form_->show();
    spin();
  }
  void TearDown() override {
    form_.reset();
    QtBackendTest::TearDown();
  }
  PanelForm& form() { return *form_; }

 private:
  std::unique_ptr<PanelForm> form_;
};

TEST_F(QtControlsTest, ChildrenOfAGroupBoxSitInsideItAtTheirOwnCoordinates) {
  QWidget* radio = widgetOf(form().RadioB);
  EXPECT_EQ(radio->parentWidget(), widgetOf(form().Group));
  EXPECT_EQ(radio->geometry(), QRect(8, 44, 100, 17));
  EXPECT_EQ(widgetAs<QGroupBox>(form().Group)->title(), QStringLiteral("Device"));
}

TEST_F(QtControlsTest, AButtonClickRunsOnClickOnlyWhileTheButtonIsEnabled) {
  int clicks = 0;
  form().Send.OnClick = [&clicks] { ++clicks; };
  auto* button = widgetAs<QPushButton>(form().Send);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  form().Send.setEnabled(false);
  EXPECT_FALSE(button->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  // The space bar presses a focused button once, not once for Qt and once for the control.
  form().Send.setEnabled(true);
  button->setFocus();
  QTest::keyClick(button, Qt::Key_Space);
  EXPECT_EQ(clicks, 2);
}

TEST_F(QtControlsTest, ClickingARadioButtonUnchecksItsSiblingOnScreenToo) {
  int clicksB = 0;
  form().RadioB.OnClick = [&clicksB] { ++clicksB; };
  auto* a = widgetAs<QRadioButton>(form().RadioA);
  auto* b = widgetAs<QRadioButton>(form().RadioB);
  EXPECT_TRUE(a->isChecked());
  QTest::mouseClick(b, Qt::LeftButton, {}, indicator(*b));
  EXPECT_TRUE(form().RadioB.Checked());
  EXPECT_FALSE(form().RadioA.Checked());
  EXPECT_FALSE(a->isChecked());
  EXPECT_TRUE(b->isChecked());
  EXPECT_EQ(clicksB, 1);
  // A second click on the checked button changes nothing, on the control or the widget.
  QTest::mouseClick(b, Qt::LeftButton, {}, indicator(*b));
  EXPECT_TRUE(b->isChecked());
  EXPECT_EQ(clicksB, 1);
  // Code checks the other one: the widgets follow.
  form().RadioA.setChecked(true);
  EXPECT_TRUE(a->isChecked());
  EXPECT_FALSE(b->isChecked());
}

TEST_F(QtControlsTest, ACheckBoxWhoseHandlerRefusesTheChangeShowsTheRefusal) {
  TCheckBox box(&form());
  box.setBounds(200, 140, 120, 17);
  box.attachPeer(backend());
  box.OnClick = [&box] {
    if (box.Checked()) {
      box.setChecked(false);
    }
  };
  auto* widget = widgetAs<QCheckBox>(box);
  QTest::mouseClick(widget, Qt::LeftButton, {}, indicator(*widget));
  EXPECT_FALSE(box.Checked());
  EXPECT_FALSE(widget->isChecked());
}

TEST_F(QtControlsTest, ASortedListShowsItsOrderAndAClickSelectsThroughTheControl) {
  TListBox& list = form().List;
  list.Items().add("12");
  list.Items().add(" 5");
  list.Items().add("7");
  auto* widget = widgetAs<QListWidget>(list);
  ASSERT_EQ(widget->count(), 3);
  EXPECT_EQ(widget->item(0)->text(), QStringLiteral(" 5"));
  EXPECT_EQ(widget->item(1)->text(), QStringLiteral("12"));

  std::vector<std::string> events;
  list.OnMouseDown = [&](TMouseButton, TShiftState, int, int) {
    events.push_back("down " + list.selectedText());
  };
  list.OnClick = [&] { events.push_back("click " + list.selectedText()); };
  const QRect second = widget->visualItemRect(widget->item(1));
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"down 12", "click 12"}));
  EXPECT_EQ(widget->currentRow(), 1);

  // An item added in front moves the selection with its item.
  list.Items().add(" 1");
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_EQ(widget->currentRow(), 2);
}

TEST_F(QtControlsTest, TheSliderMovesTheTrackBarAndItsKeysAreTheControls) {
  TTrackBar& bar = form().Slider;
  int changes = 0;
  bar.OnChange = [&changes] { ++changes; };
  auto* slider = widgetAs<QSlider>(bar);
  EXPECT_EQ(slider->maximum(), 254);
  EXPECT_EQ(slider->tickInterval(), 20);
  EXPECT_EQ(slider->tickPosition(), QSlider::TicksBelow);
  slider->triggerAction(QAbstractSlider::SliderToMaximum);  // as a drag to the right end does
  EXPECT_EQ(bar.Position(), 254);
  EXPECT_EQ(changes, 1);
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Home);
  EXPECT_EQ(bar.Position(), 0);
  EXPECT_EQ(slider->value(), 0);
  EXPECT_EQ(changes, 2);
  bar.setPosition(100);
  EXPECT_EQ(slider->value(), 100);
}

TEST_F(QtControlsTest, TypingInAnEditRespectsReadOnlyAndMaxLength) {
  TEdit edit(&form());
  edit.setBounds(200, 140, 120, 21);
  edit.setMaxLength(3);
  edit.attachPeer(backend());
  int changes = 0;
  edit.OnChange = [&changes] { ++changes; };
  auto* line = widgetAs<QLineEdit>(edit);
  QTest::keyClicks(line, "A0B1");
  EXPECT_EQ(edit.Text(), "A0B");
  EXPECT_EQ(changes, 3);
  edit.setReadOnly(true);
  QTest::keyClicks(line, "Z");
  EXPECT_EQ(edit.Text(), "A0B");
  edit.setText("FF");
  EXPECT_EQ(line->text(), QStringLiteral("FF"));
}

TEST_F(QtControlsTest, AMemoFollowsItsLinesAndTypingChangesThem) {
  TMemo& memo = form().Memo;
  auto* text = widgetAs<QPlainTextEdit>(memo);
  memo.Lines().add("first");
  memo.Lines().add("second");
  EXPECT_EQ(text->toPlainText(), QStringLiteral("first\nsecond"));
  memo.Lines().erase(0);
  EXPECT_EQ(text->toPlainText(), QStringLiteral("second"));
  text->moveCursor(QTextCursor::End);
  QTest::keyClicks(text, "!");
  EXPECT_EQ(memo.Lines()[0], "second!");
  memo.clear();
  EXPECT_TRUE(text->toPlainText().isEmpty());
}

TEST_F(QtControlsTest, ATabClickSelectsTheTab) {
  TTabSet& tabs = form().Tabs;
  tabs.Tabs().add("Master");
  tabs.Tabs().add("Slave");
  tabs.setTabIndex(0);
  int clicks = 0;
  tabs.OnClick = [&clicks] { ++clicks; };
  auto* bar = widgetAs<QTabBar>(tabs);
  ASSERT_EQ(bar->count(), 2);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
  EXPECT_EQ(tabs.TabIndex(), 1);
  EXPECT_EQ(clicks, 1);
}

TEST_F(QtControlsTest, HintsAreTooltipsWhileTheApplicationShowsHints) {
  form().Send.setHint("Send the list|Sends every message");
  auto* button = widgetOf(form().Send);
  EXPECT_EQ(button->toolTip(), QStringLiteral("Send the list"));
  Application().setShowHint(false);
  EXPECT_TRUE(button->toolTip().isEmpty());
  Application().setShowHint(true);
  form().Send.setShowHint(false);
  EXPECT_TRUE(button->toolTip().isEmpty());
}

TEST_F(QtControlsTest, FocusFromAClickBecomesTheFormsActiveControl) {
  int exits = 0;
  form().Memo.OnExit = [&exits] { ++exits; };
  widgetOf(form().Memo)->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(form().ActiveControl(), &form().Memo);
  widgetOf(form().List)->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(form().ActiveControl(), &form().List);
  EXPECT_EQ(exits, 1);
  // And the other way: code moves the focus, the widget gets it.
  form().Memo.setFocus();
  EXPECT_TRUE(widgetOf(form().Memo)->hasFocus());
}

class MenuForm : public TForm {
 public:
  MenuForm() {
    setClientSize(300, 120);
    Options.OnClick = [this] { ++opened; };
    Auto.OnClick = [this] { Auto.setChecked(!Auto.Checked()); };
  }
  TMainMenu Menu{this};
  TMenuItem File{&Menu, "&File"};
  TMenuItem Exit{&File, "E&xit"};
  TMenuItem Options{&Menu, "&Options"};
  TMenuItem Auto{&Options, "&Auto Repeat"};
  TMenuItem Separator{&Options, "-"};
  TMenuItem Hidden{&Options, "Hidden"};
  int opened = 0;
};

TEST_F(QtControlsTest, AMenuRunsItsHandlerEachTimeItOpens) {
  MenuForm menuForm;
  menuForm.Hidden.setVisible(false);
  menuForm.show();
  spin();
  QWidget* window = widgetOf(menuForm);
  auto* bar = window->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), 2);
  EXPECT_EQ(bar->actions()[1]->text(), QStringLiteral("&Options"));
  QMenu* options = bar->actions()[1]->menu();
  ASSERT_NE(options, nullptr);
  ASSERT_EQ(options->actions().size(), 3);
  EXPECT_TRUE(options->actions()[1]->isSeparator());
  EXPECT_FALSE(options->actions()[2]->isVisible());
  // The client area starts below the menu bar and keeps the form's client size.
  auto* client = window->findChild<QWidget*>(QStringLiteral("client"));
  ASSERT_NE(client, nullptr);
  EXPECT_GT(bar->height(), 0);  // grown with its items, which came after it was placed
  EXPECT_EQ(client->geometry(), QRect(0, bar->height(), 300, 120));
  EXPECT_EQ(window->height(), bar->height() + 120);

  for (int i = 0; i < 2; ++i) {
    options->popup(window->mapToGlobal(QPoint(0, 0)));
    spin();
    options->hide();
  }
  EXPECT_EQ(menuForm.opened, 2);
  QAction* autoRepeat = options->actions()[0];
  autoRepeat->trigger();
  EXPECT_TRUE(menuForm.Auto.Checked());
  EXPECT_TRUE(autoRepeat->isChecked());
  autoRepeat->trigger();
  EXPECT_FALSE(menuForm.Auto.Checked());
  EXPECT_FALSE(autoRepeat->isChecked());
  // A disabled item is refused by the control even if Qt were to trigger it.
  menuForm.Auto.setEnabled(false);
  EXPECT_FALSE(autoRepeat->isEnabled());
  menuForm.hide();
}

}  // namespace
}  // namespace ui::qt::testing
