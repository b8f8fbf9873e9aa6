// The variable clock dialog on the Qt backend: what it shows on first opening and with the
// slider at its right end, rendered to PNG for review (VANTOR_RENDER_DIR, else the build's
// renders/ folder).

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "shared/var_clk_select_form.h"
#include "ui/qt/render.h"
#include "ui/qt/tests/qt_fixture.h"

namespace ui::qt::testing {
namespace {

QString renderDir() {
  const char* dir = std::getenv("VANTOR_RENDER_DIR");
  if (dir == nullptr || *dir == '\0') {
    const char* build = std::getenv("VANTOR_BINARY_DIR");
    return QDir(build != nullptr ? build : ".").filePath(QStringLiteral("renders"));
  }
  return QString::fromLocal8Bit(dir);
}

struct Shown {
  QString rate;
  QString control;
  QImage image;
};

Shown capture(shared::TVarClkSelectForm& form, const QString& file) {
  Shown shown{widgetAs<QLineEdit>(form.VarClockRateEdit)->text(),
              widgetAs<QLabel>(form.ReloadCount)->text(), renderForm(form)};
  QDir().mkpath(renderDir());
  EXPECT_TRUE(saveFormPng(form, QDir(renderDir()).filePath(file).toStdString(), Frame::TitleBar));
  return shown;
}

using VarClkRenderTest = QtBackendTest;

TEST_F(VarClkRenderTest, FirstOpeningAndTheSliderAtItsRightEnd) {
  int varClockControl = 0;
  shared::TVarClkSelectForm form(varClockControl);
  Shown first;
  Shown atMax;
  QTimer::singleShot(0, [&] {
    first = capture(form, QStringLiteral("varclk-first.png"));
    widgetAs<QSlider>(form.TrackBar1)->triggerAction(QAbstractSlider::SliderToMaximum);
    atMax = capture(form, QStringLiteral("varclk-max.png"));
    QTest::mouseClick(widgetAs<QPushButton>(form.VisibleOKBtn), Qt::LeftButton);
  });
  EXPECT_EQ(form.showModal(), mrOk);

  EXPECT_EQ(first.rate, QStringLiteral("451"));
  EXPECT_EQ(first.control, QStringLiteral("0"));
  EXPECT_EQ(atMax.rate, QStringLiteral("57787"));
  EXPECT_EQ(atMax.control, QStringLiteral("254"));
  EXPECT_EQ(varClockControl, 254);
  EXPECT_EQ(first.image.size(), QSize(form.ClientWidth(), form.ClientHeight()));
  // The invisible OK button stays invisible; the visible one is the default.
  EXPECT_FALSE(widgetOf(form.OKBtn)->isVisible());
  EXPECT_TRUE(widgetAs<QPushButton>(form.VisibleOKBtn)->isDefault());
}

TEST_F(VarClkRenderTest, CancelThroughItsButtonKeepsTheValue) {
  int varClockControl = 128;
  shared::TVarClkSelectForm form(varClockControl);
  QString shownRate;
  QTimer::singleShot(0, [&] {
    shownRate = widgetAs<QLineEdit>(form.VarClockRateEdit)->text();
    widgetAs<QSlider>(form.TrackBar1)->triggerAction(QAbstractSlider::SliderToMinimum);
    QTest::mouseClick(widgetAs<QPushButton>(form.CancelBtn), Qt::LeftButton);
  });
  EXPECT_EQ(form.showModal(), mrCancel);
  EXPECT_EQ(shownRate, QStringLiteral("902"));
  EXPECT_EQ(varClockControl, 128);
}

}  // namespace
}  // namespace ui::qt::testing
