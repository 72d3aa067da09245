#include "app/files/frmFilepathExclusions.h"

#include <gtest/gtest.h>

#include <QTimer>

#include "app/frmMain.h"
#include "app/qt_text.h"
#include "app/shell/common_window_helpers.h"
#include "tests/support/window_test.h"

namespace orvane {
namespace {

class FrmFilepathExclusionsTest : public testing::WindowTest {
 protected:
  FrmFilepathExclusionsTest() {
    index_window_.setGeometry(100, 80, 900, 700);
    txbExcludedFilepaths_->setText("tmp, Backup, old/");
  }

  QWidget index_window_;
  QLineEdit* txbExcludedFilepaths_ = new QLineEdit(&index_window_);
  frmFilepathExclusions editor_{launcher_.services(), index_window_,
                                *txbExcludedFilepaths_};
};

TEST_F(FrmFilepathExclusionsTest,
       ShowsTheListOneItemALineInsideTheIndexWindow) {
  editor_.Activate();
  ASSERT_TRUE(editor_.isVisible());
  EXPECT_EQ(editor_.windowTitle(), "Filepath exclusions");
  EXPECT_EQ(editor_.txbFilepathExclusions->toPlainText(), "Backup\nold/\ntmp");
  // Its right edge 160 twips (11 pixels) inside the Index Module's, its top
  // 480 twips (32 pixels) below the Index Module's top.
  const QRect index = index_window_.frameGeometry();
  const QRect editor = editor_.frameGeometry();
  EXPECT_NEAR(editor.x() + editor.width(), index.x() + index.width() - 11, 1);
  EXPECT_NEAR(editor.y(), index.y() + 32, 1);
  EXPECT_EQ(editor_.palette().color(QPalette::Window),
            OV_common::ToQColor(OV_common::WindowColour()));
  for (const char* name :
       {"lblExcludeFilepathsContaining", "txbFilepathExclusions", "cmdConfirm",
        "cmdCancel"}) {
    EXPECT_NE(editor_.findChild<QWidget*>(name), nullptr) << name;
  }
  EXPECT_EQ(editor_.cmdConfirm->accessibleName(), "Confirm");
  EXPECT_EQ(editor_.txbFilepathExclusions->accessibleName(),
            editor_.lblExcludeFilepathsContaining->text());
}

TEST_F(FrmFilepathExclusionsTest, ConfirmWritesTheCleanedList) {
  editor_.Activate();
  editor_.txbFilepathExclusions->setPlainText(
      "temp/\nTemp\\\n  backup  \n\n   ");
  editor_.cmdConfirm->click();
  EXPECT_FALSE(editor_.isVisible());
  // "\" becomes "/", spaces go, one of the case variants stays.
  const QString list = txbExcludedFilepaths_->text();
  EXPECT_TRUE(list == "backup, temp/" || list == "backup, Temp/")
      << list.toStdString();
  EXPECT_EQ(editor_.txbFilepathExclusions->toPlainText(),
            "temp/\nTemp/\n  backup  \n\n   ");

  editor_.Activate();
  editor_.txbFilepathExclusions->clear();
  editor_.cmdConfirm->click();
  EXPECT_EQ(txbExcludedFilepaths_->text(), "");
}

TEST_F(FrmFilepathExclusionsTest, CancelLeavesTheListAsItWas) {
  editor_.Activate();
  editor_.txbFilepathExclusions->setPlainText("something new");
  editor_.cmdCancel->click();
  EXPECT_FALSE(editor_.isVisible());
  EXPECT_EQ(txbExcludedFilepaths_->text(), "tmp, Backup, old/");
  // The next showing starts again from the list.
  QTimer::singleShot(0, editor_.cmdCancel, &QPushButton::click);
  editor_.ShowModal();
  EXPECT_EQ(editor_.txbFilepathExclusions->toPlainText(), "Backup\nold/\ntmp");
  EXPECT_TRUE(prompter_.boxes().empty());
}

}  // namespace
}  // namespace orvane
