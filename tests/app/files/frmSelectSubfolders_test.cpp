#include "app/files/frmSelectSubfolders.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/frmMain.h"
#include "app/qt_text.h"
#include "engine/common/program_texts.h"
#include "tests/support/temp_tree.h"
#include "tests/support/window_test.h"

namespace orvane {
namespace {

using testing::TempDir;

class FrmSelectSubfoldersTest : public testing::WindowTest {
 protected:
  // Subfolders sub0000 .. sub(n-1), each with one file of one byte.
  void MakeSubfolders(int n) {
    for (int i = 0; i < n; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "sub%04d/f.txt", i);
      dir_.Write(name, "x");
    }
  }

  // The window as the Index Module prepares it.
  void Prepare(std::string passed = "") {
    window_.values().strCaption = GetProgramText(24);
    window_.values().strTopFolder = dir_.folder();
    window_.values().intMaxNumCheckboxes = 13;
    window_.values().strFoldersPassedToSelectFoldersForm = std::move(passed);
  }

  QCheckBox* Box(int k) {
    return window_.findChild<QCheckBox*>(QString("chkSubfolder[%1]").arg(k));
  }
  std::string Status() { return FromQt(window_.lblNumSubfolders->text()); }

  TempDir dir_;
  frmSelectSubfolders window_{launcher_.services(), nullptr};
};

TEST_F(FrmSelectSubfoldersTest, EveryControlOfTheFormExistsByItsName) {
  Prepare();
  MakeSubfolders(2);
  window_.Activate();
  for (const char* name :
       {"picSubfolders", "chkSubfolder[0]", "chkSubfolder[1]", "vsbScrollBar",
        "lblNumSubfolders", "cmdSelectDeselectAllSubfolders[0]",
        "cmdSelectDeselectAllSubfolders[1]", "cmdAccept", "cmdCancel"}) {
    EXPECT_NE(window_.findChild<QWidget*>(name), nullptr) << name;
  }
  EXPECT_EQ(window_.cmdSelectDeselectAllSubfolders[0]->text(), "Deselect all");
  EXPECT_EQ(window_.cmdSelectDeselectAllSubfolders[1]->text(), "Select all");
  for (QAbstractButton* button :
       {static_cast<QAbstractButton*>(window_.cmdAccept),
        static_cast<QAbstractButton*>(window_.cmdCancel),
        static_cast<QAbstractButton*>(Box(1))}) {
    EXPECT_EQ(button->accessibleName(), button->text());
  }
  EXPECT_EQ(window_.windowTitle(), ToQt(GetProgramText(24)));
}

TEST_F(FrmSelectSubfoldersTest, ThirteenBoxesScrollThroughThirtyAndKeepTicks) {
  MakeSubfolders(30);
  Prepare("SUB0001\r\n");
  window_.Activate();
  ASSERT_TRUE(window_.isVisible());
  EXPECT_EQ(window_.chkSubfolder.size(), 13u);
  EXPECT_NE(Box(12), nullptr);
  EXPECT_EQ(Box(13), nullptr);
  QScrollBar* bar = window_.vsbScrollBar;
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 17);
  EXPECT_EQ(bar->singleStep(), 1);
  EXPECT_EQ(bar->pageStep(), 12);
  EXPECT_TRUE(Box(1)->isChecked());

  Box(3)->click();  // sub0003
  bar->setValue(17);
  EXPECT_EQ(Box(0)->text(), "sub0017 {1 file and no subfolders, 1 bytes}");
  EXPECT_EQ(Box(12)->text().left(7), "sub0029");
  // The ticks belong to the subfolders, not to the boxes.
  EXPECT_FALSE(Box(1)->isChecked());
  EXPECT_FALSE(Box(3)->isChecked());
  Box(12)->click();  // sub0029
  bar->setValue(0);
  EXPECT_TRUE(Box(1)->isChecked());
  EXPECT_TRUE(Box(3)->isChecked());
  EXPECT_FALSE(Box(12)->isChecked());
  EXPECT_EQ(Status(), "3 selected (of 30).\r\nA total of 3 bytes.");
  // The keyboard reaches every subfolder: past the last box the list
  // scrolls under the boxes.
  QTest::keyClick(Box(12), Qt::Key_Down);
  EXPECT_EQ(bar->value(), 1);
  EXPECT_EQ(Box(12)->text().left(7), "sub0013");
  QTest::keyClick(Box(0), Qt::Key_Up);
  EXPECT_EQ(bar->value(), 0);
  QTest::keyClick(Box(0), Qt::Key_Up);
  EXPECT_EQ(bar->value(), 0);

  window_.cmdAccept->click();
  EXPECT_FALSE(window_.isVisible());
  const SelectSubfoldersValues& values = window_.values();
  EXPECT_TRUE(values.blnFolderSelectionAccepted);
  EXPECT_EQ(values.strFoldersReturnedFromSelectFoldersForm,
            "sub0001\r\nsub0003\r\nsub0029\r\n");
  EXPECT_EQ(values.dblTotalBytesSelected, 3);
  // The boxes made for this showing are gone.
  EXPECT_EQ(window_.chkSubfolder.size(), 1u);
}

TEST_F(FrmSelectSubfoldersTest, AnEmptySubfolderCannotBeTicked) {
  dir_.Write("docs/a.txt", "abc");
  dir_.MakeDir("tmp");
  Prepare();
  window_.Activate();
  EXPECT_FALSE(window_.vsbScrollBar->isVisible());
  ASSERT_EQ(window_.chkSubfolder.size(), 2u);
  EXPECT_EQ(Box(1)->text(), "tmp {no files and no subfolders}");
  Box(1)->click();
  EXPECT_FALSE(Box(1)->isChecked());
  EXPECT_EQ(Status(), "No subfolders selected.");

  window_.cmdSelectDeselectAllSubfolders[1]->click();
  EXPECT_TRUE(Box(0)->isChecked());
  EXPECT_FALSE(Box(1)->isChecked());
  EXPECT_EQ(Status(), "One subfolder selected.\r\nA total of 3 bytes.");
  window_.cmdSelectDeselectAllSubfolders[0]->click();
  EXPECT_FALSE(Box(0)->isChecked());
  EXPECT_EQ(Status(), "No subfolders selected.");

  // Accepting with nothing ticked is an accepted, empty selection.
  window_.cmdAccept->click();
  EXPECT_TRUE(window_.values().blnFolderSelectionAccepted);
  EXPECT_EQ(window_.values().strFoldersReturnedFromSelectFoldersForm, "");
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(FrmSelectSubfoldersTest, CancelAnswersWhileTheDiskIsRead) {
  MakeSubfolders(6);
  Prepare("sub0000\r\n");
  window_.values().blnFolderSelectionAccepted = true;
  std::string shown;
  yield_.At(2, [&] {
    shown = FromQt(window_.picSubfolders->findChild<QLabel*>()->text());
    // Not yet listed: these clicks change nothing.
    window_.cmdAccept->click();
    window_.cmdSelectDeselectAllSubfolders[1]->click();
    window_.cmdCancel->click();
  });
  window_.Activate();
  EXPECT_EQ(shown, "Reading disk . . . . .");
  EXPECT_EQ(yield_.calls(), 2);
  EXPECT_FALSE(window_.isVisible());
  EXPECT_FALSE(window_.values().blnFolderSelectionAccepted);
  EXPECT_EQ(window_.values().strFoldersReturnedFromSelectFoldersForm, "");
  ASSERT_NE(window_.selection(), nullptr);
  EXPECT_TRUE(window_.selection()->cancelled());
}

TEST_F(FrmSelectSubfoldersTest, TheCloseBoxAsksForTheButtons) {
  MakeSubfolders(2);
  Prepare("sub0000\r\n");
  window_.Activate();
  window_.close();
  EXPECT_FALSE(window_.isVisible());
  EXPECT_FALSE(window_.values().blnFolderSelectionAccepted);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Select Folders");
  EXPECT_EQ(prompter_.boxes()[0].text,
            "Please exit this window only by clicking on 'Accept' or "
            "'Cancel'.");
}

TEST_F(FrmSelectSubfoldersTest, ShowModalReturnsOnAcceptAndOnAnUnreadableTop) {
  MakeSubfolders(3);
  Prepare("sub0002\r\n");
  // A window that never closes fails the test instead of hanging it.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &window_, [&] {
    ADD_FAILURE() << "the window did not close";
    window_.done(0);
  });
  guard.start(10000);
  // After the last subfolder is read, the user clicks Accept.
  yield_.At(3, [&] {
    QTimer::singleShot(0, window_.cmdAccept, &QPushButton::click);
  });
  window_.ShowModal();
  EXPECT_TRUE(window_.values().blnFolderSelectionAccepted);
  EXPECT_EQ(window_.values().strFoldersReturnedFromSelectFoldersForm,
            "sub0002\r\n");

  window_.values().strTopFolder = dir_.Path("gone");
  window_.ShowModal();
  EXPECT_FALSE(window_.values().blnFolderSelectionAccepted);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Select subfolders");
  EXPECT_FALSE(window_.isVisible());
}

}  // namespace
}  // namespace orvane
