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
#include "engine/shell/shell.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_tree.h"
#include "tests/support/window_test.h"

namespace orvane {
namespace {

using testing::Control;
using testing::ReadFileBytes;
using testing::TempDir;

std::string Text(const QString& text) { return FromQt(text); }

class FrmIndexMainTest : public testing::WindowTest {
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
    Control<QLineEdit>(window, "txbProjectName")->setText(name);
    Control<QLineEdit>(window, "txbTitle")->setText(title);
    Control<QLineEdit>(window, "txbTopFolder")
        ->setText(QString::fromStdString(top_.folder()));
    Control<QLineEdit>(window, "txbOutputFolder")
        ->setText(QString::fromStdString(out_.folder()));
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
  EXPECT_EQ(Control<QLineEdit>(window, "txbTopFolder")->accessibleName(),
            "Top folder");
  EXPECT_EQ(Control<QLineEdit>(window, "txbOutputFolder")->accessibleName(),
            "Output folder");
  EXPECT_EQ(Control<QLineEdit>(window, "txbProjectName")->accessibleName(),
            "Project name");
}

TEST_F(FrmIndexMainTest, StartsWithTheDefaultsAndTheFocusOnTheProjectName) {
  frmIndexMain& window = Open();
  EXPECT_EQ(window.windowTitle(), "Orvane File Search -- Index Module");
  EXPECT_EQ(Control<QLineEdit>(window, "txbMinimumFilesize")->text(), "400");
  EXPECT_TRUE(
      Control<QCheckBox>(window, "chkExcludeSpecialLetters")->isChecked());
  EXPECT_EQ(
      Text(Control<QCheckBox>(window, "chkExcludeSpecialLetters")->text()),
      GetProgramText(18));
  EXPECT_FALSE(Control<QPushButton>(window, "cmdListFiles[1]")->isVisible());
  EXPECT_FALSE(
      Control<QPushButton>(window, "cmdSelectSubfolders")->isEnabled());
  EXPECT_EQ(Control<QComboBox>(window, "cboClear")->count(), 9);
  EXPECT_EQ(Control<QComboBox>(window, "cboSettings")->currentText(),
            "Save for next run");
  // Captions that once read as mistakes: the link showed its address
  // "file://docs/index_module.htm", the switch read "modlule".
  EXPECT_EQ(Control<LinkLabel>(window, "lblUserManualURL")->text(),
            "User manual");
  EXPECT_EQ(Control<QPushButton>(window, "cmdSwitchToSearchModule")->text(),
            "Go to search module");
  // The link opens the same page as before.
  QTest::mouseClick(Control<LinkLabel>(window, "lblUserManualURL"),
                    Qt::LeftButton);
  EXPECT_EQ(opener_.targets(),
            std::vector<std::string>{Shell::ResolveAddress(GetProgramText(2))});
  EXPECT_EQ(window.focusWidget(), Control<QLineEdit>(window, "txbProjectName"));
  EXPECT_TRUE(prompter_.boxes().empty());
}

TEST_F(FrmIndexMainTest, ProjectNameTakesUnderscoresAndRefusesBadCharacters) {
  frmIndexMain& window = Open();
  Control<QLineEdit>(window, "txbProjectName")->setFocus();
  QTest::keyClicks(Control<QLineEdit>(window, "txbProjectName"), "my project");
  EXPECT_EQ(Control<QLineEdit>(window, "txbProjectName")->text(), "my_project");
  Control<QLineEdit>(window, "txbProjectName")->clear();
  QTest::keyClicks(Control<QLineEdit>(window, "txbProjectName"), "a<b");
  QTest::keyClick(Control<QLineEdit>(window, "txbProjectName"), Qt::Key_Return);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Project name");
  EXPECT_EQ(prompter_.boxes()[0].text,
            "The project name contains an inadmissible character: <");
  EXPECT_EQ(Control<QLineEdit>(window, "txbProjectName")->text(), "a<b");
}

TEST_F(FrmIndexMainTest, TopFolderCaptionsFollowItsFilesAndSubfolders) {
  MakeTree();
  frmIndexMain& window = Open();
  // A click into the empty box opens the folder dialog too.
  dialogs_.QueueAnswer(top_.path().string());
  QTest::mouseClick(Control<QLineEdit>(window, "txbTopFolder"), Qt::LeftButton);
  EXPECT_EQ(Text(Control<QLineEdit>(window, "txbTopFolder")->text()),
            top_.folder());
  EXPECT_TRUE(
      Control<QCheckBox>(window, "chkExcludeFilesInTopFolder")->isVisible());
  EXPECT_EQ(Control<QCheckBox>(window, "chkExcludeFilesInTopFolder")->text(),
            "Exclude the 2 files in the top folder.");
  EXPECT_TRUE(Control<QPushButton>(window, "cmdSelectSubfolders")->isEnabled());
  EXPECT_EQ(Text(Control<QLabel>(window, "lblNumSubfoldersSelected")->text()),
            GetProgramText(25));

  // The subfolder window answers through the window's hook.
  window.show_subfolder_window = [](SelectSubfoldersValues& values) {
    EXPECT_EQ(values.intMaxNumCheckboxes, 13);
    values.blnFolderSelectionAccepted = true;
    values.strFoldersReturnedFromSelectFoldersForm = "docs\r\n";
  };
  QTest::mouseClick(Control<QPushButton>(window, "cmdSelectSubfolders"),
                    Qt::LeftButton);
  EXPECT_EQ(
      Control<QPlainTextEdit>(window, "txbIncludedFolders")->toPlainText(),
      "docs");
  EXPECT_TRUE(Control<QCheckBox>(window, "chkIncludeSubfoldersOfSubfolders")
                  ->isVisible());
  EXPECT_EQ(Text(Control<QCheckBox>(window, "chkIncludeSubfoldersOfSubfolders")
                     ->text()),
            GetProgramText(88));

  TempDir flat;
  flat.Write("only.txt", "x");
  dialogs_.QueueAnswer(flat.path().string());
  QTest::mouseClick(Control<QPushButton>(window, "cmdTopFolder"),
                    Qt::LeftButton);
  EXPECT_FALSE(
      Control<QCheckBox>(window, "chkExcludeFilesInTopFolder")->isVisible());
  EXPECT_FALSE(
      Control<QCheckBox>(window, "chkExcludeFilesInTopFolder")->isChecked());
  EXPECT_EQ(
      Control<QPlainTextEdit>(window, "txbIncludedFolders")->toPlainText(), "");
  EXPECT_EQ(Text(Control<QLabel>(window, "lblNumSubfoldersSelected")->text()),
            GetProgramText(29));
}

// A folder dropped anywhere on the window, a text box included, becomes
// the top folder; a file is refused with a message.
TEST_F(FrmIndexMainTest, AFolderDroppedOnTheWindowBecomesTheTopFolder) {
  MakeTree();
  frmIndexMain& window = Open();
  std::string folder = top_.folder();
  folder.pop_back();  // as a file manager gives it, without the "/"
  EXPECT_TRUE(
      testing::DropPath(Control<QLineEdit>(window, "txbTitle"), folder));
  EXPECT_EQ(Text(Control<QLineEdit>(window, "txbTopFolder")->text()),
            top_.folder());
  EXPECT_EQ(Control<QLineEdit>(window, "txbTitle")->text(), "");
  EXPECT_TRUE(Control<QPushButton>(window, "cmdSelectSubfolders")->isEnabled());
  EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.Transcript();

  EXPECT_TRUE(testing::DropPath(&window, top_.Path("alpha.txt")));
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Top folder");
  EXPECT_EQ(prompter_.boxes()[0].text,
            top_.Path("alpha.txt") +
                "\r\nis not a folder. A folder dropped on this window becomes "
                "the top folder.");
  EXPECT_EQ(Text(Control<QLineEdit>(window, "txbTopFolder")->text()),
            top_.folder());
}

TEST_F(FrmIndexMainTest, ClearHintsAndItems) {
  frmIndexMain& window = Open();
  Control<QLineEdit>(window, "txbTitle")->setText("A title");
  Control<QComboBox>(window, "cboClear")->setCurrentIndex(2);
  emit Control<QComboBox>(window, "cboClear")->activated(2);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Title");
  QTest::mouseClick(Control<QPushButton>(window, "cmdClear"), Qt::LeftButton);
  EXPECT_EQ(Control<QLineEdit>(window, "txbTitle")->text(), "");
  Control<QComboBox>(window, "cboClear")->setCurrentIndex(0);
  QTest::mouseClick(Control<QPushButton>(window, "cmdClear"), Qt::LeftButton);
  EXPECT_EQ(prompter_.boxes().back().text, GetProgramText(51));
}

TEST_F(FrmIndexMainTest, SettingsSavedAndLoadedAgainWithEveryField) {
  MakeTree();
  frmIndexMain& window = Open();
  EnterProject(window, "manuals", "The manuals");
  Control<QPlainTextEdit>(window, "txbIncludedFolders")
      ->setPlainText("docs\nmail");
  Control<QPlainTextEdit>(window, "txbExcludedFiles")
      ->setPlainText("alpha.txt");
  Control<QLineEdit>(window, "txbExcludedFilepaths")->setText("old, draft");
  Control<QLineEdit>(window, "txbMinimumFilesize")->setText("12");
  Control<QCheckBox>(window, "chkExcludeFilesInTopFolder")->setChecked(true);
  Control<QCheckBox>(window, "chkIncludeSubfoldersOfSubfolders")
      ->setChecked(true);
  Control<QCheckBox>(window, "chkExcludeSpecialLetters")->setChecked(false);
  Control<QCheckBox>(window, "chkReadDocuments")->setChecked(false);

  const std::string file = out_.Path("manuals.usri");
  dialogs_.QueueAnswer(file);
  Control<QComboBox>(window, "cboSettings")->setCurrentIndex(1);
  bool pop_up_shown = false;
  frmPopUp& pop_up = launcher_.pop_up();
  QTimer::singleShot(50, &pop_up, [&] {
    pop_up_shown = pop_up.isVisible();
    pop_up.hide();
  });
  QTest::mouseClick(Control<QPushButton>(window, "cmdSettings"),
                    Qt::LeftButton);
  EXPECT_TRUE(pop_up_shown);
  EXPECT_EQ(dialogs_.shown().back().request.file_name, "manuals.usri");
  ASSERT_TRUE(std::filesystem::exists(file));

  prompter_.QueueAnswer(Answer::kYes);
  QTest::mouseClick(Control<QPushButton>(window, "cmdReset"), Qt::LeftButton);
  EXPECT_EQ(Control<QLineEdit>(window, "txbProjectName")->text(), "");
  EXPECT_EQ(Control<QLineEdit>(window, "txbTopFolder")->text(), "");
  EXPECT_TRUE(Control<QCheckBox>(window, "chkReadDocuments")->isChecked());

  dialogs_.QueueAnswer(file);
  Control<QComboBox>(window, "cboSettings")->setCurrentIndex(3);
  QTest::mouseClick(Control<QPushButton>(window, "cmdSettings"),
                    Qt::LeftButton);
  EXPECT_EQ(Control<QLineEdit>(window, "txbProjectName")->text(), "manuals");
  EXPECT_EQ(Control<QLineEdit>(window, "txbTitle")->text(), "The manuals");
  EXPECT_EQ(Text(Control<QLineEdit>(window, "txbTopFolder")->text()),
            top_.folder());
  EXPECT_EQ(Text(Control<QLineEdit>(window, "txbOutputFolder")->text()),
            out_.folder());
  EXPECT_EQ(
      Control<QPlainTextEdit>(window, "txbIncludedFolders")->toPlainText(),
      "docs\nmail");
  EXPECT_EQ(Control<QPlainTextEdit>(window, "txbExcludedFiles")->toPlainText(),
            "alpha.txt");
  EXPECT_EQ(Control<QLineEdit>(window, "txbExcludedFilepaths")->text(),
            "old, draft");
  EXPECT_EQ(Control<QLineEdit>(window, "txbMinimumFilesize")->text(), "12");
  EXPECT_TRUE(
      Control<QCheckBox>(window, "chkExcludeFilesInTopFolder")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(window, "chkIncludeSubfoldersOfSubfolders")
                  ->isChecked());
  EXPECT_FALSE(
      Control<QCheckBox>(window, "chkExcludeSpecialLetters")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(window, "chkReadDocuments")->isChecked());
  EXPECT_EQ(Text(Control<QLabel>(window, "lblNumExcludedFiles")->text()),
            "One file is excluded.");
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
  EXPECT_EQ(Control<QLineEdit>(window, "txbProjectName")->text(), "p");
  EXPECT_EQ(Control<QLineEdit>(window, "txbTopFolder")->text(), "");
  EXPECT_EQ(
      Control<QPlainTextEdit>(window, "txbIncludedFolders")->toPlainText(), "");
  EXPECT_EQ(Control<QPlainTextEdit>(window, "txbExcludedFiles")->toPlainText(),
            "");
  EXPECT_EQ(window.focusWidget(), Control<QPushButton>(window, "cmdTopFolder"));
  EXPECT_TRUE(prompter_.boxes().empty());
}

// The whole run from the window writes what the command line writes for
// the same settings, byte for byte.
TEST_F(FrmIndexMainTest, ARunFromTheWindowWritesWhatTheCommandLineWrites) {
  MakeTree();
  frmIndexMain& window = Open();
  Control<QLineEdit>(window, "txbProjectName")->setText("tree");
  Control<QLineEdit>(window, "txbTitle")->setText("A small tree");
  dialogs_.QueueAnswer(top_.path().string());
  QTest::mouseClick(Control<QPushButton>(window, "cmdTopFolder"),
                    Qt::LeftButton);
  dialogs_.QueueAnswer(out_.path().string());
  QTest::mouseClick(Control<QPushButton>(window, "cmdOutputFolder"),
                    Qt::LeftButton);
  window.show_subfolder_window = [](SelectSubfoldersValues& values) {
    values.blnFolderSelectionAccepted = true;
    values.strFoldersReturnedFromSelectFoldersForm = "docs\r\n";
  };
  QTest::mouseClick(Control<QPushButton>(window, "cmdSelectSubfolders"),
                    Qt::LeftButton);
  Control<QLineEdit>(window, "txbExcludedFilepaths")->setText("delta");
  QTest::mouseClick(Control<QPushButton>(window, "cmdExtractData"),
                    Qt::LeftButton);

  EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.Transcript();
  EXPECT_EQ(
      Text(Control<QLabel>(window, "lblCurrentFile")->text())
          .rfind("Data extraction completed.   Index file is tree_index.tavo.",
                 0),
      0u);
  EXPECT_TRUE(Control<QPushButton>(window, "cmdListFiles[1]")->isVisible());
  EXPECT_EQ(Control<QProgressBar>(window, "prgRunProgress")->value(),
            Control<QProgressBar>(window, "prgRunProgress")->maximum());
  EXPECT_EQ(Control<QProgressBar>(window, "prgRunProgress")->maximum(), 3);
  EXPECT_EQ(Control<QPushButton>(window, "cmdExtractData")->text(),
            "Create index file");
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
  for (const char* name : {"tree_index.tavo", "tree_store.tavo"}) {
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
      EXPECT_EQ(Text(Control<QPushButton>(window, "cmdExtractData")->text()),
                GetProgramText(30));
      prompter_.QueueAnswer(Answer::kCancel);
      Control<QPushButton>(window, "cmdExtractData")->click();
    });
  }
  QTest::mouseClick(Control<QPushButton>(window, "cmdExtractData"),
                    Qt::LeftButton);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Paused");
  EXPECT_EQ(Text(Control<QLabel>(window, "lblCurrentFile")->text())
                .rfind("Data extraction stopped.", 0),
            0u);
  EXPECT_FALSE(std::filesystem::exists(out_.Path("tree_index.tavo")));
  EXPECT_FALSE(std::filesystem::exists(out_.Path("tree_data.tavo")));
  EXPECT_FALSE(Control<QPushButton>(window, "cmdListFiles[1]")->isVisible());
  EXPECT_TRUE(Control<QLineEdit>(window, "txbProjectName")->isEnabled());
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
    QTest::mouseClick(Control<QPushButton>(window, "cmdQuit"), Qt::LeftButton);
    closed_early = unloaded.count() > 0;
  });
  QTest::mouseClick(Control<QPushButton>(window, "cmdExtractData"),
                    Qt::LeftButton);
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
