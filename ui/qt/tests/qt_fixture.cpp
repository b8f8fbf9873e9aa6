#include "ui/qt/tests/qt_fixture.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <memory>

#include "platform/loop.h"
#include "ui/qt/widget_peer.h"

namespace ui::qt::testing {

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "vtui_qt_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Widgets Qt keeps for itself between uses (the tooltip) are not windows a test left open.
bool isTestWindow(const QWidget* widget) {
  return !widget->inherits("QTipLabel") && !widget->windowFlags().testFlag(Qt::ToolTip);
}

}  // namespace

void QtBackendTest::SetUp() {
  backend_ = &static_cast<QtBackend&>(setBackend(std::make_unique<QtBackend>()));
}

void QtBackendTest::TearDown() {
  spin();
  int windows = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (isTestWindow(widget)) {
      ++windows;
      ADD_FAILURE() << "window left behind: " << widget->metaObject()->className() << " "
                    << widget->objectName().toStdString();
    }
  }
  EXPECT_EQ(windows, 0);
  EXPECT_EQ(Application().visibleFormCount(), 0);
  setBackend(nullptr);
  Application().reset();
  EXPECT_EQ(platform::Loop::current().timerCount(), 0u);
  EXPECT_EQ(platform::Loop::current().windowCount(), 0u);
}

bool QtBackendTest::spinUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeoutMs) {
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return done();
}

void QtBackendTest::spin() {
  QApplication::sendPostedEvents();
  QApplication::processEvents();
}

QWidget* widgetOf(const TComponent& component) {
  WidgetPeer* peer = widgetPeerOf(&component);
  return peer != nullptr ? peer->widget() : nullptr;
}

}  // namespace ui::qt::testing
