// The rules of the Search Module window without a window: start values,
// focus, the timer, the modes, the clear buttons, the settings commands,
// the data file on quitting and the found file under a double click.
#include "engine/modules/search_window.h"

#include <gtest/gtest.h>

#include "engine/common/program_texts.h"
#include "engine/search/search_controls.h"
#include "engine/search/search_settings_file.h"
#include "engine/text/file_checks.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

using SearchClick = SearchModule::SearchClick;

TEST(SearchWindowTest, FocusGoesToTheFirstThingMissing) {
  struct Row {
    const char* top;
    const char* index;
    const char* words;
    SearchWindowFacts facts;
    const char* focus;
  };
  SearchWindowFacts all;
  SearchWindowFacts no_top_button = all;
  no_top_button.cmdTopFolder_usable = false;
  SearchWindowFacts hidden = all;
  hidden.window_visible = false;
  SearchWindowFacts search_disabled = all;
  search_disabled.cmdSearch_enabled = false;
  const Row rows[] = {
      {"", "", "", all, "cmdTopFolder"},
      {"", "", "", no_top_button, "cmdIndexFile"},
      {"/t/", "", "", all, "cmdIndexFile"},
      {"/t/", "/i_index.tavo", "", all, "txbSearchWords"},
      {"/t/", "/i_index.tavo", "fox", all, "cmdSearch"},
      {"/t/", "/i_index.tavo", "fox", search_disabled, ""},
      {"", "", "", hidden, ""},
  };
  for (const Row& row : rows) {
    SearchFixture f;
    SearchSettings& s = f.settings();
    s.txbTopFolder = row.top;
    s.txbIndexFile = row.index;
    s.txbSearchWords = row.words;
    f.window.ApplyFocusRule(row.facts);
    EXPECT_EQ(f.view.focus(), row.focus) << row.top << "|" << row.index;
    // The listing button follows the index box in every case.
    EXPECT_EQ(f.view.Enabled("cmdListIndexedFiles"), !s.txbIndexFile.empty());
  }
}

TEST(SearchWindowTest, TimerEnablesByWhatTheBoxesHold) {
  SearchFixture f;
  SearchSettings& s = f.settings();
  s.txbIndexFile = "  /i_index.tavo ";
  SearchTimerFacts facts;
  facts.cmdListIndexedFiles_enabled = false;
  facts.results_empty = false;
  const RecordingViewState& view = f.view;
  f.window.Timer1_Timer(facts);
  EXPECT_EQ(s.txbIndexFile, "/i_index.tavo");
  EXPECT_EQ(view.Text("txbIndexFile"), "/i_index.tavo");
  EXPECT_FALSE(view.Enabled("optByFolder"));
  EXPECT_FALSE(view.Enabled("optAlphabetically"));
  EXPECT_TRUE(view.Enabled("optSearchSingleFile", false));
  EXPECT_TRUE(view.Enabled("cmdCopyToClipboard", false));

  SearchFixture g;
  facts.cmdListIndexedFiles_visible = false;  // single-file mode
  facts.results_empty = true;
  const RecordingViewState& later = g.view;
  g.window.Timer1_Timer(facts);
  EXPECT_TRUE(later.History("optByFolder").empty());
  EXPECT_TRUE(later.Enabled("optByFolder"));  // never touched
  EXPECT_FALSE(later.Enabled("optSearchAllFiles"));
  EXPECT_FALSE(later.Enabled("cmdClear[0]"));
  EXPECT_TRUE(later.History("txbIndexFile").empty());
}

TEST(SearchWindowTest, ModesShowTheirControlsAndTheBoldOption) {
  SearchFixture f;
  SearchSettings& s = f.settings();
  s.optSearchSingleFile = true;
  s.txbSingleFile = "/t/a.txt";
  const RecordingViewState& view = f.view;
  f.window.ShowSearchMode(SearchWindowFacts());
  EXPECT_FALSE(view.Visible("cmdListIndexedFiles"));
  EXPECT_FALSE(view.Visible("fraListIndexedFilesBy"));
  EXPECT_TRUE(view.Visible("txbSingleFile", false));
  EXPECT_TRUE(view.Visible("cmdClear[4]", false));
  EXPECT_EQ(view.focus(), "cmdSpecifyFile");
  EXPECT_EQ(BoldModeOption(s), "");  // no top folder: neither is bold
  s.txbTopFolder = "/t/";
  EXPECT_EQ(BoldModeOption(s), "optSearchSingleFile");

  s.optSearchSingleFile = false;
  s.txbIndexFile = "/i_index.tavo";
  f.window.ShowSearchMode(SearchWindowFacts());
  EXPECT_TRUE(view.Visible("cmdListIndexedFiles"));
  EXPECT_FALSE(view.Visible("cmdSpecifyFile"));
  EXPECT_FALSE(view.Visible("cmdClear[4]"));
  EXPECT_TRUE(view.Enabled("cmdListIndexedFiles", false));
  EXPECT_EQ(view.focus(), "txbSearchWords");
  EXPECT_EQ(BoldModeOption(s), "optSearchAllFiles");
}

TEST(SearchWindowTest, ClearButtonsEmptyTheirBoxes) {
  SearchFixture f;
  f.settings().txbIndexFile = "/i_index.tavo";
  f.settings().txbTopFolder = "/t/";
  f.settings().project_title = "Title";
  f.state().results.Set("results");
  f.window.Clear(2);
  EXPECT_EQ(f.settings().txbIndexFile, "");
  EXPECT_EQ(f.settings().project_title, "");
  EXPECT_EQ(f.results(), "");
  EXPECT_FALSE(f.view.Visible("cmdClear[2]"));
  EXPECT_FALSE(f.view.Enabled("cmdListIndexedFiles"));
  EXPECT_EQ(f.view.Text("lblTitle[1]"), "");
  EXPECT_EQ(f.view.focus(), "cmdIndexFile");
  f.window.Clear(1);
  EXPECT_EQ(f.settings().txbTopFolder, "");
  EXPECT_EQ(f.view.focus(), "cmdTopFolder");
  f.settings().txbSingleFile = "/t/a.txt";
  f.window.Clear(4);
  EXPECT_EQ(f.view.Text("txbSingleFile"), "");
  EXPECT_EQ(f.view.focus(), "txbSearchWords");
}

TEST(SearchWindowTest, CaptionsOfTheWindow) {
  EXPECT_EQ(MinimisedCaption(), "TAVO -- Search Module");
  EXPECT_EQ(CopyButtonCaption(false), GetProgramText(33));
  EXPECT_EQ(CopyButtonCaption(true), GetProgramText(32));
}

class SearchWindowTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("top/a.txt", "The quick brown fox jumps over the lazy dog.\r\n");
    dir_.Write("top/b.txt", "The lazy fox sleeps.\r\n");
    index_ = WriteIndex(dir_, "t",
                        IndexOfTree(dir_, "top/", {"a.txt", "b.txt"}), true);
    f_.settings().txbIndexFile = index_;
    f_.settings().txbTopFolder = top();
    f_.settings().chkGenerateHTML = false;
  }
  std::string top() const { return dir_.folder() + "top/"; }

  TempDir dir_;
  std::string index_;
  SearchFixture f_;
};

TEST_F(SearchWindowTreeTest,
       DoubleClickedLineNamesAFoundFileOnlyOnItsPathLine) {
  f_.settings().txbSearchWords = "lazy";
  ASSERT_EQ(f_.module.Search(), SearchClick::kSearched);
  EXPECT_EQ(f_.window.FoundFileAtLine(top() + "b.txt"), top() + "b.txt");
  EXPECT_EQ(f_.window.FoundFileAtLine("\"The lazy fox sleeps.\""), "");
  EXPECT_EQ(f_.window.FoundFileAtLine(top()), "");
  EXPECT_EQ(f_.window.FoundFileAtLine(top() + "c.txt"), "");
}

TEST_F(SearchWindowTreeTest, SettingsSavedInBothWaysAndLoadedAgain) {
  f_.settings().txbSearchWords = "lazy fox";
  f_.settings().project_title = "Animals";
  const std::string chosen = dir_.Path("mine");  // ".usrs" is added
  f_.dialogs.QueueAnswer(chosen);
  SettingsOutcome saved =
      f_.window.RunSettingsCommand(SettingsCommand::kSaveInBothWays);
  EXPECT_TRUE(saved.saved);
  EXPECT_TRUE(saved.pop_up);
  ASSERT_EQ(f_.dialogs.shown().size(), 1u);
  EXPECT_EQ(f_.dialogs.shown()[0].request.file_name, "t.usrs");
  EXPECT_EQ(ReadFileBytes(chosen + ".usrs"),
            ReadFileBytes(DefaultSearchSettingsPath()));
  EXPECT_EQ(f_.view.focus(), "cmdSearch");

  // Loading goes back to the defaults first, then takes the file.
  f_.settings().txbSearchWords = "other";
  f_.settings().chkGenerateHTML = true;
  f_.state().index.blnDataFileReady = true;
  f_.dialogs.QueueAnswer(chosen + ".usrs");
  SettingsOutcome loaded =
      f_.window.RunSettingsCommand(SettingsCommand::kLoadFromFile);
  EXPECT_TRUE(loaded.loaded);
  EXPECT_EQ(f_.settings().txbSearchWords, "lazy fox");
  EXPECT_FALSE(f_.settings().chkGenerateHTML);
  EXPECT_EQ(f_.settings().txbIndexFile, index_);
  EXPECT_EQ(f_.settings().txbTopFolder, top());
  EXPECT_FALSE(f_.state().index.blnDataFileReady);
  EXPECT_EQ(f_.view.Text("lblTitle[1]"), "Animals");
  EXPECT_TRUE(f_.view.Visible("cmdClear[2]"));
  EXPECT_TRUE(f_.prompter.boxes().empty()) << f_.Messages();

  // A cancelled dialog does nothing.
  EXPECT_FALSE(
      f_.window.RunSettingsCommand(SettingsCommand::kSaveToFile).saved);
}

TEST_F(SearchWindowTreeTest, LoadDropsWhatNoLongerExists) {
  SearchSettings s;
  s.txbTopFolder = dir_.folder() + "gone/";
  s.txbIndexFile = "relative/t_index.tavo";
  s.txbSearchWords = "fox";
  const std::string path = dir_.Path("s.usrs");
  ASSERT_TRUE(WriteSearchSettingsFile(path, s).ok());
  // At start-up silently.
  f_.window.LoadSettings(path, false);
  EXPECT_EQ(f_.settings().txbTopFolder, "");
  EXPECT_EQ(f_.settings().txbIndexFile, "");
  EXPECT_EQ(f_.settings().txbSearchWords, "fox");
  EXPECT_TRUE(f_.prompter.boxes().empty());
  // Later with the message about the folder.
  f_.window.LoadSettings(path, true);
  EXPECT_EQ(f_.Messages(), "[Folder not found] Top folder " + dir_.folder() +
                               "gone/\r\nfrom last run not found.\n");

  // A file of the Index Module changes nothing and says why.
  f_.settings().txbSearchWords = "kept";
  f_.window.LoadSettings(
      dir_.Write("x.usri", "\"Tavora -- Settings for Index Module\"\r\n"),
      true);
  EXPECT_EQ(f_.settings().txbSearchWords, "kept");
  EXPECT_EQ(f_.prompter.boxes().back().title, "Load settings");
}

TEST_F(SearchWindowTreeTest, DataFileOnQuit) {
  const std::string data = dir_.Path("t_data.tavo");
  ASSERT_TRUE(FileExists(data));
  // Not ticked: nothing.
  f_.window.DeleteDataFileOnQuit();
  EXPECT_TRUE(FileExists(data));
  f_.settings().chkOnQuitDeleteDataFile = true;
  // Asked, with its size; No keeps it, Yes deletes it.
  f_.prompter.QueueAnswer(Answer::kNo);
  f_.window.DeleteDataFileOnQuit();
  EXPECT_TRUE(FileExists(data));
  ASSERT_EQ(f_.prompter.boxes().size(), 1u);
  EXPECT_EQ(f_.prompter.boxes()[0].title, "Delete data file?");
  EXPECT_EQ(f_.prompter.boxes()[0].text.rfind(
                "The data file currently occupies 1 KB.\r\nDo you wish", 0),
            0u);
  f_.prompter.QueueAnswer(Answer::kYes);
  f_.window.DeleteDataFileOnQuit();
  EXPECT_FALSE(FileExists(data));
  // An empty data file goes without a question.
  dir_.Write("t_data.tavo", "");
  f_.window.DeleteDataFileOnQuit();
  EXPECT_FALSE(FileExists(data));
  EXPECT_EQ(f_.prompter.boxes().size(), 2u);

  // A store file and a data file go together, after one question.
  const std::string store = dir_.Path("t_store.tavo");
  dir_.Write("t_data.tavo", std::string(1000, 'd'));
  dir_.Write("t_store.tavo", std::string(3000, 's'));
  f_.prompter.QueueAnswer(Answer::kYes);
  f_.window.DeleteDataFileOnQuit();
  ASSERT_EQ(f_.prompter.boxes().size(), 3u);
  EXPECT_EQ(f_.prompter.boxes()[2].title, "Delete store and data files?");
  EXPECT_EQ(f_.prompter.boxes()[2].text,
            "The store and data files currently occupy 4 KB.\r\n"
            "Do you wish to delete them?\r\n"
            "(If so, the store file will be recreated next time you search.)");
  EXPECT_FALSE(FileExists(data));
  EXPECT_FALSE(FileExists(store));
}

TEST_F(SearchWindowTreeTest, QuitDuringThePhraseConfirmationEndsTheRun) {
  f_.settings().txbSearchWords = "lazy fox";
  f_.settings().cboSearchType = SearchType::kExactPhrase;
  f_.settings().chkGenerateHTML = true;
  // Quit is clicked at the first yield after the caption reads "Stop":
  // inside the scoring, where the candidate files are read.
  for (int n = 1; n < 200; ++n) {
    f_.yield.At(n, [&] {
      if (f_.view.Text("cmdSearch") == "Stop") f_.launcher.blnQuit = true;
    });
  }
  EXPECT_EQ(f_.module.Search(), SearchClick::kQuit);
  EXPECT_TRUE(f_.state().strFilesFound.empty());
  EXPECT_TRUE(f_.opener.targets().empty());  // no report
}

// The window finds every control by the names listed in
// SearchControlNames; a name the engine uses beyond them would be lost.
TEST_F(SearchWindowTreeTest, EveryNameTheEngineAddressesIsAControlOfTheWindow) {
  ASSERT_TRUE(f_.module.ChooseIndexFile(index_));
  f_.module.ChooseTopFolder(top());
  f_.settings().txbSearchWords = "lazy";
  f_.settings().chkGenerateHTML = true;
  f_.settings().html_report_path = dir_.Path("r.htm");
  ASSERT_EQ(f_.module.Search(), SearchClick::kSearched);
  f_.settings().optHTMLReport = false;
  f_.module.MakeReport();
  f_.module.ListIndexedFiles();
  SearchWindowFacts facts;
  SearchTimerFacts timer;
  f_.window.Timer1_Timer(timer);
  for (bool single : {true, false}) {
    f_.settings().optSearchSingleFile = single;
    f_.window.ShowSearchMode(facts);
  }
  for (int i = 0; i < 5; ++i) f_.window.Clear(i);
  f_.window.SaveSettings(dir_.Path("s.usrs"), true);
  f_.window.LoadSettings(dir_.Path("s.usrs"), true);
  f_.settings().txbSearchWords = "s*";
  f_.module.Search();  // switches the search type
  const std::vector<std::string_view> known = SearchControlNames();
  for (const std::string& name : f_.view.Names()) {
    EXPECT_NE(std::find(known.begin(), known.end(), name), known.end()) << name;
  }
}

// A data file that cannot be written (the index lies in a read-only
// folder): the load says why, the window's controls come back, and the
// next search tries again.
TEST_F(SearchWindowTreeTest,
       AnUnwritableDataFileIsToldAndTheSearchCanBeRepeated) {
  TempDir sealed;
  const std::string index = WriteIndex(
      sealed, "t", IndexOfTree(dir_, "top/", {"a.txt", "b.txt"}), false);
  AllowEveryone(dir_.path());
  AllowEveryone(dir_.path() / "top");
  std::filesystem::permissions(sealed.path(),
                               std::filesystem::perms::owner_all |
                                   std::filesystem::perms::group_read |
                                   std::filesystem::perms::group_exec |
                                   std::filesystem::perms::others_read |
                                   std::filesystem::perms::others_exec);
  const int outcome = RunUnprivileged([&] {
    SearchFixture f;
    f.settings().txbIndexFile = index;
    f.settings().txbTopFolder = top();
    f.settings().chkGenerateHTML = false;
    f.settings().txbSearchWords = "lazy";
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (f.module.Search() != SearchClick::kNotLoaded) return 1;
      if (f.Messages().find("Error when creating data file: ") ==
          std::string::npos) {
        return 2;
      }
      if (!f.view.Enabled("cmdSearch") || !f.view.Enabled("cmdIndexFile")) {
        return 3;
      }
    }
    return 0;
  });
  if (outcome == -1000) GTEST_SKIP() << "no unprivileged user to run as";
  EXPECT_EQ(outcome, 0);
  EXPECT_FALSE(FileExists(sealed.Path("t_data.tavo")));
}

}  // namespace
}  // namespace orvane::testing
