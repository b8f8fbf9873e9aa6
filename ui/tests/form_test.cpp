// Forms: modal results, closing, sizes, focus, keys and the main form's run.

#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui_fixture.h"

namespace ui::test {
namespace {

// A dialog in the programs' manner: a visible OK that checks before ending the dialog through
// an invisible OK button, and a Cancel button.
class EditDialog : public TForm {
 public:
  EditDialog() {
    OKBtn.setModalResult(mrOk);
    OKBtn.hide();
    VisibleOKBtn.setDefault(true);
    VisibleOKBtn.OnClick = [this] {
      if (!Value.Text().empty()) {
        OKBtn.click();
      }
    };
    CancelBtn.setKind(TBitBtn::bkCancel);
    OnClose = [this](TCloseAction&) { ++closes; };
  }
  TEdit Value{this};
  TButton VisibleOKBtn{this};
  TButton OKBtn{this};
  TBitBtn CancelBtn{this};
  int closes = 0;
};

using FormTest = UiTest;

TEST_F(FormTest, ModalResultComesFromTheButtonThatEndedTheDialog) {
  EditDialog dialog;
  headless().expectModal<EditDialog>([](EditDialog& d) {
    EXPECT_TRUE(d.Visible());
    EXPECT_TRUE(d.Modal());
    d.VisibleOKBtn.userClick();  // refused: empty value keeps the dialog open
    EXPECT_EQ(d.ModalResult(), mrNone);
    d.Value.userSetText("12");
    d.VisibleOKBtn.userClick();
    return mrNone;
  });
  headless().expectModal<EditDialog>([](EditDialog& d) {
    d.CancelBtn.userClick();
    return mrNone;
  });

  EXPECT_EQ(dialog.showModal(), mrOk);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(dialog.showModal(), mrCancel);
  EXPECT_EQ(dialog.closes, 2);
}

TEST_F(FormTest, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
  EditDialog dialog;
  headless().expectModal<EditDialog>([](EditDialog& d) {
    d.Value.setFocus();
    d.Value.userSetText("1");
    d.userKeyDown(VK_RETURN);
    return mrNone;
  });
  headless().expectModal<EditDialog>([](EditDialog& d) {
    d.userKeyDown(VK_ESCAPE);
    return mrNone;
  });
  EXPECT_EQ(dialog.showModal(), mrOk);
  EXPECT_EQ(dialog.showModal(), mrCancel);
}

// A backend with nothing of its own: the modal loop is the platform loop, as under a GUI.
class LoopOnlyBackend : public Backend {
 public:
  std::string name() const override { return "loop"; }
};

TEST_F(FormTest, CloseHandlerCanKeepAModalFormOpenInTheRealLoop) {
  useBackend(std::make_unique<LoopOnlyBackend>());
  EditDialog dialog;
  int refusals = 1;
  dialog.OnClose = [&](TCloseAction& action) {
    if (refusals-- > 0) {
      action = caNone;
    }
  };
  std::vector<std::string> seen;
  // Each posted message is one user action, handled by the modal loop.
  platform::WindowHandle user =
      platform::Loop::current().createWindow([&](const platform::Message& m) {
        if (m.msg == 1) {
          dialog.userClose();
        } else {
          seen.push_back(dialog.Visible() && dialog.ModalResult() == mrNone ? "still open"
                                                                            : "closed");
          dialog.CancelBtn.userClick();
        }
      });
  platform::Loop::post(user, 1, 0, 0);
  platform::Loop::post(user, 2, 0, 0);

  EXPECT_EQ(dialog.showModal(), mrCancel);
  EXPECT_EQ(seen, std::vector<std::string>{"still open"});
  platform::Loop::current().destroyWindow(user);
}

// Nobody can answer a headless dialog that never agrees to close: it must not hang the run.
TEST_F(FormTest, HeadlessGivesUpOnAFormThatAlwaysRefusesToClose) {
  EditDialog dialog;
  dialog.OnClose = [](TCloseAction& action) { action = caNone; };
  EXPECT_EQ(dialog.showModal(), mrCancel);
  ASSERT_EQ(headless().unmet().size(), 1u);
  headless().clearRecords();
}

TEST_F(FormTest, WhileModalOnlyTheDialogAndWindowsOpenedFromItTakeInput) {
  TForm main;
  TButton mainButton{&main};
  EditDialog dialog;
  TForm quickStart;
  TButton quickStartOk{&quickStart};
  main.show();
  headless().expectModal<EditDialog>([&](EditDialog& d) {
    EXPECT_FALSE(mainButton.userClick());
    EXPECT_FALSE(main.userClose());
    quickStart.show();  // modeless, shown from the dialog
    EXPECT_TRUE(quickStartOk.userClick());
    quickStart.hide();
    return d.CancelBtn.userClick() ? mrNone : mrAbort;
  });
  EXPECT_EQ(dialog.showModal(), mrCancel);
  EXPECT_TRUE(mainButton.userClick());
  EXPECT_TRUE(main.Active());
  main.hide();
}

TEST_F(FormTest, SizeChangesKeepConstraintsAndRunResizeFromCodeToo) {
  TForm form;
  form.setClientSize(532, 457);
  EXPECT_EQ(form.Width(), 532 + TForm::kFrameWidth);
  EXPECT_EQ(form.ClientHeight(), 457);
  form.setConstraints({350, 338, 0, 0});
  std::vector<int> widths;
  // The rule of one program: narrower than 530 snaps back to 530, from inside the handler.
  form.OnResize = [&] {
    widths.push_back(form.Width());
    if (form.Width() < 530) {
      form.setWidth(530);
    }
  };

  form.setWidth(200);
  EXPECT_EQ(form.Width(), 530);
  EXPECT_EQ(widths, (std::vector<int>{350, 530}));
  form.setLeft(10);  // a move is no resize
  EXPECT_EQ(widths.size(), 2u);
  EXPECT_FALSE(form.userResize(900, 600)) << "not shown";
  form.show();
  EXPECT_TRUE(form.userResize(900, 100));
  EXPECT_EQ(form.Height(), 338);
  form.setBorderStyle(bsDialog);
  EXPECT_FALSE(form.userResize(700, 600));
  form.hide();
}

TEST_F(FormTest, FocusMovesRunExitThenEnterAndSkipsControlsThatCannotTakeIt) {
  TForm form;
  TEdit SlaveDataEdit{&form};
  TButton OpenButton{&form};
  TLabel title{&form};
  std::vector<std::string> seen;
  SlaveDataEdit.OnExit = [&] { seen.push_back("edit exit"); };
  OpenButton.OnEnter = [&] { seen.push_back("button enter"); };

  EXPECT_TRUE(SlaveDataEdit.setFocus());
  EXPECT_TRUE(OpenButton.setFocus());
  EXPECT_FALSE(title.setFocus());
  SlaveDataEdit.setEnabled(false);
  EXPECT_FALSE(SlaveDataEdit.setFocus());

  EXPECT_TRUE(OpenButton.Focused());
  EXPECT_EQ(seen, (std::vector<std::string>{"edit exit", "button enter"}));
}

TEST_F(FormTest, TabWalksTheTabStopsInOrderAndLeavingAnEditRunsItsExit) {
  TForm form;
  TEdit SendData{&form};
  TGroupBox DeviceSelect{&form};
  TRadioButton VantorButton{&DeviceSelect};
  TRadioButton DorritButton{&DeviceSelect};
  TButton MasterTxButton{&form};
  TLabel Label2{&form};
  TEdit SlaveDataEdit{&form};
  SlaveDataEdit.setTabOrder(-1);  // first
  MasterTxButton.setEnabled(false);
  DorritButton.setChecked(true);
  int exits = 0;
  SendData.OnExit = [&] { ++exits; };
  form.show();

  EXPECT_EQ(form.tabOrderList(),
            (std::vector<TControl*>{&SlaveDataEdit, &SendData, &DorritButton}));
  SendData.setFocus();
  form.userKeyDown(VK_TAB);
  EXPECT_TRUE(DorritButton.Focused());
  form.userKeyDown(VK_TAB);
  EXPECT_TRUE(SlaveDataEdit.Focused()) << "wraps round";
  form.userKeyDown(VK_TAB, ssShift);
  EXPECT_TRUE(DorritButton.Focused());
  EXPECT_EQ(exits, 1);
  form.hide();
}

TEST_F(FormTest, ClosingTheMainFormEndsTheRunAndShowRunsOnEveryShowing) {
  TForm main;
  int shows = 0;
  int creates = 0;
  main.OnCreate = [&] { ++creates; };
  main.OnShow = [&] {
    ++shows;
    Application().processMessages();
  };
  Application().CreateForm(main);
  EXPECT_EQ(Application().MainForm(), &main);
  EXPECT_EQ(creates, 1);
  main.show();
  main.hide();
  // The program closes its main window from a posted message, as the exit menu item would.
  platform::WindowHandle target =
      platform::Loop::current().createWindow([&](const platform::Message&) { main.close(); });
  platform::Loop::post(target, 1, 0, 0);

  EXPECT_EQ(Application().run(), 0);
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(shows, 2);
  platform::Loop::current().destroyWindow(target);
}

TEST_F(FormTest, MessageHookSeesEveryMessageFirst) {
  std::vector<std::uint32_t> hooked;
  int dispatched = 0;
  Application().setOnMessage([&](const platform::Message& m) {
    hooked.push_back(m.msg);
    return m.msg == 1024;  // handled: not dispatched
  });
  platform::WindowHandle hwnd =
      platform::Loop::current().createWindow([&](const platform::Message&) { ++dispatched; });
  platform::Loop::post(hwnd, 1024, 280, 0);
  platform::Loop::post(hwnd, 5, 0, 0);
  // The library's notifications go to the application's own window.
  platform::Loop::post(Application().Handle(), 2222, 0, 0);
  Application().processMessages();

  EXPECT_EQ(hooked, (std::vector<std::uint32_t>{1024, 5, 2222}));
  EXPECT_EQ(dispatched, 1);
  platform::Loop::current().destroyWindow(hwnd);
}

}  // namespace
}  // namespace ui::test
