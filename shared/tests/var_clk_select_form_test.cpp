#include "shared/var_clk_select_form.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/loop.h"
#include "ui/application.h"
#include "ui/headless.h"

namespace shared {
namespace {

class VarClkSelectFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless = &dynamic_cast<ui::HeadlessBackend&>(
        ui::setBackend(std::make_unique<ui::HeadlessBackend>()));
  }
  void TearDown() override {
    EXPECT_TRUE(headless->unmet().empty());
    EXPECT_EQ(ui::Application().visibleFormCount(), 0);
    EXPECT_EQ(platform::Loop::current().timerCount(), 0u);
    form.reset();
    ui::setBackend(nullptr);
    ui::Application().reset();
    EXPECT_EQ(platform::Loop::current().windowCount(), 0u);
  }

  // Opens the dialog as the programs do, with `user` acting on it while it is shown.
  ui::TModalResult open(std::function<void(TVarClkSelectForm&)> user) {
    headless->expectModal<TVarClkSelectForm>([user](TVarClkSelectForm& dialog) {
      user(dialog);
      return ui::mrNone;  // whatever the dialog's buttons decided
    });
    return form->showModal();
  }

  int varClockControl = 0;
  std::unique_ptr<TVarClkSelectForm> form = std::make_unique<TVarClkSelectForm>(varClockControl);
  ui::HeadlessBackend* headless = nullptr;
};

TEST_F(VarClkSelectFormTest, FirstOpeningShowsTheSlowestRate) {
  open([](TVarClkSelectForm& dialog) {
    EXPECT_EQ(dialog.VarClockRateEdit.Text(), "451");
    EXPECT_EQ(dialog.ReloadCount.Caption(), "0");
    EXPECT_EQ(dialog.TrackBar1.Position(), 0);
    EXPECT_TRUE(dialog.TrackBar1.Focused());
    dialog.CancelBtn.userClick();
  });
}

TEST_F(VarClkSelectFormTest, RightEndAndOkStores254) {
  const ui::TModalResult result = open([](TVarClkSelectForm& dialog) {
    dialog.TrackBar1.userSetPosition(dialog.TrackBar1.Max());
    EXPECT_EQ(dialog.VarClockRateEdit.Text(), "57787");
    EXPECT_EQ(dialog.ReloadCount.Caption(), "254");
    dialog.VisibleOKBtn.userClick();
  });
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_EQ(varClockControl, 254);
}

TEST_F(VarClkSelectFormTest, CancelKeepsTheValueAndTheNextOpeningShowsIt) {
  varClockControl = 128;
  const ui::TModalResult result = open([](TVarClkSelectForm& dialog) {
    EXPECT_EQ(dialog.VarClockRateEdit.Text(), "902");
    EXPECT_EQ(dialog.ReloadCount.Caption(), "128");
    dialog.TrackBar1.userSetPosition(253);
    EXPECT_EQ(dialog.VarClockRateEdit.Text(), "38525");
    dialog.CancelBtn.userClick();
  });
  EXPECT_EQ(result, ui::mrCancel);
  EXPECT_EQ(varClockControl, 128);
  open([](TVarClkSelectForm& dialog) {
    EXPECT_EQ(dialog.TrackBar1.Position(), 128);
    EXPECT_EQ(dialog.VarClockRateEdit.Text(), "902");
    dialog.CancelBtn.userClick();
  });
}

TEST_F(VarClkSelectFormTest, EnterAcceptsAndEscapeCancels) {
  open([](TVarClkSelectForm& dialog) {
    dialog.TrackBar1.userSetPosition(10);
    dialog.userKeyDown(ui::VK_RETURN);
  });
  EXPECT_EQ(varClockControl, 10);
  const ui::TModalResult result = open([](TVarClkSelectForm& dialog) {
    dialog.TrackBar1.userSetPosition(200);
    dialog.userKeyDown(ui::VK_ESCAPE);
  });
  EXPECT_EQ(result, ui::mrCancel);
  EXPECT_EQ(varClockControl, 10);
}

// The rate box shows the slider's rate and the parameter is computed back from that rate; the
// two must agree at every position.
TEST_F(VarClkSelectFormTest, BothDisplaysAgreeAtEveryPosition) {
  open([](TVarClkSelectForm& dialog) {
    for (int position = 254; position >= 0; --position) {
      dialog.TrackBar1.userSetPosition(position);
      ASSERT_EQ(dialog.ReloadCount.Caption(), std::to_string(position));
    }
    dialog.CancelBtn.userClick();
  });
}

TEST_F(VarClkSelectFormTest, ClosingTheWindowCancels) {
  const ui::TModalResult result = open([](TVarClkSelectForm& dialog) {
    dialog.TrackBar1.userSetPosition(77);
    dialog.close();
  });
  EXPECT_EQ(result, ui::mrCancel);
  EXPECT_EQ(varClockControl, 0);
}

}  // namespace
}  // namespace shared
