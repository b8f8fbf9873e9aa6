#pragma once
// One QApplication for the whole test program, the Qt backend installed for each test, and a
// tear-down that finds any window, timer or loop window a test left behind.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <functional>

#include "ui/qt/qt_backend.h"
#include "ui/ui.h"

namespace ui::qt::testing {

class QtBackendTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  QtBackend& backend() { return *backend_; }

  // Runs Qt's loop (and the platform loop inside it) until `done` or `timeoutMs` passes.
  static bool spinUntil(const std::function<bool()>& done, int timeoutMs = 2000);
  static void spin();

 private:
  QtBackend* backend_ = nullptr;
};

// The widget that shows a control, or nullptr.
QWidget* widgetOf(const TComponent& component);
template <class W>
W* widgetAs(const TComponent& component) {
  return qobject_cast<W*>(widgetOf(component));
}

}  // namespace ui::qt::testing
