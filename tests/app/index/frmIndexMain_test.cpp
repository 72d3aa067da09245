#include "app/index/frmIndexMain.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <string>

#include "app/frmMain.h"
#include "app/qt_text.h"
#include "app/shell/frmPopUp.h"
#include "engine/common/program_texts.h"
#include "engine/files/folder.h"
#include "engine/index/settings_file.h"
#include "tests/support/fakes.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::FakeClock;
using testing::ReadFileBytes;
using testing::RecordingOpener;
using testing::RecordingPrompter;
using testing::ScriptedDialogs;
using testing::ScriptedYield;
using testing::TempDir;

std::string Text(const QString& text) { return FromQt(text); }

class FrmIndexMainTest : public ::testing::Test {
 protected:
  FrmIndexMainTest() {
    // Each test starts without settings saved for the next run.
    std::filesystem::remove(
        GetAppDataFilePath(kDefaultIndexSettingsFile, kAppDataSubfolder));
    launcher_.Form_Load();
  }
  ~FrmIndexMainTest() override { delete window_; }

  frmIndexMain& Open() {
    window_ = new frmIndexMain(launcher_.services());
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    window_->show();
    QCoreApplication::processEvents();
    return *window_;
  }

  // Types a project into the window: its name and title, the test tree as
  // the top folder and out_ as the output folder.
  void EnterProject(frmIndexMain& window, const char* name, const char* title) {
    window.txbProjectName->setText(name);
    window.txbTitle->setText(title);
    window.txbTopFolder->setText(QString::fromStdString(top_.folder()));
    window.txbOutputFolder->setText(QString::fromStdString(out_.folder()));
  }

  // A tree of a few text files of at least 400 bytes: two in the top
  // folder, two in docs, one in mail.
  void MakeTree() {
    const std::string words =
        "The river banks were surveyed in the spring of that year and the "
        "council printed a short report on the state of the old walls. ";
    std::string text;
    for (int i = 0; i < 6; ++i) text += words;
    top_.Write("alpha.txt", text + "alpha unique");
    top_.Write("beta.txt", text + "beta");
    top_.Write("docs/gamma.txt", text + "gamma council");
    top_.Write("docs/delta.htm",
               "<html><head><title>Delta</title></head><body>" + text +
                   "</body></html>");
    top_.Write("mail/note.txt", text + "mail only");
  }

  RecordingPrompter prompter_;
  ScriptedYield yield_;
  RecordingOpener opener_;
  ScriptedDialogs dialogs_;
  FakeClock clock_;
  frmMain launcher_{prompter_, yield_, opener_, dialogs_, clock_};
  frmIndexMain* window_ = nullptr;
  TempDir top_;
  TempDir out_;
};

TEST_F(FrmIndexMainTest, EveryControlTheEngineAddressesExists) {
  frmIndexMain& window = Open();
  for (std::string_view name : kIndexWindowControls) {
    EXPECT_NE(window.findChild<QWidget*>(QString::fromUtf8(name.data(),
                                                            name.size())),
              nullptr)
        << name;
  }
  EXPECT_NE(window.findChild<QWidget*>(QString(kRunProgressBar.data())),
            nullptr);
  // Text boxes are known to a screen reader by the captions naming them.
  EXPECT_EQ(window.txbTopFolder->accessibleName(), "Top folder");
  EXPECT_EQ(window.txbOutputFolder->accessibleName(), "Output folder");
  EXPECT_EQ(window.txbProjectName->accessibleName(), "Project name");
}

TEST_F(FrmIndexMainTest, StartsWithTheDefaultsAndTheFocusOnTheProjectName) {
  frmIndexMain& window = Open();
  EXPECT_EQ(window.windowTitle(), "Orvane File Search -- Index Module");
  EXPECT_EQ(window.txbMinimumFilesize->text(), "400");
  EXPECT_TRUE(window.chkExcludeSpecialLetters->isChecked());
  EXPECT_EQ(Text(window.chkExcludeSpecialLetters->text()), GetProgramText(18));
  EXPECT_FALSE(window.cmdListFiles[1]->isVisible());
  EXPECT_FALSE(window.cmdSelectSubfolders->isEnabled());
  EXPECT_EQ(window.cboClear->count(), 9);
  EXPECT_EQ(window.cboSettings->currentText(), "Save for next run");
  EXPECT_EQ(Text(window.lblUserManualURL->text()), GetProgramText(2));
  EXPECT_EQ(window.focusWidget(), window.txbProjectName);
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(FrmIndexMainTest, ProjectNameTakesUnderscoresAndRefusesBadCharacters) {
  frmIndexMain& window = Open();
  window.txbProjectName->setFocus();
  QTest::keyClicks(window.txbProjectName, "my project");
  EXPECT_EQ(window.txbProjectName->text(), "my_project");
  window.txbProjectName->clear();
  QTest::keyClicks(window.txbProjectName, "a<b");
  QTest::keyClick(window.txbProjectName, Qt::Key_Return);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Project name");
  EXPECT_EQ(prompter_.boxes()[0].text,
            "The project name contains an inadmissible character: <");
  EXPECT_EQ(window.txbProjectName->text(), "a<b");
}

TEST_F(FrmIndexMainTest, TopFolderCaptionsFollowItsFilesAndSubfolders) {
  MakeTree();
  frmIndexMain& window = Open();
  // A click into the empty box opens the folder dialog too.
  dialogs_.QueueAnswer(top_.path().string());
  QTest::mouseClick(window.txbTopFolder, Qt::LeftButton);
  EXPECT_EQ(Text(window.txbTopFolder->text()), top_.folder());
  EXPECT_TRUE(window.chkExcludeFilesInTopFolder->isVisible());
  EXPECT_EQ(window.chkExcludeFilesInTopFolder->text(),
            "Exclude the 2 files in the top folder.");
  EXPECT_TRUE(window.cmdSelectSubfolders->isEnabled());
  EXPECT_EQ(Text(window.lblNumSubfoldersSelected->text()), GetProgramText(25));

  // The subfolder window answers through the window's hook.
  window.show_subfolder_window = [](SelectSubfoldersValues& values) {
    EXPECT_EQ(values.intMaxNumCheckboxes, 13);
    values.blnFolderSelectionAccepted = true;
    values.strFoldersReturnedFromSelectFoldersForm = "docs\r\n";
  };
  QTest::mouseClick(window.cmdSelectSubfolders, Qt::LeftButton);
  EXPECT_EQ(window.txbIncludedFolders->toPlainText(), "docs");
  EXPECT_TRUE(window.chkIncludeSubfoldersOfSubfolders->isVisible());
  EXPECT_EQ(Text(window.chkIncludeSubfoldersOfSubfolders->text()),
            GetProgramText(88));

  TempDir flat;
  flat.Write("only.txt", "x");
  dialogs_.QueueAnswer(flat.path().string());
  QTest::mouseClick(window.cmdTopFolder, Qt::LeftButton);
  EXPECT_FALSE(window.chkExcludeFilesInTopFolder->isVisible());
  EXPECT_FALSE(window.chkExcludeFilesInTopFolder->isChecked());
  EXPECT_EQ(window.txbIncludedFolders->toPlainText(), "");
  EXPECT_EQ(Text(window.lblNumSubfoldersSelected->text()), GetProgramText(29));
}

TEST_F(FrmIndexMainTest, ClearHintsAndItems) {
  frmIndexMain& window = Open();
  window.txbTitle->setText("A title");
  window.cboClear->setCurrentIndex(2);
  emit window.cboClear->activated(2);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Title");
  QTest::mouseClick(window.cmdClear, Qt::LeftButton);
  EXPECT_EQ(window.txbTitle->text(), "");
  window.cboClear->setCurrentIndex(0);
  QTest::mouseClick(window.cmdClear, Qt::LeftButton);
  EXPECT_EQ(prompter_.boxes().back().text, GetProgramText(51));
}

TEST_F(FrmIndexMainTest, SettingsSavedAndLoadedAgainWithEveryField) {
  MakeTree();
  frmIndexMain& window = Open();
  EnterProject(window, "manuals", "The manuals");
  window.txbIncludedFolders->setPlainText("docs\nmail");
  window.txbExcludedFiles->setPlainText("alpha.txt");
  window.txbExcludedFilepaths->setText("old, draft");
  window.txbMinimumFilesize->setText("12");
  window.chkExcludeFilesInTopFolder->setChecked(true);
  window.chkIncludeSubfoldersOfSubfolders->setChecked(true);
  window.chkExcludeSpecialLetters->setChecked(false);

  const std::string file = out_.Path("manuals.usri");
  dialogs_.QueueAnswer(file);
  window.cboSettings->setCurrentIndex(1);
  bool pop_up_shown = false;
  frmPopUp& pop_up = launcher_.pop_up();
  QTimer::singleShot(50, &pop_up, [&] {
    pop_up_shown = pop_up.isVisible();
    pop_up.hide();
  });
  QTest::mouseClick(window.cmdSettings, Qt::LeftButton);
  EXPECT_TRUE(pop_up_shown);
  EXPECT_EQ(dialogs_.shown().back().request.file_name, "manuals.usri");
  ASSERT_TRUE(std::filesystem::exists(file));

  prompter_.QueueAnswer(Answer::kYes);
  QTest::mouseClick(window.cmdReset, Qt::LeftButton);
  EXPECT_EQ(window.txbProjectName->text(), "");
  EXPECT_EQ(window.txbTopFolder->text(), "");

  dialogs_.QueueAnswer(file);
  window.cboSettings->setCurrentIndex(3);
  QTest::mouseClick(window.cmdSettings, Qt::LeftButton);
  EXPECT_EQ(window.txbProjectName->text(), "manuals");
  EXPECT_EQ(window.txbTitle->text(), "The manuals");
  EXPECT_EQ(Text(window.txbTopFolder->text()), top_.folder());
  EXPECT_EQ(Text(window.txbOutputFolder->text()), out_.folder());
  EXPECT_EQ(window.txbIncludedFolders->toPlainText(), "docs\nmail");
  EXPECT_EQ(window.txbExcludedFiles->toPlainText(), "alpha.txt");
  EXPECT_EQ(window.txbExcludedFilepaths->text(), "old, draft");
  EXPECT_EQ(window.txbMinimumFilesize->text(), "12");
  EXPECT_TRUE(window.chkExcludeFilesInTopFolder->isChecked());
  EXPECT_TRUE(window.chkIncludeSubfoldersOfSubfolders->isChecked());
  EXPECT_FALSE(window.chkExcludeSpecialLetters->isChecked());
  EXPECT_EQ(Text(window.lblNumExcludedFiles->text()), "One file is excluded.");
  EXPECT_EQ(prompter_.boxes().size(), 1u);  // the Reset question only
}

TEST_F(FrmIndexMainTest, ASavedTopFolderThatVanishedIsNotRestored) {
  IndexSettings settings;
  {
    TempDir gone;
    gone.Write("docs/a.txt", "a");
    settings.txbProjectName = "p";
    settings.txbTopFolder = gone.folder();
    settings.txbIncludedFolders = "docs";
    settings.txbExcludedFiles = "docs/a.txt";
    ASSERT_TRUE(WriteSettingsFile(GetAppDataFilePath(kDefaultIndexSettingsFile,
                                                     kAppDataSubfolder),
                                  settings)
                    .ok());
  }
  frmIndexMain& window = Open();
  EXPECT_EQ(window.txbProjectName->text(), "p");
  EXPECT_EQ(window.txbTopFolder->text(), "");
  EXPECT_EQ(window.txbIncludedFolders->toPlainText(), "");
  EXPECT_EQ(window.txbExcludedFiles->toPlainText(), "");
  EXPECT_EQ(window.focusWidget(), window.cmdTopFolder);
  EXPECT_TRUE(prompter_.boxes().empty());
}

// The whole run from the window writes what the command line writes for
// the same settings, byte for byte.
TEST_F(FrmIndexMainTest, ARunFromTheWindowWritesWhatTheCommandLineWrites) {
  MakeTree();
  frmIndexMain& window = Open();
  window.txbProjectName->setText("tree");
  window.txbTitle->setText("A small tree");
  dialogs_.QueueAnswer(top_.path().string());
  QTest::mouseClick(window.cmdTopFolder, Qt::LeftButton);
  dialogs_.QueueAnswer(out_.path().string());
  QTest::mouseClick(window.cmdOutputFolder, Qt::LeftButton);
  window.show_subfolder_window = [](SelectSubfoldersValues& values) {
    values.blnFolderSelectionAccepted = true;
    values.strFoldersReturnedFromSelectFoldersForm = "docs\r\n";
  };
  QTest::mouseClick(window.cmdSelectSubfolders, Qt::LeftButton);
  window.txbExcludedFilepaths->setText("delta");
  QTest::mouseClick(window.cmdExtractData, Qt::LeftButton);

  EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.Transcript();
  EXPECT_EQ(Text(window.lblCurrentFile->text()).rfind(
                "Data extraction completed.   Index file is tree_index.tavo.",
                0),
            0u);
  EXPECT_TRUE(window.cmdListFiles[1]->isVisible());
  EXPECT_EQ(window.prgRunProgress->value(), window.prgRunProgress->maximum());
  EXPECT_EQ(window.prgRunProgress->maximum(), 3);
  EXPECT_EQ(window.cmdExtractData->text(), "Create index file");
  EXPECT_EQ(window.index_path(), out_.folder() + "tree_index.tavo");

  TempDir cli_out;
  testing::Outcome cli = testing::RunShellCommand(
      testing::Quote(ORVANE_PROGRAM) +
          " index --quiet --top " + testing::Quote(top_.folder()) +
          " --out " + testing::Quote(cli_out.folder()) +
          " --project tree --title 'A small tree' --include docs"
          " --exclude-paths delta",
      cli_out.Path("err.txt"));
  ASSERT_EQ(cli.status, 0) << cli.err;
  for (const char* name : {"tree_index.tavo", "tree_data.tavo"}) {
    std::string window_bytes = ReadFileBytes(out_.Path(name));
    EXPECT_FALSE(window_bytes.empty()) << name;
    EXPECT_EQ(window_bytes, ReadFileBytes(cli_out.Path(name))) << name;
  }
}

TEST_F(FrmIndexMainTest, CancelInThePauseBoxStopsTheRunAndKeepsNoFile) {
  MakeTree();
  frmIndexMain& window = Open();
  EnterProject(window, "tree", "T");
  // A click on the button while the files are read opens the pause box.
  bool clicked = false;
  for (int call = 1; call < 100; ++call) {
    yield_.At(call, [&] {
      if (clicked || window.module().word_count() == 0) return;
      clicked = true;
      EXPECT_EQ(Text(window.cmdExtractData->text()), GetProgramText(30));
      prompter_.QueueAnswer(Answer::kCancel);
      window.cmdExtractData->click();
    });
  }
  QTest::mouseClick(window.cmdExtractData, Qt::LeftButton);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Paused");
  EXPECT_EQ(Text(window.lblCurrentFile->text()).rfind("Data extraction stopped.", 0),
            0u);
  EXPECT_FALSE(std::filesystem::exists(out_.Path("tree_index.tavo")));
  EXPECT_FALSE(std::filesystem::exists(out_.Path("tree_data.tavo")));
  EXPECT_FALSE(window.cmdListFiles[1]->isVisible());
  EXPECT_TRUE(window.txbProjectName->isEnabled());
}

TEST_F(FrmIndexMainTest, QuitDuringARunClosesTheWindowWhenTheRunHasEnded) {
  MakeTree();
  frmIndexMain& window = Open();
  EnterProject(window, "tree", "T");
  // Unloading while the run's loop still works on the window would let
  // the window be deleted under it.
  QSignalSpy unloaded(&window, &ModuleWindow::Unloaded);
  bool closed_early = true;
  yield_.At(3, [&] {
    QTest::mouseClick(window.cmdQuit, Qt::LeftButton);
    closed_early = unloaded.count() > 0;
  });
  QTest::mouseClick(window.cmdExtractData, Qt::LeftButton);
  EXPECT_FALSE(closed_early);
  EXPECT_EQ(unloaded.count(), 1);
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(launcher_.state().blnQuit);
  EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.Transcript();
  EXPECT_FALSE(std::filesystem::exists(out_.Path("tree_index.tavo")));
  EXPECT_FALSE(std::filesystem::exists(out_.Path("tree_data.tavo")));
}

}  // namespace
}  // namespace orvane
