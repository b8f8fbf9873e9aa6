// The headless backend as tests and batch runs meet it: scripted modal forms, message boxes and
// file dialogs, everything recorded, unscripted boxes answered with their default button.

#include <optional>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/form.h"
#include "ui_fixture.h"

namespace ui::test {
namespace {

class ErrForm : public TForm {
 public:
  ErrForm() {
    setCaption("Vantor Message Center");
    Error.setCaption("Error: ");
    OKButton.setKind(TBitBtn::bkOK);
  }
  TLabel Error{this};
  TBitBtn OKButton{this};
};

class AboutBox : public TForm {
 public:
  TBitBtn OKButton{this};
};

using HeadlessTest = UiTest;

TEST_F(HeadlessTest, ScriptsAnswerModalFormsInOrderAndEveryFormIsRecorded) {
  ErrForm errForm;
  AboutBox about;
  headless().expectModal<ErrForm>([](ErrForm& f) {
    EXPECT_EQ(f.Error.Caption(), "Error: ");
    return mrOk;
  });
  headless().expectModal("AboutBox", [](TForm&) { return mrNone; });  // closed with its box

  EXPECT_EQ(errForm.showModal(), mrOk);
  EXPECT_EQ(about.showModal(), mrCancel);

  ASSERT_EQ(headless().modalForms().size(), 2u);
  EXPECT_EQ(headless().modalForms()[0].className, "ErrForm");
  EXPECT_EQ(headless().modalForms()[0].caption, "Vantor Message Center");
  EXPECT_TRUE(headless().modalForms()[1].scripted);
  EXPECT_EQ(headless().modalForms()[1].result, mrCancel);
}

TEST_F(HeadlessTest, AFormThatMeetsTheWrongScriptIsAnsweredByItsDefaultButtonAndReported) {
  ErrForm errForm;
  AboutBox about;
  headless().expectModal<AboutBox>([](AboutBox&) { return mrOk; });

  EXPECT_EQ(errForm.showModal(), mrOk) << "pressed its default OK button";
  std::vector<std::string> unmet = headless().unmet();
  ASSERT_EQ(unmet.size(), 2u);
  EXPECT_EQ(unmet[0], "modal form ErrForm shown while AboutBox was expected");
  EXPECT_EQ(unmet[1], "modal form never shown: AboutBox");
  EXPECT_EQ(about.showModal(), mrOk);  // the script is still there for the right form
  headless().clearRecords();
}

TEST_F(HeadlessTest, MessageBoxesAreRecordedAndAnsweredFromTheQueueOrByDefault) {
  headless().answerMessage(mrNo);
  EXPECT_EQ(MessageBox("Save changes?", "Question", MB_YESNOCANCEL | MB_ICONQUESTION), mrNo);
  EXPECT_EQ(MessageBox("Cannot Access File", "Log File Error"), mrOk);
  EXPECT_EQ(MessageBox("Retry?", "Busy", MB_RETRYCANCEL | MB_DEFBUTTON2), mrCancel);
  Application().setTitle("Vantor - Vantor Message Center");
  ShowMessage("Done");
  Application().beep();
  Application().beep();

  const auto& boxes = headless().messages();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_TRUE(boxes[0].scripted);
  EXPECT_EQ(boxes[0].request.buttons, (std::vector<TModalResult>{mrYes, mrNo, mrCancel}));
  EXPECT_EQ(boxes[0].request.icon, MessageIcon::Question);
  EXPECT_EQ(boxes[1].request.caption, "Log File Error");
  EXPECT_EQ(boxes[1].request.text, "Cannot Access File");
  EXPECT_FALSE(boxes[1].scripted);
  EXPECT_EQ(boxes[3].request.caption, "Vantor - Vantor Message Center");
  EXPECT_EQ(headless().beepCount(), 2);
}

struct DialogCase {
  std::string name;
  TMsgDlgType type;
  TMsgDlgButtons buttons;
  std::string caption;
  std::vector<TModalResult> offered;
  TModalResult defaultAnswer;
};

class MessageDlgTest : public UiTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(MessageDlgTest, CaptionButtonsAndDefaultFollowTheType) {
  const DialogCase& c = GetParam();
  Application().setTitle("Vantor-Vantor/NX Message Manager");
  EXPECT_EQ(MessageDlg("Invalid Message Data.", c.type, c.buttons), c.defaultAnswer);
  ASSERT_EQ(headless().messages().size(), 1u);
  const MessageRequest& shown = headless().messages()[0].request;
  EXPECT_EQ(shown.kind, MessageRequest::Dialog);
  EXPECT_EQ(shown.caption, c.caption);
  EXPECT_EQ(shown.text, "Invalid Message Data.");
  EXPECT_EQ(shown.buttons, c.offered);
}

INSTANTIATE_TEST_SUITE_P(
    Types, MessageDlgTest,
    ::testing::Values(DialogCase{"Warning", mtWarning, mbOK, "Warning", {mrOk}, mrOk},
                      DialogCase{"Information", mtInformation, mbOK, "Information", {mrOk}, mrOk},
                      DialogCase{
                          "Error", mtError, mbOK | mbCancel, "Error", {mrOk, mrCancel}, mrOk},
                      DialogCase{"Confirm",
                                 mtConfirmation,
                                 mbYes | mbNo | mbCancel,
                                 "Confirm",
                                 {mrYes, mrNo, mrCancel},
                                 mrYes},
                      DialogCase{"Custom",
                                 mtCustom,
                                 mbRetry | mbCancel,
                                 "Vantor-Vantor/NX Message Manager",
                                 {mrCancel, mrRetry},
                                 mrRetry},
                      DialogCase{"NoButtons", mtWarning, 0, "Warning", {mrOk}, mrOk}),
    [](const auto& row) { return row.param.name; });

TEST_F(HeadlessTest, InformationBoxIsAnInformationDialogWithOk) {
  InformationBox("I2C Bus TimeOut is not an Integer");
  ASSERT_EQ(headless().messages().size(), 1u);
  EXPECT_EQ(headless().messages()[0].request.caption, "Information");
  EXPECT_EQ(headless().messages()[0].request.buttons, std::vector<TModalResult>{mrOk});
}

TEST_F(HeadlessTest, FileDialogsTakeQueuedNamesAddTheDefaultExtensionAndCancelOtherwise) {
  TForm form;
  TOpenDialog OpenDialog1{&form};
  TSaveDialog SaveDialog1{&form};
  OpenDialog1.setFilter("I2C Message List Files (*.iml)|*.iml");
  OpenDialog1.setDefaultExt("iml");
  OpenDialog1.setInitialDir("/home/u/Message Lists/");
  SaveDialog1.setDefaultExt("iml");
  headless().answerFileDialog("/tmp/lists/test");
  headless().answerFileDialog(std::nullopt);
  headless().answerFileDialog("/tmp/v1.0/list.old");

  EXPECT_TRUE(OpenDialog1.execute());
  EXPECT_EQ(OpenDialog1.FileName(), "/tmp/lists/test.iml");
  EXPECT_FALSE(SaveDialog1.execute());
  EXPECT_TRUE(SaveDialog1.execute());
  EXPECT_EQ(SaveDialog1.FileName(), "/tmp/v1.0/list.old") << "a dot in a folder is no extension";
  EXPECT_FALSE(OpenDialog1.execute()) << "unscripted: cancelled";
  EXPECT_EQ(OpenDialog1.FileName(), "/tmp/lists/test.iml") << "a cancel keeps the old name";

  const auto& shown = headless().fileDialogs();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_FALSE(shown[0].save);
  EXPECT_EQ(shown[0].initialDir, "/home/u/Message Lists/");
  EXPECT_EQ(shown[0].filter, "I2C Message List Files (*.iml)|*.iml");
  EXPECT_TRUE(shown[1].save);
}

TEST_F(HeadlessTest, SaveDialogAddsTheExtensionToANameWithoutOneInADottedFolder) {
  TSaveDialog SaveDialog1;
  SaveDialog1.setDefaultExt("iml");
  headless().answerFileDialog("/tmp/v1.0/list");
  EXPECT_TRUE(SaveDialog1.execute());
  EXPECT_EQ(SaveDialog1.FileName(), "/tmp/v1.0/list.iml");
}

TEST_F(HeadlessTest, UnscriptedBoxesAndFormsArePrintedToStandardError) {
  auto& printing =
      static_cast<HeadlessBackend&>(useBackend(std::make_unique<HeadlessBackend>(true)));
  ErrForm errForm;
  errForm.Error.setCaption("Error: Command Line Argument \"FOO\" Ignored");
  ::testing::internal::CaptureStderr();
  MessageBox("INVALID COMMAND DETECTED\r\rPossible Cause:", "Warning");
  errForm.showModal();
  std::string printed = ::testing::internal::GetCapturedStderr();

  EXPECT_EQ(printed,
            "[Warning] INVALID COMMAND DETECTED\n\nPossible Cause: -> OK\n"
            "[Vantor Message Center]\nError: Command Line Argument \"FOO\" Ignored\n");
  EXPECT_EQ(printing.modalForms().at(0).result, mrOk);
}

struct SelectionCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> env;
  bool qtRegistered;
  std::string expected;
};

class BackendSelectionTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(BackendSelectionTest, FollowsTheEnvironmentAndWhatTheProgramLinked) {
  const SelectionCase& c = GetParam();
  std::vector<std::string> registered = {"headless"};
  if (c.qtRegistered) {
    registered.push_back("qt");
  }
  auto env = [&](const std::string& name) -> std::optional<std::string> {
    for (const auto& [key, value] : c.env) {
      if (key == name) {
        return value;
      }
    }
    return std::nullopt;
  };
  EXPECT_EQ(chooseBackendName(env, registered), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, BackendSelectionTest,
    ::testing::Values(
        SelectionCase{"NoDisplay", {}, true, "headless"},
        SelectionCase{"X11", {{"DISPLAY", ":0"}}, true, "qt"},
        SelectionCase{"Wayland", {{"WAYLAND_DISPLAY", "wayland-0"}}, true, "qt"},
        SelectionCase{"Offscreen", {{"QT_QPA_PLATFORM", "offscreen"}}, true, "qt"},
        SelectionCase{"EmptyDisplayIsNoDisplay", {{"DISPLAY", ""}}, true, "headless"},
        SelectionCase{
            "AskedHeadless", {{"DISPLAY", ":0"}, {"VANTOR_UI", "headless"}}, true, "headless"},
        SelectionCase{"AskedQt", {{"VANTOR_UI", "qt"}}, true, "qt"},
        SelectionCase{"AskedUnknown", {{"DISPLAY", ":0"}, {"VANTOR_UI", "tk"}}, true, "headless"},
        SelectionCase{"QtNotLinked", {{"DISPLAY", ":0"}}, false, "headless"}),
    [](const auto& row) { return row.param.name; });

}  // namespace
}  // namespace ui::test
