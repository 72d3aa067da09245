// The Search Module window driven through its real widgets, found by their
// fixed names, over a small indexed tree: whole searches compared with what
// `orvane search` prints for the same settings, and the window's own rules
// (modes, single file, settings, quitting, copying, the caption).
#include "app/search/frmSearchMain.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <filesystem>

#include "app/frmMain.h"
#include "app/qt_text.h"
#include "app/shell/frmLargeDisplay.h"
#include "app/shell/frmPopUp.h"
#include "engine/common/program_texts.h"
#include "engine/search/search_controls.h"
#include "engine/search/search_settings_file.h"
#include "engine/shell/shell.h"
#include "engine/text/file_checks.h"
#include "tests/engine/search/index_fixture.h"
#include "tests/support/program_run.h"
#include "tests/support/window_test.h"

namespace orvane::testing {
namespace {

namespace fs = std::filesystem;

// A display text as the widgets and the console show it: LF line ends.
std::string Lf(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) {
    text.erase(at, 1);
  }
  return text;
}

class FrmSearchMainTest : public testing::WindowTest {
 protected:
  void SetUp() override {
    std::remove(DefaultSearchSettingsPath().c_str());
    const std::string filler(200, ' ');
    dir_.Write("top/a.txt",
               "The quick brown fox jumps over the lazy dog." + filler);
    dir_.Write("top/b.txt",
               "\r\nA lazy afternoon. The dog sleeps; the fox watches.\r\n");
    dir_.Write("top/sub/c.htm",
               "<html><head><title>Fox &amp; Hound</title>\r\n"
               "<meta name=\"description\" content=\"A page\">\r\n"
               "</head><body>The lazy fox runs far from the hound.</body>"
               "</html>\r\n");
    dir_.Write("top/d.txt", "Nothing about animals here at all.\r\n");
    index_ = WriteIndex(dir_, "t",
                        IndexOfTree(dir_, "top/",
                                    {"a.txt", "b.txt", "sub/c.htm", "d.txt"}),
                        false);
    ASSERT_TRUE(launcher_.Form_Load());
    QTest::mouseClick(launcher_.cmdSearchModule, Qt::LeftButton);
    window_ = qobject_cast<frmSearchMain*>(launcher_.module());
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_ != nullptr) {
      window_->module().settings().chkOnQuitDeleteDataFile = false;
      Control<QCheckBox>(window_, "chkOnQuitDeleteDataFile")->setChecked(false);
      window_->close();
    }
    Settle();
  }

  void Click(const char* name) {
    QTest::mouseClick(Control<QAbstractButton>(window_, name), Qt::LeftButton);
  }
  std::string top() const { return dir_.folder() + "top/"; }
  // Opens the index and the top folder through their dialogs, the top
  // folder given without its trailing "/".
  void OpenIndexAndTop() {
    dialogs_.QueueAnswer(index_);
    Click("cmdIndexFile");
    dialogs_.QueueAnswer(dir_.folder() + "top");
    Click("cmdTopFolder");
  }
  void Search(const QString& words) {
    Control<QLineEdit>(window_, "txbSearchWords")->clear();
    QTest::keyClicks(Control<QLineEdit>(window_, "txbSearchWords"), words);
    QTest::keyClick(Control<QLineEdit>(window_, "txbSearchWords"),
                    Qt::Key_Return);
  }
  Outcome Cli(std::vector<std::string> args) {
    std::string command = "ORVANE_OPEN=true " + Quote(ORVANE_PROGRAM) +
                          " search --index " + Quote(index_) + " --top " +
                          Quote(top());
    for (const std::string& a : args) command += " " + Quote(a);
    return RunShellCommand(command, dir_.Path("err.txt"));
  }
  // The results box as the user reads it (LF line ends, as the console).
  std::string Results() {
    return Control<QPlainTextEdit>(window_, "txbFiles")
        ->toPlainText()
        .toStdString();
  }

  TempDir dir_;
  std::string index_;
  QPointer<frmSearchMain> window_;
};

TEST_F(FrmSearchMainTest, EveryControlTheEngineNamesIsThere) {
  for (std::string_view name : SearchControlNames()) {
    EXPECT_NE(window_->findChild<QWidget*>(QString::fromUtf8(name.data(),
                                                             name.size())),
              nullptr)
        << name;
  }
  EXPECT_NE(window_->findChild<QTimer*>("Timer1"), nullptr);
  // Start values.
  EXPECT_EQ(window_->windowTitle(), "Orvane File Search -- Search Module");
  EXPECT_EQ(Control<QComboBox>(window_, "cboSearchType")->currentText(),
            "All words");
  EXPECT_EQ(Control<QComboBox>(window_, "cboSizeOfExtract")->currentText(),
            "5");
  EXPECT_TRUE(Control<QCheckBox>(window_, "chkGenerateHTML")->isChecked());
  EXPECT_TRUE(Control<QRadioButton>(window_, "optHTMLReport")->isChecked());
  EXPECT_TRUE(Control<QRadioButton>(window_, "optAlphabetically")->isChecked());
  EXPECT_TRUE(Control<QRadioButton>(window_, "optSearchAllFiles")->isChecked());
  EXPECT_FALSE(Control<QPushButton>(window_, "cmdSpecifyFile")->isVisible());
  EXPECT_FALSE(
      Control<QPushButton>(window_, "cmdListIndexedFiles")->isEnabled());
  for (int i = 0; i < 5; ++i) {
    const std::string clear = "cmdClear[" + std::to_string(i) + "]";
    EXPECT_FALSE(Control<QPushButton>(window_, clear)->isVisible()) << clear;
  }
  // The link reads what it opens, not its address ("docs/search_module.htm"
  // once).
  EXPECT_EQ(Control<LinkLabel>(window_, "lblUserManualURL")->text(),
            "User manual");
  // Every box can be found by a screen reader.
  for (QWidget* box : std::initializer_list<QWidget*>{
           Control<QLineEdit>(window_, "txbIndexFile"),
           Control<QLineEdit>(window_, "txbTopFolder"),
           Control<QLineEdit>(window_, "txbSingleFile"),
           Control<QLineEdit>(window_, "txbSearchWords"),
           Control<QPlainTextEdit>(window_, "txbFiles"),
           Control<QLineEdit>(window_, "txbMaxNumExtracts"),
           Control<QComboBox>(window_, "cboSearchType"),
           Control<QComboBox>(window_, "cboSizeOfExtract"),
           Control<QComboBox>(window_, "cboSettings")}) {
    EXPECT_FALSE(box->accessibleName().isEmpty()) << box->objectName().toStdString();
  }
  EXPECT_EQ(window_->focusWidget(),
            Control<QPushButton>(window_, "cmdTopFolder"));

  // The two links open the user manual's page and the maker's.
  QTest::mouseClick(Control<LinkLabel>(window_, "lblUserManualURL"),
                    Qt::LeftButton);
  QTest::mouseClick(Control<LinkLabel>(window_, "lblOrvaneSystems"),
                    Qt::LeftButton);
  EXPECT_EQ(opener_.targets(),
            (std::vector<std::string>{Shell::ResolveAddress(GetProgramText(3)),
                                      Shell::ResolveAddress(GetProgramText(6))}));
}

TEST_F(FrmSearchMainTest, SearchShowsWhatTheCommandLinePrints) {
  Control<QCheckBox>(window_, "chkGenerateHTML")->setChecked(false);
  OpenIndexAndTop();
  EXPECT_EQ(Control<QLineEdit>(window_, "txbTopFolder")->text().toStdString(),
            top());
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdClear[1]")->isVisible());
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdClear[2]")->isVisible());
  EXPECT_TRUE(
      Control<QPushButton>(window_, "cmdListIndexedFiles")->isEnabled());
  EXPECT_EQ(Control<QLabel>(window_, "lblSearchableWords")
                ->text()
                .toStdString()
                .rfind("There are ", 0),
            0u);
  EXPECT_EQ(window_->focusWidget(),
            Control<QLineEdit>(window_, "txbSearchWords"));

  for (const auto& [type, flag] : std::vector<std::pair<int, const char*>>{
           {0, "any"}, {1, "all"}, {2, "phrase"}}) {
    Control<QComboBox>(window_, "cboSearchType")->setCurrentIndex(type);
    Search("lazy fox");
    Outcome cli = Cli({"--type", flag, "lazy", "fox"});
    ASSERT_EQ(cli.status, 0) << cli.err;
    const std::string label =
        FromQt(Control<QLabel>(window_, "lblNumFilesFound")->text()) + "\n";
    EXPECT_EQ(Results() + label, cli.out) << flag;
  }
  EXPECT_EQ(Control<QLabel>(window_, "lblNumFilesFound")->text(),
            "Number of files found with matches: 1");
  EXPECT_EQ(Control<QPushButton>(window_, "cmdSearch")->text(), "Search");
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdSearch")->isEnabled());
  EXPECT_TRUE(Control<QLabel>(window_, "lblNumFilesFound")->isEnabled());
  EXPECT_EQ(window_->focusWidget(), Control<QPushButton>(window_, "cmdSearch"));
  // The timer opens the copy and clear buttons of the results.
  window_->Timer1_Timer();
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdCopyToClipboard")->isEnabled());
  EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.Transcript();

  // Nothing found: the no-match text of the type.
  Search("zebra");
  EXPECT_EQ(Results(), "No file contains that phrase.\n");
}

// A text report of 133 files once showed one file and "THE REPORT BUFFER
// IS FULL.": the whole report of a search over 500 files reaches the
// window, as the command line prints it.
TEST_F(FrmSearchMainTest, TheWholeReportOfFiveHundredFilesIsShown) {
  std::string paragraph = "The needle stands here.";
  for (int k = 0; k < 16; ++k) paragraph += " lorem ipsum dolor sit amet";
  std::vector<std::string> names;
  for (int i = 0; i < 500; ++i) {
    names.push_back("many/file " + std::to_string(1000 + i) + ".txt");
    dir_.Write("top/" + names.back(),
               paragraph + "\r\n" + paragraph + "\r\n" + paragraph + "\r\n");
  }
  index_ = WriteIndex(dir_, "m", IndexOfTree(dir_, "top/", names), false);
  OpenIndexAndTop();
  Control<QRadioButton>(window_, "optTextReport")->setChecked(true);
  Search("needle");
  frmLargeDisplay& display = launcher_.large_display();
  ASSERT_TRUE(display.isVisible());
  Outcome cli = Cli({"--report", "text", "needle"});
  ASSERT_EQ(cli.status, 0) << cli.err;
  ASSERT_GT(cli.out.size(), 2 * 61440u);  // twice the old limit
  EXPECT_EQ(Shown(display).toStdString(), cli.out);
  EXPECT_FALSE(display.ReportBufferFull());
  EXPECT_NE(cli.out.find(top() + "many/file 1499.txt"), std::string::npos);
  display.Hide();
}

TEST_F(FrmSearchMainTest, TextReportInTheLargeDisplayMatchesTheCommandLine) {
  OpenIndexAndTop();
  Control<QRadioButton>(window_, "optTextReport")->setChecked(true);
  Control<QLineEdit>(window_, "txbMaxNumExtracts")->setText("1");
  Control<QComboBox>(window_, "cboSearchType")->setCurrentIndex(0);
  Search("fox hound");
  frmLargeDisplay& display = launcher_.large_display();
  ASSERT_TRUE(display.isVisible());
  Outcome cli = Cli({"--type", "any", "--report", "text", "--max-extracts", "1",
                     "fox", "hound"});
  ASSERT_EQ(cli.status, 0) << cli.err;
  EXPECT_EQ(Lf(display.text()), cli.out);
  EXPECT_EQ(display.windowTitle(), "Search results");
  display.Hide();

  // "Report ->" makes it again from the same search.
  Click("cmdGenerateHTML");
  EXPECT_TRUE(display.isVisible());
  EXPECT_EQ(Lf(display.text()), cli.out);
  display.Hide();
  // After the words changed it asks for a search first.
  QTest::keyClicks(Control<QLineEdit>(window_, "txbSearchWords"), " dog");
  Click("cmdGenerateHTML");
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].text,
            GetProgramText(66) + "\r\n" + GetProgramText(68));
}

TEST_F(FrmSearchMainTest, HtmlReportGoesToTheOpenerAsTheCommandLineWritesIt) {
  OpenIndexAndTop();
  Control<QCheckBox>(window_, "chkDisplayFilepaths")->setChecked(true);
  Search("lazy fox");
  ASSERT_EQ(opener_.targets().size(), 1u) << prompter_.Transcript();
  const std::string page = ReadFileBytes(opener_.targets()[0]);
  Outcome cli = Cli({"--report", "html", "--filepaths", "1", "--no-open",
                     "--html-out", dir_.Path("cli.htm"), "lazy", "fox"});
  ASSERT_EQ(cli.status, 0) << cli.err;
  EXPECT_EQ(page, ReadFileBytes(dir_.Path("cli.htm")));
  EXPECT_NE(page.find("Files found: <b>3</b>"), std::string::npos);
  // "Report ->" reads "Stop" while the report runs; a click on it ends the
  // report, and the stopped page is not opened.
  yield_.At(yield_.calls() + 1, [&] {
    EXPECT_EQ(Control<QPushButton>(window_, "cmdGenerateHTML")->text(), "Stop");
    Control<QPushButton>(window_, "cmdGenerateHTML")->click();
  });
  Click("cmdGenerateHTML");
  EXPECT_EQ(opener_.targets().size(), 1u);
  EXPECT_NE(ReadFileBytes(opener_.targets()[0]).find(
                "[Generation of report was stopped.]"),
            std::string::npos);
  // The report leaves the window as it found it.
  EXPECT_EQ(Control<QPushButton>(window_, "cmdGenerateHTML")->text(),
            "Report ->");
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdGenerateHTML")->isEnabled());
  EXPECT_TRUE(Control<QPlainTextEdit>(window_, "txbFiles")
                  ->toPlainText()
                  .startsWith(ToQt(top())));
}

TEST_F(FrmSearchMainTest, DoubleClickOnAPathLineOpensThatFile) {
  Control<QCheckBox>(window_, "chkGenerateHTML")->setChecked(false);
  OpenIndexAndTop();
  Search("lazy");
  QPlainTextEdit* box = Control<QPlainTextEdit>(window_, "txbFiles");
  auto double_click_line = [&](int block_number) {
    QTextBlock block = box->document()->findBlockByNumber(block_number);
    QTextCursor cursor(block);
    QRect place = box->cursorRect(cursor);
    QTest::mouseDClick(box->viewport(), Qt::LeftButton, Qt::NoModifier,
                       place.center() + QPoint(4, 0));
  };
  double_click_line(1);  // the first file's title line
  EXPECT_TRUE(opener_.targets().empty());
  double_click_line(3);  // the second file's path line
  ASSERT_EQ(opener_.targets().size(), 1u);
  EXPECT_EQ(opener_.targets()[0], top() + "b.txt");
}

TEST_F(FrmSearchMainTest, CopiesTheResultsOrTheSelection) {
  Control<QCheckBox>(window_, "chkGenerateHTML")->setChecked(false);
  OpenIndexAndTop();
  Search("hound");
  QClipboard* clipboard = QGuiApplication::clipboard();
  EXPECT_EQ(
      Control<QPushButton>(window_, "cmdCopyToClipboard")->text().toStdString(),
      GetProgramText(33));
  Click("cmdCopyToClipboard");
  EXPECT_EQ(clipboard->text(),
            Control<QPlainTextEdit>(window_, "txbFiles")->toPlainText());

  QTextCursor cursor =
      Control<QPlainTextEdit>(window_, "txbFiles")->textCursor();
  cursor.movePosition(QTextCursor::Start);
  cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
  Control<QPlainTextEdit>(window_, "txbFiles")->setTextCursor(cursor);
  EXPECT_EQ(
      Control<QPushButton>(window_, "cmdCopyToClipboard")->text().toStdString(),
      GetProgramText(32));
  Click("cmdCopyToClipboard");
  EXPECT_EQ(clipboard->text().toStdString(), top() + "sub/c.htm");
  EXPECT_FALSE(Control<QPlainTextEdit>(window_, "txbFiles")
                   ->textCursor()
                   .hasSelection());
  EXPECT_EQ(
      Control<QPushButton>(window_, "cmdCopyToClipboard")->text().toStdString(),
      GetProgramText(33));
}

// An index file dropped on the window opens, as if chosen with its
// button; a folder becomes the top folder; any other file is refused as
// the dialog's choice is.
TEST_F(FrmSearchMainTest, DroppedIndexFilesOpenAndDroppedFoldersAreTheTop) {
  EXPECT_TRUE(DropPath(window_, index_));
  EXPECT_EQ(Control<QLineEdit>(window_, "txbIndexFile")->text().toStdString(),
            index_);
  EXPECT_TRUE(window_->module().state().index.blnDataFileReady);
  EXPECT_EQ(Control<QLabel>(window_, "lblTitle[1]")->text(), "Test index");
  EXPECT_TRUE(
      Control<QPushButton>(window_, "cmdListIndexedFiles")->isEnabled());

  // Onto the search words' box: not its text, the top folder.
  EXPECT_TRUE(DropPath(Control<QLineEdit>(window_, "txbSearchWords"),
                       dir_.folder() + "top"));
  EXPECT_EQ(Control<QLineEdit>(window_, "txbTopFolder")->text().toStdString(),
            top());
  EXPECT_EQ(Control<QLineEdit>(window_, "txbSearchWords")->text(), "");
  EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.Transcript();
  Search("fox");
  EXPECT_EQ(Control<QLabel>(window_, "lblNumFilesFound")->text(),
            "Number of files found with matches: 3");

  // Any other file, once an index is chosen: why it is found or not, with
  // the search words.
  EXPECT_TRUE(DropPath(window_, dir_.Path("top/a.txt")));
  ASSERT_FALSE(prompter_.boxes().empty());
  EXPECT_EQ(prompter_.boxes().back().title, "Why not found?");
  EXPECT_EQ(prompter_.boxes().back().text,
            "The settings this index was made with are not kept beside it; "
            "the answer takes the default settings.\r\n\r\n" +
                dir_.Path("top/a.txt") +
                " is in the index (file 1 of 4).\r\n\r\nThe word \"fox\" is in "
                "the lexicon: 3 files hold it, and its score in this file is "
                "128 (of 255).");
  // A file named as no index file is: refused as an index file.
  EXPECT_TRUE(DropPath(window_, dir_.Write("other.tavo", "x")));
  EXPECT_EQ(prompter_.boxes().back().text,
            "Index file names must end in '_index.tavo'.");
}

// "Why not found?" asks of the file in the single file box, or of one
// chosen in the dialog when the box is empty, with the search words.
TEST_F(FrmSearchMainTest, WhyNotFoundAsksOfTheSingleFileOrAChosenOne) {
  OpenIndexAndTop();
  Control<QLineEdit>(window_, "txbSearchWords")->setText("fox zebra");
  dialogs_.QueueAnswer(dir_.Write("top/e.txt", "fox"));
  Click("cmdWhyNotFound");
  ASSERT_FALSE(prompter_.boxes().empty());
  EXPECT_EQ(prompter_.boxes().back().title, "Why not found?");
  const std::string& chosen = prompter_.boxes().back().text;
  EXPECT_NE(chosen.find(top() + "e.txt is not in the index: "),
            std::string::npos)
      << chosen;
  EXPECT_NE(chosen.find("The word \"zebra\" is not in the lexicon: it never "
                        "occurs in an indexed file."),
            std::string::npos)
      << chosen;

  Click("optSearchSingleFile");
  Control<QLineEdit>(window_, "txbSingleFile")->setText(
      QString::fromStdString(top() + "b.txt"));
  Click("cmdWhyNotFound");
  EXPECT_NE(prompter_.boxes().back().text.find(top() +
                                               "b.txt is in the index (file 2 "
                                               "of 4)."),
            std::string::npos)
      << prompter_.boxes().back().text;
}

TEST_F(FrmSearchMainTest, IndexFileNamesAndVanishedIndexes) {
  dialogs_.QueueAnswer(dir_.Write("other.tavo", "x"));
  Click("cmdIndexFile");
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Invalid input");
  EXPECT_EQ(Control<QLineEdit>(window_, "txbIndexFile")->text(), "");
  EXPECT_FALSE(
      Control<QPushButton>(window_, "cmdListIndexedFiles")->isEnabled());
  EXPECT_EQ(dialogs_.shown()[0].request.title, GetProgramText(65));

  OpenIndexAndTop();
  fs::remove(index_);
  fs::remove(dir_.Path("t_data.tavo"));
  window_->module().ForgetIndex();
  Search("fox");
  EXPECT_EQ(prompter_.boxes().back().text, "Index file not found.");
  // A damaged index: the load's message, the window usable again.
  dir_.Write("t_index.tavo", "junk");
  Search("fox");
  EXPECT_NE(prompter_.boxes().back().text.find(
                "Error when reading the index file: -3"),
            std::string::npos);
  // The title of the index loaded before does not stay beside the message.
  EXPECT_EQ(Control<QLabel>(window_, "lblTitle[1]")->text(), "");
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdSearch")->isEnabled());
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdIndexFile")->isEnabled());
  EXPECT_EQ(Control<QPushButton>(window_, "cmdSearch")->text(), "Search");
}

TEST_F(FrmSearchMainTest, SingleFileMustLieInTheTopFolder) {
  Click("optSearchSingleFile");
  // Before a top folder is set, "Specify file" only says so.
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdSpecifyFile")->isVisible());
  EXPECT_FALSE(
      Control<QPushButton>(window_, "cmdListIndexedFiles")->isVisible());
  Click("cmdSpecifyFile");
  EXPECT_EQ(prompter_.boxes().back().text, GetProgramText(23));
  EXPECT_TRUE(dialogs_.shown().empty());

  Control<QCheckBox>(window_, "chkGenerateHTML")->setChecked(false);
  OpenIndexAndTop();
  EXPECT_TRUE(
      Control<QRadioButton>(window_, "optSearchSingleFile")->font().bold());
  EXPECT_FALSE(
      Control<QRadioButton>(window_, "optSearchAllFiles")->font().bold());
  // Another tree is refused and the box emptied.
  dialogs_.QueueAnswer(dir_.Write("elsewhere/a.txt", "fox"));
  Click("cmdSpecifyFile");
  EXPECT_EQ(prompter_.boxes().back().text, GetProgramText(72));
  EXPECT_EQ(Control<QLineEdit>(window_, "txbSingleFile")->text(), "");
  EXPECT_EQ(dialogs_.shown().back().request.start_folder, top());
  // The top folder written in other letter case is accepted.
  std::string upper = top();
  upper.replace(upper.size() - 4, 3, "TOP");
  const std::size_t boxes = prompter_.boxes().size();
  dialogs_.QueueAnswer(upper + "a.txt");
  Click("cmdSpecifyFile");
  EXPECT_EQ(prompter_.boxes().size(), boxes) << prompter_.Transcript();
  EXPECT_EQ(Control<QLineEdit>(window_, "txbSingleFile")->text().toStdString(),
            upper + "a.txt");
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdClear[4]")->isVisible());
  // A file whose relative path differs from the index's in letter case
  // passes the check, but the search does not find it.
  dialogs_.QueueAnswer(top() + "A.TXT");
  Click("cmdSpecifyFile");
  EXPECT_EQ(prompter_.boxes().size(), boxes) << prompter_.Transcript();
  Search("fox");
  EXPECT_EQ(Control<QLabel>(window_, "lblNumFilesFound")->text(), "Not found");
  EXPECT_EQ(Results(), "The file does not contain all the search words.\n");
  // The right one is found.
  dialogs_.QueueAnswer(top() + "a.txt");
  Click("cmdSpecifyFile");
  Search("fox");
  EXPECT_EQ(Control<QLabel>(window_, "lblNumFilesFound")->text(), "Found");
  Outcome cli = Cli({"--single-file", top() + "a.txt", "fox"});
  EXPECT_EQ(Results() + "Found\n", cli.out);

  Click("optSearchAllFiles");
  EXPECT_FALSE(Control<QPushButton>(window_, "cmdSpecifyFile")->isVisible());
  EXPECT_FALSE(Control<QPushButton>(window_, "cmdClear[4]")->isVisible());
  EXPECT_TRUE(
      Control<QPushButton>(window_, "cmdListIndexedFiles")->isVisible());
  EXPECT_TRUE(
      Control<QRadioButton>(window_, "optSearchAllFiles")->font().bold());
}

TEST_F(FrmSearchMainTest, SettingsSavedAndLoadedWithEveryLine) {
  OpenIndexAndTop();
  Control<QComboBox>(window_, "cboSearchType")->setCurrentIndex(2);
  Control<QLineEdit>(window_, "txbMaxNumExtracts")->setText("7");
  Control<QComboBox>(window_, "cboSizeOfExtract")->setCurrentIndex(8);
  Control<QCheckBox>(window_, "chkSortMatches")->setChecked(true);
  Control<QCheckBox>(window_, "chkGenerateHTML")->setChecked(false);
  Control<QCheckBox>(window_, "chkDisplayDescriptions")->setChecked(false);
  Control<QCheckBox>(window_, "chkDisplayFilepaths")->setChecked(true);
  Control<QCheckBox>(window_, "chkOnQuitDeleteDataFile")->setChecked(true);
  Control<QRadioButton>(window_, "optTextReport")->setChecked(true);
  Click("optSearchSingleFile");
  dialogs_.QueueAnswer(top() + "b.txt");
  Click("cmdSpecifyFile");
  QTest::keyClicks(Control<QLineEdit>(window_, "txbSearchWords"), "lazy, fox");
  const QString title = Control<QLabel>(window_, "lblTitle[1]")->text();

  // Choosing a command only says how to run it.
  Control<QComboBox>(window_, "cboSettings")->setCurrentIndex(1);
  emit Control<QComboBox>(window_, "cboSettings")->activated(1);
  EXPECT_EQ(prompter_.boxes().back().text,
            "Now click on the 'Settings' button to do this.");
  const std::string file = dir_.Path("mine.usrs");
  dialogs_.QueueAnswer(file);
  QTimer::singleShot(20, [&] { launcher_.pop_up().hide(); });
  Click("cmdSettings");
  EXPECT_EQ(launcher_.pop_up().lblMessage->text().toStdString(),
            GetProgramText(17));
  EXPECT_EQ(dialogs_.shown().back().request.file_name, "t.usrs");
  ASSERT_TRUE(FileExists(file));

  // Everything back to something else, then loaded again.
  Click("cmdClear[2]");
  Click("cmdClear[1]");
  Click("cmdClear[3]");
  Click("optSearchAllFiles");
  Control<QCheckBox>(window_, "chkSortMatches")->setChecked(false);
  Control<QComboBox>(window_, "cboSearchType")->setCurrentIndex(0);
  Control<QComboBox>(window_, "cboSettings")->setCurrentIndex(3);
  dialogs_.QueueAnswer(file);
  Click("cmdSettings");
  EXPECT_EQ(Control<QComboBox>(window_, "cboSearchType")->currentIndex(), 2);
  EXPECT_EQ(Control<QLineEdit>(window_, "txbMaxNumExtracts")->text(), "7");
  EXPECT_EQ(Control<QComboBox>(window_, "cboSizeOfExtract")->currentIndex(), 8);
  EXPECT_TRUE(Control<QCheckBox>(window_, "chkSortMatches")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(window_, "chkGenerateHTML")->isChecked());
  EXPECT_FALSE(
      Control<QCheckBox>(window_, "chkDisplayDescriptions")->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(window_, "chkDisplayFilepaths")->isChecked());
  EXPECT_TRUE(
      Control<QCheckBox>(window_, "chkOnQuitDeleteDataFile")->isChecked());
  EXPECT_EQ(Control<QLineEdit>(window_, "txbIndexFile")->text().toStdString(),
            index_);
  EXPECT_EQ(Control<QLineEdit>(window_, "txbTopFolder")->text().toStdString(),
            top());
  EXPECT_EQ(Control<QLabel>(window_, "lblTitle[1]")->text(), title);
  EXPECT_TRUE(Control<QRadioButton>(window_, "optTextReport")->isChecked());
  EXPECT_TRUE(
      Control<QRadioButton>(window_, "optSearchSingleFile")->isChecked());
  EXPECT_EQ(Control<QLineEdit>(window_, "txbSingleFile")->text().toStdString(),
            top() + "b.txt");
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdClear[4]")->isVisible());
  EXPECT_EQ(Control<QLineEdit>(window_, "txbSearchWords")->text(), "lazy, fox");

  // A file of the Index Module is refused and changes nothing.
  dialogs_.QueueAnswer(dir_.Write("x.usri", "\"Tavora -- Settings for Index Module\"\r\n"));
  Click("cmdSettings");
  EXPECT_EQ(prompter_.boxes().back().title, "Load settings");
  EXPECT_EQ(Control<QLineEdit>(window_, "txbSearchWords")->text(), "lazy, fox");
}

TEST_F(FrmSearchMainTest, SavedForNextRunOpensWithTheNextWindow) {
  OpenIndexAndTop();
  QTest::keyClicks(Control<QLineEdit>(window_, "txbSearchWords"), "hound");
  QTimer::singleShot(20, [&] { launcher_.pop_up().hide(); });
  Click("cmdSettings");  // "Save for next run"
  window_->close();
  Settle();
  QTest::mouseClick(launcher_.cmdSearchModule, Qt::LeftButton);
  window_ = qobject_cast<frmSearchMain*>(launcher_.module());
  ASSERT_NE(window_, nullptr);
  EXPECT_EQ(Control<QLineEdit>(window_, "txbSearchWords")->text(), "hound");
  EXPECT_EQ(Control<QLineEdit>(window_, "txbIndexFile")->text().toStdString(),
            index_);
  EXPECT_EQ(window_->focusWidget(), Control<QPushButton>(window_, "cmdSearch"));
  std::remove(DefaultSearchSettingsPath().c_str());
}

TEST_F(FrmSearchMainTest, QuitDeletesTheStoreFileOnRequest) {
  Control<QCheckBox>(window_, "chkGenerateHTML")->setChecked(false);
  OpenIndexAndTop();  // the load makes the store file
  const std::string store = dir_.Path("t_store.tavo");
  ASSERT_TRUE(FileExists(store));
  Control<QCheckBox>(window_, "chkOnQuitDeleteDataFile")->setChecked(true);
  prompter_.QueueAnswer(Answer::kNo);
  Click("cmdQuit");
  Settle();
  EXPECT_TRUE(FileExists(store));
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Delete store file?");
  EXPECT_EQ(launcher_.module(), nullptr);
  EXPECT_TRUE(launcher_.isVisible());

  // An empty store file goes without a question.
  QTest::mouseClick(launcher_.cmdSearchModule, Qt::LeftButton);
  window_ = qobject_cast<frmSearchMain*>(launcher_.module());
  OpenIndexAndTop();
  dir_.Write("t_store.tavo", "");
  Control<QCheckBox>(window_, "chkOnQuitDeleteDataFile")->setChecked(true);
  Click("cmdQuit");
  Settle();
  EXPECT_FALSE(FileExists(store));
  EXPECT_EQ(prompter_.boxes().size(), 1u);
}

TEST_F(FrmSearchMainTest, StopAndQuitWhileASearchRuns) {
  Control<QCheckBox>(window_, "chkGenerateHTML")->setChecked(false);
  Control<QComboBox>(window_, "cboSearchType")->setCurrentIndex(2);
  OpenIndexAndTop();
  // A click on Search before it reads "Stop" is ignored; once it reads
  // "Stop" the click stops the run.
  int yields = yield_.calls();
  yield_.At(yields + 1, [&] {
    EXPECT_EQ(Control<QPushButton>(window_, "cmdSearch")->text(), "Search");
    EXPECT_FALSE(Control<QPushButton>(window_, "cmdIndexFile")->isEnabled());
    Control<QPushButton>(window_, "cmdSearch")->click();
  });
  for (int n = yields + 2; n < yields + 40; ++n) {
    yield_.At(n, [&] {
      if (Control<QPushButton>(window_, "cmdSearch")->text() == "Stop")
        Control<QPushButton>(window_, "cmdSearch")->click();
    });
  }
  Search("lazy fox");
  EXPECT_EQ(Control<QPushButton>(window_, "cmdSearch")->text(), "Search");
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdIndexFile")->isEnabled());
  EXPECT_EQ(Control<QLabel>(window_, "lblNumFilesFound")->text(),
            "Number of files found with matches: 0");

  // Quit during the phrase confirmation: the run ends, then the window.
  yields = yield_.calls();
  for (int n = yields + 1; n < yields + 40; ++n) {
    yield_.At(n, [&] {
      if (window_ != nullptr && window_->isVisible() &&
          Control<QPushButton>(window_, "cmdSearch")->text() == "Stop") {
        Control<QPushButton>(window_, "cmdQuit")->click();
      }
    });
  }
  Search("lazy fox");
  Settle();
  EXPECT_EQ(window_, nullptr);
  EXPECT_EQ(launcher_.module(), nullptr);
  EXPECT_TRUE(launcher_.isVisible());
  EXPECT_TRUE(launcher_.state().blnQuit);
}

TEST_F(FrmSearchMainTest, ListsTheIndexedFilesInsideTheWindow) {
  OpenIndexAndTop();
  Control<QRadioButton>(window_, "optByFolder")->setChecked(true);
  Click("cmdListIndexedFiles");
  frmLargeDisplay& display = launcher_.large_display();
  ASSERT_TRUE(display.isVisible());
  EXPECT_EQ(display.windowTitle(),
            "Listing by folder of the filepaths of the 4 indexed files");
  EXPECT_NE(display.text().find("a.txt\r\nb.txt\r\n\r\nsub/c.htm\r\n\r\nd.txt\r\n"),
            std::string::npos);
  EXPECT_TRUE(window_->geometry().contains(display.geometry().topLeft()));
  display.Hide();
}

TEST_F(FrmSearchMainTest, MinimisedCaptionAndTheTopFolderClear) {
  window_->showMinimized();
  EXPECT_EQ(window_->windowTitle(), "TAVO -- Search Module");
  window_->showNormal();
  EXPECT_EQ(window_->windowTitle(), "Orvane File Search -- Search Module");

  OpenIndexAndTop();
  Click("cmdClear[1]");
  EXPECT_EQ(Control<QLineEdit>(window_, "txbTopFolder")->text(), "");
  EXPECT_FALSE(Control<QPushButton>(window_, "cmdClear[1]")->isVisible());
  EXPECT_FALSE(
      Control<QRadioButton>(window_, "optSearchAllFiles")->font().bold());
  EXPECT_EQ(window_->focusWidget(),
            Control<QPushButton>(window_, "cmdTopFolder"));
  Search("fox");
  EXPECT_EQ(prompter_.boxes().back().title, "Top folder not specified");
}

TEST_F(FrmSearchMainTest, RefusedQueriesAndAForeignTopFolderLeaveItUsable) {
  Control<QCheckBox>(window_, "chkGenerateHTML")->setChecked(false);
  OpenIndexAndTop();
  // A letter and a double quote make the umlaut as they are typed.
  QTest::keyClicks(Control<QLineEdit>(window_, "txbSearchWords"), "Mu\"de");
  EXPECT_EQ(Control<QLineEdit>(window_, "txbSearchWords")->text(),
            QString::fromUtf8("M\u00fcde"));
  EXPECT_TRUE(Control<QPushButton>(window_, "cmdClear[3]")->isVisible());
  // A character that no index can hold (typed as a whole: the test's keys
  // are ASCII only).
  QLineEdit* words = Control<QLineEdit>(window_, "txbSearchWords");
  words->setText(QString::fromUtf8("fox \u0436"));
  QTest::keyClick(words, Qt::Key_Return);
  ASSERT_FALSE(prompter_.boxes().empty());
  EXPECT_EQ(prompter_.boxes().back().text, GetProgramText(100));
  // A stem under "All words" switches the type in the window.
  Search("fo*");
  EXPECT_EQ(Control<QComboBox>(window_, "cboSearchType")->currentText(),
            "Any word");
  EXPECT_NE(prompter_.boxes().back().text.find("Stems in search words"),
            std::string::npos);
  Search("fo*");
  EXPECT_EQ(Control<QLabel>(window_, "lblNumFilesFound")->text(),
            "Number of files found with matches: 3");

  // A top folder that holds none of the indexed files.
  dir_.MakeDir("empty");
  dialogs_.QueueAnswer(dir_.folder() + "empty/");
  Click("cmdTopFolder");
  Search("fox");
  EXPECT_EQ(prompter_.boxes().back().title, "Search");
  EXPECT_EQ(prompter_.boxes().back().text.rfind(
                "No indexed file occurs in the top folder", 0),
            0u);
  for (QWidget* control : std::initializer_list<QWidget*>{
           Control<QPushButton>(window_, "cmdSearch"),
           Control<QPushButton>(window_, "cmdIndexFile"),
           Control<QPushButton>(window_, "cmdTopFolder"),
           Control<QComboBox>(window_, "cboSearchType"),
           Control<QCheckBox>(window_, "chkSortMatches")}) {
    EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
  }
}

}  // namespace
}  // namespace orvane::testing
