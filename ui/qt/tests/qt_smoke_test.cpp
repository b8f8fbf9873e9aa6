// A form on the Qt backend: shown, resized, closed and rendered; the same form object on both
// backends; the platform loop running inside Qt's loop, also under a modal form.

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cstdlib>
#include <thread>

#include "platform/loop.h"
#include "ui/headless.h"
#include "ui/qt/render.h"
#include "ui/qt/tests/qt_fixture.h"

namespace ui::qt::testing {
namespace {

// Copies the edit's text and the check box's state into the label when OK is clicked.
class EchoForm : public TForm {
 public:
  EchoForm() {
    setName("EchoForm");
    setCaption("Echo");
    setBorderStyle(bsSizeable);
    setClientSize(240, 110);
    Edit.setBounds(8, 8, 150, 21);
    Check.setBounds(8, 36, 120, 17);
    Check.setCaption("Upper case");
    Result.setBounds(8, 64, 150, 13);
    OkBtn.setBounds(160, 80, 75, 25);
    OkBtn.setCaption("OK");
    OkBtn.OnClick = [this] { OkBtnClick(); };
    OnResize = [this] { ++resizes; };
  }

  void OkBtnClick() {
    std::string text = Edit.Text();
    if (Check.Checked()) {
      for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      }
    }
    Result.setCaption(text);
  }

  TEdit Edit{this};
  TCheckBox Check{this};
  TLabel Result{this};
  TButton OkBtn{this};
  int resizes = 0;
};

using QtSmokeTest = QtBackendTest;

TEST_F(QtSmokeTest, ShowsResizesClosesAndRendersAForm) {
  EchoForm form;
  form.show();
  spin();
  QWidget* window = widgetOf(form);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Echo"));
  EXPECT_EQ(window->size(), QSize(240, 110));
  EXPECT_EQ(widgetOf(form.OkBtn)->geometry(), QRect(160, 80, 75, 25));

  // Code resizes the form; then the user drags the frame.
  form.setClientSize(300, 150);
  spin();
  EXPECT_EQ(window->size(), QSize(300, 150));
  window->resize(320, 170);
  spin();
  EXPECT_EQ(form.ClientWidth(), 320);
  EXPECT_EQ(form.ClientHeight(), 170);
  EXPECT_EQ(form.resizes, 2);

  const QString path = QDir::temp().filePath(QStringLiteral("vantor-qt-smoke.png"));
  ASSERT_TRUE(saveFormPng(form, path.toStdString()).ok());
  const QImage image(path);
  EXPECT_EQ(image.size(), QSize(320, 170));
  // The button's face is drawn where the control is: not the window's background colour.
  EXPECT_NE(image.pixel(10, 10), image.pixel(300, 10));
  QFile::remove(path);

  bool closing = false;
  form.OnClose = [&closing](TCloseAction&) { closing = true; };
  window->close();  // the close box
  spin();
  EXPECT_TRUE(closing);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(window->isVisible());
}

TEST_F(QtSmokeTest, RendersAFormThatWasNeverShown) {
  EchoForm form;
  const QImage image = renderForm(form);
  EXPECT_EQ(image.size(), QSize(240, 110));
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(saveFormPng(form, "/nonexistent-folder/form.png").ok());
}

TEST_F(QtSmokeTest, AControlWhoseFormHasNoWindowYetDoesNotPopUpAlone) {
  TForm lone;
  TButton button(&lone);
  button.attachPeer(backend());
  spin();
  ASSERT_NE(widgetOf(button), nullptr);
  EXPECT_FALSE(widgetOf(button)->isVisible());
}

TEST_F(QtSmokeTest, TheSameFormObjectRunsOnBothBackends) {
  EchoForm form;

  // Headless: the test acts as the user through the controls.
  auto& headless = static_cast<HeadlessBackend&>(setBackend(std::make_unique<HeadlessBackend>()));
  form.show();
  EXPECT_TRUE(form.Edit.userSetText("abc"));
  EXPECT_TRUE(form.Check.userClick());
  EXPECT_TRUE(form.OkBtn.userClick());
  EXPECT_EQ(form.Result.Caption(), "ABC");
  form.hide();
  EXPECT_TRUE(headless.unmet().empty());

  // Qt: the same object, now driven through its widgets.
  setBackend(std::make_unique<QtBackend>());
  form.Check.setChecked(false);
  form.Edit.setText("");
  form.show();
  spin();
  auto* edit = widgetAs<QLineEdit>(form.Edit);
  ASSERT_NE(edit, nullptr);
  QTest::keyClicks(edit, "xyz");
  QTest::mouseClick(widgetAs<QCheckBox>(form.Check), Qt::LeftButton);
  QTest::mouseClick(widgetAs<QPushButton>(form.OkBtn), Qt::LeftButton);
  EXPECT_EQ(form.Edit.Text(), "xyz");
  EXPECT_TRUE(form.Check.Checked());
  EXPECT_EQ(form.Result.Caption(), "XYZ");
  EXPECT_EQ(widgetAs<QLabel>(form.Result)->text(), QStringLiteral("XYZ"));
  form.hide();
}

TEST_F(QtSmokeTest, PlatformTimersAndPostsRunInsideQtsLoop) {
  platform::Loop& loop = platform::Loop::current();
  int posted = 0;
  const platform::WindowHandle hwnd = loop.createWindow(
      [&posted](const platform::Message& m) { posted += static_cast<int>(m.wparam); });
  int ticks = 0;
  TTimer timer;
  timer.setInterval(10);
  timer.OnTimer = [&ticks] { ++ticks; };

  std::thread poster([hwnd] { platform::Loop::post(hwnd, 1024, 5, 0); });
  poster.join();
  EXPECT_TRUE(spinUntil([&] { return ticks >= 3 && posted == 5; }));
  timer.setEnabled(false);
  loop.destroyWindow(hwnd);
}

TEST_F(QtSmokeTest, AModalFormEndsThroughItsWidgetAndKeepsTheLoopRunning) {
  EchoForm form;
  form.OkBtn.setModalResult(mrOk);
  int ticks = 0;
  TTimer timer;
  timer.setInterval(5);
  timer.OnTimer = [&ticks] { ++ticks; };
  bool wasModal = false;
  // The click comes once the nested loop has run the timer a few times.
  std::function<void()> clickWhenTicked;
  clickWhenTicked = [&] {
    if (ticks < 3) {
      QTimer::singleShot(5, clickWhenTicked);
      return;
    }
    QWidget* window = widgetOf(form);
    wasModal = window->windowModality() == Qt::ApplicationModal;
    QTest::mouseClick(widgetAs<QPushButton>(form.OkBtn), Qt::LeftButton);
  };
  QTimer::singleShot(0, clickWhenTicked);
  EXPECT_EQ(form.showModal(), mrOk);
  EXPECT_TRUE(wasModal);
  EXPECT_GE(ticks, 3);
  EXPECT_FALSE(widgetOf(form)->isVisible());
  timer.setEnabled(false);
}

TEST_F(QtSmokeTest, TheApplicationRunsUntilItsMainFormIsClosed) {
  EchoForm form;
  Application().CreateForm(form);
  QTimer::singleShot(0, [&] { widgetOf(form)->close(); });  // the close box
  EXPECT_EQ(Application().run(), 0);
  EXPECT_FALSE(form.Visible());
}

TEST_F(QtSmokeTest, TheHourglassIsSetOnceAndTakenAwayOnce) {
  Application().setCursor(crHourGlass);
  Application().setCursor(crHourGlass);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  Application().setCursor(crDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtSmokeTest, EscapeAndEnterPressTheCancelAndDefaultButtons) {
  EchoForm form;
  TButton cancel(&form);
  cancel.setCancel(true);
  cancel.setModalResult(mrCancel);
  form.OkBtn.setDefault(true);
  form.OkBtn.setModalResult(mrOk);
  QTimer::singleShot(0, [&] { QTest::keyClick(widgetOf(form.Edit), Qt::Key_Escape); });
  EXPECT_EQ(form.showModal(), mrCancel);
  QTimer::singleShot(0, [&] {
    widgetOf(form.Edit)->setFocus();
    QTest::keyClick(widgetOf(form.Edit), Qt::Key_Return);
  });
  EXPECT_EQ(form.showModal(), mrOk);
}

}  // namespace
}  // namespace ui::qt::testing
