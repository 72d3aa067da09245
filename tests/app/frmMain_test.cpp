#include "app/frmMain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include "app/index/frmIndexMain.h"
#include "app/qt_text.h"
#include "app/search/frmSearchMain.h"
#include "app/shell/common_window_helpers.h"
#include "engine/common/program_texts.h"
#include "engine/shell/launcher.h"
#include "engine/shell/shell.h"
#include "tests/support/window_test.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::Control;
using testing::RecordingPrompter;
using testing::Settle;
using FrmMainTest = testing::WindowTest;

TEST_F(FrmMainTest, LoadsFillsTheIntroductionAndShowsItself) {
  EXPECT_FALSE(launcher_.state().blnStartupCompleted);
  ASSERT_TRUE(launcher_.Form_Load());
  EXPECT_TRUE(launcher_.state().blnStartupCompleted);
  EXPECT_EQ(launcher_.state().strProgramTextFile, "tavo.dat");
  EXPECT_TRUE(launcher_.isVisible());
  EXPECT_EQ(launcher_.windowTitle(), "Orvane File Search");
  EXPECT_EQ(launcher_.txbIntro->toPlainText(),
            ToQt(GetProgramText(60) + "\n\n" + GetProgramText(61) + "\n" +
                 GetProgramText(62) + "\n" + GetProgramText(63)));
  // The focus is on the first thing a user does, not on a hidden button
  // (there once was one, "X", below the window); no hidden control takes
  // the focus with Tab.
  EXPECT_EQ(launcher_.focusWidget(), launcher_.cmdIndexModule);
  for (QWidget* control : launcher_.findChildren<QWidget*>()) {
    if (control->focusPolicy() & Qt::TabFocus) {
      EXPECT_TRUE(control->isVisible()) << control->objectName().toStdString();
    }
  }
  EXPECT_EQ(launcher_.findChild<QWidget*>("cmdX"), nullptr);
  EXPECT_EQ(launcher_.palette().color(QPalette::Window),
            OV_common::ToQColor(OV_common::WindowColour()));
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(FrmMainTest, AMissingTextFileShowsTheLoadersMessageAndEnds) {
  launcher_.set_tag("NOTHERE");
  EXPECT_FALSE(launcher_.Form_Load());
  EXPECT_FALSE(launcher_.isVisible());
  EXPECT_FALSE(launcher_.state().blnStartupCompleted);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  const RecordingPrompter::Box& box = prompter_.boxes()[0];
  EXPECT_EQ(box.icon, MessageIcon::kCritical);
  EXPECT_EQ(box.title, "");
  const std::string start = "Cannot open file containing program text.\r\n";
  EXPECT_EQ(box.text.substr(0, start.size()), start);
  // The file is named after the window's tag, lower-cased.
  EXPECT_EQ(box.text.substr(box.text.size() - 12), "/nothere.dat");
}

TEST_F(FrmMainTest, HelpTellsWhereTheManualIsAndOpensIt) {
  ASSERT_TRUE(launcher_.Form_Load());
  QTest::mouseClick(launcher_.cmdHelp, Qt::LeftButton);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].icon, MessageIcon::kNone);
  EXPECT_EQ(prompter_.boxes()[0].title, "User manual");
  EXPECT_EQ(prompter_.boxes()[0].text, UserManualMessage());
  EXPECT_EQ(opener_.targets(),
            std::vector<std::string>{Shell::ResolveAddress(GetProgramText(6))});
}

TEST_F(FrmMainTest, TheMakersNameOpensTheManualsFrontPage) {
  ASSERT_TRUE(launcher_.Form_Load());
  QTest::mouseClick(launcher_.lblOrvaneSystems, Qt::LeftButton);
  EXPECT_EQ(opener_.targets(),
            std::vector<std::string>{Shell::ResolveAddress(GetProgramText(6))});
  EXPECT_TRUE(prompter_.boxes().empty());

  opener_.set_result(2);
  QTest::mouseClick(launcher_.lblOrvaneSystems, Qt::LeftButton);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Cannot launch web browser");
}

TEST_F(FrmMainTest, IndexModuleHandsItsIndexOverToTheSearchModule) {
  ASSERT_TRUE(launcher_.Form_Load());
  launcher_.state().blnQuit = true;
  QTest::mouseClick(launcher_.cmdIndexModule, Qt::LeftButton);
  auto* index_module = qobject_cast<frmIndexMain*>(launcher_.module());
  ASSERT_NE(index_module, nullptr);
  EXPECT_TRUE(index_module->isVisible());
  EXPECT_FALSE(launcher_.isVisible());
  EXPECT_FALSE(launcher_.state().blnQuit);

  // Only an index that exists is handed over.
  testing::TempDir out;
  const std::string index = out.Write("archive_index.tavo", "an index");
  Control<QLineEdit>(index_module, "txbTopFolder")->setText("/data/archive/");
  index_module->set_index_path(index);
  QTest::mouseClick(
      Control<QPushButton>(index_module, "cmdSwitchToSearchModule"),
      Qt::LeftButton);
  Settle();

  auto* search_module = qobject_cast<frmSearchMain*>(launcher_.module());
  ASSERT_NE(search_module, nullptr);
  EXPECT_TRUE(search_module->isVisible());
  EXPECT_FALSE(launcher_.isVisible());
  EXPECT_EQ(Control<QLineEdit>(search_module, "txbTopFolder")->text(),
            "/data/archive/");
  EXPECT_EQ(Control<QLineEdit>(search_module, "txbIndexFile")->text(),
            ToQt(index));
  EXPECT_EQ(Control<QLineEdit>(search_module, "txbSearchWords")->text(), "");
  EXPECT_EQ(Control<QLabel>(search_module, "lblTitle[1]")->text(), "");
  EXPECT_FALSE(launcher_.state().blnQuit);
  EXPECT_FALSE(launcher_.state().blnIndexModuleToSearchModule);

  // Leaving the Search Module brings the launcher back, with the quit flag
  // set for any loop still running.
  QTest::mouseClick(Control<QPushButton>(search_module, "cmdQuit"),
                    Qt::LeftButton);
  Settle();
  EXPECT_EQ(launcher_.module(), nullptr);
  EXPECT_TRUE(launcher_.isVisible());
  EXPECT_TRUE(launcher_.state().blnQuit);
}

TEST_F(FrmMainTest, ClosingAModuleWithoutHandOverOnlyBringsTheLauncherBack) {
  ASSERT_TRUE(launcher_.Form_Load());
  QTest::mouseClick(launcher_.cmdIndexModule, Qt::LeftButton);
  ASSERT_NE(launcher_.module(), nullptr);
  launcher_.module()->close();  // the window's close box
  Settle();
  EXPECT_EQ(launcher_.module(), nullptr);
  EXPECT_TRUE(launcher_.isVisible());
  EXPECT_TRUE(launcher_.state().blnQuit);
  EXPECT_FALSE(launcher_.state().blnIndexModuleToSearchModule);
}

TEST_F(FrmMainTest, QuitEndsTheProgram) {
  ASSERT_TRUE(launcher_.Form_Load());
  QSignalSpy ended(&launcher_, &frmMain::ProgramEnd);
  QTest::mouseClick(launcher_.cmdQuit, Qt::LeftButton);
  EXPECT_EQ(ended.count(), 1);
  EXPECT_TRUE(launcher_.state().blnQuit);
  EXPECT_FALSE(launcher_.isVisible());
}

}  // namespace
}  // namespace orvane
