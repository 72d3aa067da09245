#include "engine/modules/index_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/common/program_texts.h"
#include "engine/index/settings_file.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::FakeClock;
using testing::FakeLargeDisplay;
using testing::RecordingPrompter;
using testing::RecordingViewState;
using testing::ScriptedDialogs;
using testing::ScriptedYield;
using testing::TempDir;

class IndexWindowTest : public ::testing::Test {
 protected:
  IndexWindowTest() {
    rules_.set_window_visible(true);
    rules_.Form_Load(settings_file_.Path("none.usri"));
    prompter_ = RecordingPrompter();
  }

  // A top folder with the given files directly in it and subfolders.
  void MakeTop(int files, std::vector<std::string> subfolders) {
    for (int i = 0; i < files; ++i) {
      top_.Write("f" + std::to_string(i) + ".txt", "text");
    }
    for (const std::string& sub : subfolders) top_.Write(sub + "/a.txt", "x");
    rules_.settings().txbTopFolder = top_.folder();
  }

  std::string Title(std::size_t box) const {
    return prompter_.boxes().at(box).title;
  }

  RecordingPrompter prompter_;
  RecordingViewState view_;
  ScriptedYield yield_;
  FakeLargeDisplay display_;
  FakeClock clock_;
  LauncherState launcher_;
  ScriptedDialogs dialogs_;
  TempDir top_;
  TempDir settings_file_;
  IndexModule module_{
      IndexPorts{prompter_, view_, yield_, display_, clock_, launcher_}};
  IndexWindow rules_{module_, dialogs_};
};

TEST(IndexWindowTextsTest, CountsAndCaptions) {
  EXPECT_EQ(TypedProjectName("my project "), "my_project_");
  EXPECT_EQ(NumSubfoldersText(0), "No " + GetProgramText(27));
  EXPECT_EQ(NumSubfoldersText(1), GetProgramText(26));
  EXPECT_EQ(NumSubfoldersText(3), "Three " + GetProgramText(27));
  EXPECT_EQ(NumExcludedFilesText(0), "No files are excluded.");
  EXPECT_EQ(NumExcludedFilesText(1), "One file is excluded.");
  EXPECT_EQ(NumExcludedFilesText(12), "12 files are excluded.");
  EXPECT_EQ(ExcludeFilesInTopFolderText(1),
            "Exclude the single file in the top folder.");
  EXPECT_EQ(ExcludeFilesInTopFolderText(3),
            "Exclude the 3 files in the top folder.");
}

TEST_F(IndexWindowTest, ProjectNameSetsTheIndexPathOrNamesTheBadCharacter) {
  rules_.settings().txbOutputFolder = "/out/";
  rules_.settings().txbProjectName = "  manuals ";
  rules_.CheckProjectName();
  EXPECT_EQ(rules_.settings().txbProjectName, "manuals");
  EXPECT_EQ(module_.state().index_path, "/out/manuals_index.tavo");
  EXPECT_EQ(module_.state().data_path, "/out/manuals_data.tavo");
  EXPECT_TRUE(prompter_.boxes().empty());

  rules_.settings().txbProjectName = "a<b>c";
  rules_.CheckProjectName();
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(Title(0), "Project name");
  EXPECT_EQ(prompter_.boxes()[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(prompter_.boxes()[0].text,
            "The project name contains an inadmissible character: <");
  EXPECT_EQ(rules_.settings().txbProjectName, "a<b>c");
  EXPECT_EQ(module_.state().index_path, "");

  rules_.settings().txbProjectName = "";
  rules_.CheckProjectName();
  EXPECT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(module_.state().index_path, "");
}

TEST_F(IndexWindowTest, TopFolderWithThreeFilesAndSubfolders) {
  MakeTop(3, {"docs", "mail"});
  rules_.settings().txbIncludedFolders = "docs";
  rules_.settings().chkExcludeFilesInTopFolder = true;
  rules_.RefreshTopFolderState();
  EXPECT_TRUE(view_.Visible("chkExcludeFilesInTopFolder"));
  EXPECT_EQ(view_.Text("chkExcludeFilesInTopFolder"),
            "Exclude the 3 files in the top folder.");
  EXPECT_TRUE(rules_.settings().chkExcludeFilesInTopFolder);
  EXPECT_TRUE(view_.Enabled("cmdSelectSubfolders"));
  EXPECT_TRUE(view_.Enabled("cmdExcludeFiles"));
  EXPECT_TRUE(view_.Visible("chkIncludeSubfoldersOfSubfolders"));
  EXPECT_EQ(view_.Text("chkIncludeSubfoldersOfSubfolders"), GetProgramText(88));
  EXPECT_EQ(view_.Text("lblNumSubfoldersSelected"), GetProgramText(26));
  EXPECT_EQ(view_.Text("lblTopFolderIsEmpty"), "");

  rules_.settings().txbIncludedFolders = "docs\r\nmail";
  rules_.RefreshTopFolderState();
  EXPECT_EQ(view_.Text("chkIncludeSubfoldersOfSubfolders"), GetProgramText(89));
  EXPECT_EQ(view_.Text("lblNumSubfoldersSelected"),
            "Two " + GetProgramText(27));

  // No subfolder included: nothing would be left if the top folder's
  // files were excluded too.
  rules_.settings().txbIncludedFolders = "";
  rules_.RefreshTopFolderState();
  EXPECT_FALSE(view_.Visible("chkIncludeSubfoldersOfSubfolders"));
  EXPECT_FALSE(rules_.settings().chkExcludeFilesInTopFolder);
  EXPECT_EQ(view_.Text("lblNumSubfoldersSelected"), GetProgramText(25));
}

TEST_F(IndexWindowTest, TopFolderWithOneFileOrNoneOrNoSubfolders) {
  MakeTop(1, {"docs"});
  rules_.RefreshTopFolderState();
  EXPECT_EQ(view_.Text("chkExcludeFilesInTopFolder"),
            "Exclude the single file in the top folder.");

  TempDir flat;
  flat.Write("a.txt", "a");
  flat.Write("b.txt", "b");
  flat.Write("c.txt", "c");
  rules_.settings().txbTopFolder = flat.folder();
  rules_.settings().chkExcludeFilesInTopFolder = true;
  rules_.RefreshTopFolderState();
  EXPECT_FALSE(view_.Visible("chkExcludeFilesInTopFolder"));
  EXPECT_FALSE(rules_.settings().chkExcludeFilesInTopFolder);
  EXPECT_FALSE(view_.Enabled("cmdSelectSubfolders"));
  EXPECT_FALSE(view_.Enabled("txbIncludedFolders"));
  EXPECT_EQ(view_.Text("lblNumSubfoldersSelected"), GetProgramText(29));

  TempDir no_files;
  no_files.MakeDir("sub");
  rules_.settings().txbTopFolder = no_files.folder();
  rules_.RefreshTopFolderState();
  EXPECT_EQ(view_.Text("lblTopFolderIsEmpty"), GetProgramText(53));
  EXPECT_FALSE(view_.Visible("chkExcludeFilesInTopFolder"));
  EXPECT_FALSE(view_.Enabled("cmdExcludeFiles"));

  rules_.settings().txbTopFolder = "";
  rules_.RefreshTopFolderState();
  EXPECT_FALSE(view_.Visible("lblTopFolderIsEmpty"));
  EXPECT_FALSE(view_.Visible("lblNumSubfoldersSelected"));
  EXPECT_FALSE(view_.Enabled("txbExcludedFiles"));
}

TEST_F(IndexWindowTest, ChoosingATopFolderDropsWhatIsNotBelowIt) {
  MakeTop(2, {"docs"});
  rules_.settings().txbTopFolder = "";
  rules_.settings().txbIncludedFolders = "docs\r\ngone";
  rules_.settings().txbExcludedFiles = "f1.txt\r\nmissing.txt";
  module_.state().index_created = true;
  dialogs_.QueueAnswer(top_.path().string());  // no trailing "/"
  rules_.ChooseTopFolder();
  EXPECT_EQ(dialogs_.shown().at(0).request.title,
            "Specify top folder containing files and subfolders to be indexed");
  EXPECT_EQ(rules_.settings().txbTopFolder, top_.folder());
  EXPECT_EQ(rules_.settings().txbIncludedFolders, "docs");
  EXPECT_EQ(rules_.settings().txbExcludedFiles, "f1.txt");
  EXPECT_EQ(view_.Text("lblNumExcludedFiles"), "One file is excluded.");
  EXPECT_FALSE(module_.state().index_created);
  EXPECT_FALSE(view_.Visible("cmdListFiles[1]"));

  rules_.ChooseTopFolder();  // cancelled: nothing changes
  EXPECT_EQ(rules_.settings().txbTopFolder, top_.folder());
}

// The tick of "Include subfolders of these subfolders" stayed set, out of
// sight, for the next top folder: a new top folder clears it, the same one
// chosen again keeps it.
TEST_F(IndexWindowTest, ANewTopFolderClearsTheSubfoldersOfSubfoldersTick) {
  MakeTop(2, {"docs"});
  IndexSettings& s = rules_.settings();
  s.txbTopFolder = top_.folder();
  s.txbIncludedFolders = "docs";
  s.chkIncludeSubfoldersOfSubfolders = true;
  rules_.TakeTopFolder(top_.folder());
  EXPECT_TRUE(s.chkIncludeSubfoldersOfSubfolders);
  TempDir other;
  other.MakeDir("docs");
  rules_.TakeTopFolder(other.folder());
  EXPECT_FALSE(s.chkIncludeSubfoldersOfSubfolders);
  EXPECT_EQ(s.txbIncludedFolders, "docs");
}

TEST_F(IndexWindowTest, AnOutputFolderOnACdRomIsRefused) {
  rules_.is_on_cd_rom = [](const std::string&) { return true; };
  dialogs_.QueueAnswer("/media/cdrom");
  rules_.ChooseOutputFolder();
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(Title(0), "Error");
  EXPECT_EQ(prompter_.boxes()[0].text,
            "The output folder cannot be located on a CD-ROM.");
  EXPECT_EQ(rules_.settings().txbOutputFolder, "");

  rules_.is_on_cd_rom = [](const std::string&) { return false; };
  dialogs_.QueueAnswer("/home/me/out");
  rules_.ChooseOutputFolder();
  EXPECT_EQ(rules_.settings().txbOutputFolder, "/home/me/out/");
  EXPECT_EQ(view_.focus(), "cmdExtractData");
}

TEST_F(IndexWindowTest, ExcludeFilesOutcomes) {
  MakeTop(2, {"docs", "mail"});
  top_.Write("docs/b.txt", "b");
  top_.Write("docs/setup.exe", "x");
  rules_.settings().txbIncludedFolders = "docs";
  rules_.settings().txbExcludedFiles = "f1.txt";

  // Added, sorted, counted; an excluded extension is told once per click;
  // one already in the list (any case) is told and passed over.
  dialogs_.QueueAnswers({top_.Path("docs/b.txt"), top_.Path("docs/setup.exe"),
                         top_.Path("docs/setup.exe"), top_.Path("F1.TXT"),
                         top_.Path("docs/a.txt")});
  rules_.ExcludeFiles();
  EXPECT_EQ(dialogs_.shown().at(0).request.title, GetProgramText(99));
  EXPECT_EQ(rules_.settings().txbExcludedFiles,
            "docs/a.txt\r\ndocs/b.txt\r\nf1.txt");
  EXPECT_EQ(view_.Text("lblNumExcludedFiles"), "3 files are excluded.");
  ASSERT_EQ(prompter_.boxes().size(), 2u);
  EXPECT_EQ(prompter_.boxes()[0].text,
            "Files with the extension exe are never indexed, so they need "
            "not be excluded.");
  EXPECT_EQ(prompter_.boxes()[1].text,
            GetProgramText(40) + " " + top_.Path("F1.TXT") + "\r\n" +
                GetProgramText(54));
  EXPECT_EQ(prompter_.boxes()[1].icon, MessageIcon::kInformation);

  // A file whose folder is never walked: refused, and the click ends.
  dialogs_.QueueAnswers({top_.Path("mail/a.txt")});
  rules_.ExcludeFiles();
  ASSERT_EQ(prompter_.boxes().size(), 3u);
  EXPECT_EQ(Title(2), "Exclude files");
  EXPECT_EQ(prompter_.boxes()[2].text,
            GetProgramText(40) + " " + top_.Path("mail/a.txt") + "\r\n" +
                GetProgramText(41));
  dialogs_.QueueAnswers({top_.Path("mail/a.txt"), top_.Path("docs/c.txt")});
  rules_.ExcludeFiles();
  EXPECT_EQ(prompter_.boxes()[3].text,
            "The two files chosen do not lie in folders whose files are "
            "indexed, so they need not be excluded.");
  EXPECT_EQ(rules_.settings().txbExcludedFiles,
            "docs/a.txt\r\ndocs/b.txt\r\nf1.txt");

  // With the top folder's files excluded, f0.txt need not be excluded.
  rules_.settings().chkExcludeFilesInTopFolder = true;
  dialogs_.QueueAnswers({top_.Path("f0.txt")});
  rules_.ExcludeFiles();
  EXPECT_EQ(prompter_.boxes().size(), 5u);
}

TEST_F(IndexWindowTest, ExcludeFilesFollowsSubfoldersOfSubfolders) {
  MakeTop(1, {"docs"});
  top_.Write("docs/old/a.txt", "a");
  top_.Write("docs/new/a.txt", "a");
  rules_.settings().txbIncludedFolders = "docs";
  rules_.settings().chkIncludeSubfoldersOfSubfolders = true;
  rules_.settings().txbExcludedFilepaths = "old";
  dialogs_.QueueAnswers({top_.Path("docs/new/a.txt")});
  rules_.ExcludeFiles();
  EXPECT_EQ(rules_.settings().txbExcludedFiles, "docs/new/a.txt");
  // docs/old is skipped by the excluded filepath "old".
  dialogs_.QueueAnswers({top_.Path("docs/old/a.txt")});
  rules_.ExcludeFiles();
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(Title(0), "Exclude files");
}

TEST_F(IndexWindowTest, ClearItemsClearTheirFieldsAndHintsNameTheItem) {
  MakeTop(2, {"docs"});
  IndexSettings& s = rules_.settings();
  s.txbProjectName = "p";
  s.txbTitle = "t";
  s.txbIncludedFolders = "docs";
  s.txbExcludedFiles = "f0.txt";
  s.txbExcludedFilepaths = "old";
  s.txbOutputFolder = "/out/";
  module_.state().index_path = "/out/p_index.tavo";
  module_.state().index_created = true;

  rules_.Clear(0);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(Title(0), "Clear");
  EXPECT_EQ(prompter_.boxes()[0].text, GetProgramText(51));
  rules_.Clear(1);
  EXPECT_EQ(s.txbProjectName, "");
  EXPECT_EQ(module_.state().index_path, "");
  EXPECT_EQ(view_.focus(), "txbProjectName");
  rules_.Clear(2);
  EXPECT_EQ(s.txbTitle, "");
  rules_.Clear(6);
  EXPECT_EQ(s.txbExcludedFilepaths, "");
  rules_.Clear(7);
  EXPECT_EQ(s.txbMinimumFilesize, "");
  rules_.Clear(8);
  EXPECT_EQ(s.txbOutputFolder, "");
  rules_.Clear(5);
  EXPECT_EQ(s.txbExcludedFiles, "");
  EXPECT_EQ(view_.Text("lblNumExcludedFiles"), "No files are excluded.");
  rules_.Clear(4);
  EXPECT_EQ(s.txbIncludedFolders, "");
  EXPECT_EQ(view_.Text("lblNumSubfoldersSelected"), GetProgramText(25));
  s.txbIncludedFolders = "docs";
  rules_.Clear(3);
  EXPECT_EQ(s.txbTopFolder, "");
  EXPECT_EQ(s.txbIncludedFolders, "");
  EXPECT_FALSE(module_.state().index_created);
  EXPECT_FALSE(view_.Visible("cmdListFiles[1]"));
  EXPECT_FALSE(view_.Enabled("cmdSelectSubfolders"));
  EXPECT_EQ(prompter_.boxes().size(), 1u);

  rules_.ClearItemChosen(2, true);
  rules_.ClearItemChosen(3, true);
  rules_.ClearItemChosen(0, true);   // "What?" needs no hint
  rules_.ClearItemChosen(4, false);  // button disabled: no hint
  ASSERT_EQ(prompter_.boxes().size(), 3u);
  EXPECT_EQ(Title(1), "Title");
  EXPECT_EQ(prompter_.boxes()[1].text,
            "Now click on the 'Clear' button to do this.");
  EXPECT_EQ(Title(2), "Top");
  rules_.SettingsItemChosen(3, true);
  EXPECT_EQ(Title(3), "Load");
  EXPECT_EQ(prompter_.boxes()[3].text,
            "Now click on the 'Settings' button to do this.");
}

TEST_F(IndexWindowTest, SettingsCommandsSaveLoadAndAsk) {
  MakeTop(2, {"docs"});
  IndexSettings& s = rules_.settings();
  s.txbProjectName = "manuals";
  s.txbTitle = "The manuals";
  s.txbOutputFolder = settings_file_.folder();
  s.txbIncludedFolders = "docs";
  s.txbExcludedFiles = "f1.txt";
  s.txbExcludedFilepaths = "old, draft";
  s.txbMinimumFilesize = "123";
  s.chkExcludeFilesInTopFolder = true;
  s.chkIncludeSubfoldersOfSubfolders = true;
  s.chkExcludeSpecialLetters = false;
  const IndexSettings saved = s;

  // "Save in both ways": the default file silently, then the dialog, which
  // proposes the project's name; the pop-up follows the second save.
  const std::string chosen = settings_file_.Path("chosen.usri");
  dialogs_.QueueAnswer(chosen);
  EXPECT_TRUE(rules_.RunSettingsCommand(2));
  ASSERT_EQ(dialogs_.shown().size(), 1u);
  EXPECT_EQ(dialogs_.shown()[0].kind, ScriptedDialogs::Kind::kSaveFile);
  EXPECT_EQ(dialogs_.shown()[0].request.file_name, "manuals.usri");
  EXPECT_EQ(dialogs_.shown()[0].request.title,
            "Specify file for settings for index module");
  EXPECT_TRUE(std::filesystem::exists(rules_.default_settings_file()));
  EXPECT_TRUE(std::filesystem::exists(chosen));
  EXPECT_EQ(rules_.last_settings_file(), chosen);

  // Loaded again, every field comes back.
  s = IndexSettings();
  dialogs_.QueueAnswer(chosen);
  EXPECT_FALSE(rules_.RunSettingsCommand(3));
  EXPECT_EQ(dialogs_.shown()[1].request.start_folder, settings_file_.folder());
  EXPECT_EQ(s, saved);
  EXPECT_EQ(module_.state().index_path,
            settings_file_.folder() + "manuals_index.tavo");
  EXPECT_TRUE(prompter_.boxes().empty());

  // Cancelled dialogs change nothing.
  EXPECT_FALSE(rules_.RunSettingsCommand(1));
  rules_.LoadSettings("");
  EXPECT_EQ(s, saved);
}

TEST_F(IndexWindowTest, ASettingsFileWithAVanishedTopFolder) {
  IndexSettings& s = rules_.settings();
  {
    TempDir gone;
    gone.Write("docs/a.txt", "a");
    s.txbProjectName = "p";
    s.txbTopFolder = gone.folder();
    s.txbIncludedFolders = "docs";
    s.txbExcludedFiles = "docs/a.txt";
    ASSERT_TRUE(WriteSettingsFile(settings_file_.Path("old.usri"), s).ok());
  }
  rules_.LoadSettings(settings_file_.Path("old.usri"));
  EXPECT_EQ(s.txbProjectName, "p");
  EXPECT_EQ(s.txbTopFolder, "");
  EXPECT_EQ(s.txbIncludedFolders, "");
  EXPECT_EQ(s.txbExcludedFiles, "");
  EXPECT_FALSE(view_.Enabled("cmdSelectSubfolders"));
  EXPECT_TRUE(prompter_.boxes().empty());

  // A file of another kind: refused after start-up, with its message.
  settings_file_.Write("other.usri", "\"x\"\r\n\"a\"\r\n\"b\"\r\n\"c\"\r\n"
                                     "\"out/\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                                     "0\r\n0\r\n1\r\n");
  rules_.LoadSettings(settings_file_.Path("other.usri"));
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(Title(0), "Load settings");
  EXPECT_EQ(s.txbProjectName, "");
}

TEST_F(IndexWindowTest, StartLoadsTheSettingsSavedForTheNextRunSilently) {
  MakeTop(1, {});
  IndexSettings& s = rules_.settings();
  s.txbProjectName = "bad<name";
  s.txbExcludedFiles = "  f0.txt\r\n\r\nb.txt";
  s.txbTitle = "T";
  ASSERT_TRUE(WriteSettingsFile(settings_file_.Path("next.usri"), s).ok());
  IndexWindow fresh(module_, dialogs_);
  fresh.Form_Load(settings_file_.Path("next.usri"));
  EXPECT_TRUE(fresh.startup_completed());
  EXPECT_EQ(s.txbTitle, "T");
  // The excluded file that vanished is dropped; the rest tidied.
  EXPECT_EQ(s.txbExcludedFiles, "f0.txt");
  EXPECT_EQ(view_.Text("lblNumExcludedFiles"), "One file is excluded.");
  // The name's check still speaks: it is the user's to correct.
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(Title(0), "Project name");
}

TEST_F(IndexWindowTest, ResetAsksFirst) {
  rules_.settings().txbTitle = "kept";
  prompter_.QueueAnswer(Answer::kNo);
  rules_.Reset();
  EXPECT_EQ(rules_.settings().txbTitle, "kept");
  EXPECT_EQ(prompter_.boxes()[0].title, "Reset");
  EXPECT_EQ(prompter_.boxes()[0].text,
            GetProgramText(58) + "\r\n" + GetProgramText(59));
  prompter_.QueueAnswer(Answer::kYes);
  rules_.Reset();
  EXPECT_EQ(rules_.settings(), IndexSettings());
}

TEST_F(IndexWindowTest, SubfolderSelectionHandOver) {
  SelectSubfoldersValues values;
  rules_.settings().txbTopFolder = "";
  EXPECT_FALSE(rules_.PrepareSubfolderSelection(&values));
  EXPECT_EQ(Title(0), "Include subfolders");
  EXPECT_EQ(prompter_.boxes()[0].text, GetProgramText(23));

  MakeTop(1, {"a", "b", "c"});
  rules_.settings().txbIncludedFolders = "a\r\nb";
  ASSERT_TRUE(rules_.PrepareSubfolderSelection(&values));
  EXPECT_EQ(values.strCaption, GetProgramText(24));
  EXPECT_EQ(values.strTopFolder, top_.folder());
  EXPECT_EQ(values.intMaxNumCheckboxes, 13);
  EXPECT_EQ(values.strFoldersPassedToSelectFoldersForm, "a\r\nb\r\n");

  values.strFoldersReturnedFromSelectFoldersForm = "b\r\nc\r\n";
  rules_.SubfolderSelectionClosed(values);  // not accepted
  EXPECT_EQ(rules_.settings().txbIncludedFolders, "a\r\nb");
  values.blnFolderSelectionAccepted = true;
  rules_.SubfolderSelectionClosed(values);
  EXPECT_EQ(rules_.settings().txbIncludedFolders, "b\r\nc");
  EXPECT_EQ(view_.Text("lblNumSubfoldersSelected"), "Two " + GetProgramText(27));
}

}  // namespace
}  // namespace orvane
