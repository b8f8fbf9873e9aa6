// Message boxes as QMessageBox and file dialogs as QFileDialog, answered through their widgets.

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "ui/qt/conversions.h"
#include "ui/qt/tests/qt_fixture.h"

namespace ui::qt::testing {
namespace {

using QtDialogsTest = QtBackendTest;

TEST_F(QtDialogsTest, AMessageBoxShowsItsTextAndReturnsTheButtonClicked) {
  QString title;
  QString text;
  QStringList buttons;
  QPushButton* defaultButton = nullptr;
  backend().onDialogShown = [&](QWidget& dialog) {
    auto& box = static_cast<QMessageBox&>(dialog);
    title = box.windowTitle();
    text = box.text();
    for (QAbstractButton* b : box.buttons()) {
      buttons << b->text();
    }
    defaultButton = box.defaultButton();
    box.button(QMessageBox::No)->click();
  };
  const TModalResult answer = MessageBox("Port in use.\rTry another?", "Warning",
                                         MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
  EXPECT_EQ(answer, mrNo);
  EXPECT_EQ(title, QStringLiteral("Warning"));
  EXPECT_EQ(text, QStringLiteral("Port in use.\nTry another?"));
  EXPECT_EQ(buttons.size(), 2);
  ASSERT_NE(defaultButton, nullptr);
  EXPECT_TRUE(defaultButton->text().contains(QStringLiteral("No")));
}

TEST_F(QtDialogsTest, AMessageBoxClosedWithoutAButtonGivesItsDefaultAnswer) {
  backend().onDialogShown = [](QWidget& dialog) { dialog.close(); };
  EXPECT_EQ(MessageBox("Saved.", "List File", MB_OK), mrOk);
}

TEST_F(QtDialogsTest, AFileDialogTakesTheFiltersFolderAndDefaultExtension) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QStringList filters;
  QString selectedFilter;
  QString directory;
  backend().onDialogShown = [&](QWidget& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    filters = files.nameFilters();
    selectedFilter = files.selectedNameFilter();
    directory = files.directory().absolutePath();
    files.selectFile(QStringLiteral("list1"));
    QMetaObject::invokeMethod(&files, "accept");  // the Save button
  };
  TSaveDialog save;
  save.setFilter("Message Lists (*.iml)|*.iml|All Files|*.*");
  save.setFilterIndex(2);
  save.setDefaultExt("iml");
  save.setInitialDir(folder.path().toStdString());
  ASSERT_TRUE(save.execute());
  EXPECT_EQ(filters, (QStringList{QStringLiteral("Message Lists (*.iml)"),
                                  QStringLiteral("All Files (*.*)")}));
  EXPECT_EQ(selectedFilter, QStringLiteral("All Files (*.*)"));
  EXPECT_EQ(directory, QDir(folder.path()).absolutePath());
  EXPECT_EQ(save.FileName(),
            QDir(folder.path()).filePath(QStringLiteral("list1.iml")).toStdString());
}

TEST_F(QtDialogsTest, ACancelledFileDialogLeavesTheFileName) {
  backend().onDialogShown = [](QWidget& dialog) { QMetaObject::invokeMethod(&dialog, "reject"); };
  TOpenDialog open;
  open.setFileName("previous.iml");
  EXPECT_FALSE(open.execute());
  EXPECT_EQ(open.FileName(), "previous.iml");
}

struct FilterCase {
  const char* name;
  const char* filter;
  QStringList expected;
};

class NameFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(NameFilterTest, ConvertsTheClassicFilterString) {
  EXPECT_EQ(toNameFilters(GetParam().filter), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, NameFilterTest,
    ::testing::Values(FilterCase{"Plain", "Text|*.txt", {QStringLiteral("Text (*.txt)")}},
                      FilterCase{"PatternsInTheDescription",
                                 "Log Files (*.log)|*.log",
                                 {QStringLiteral("Log Files (*.log)")}},
                      FilterCase{
                          "SeveralPatterns",
                          "Scripts|*.bat;*.lnk|All|*.*",
                          {QStringLiteral("Scripts (*.bat *.lnk)"), QStringLiteral("All (*.*)")}},
                      FilterCase{"Empty", "", {}}),
    [](const ::testing::TestParamInfo<FilterCase>& row) { return row.param.name; });

}  // namespace
}  // namespace ui::qt::testing
