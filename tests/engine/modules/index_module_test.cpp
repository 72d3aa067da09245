#include "engine/modules/index_module.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/common/program_texts.h"
#include "engine/text/compression.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::FakeClock;
using testing::FakeLargeDisplay;
using testing::ReadFileBytes;
using testing::RecordingProgress;
using testing::RecordingPrompter;
using testing::RecordingViewState;
using testing::ScriptedYield;
using testing::TempDir;
using testing::Visible;

// Lines joined, each ending in CR LF.
std::string Text(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Bytes of a little-endian 32-bit number.
std::string Trailer(std::size_t length) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(length >> (8 * i)));
  return bytes;
}

class IndexModuleTest : public ::testing::Test {
 protected:
  IndexModuleTest() {
    settings_.txbProjectName = "p";
    settings_.txbTitle = "Animals & notes";
    settings_.txbTopFolder = top_.folder();
    settings_.txbOutputFolder = out_.folder();
    // The cases read the classic data file the run writes beside the
    // store.
    settings_.chkWriteClassicDataFile = true;
  }

  // A module over the given prompter and yield, with the common word "the".
  std::unique_ptr<IndexModule> NewModule(Prompter& prompter, Yield& yield) {
    auto module = std::make_unique<IndexModule>(
        IndexPorts{prompter, view_, yield, display_, clock_, launcher_,
                   NumberFormat{}, progress_});
    module->common_words().SetWords({"the"});
    return module;
  }
  // The same, with a copy of the settings of module_.
  std::unique_ptr<IndexModule> MakeModule(Prompter& prompter, Yield& yield) {
    std::unique_ptr<IndexModule> module = NewModule(prompter, yield);
    module->settings() = settings_;
    return module;
  }

  std::string IndexText() {
    std::string plain = out_.Path("plain.txt");
    if (squeez::_dcf(out_.Path("p_index.tavo"), plain, false) < 0) {
      return "(not a compressed index)";
    }
    std::string text = ReadFileBytes(plain);
    std::filesystem::remove(plain);
    return text;
  }
  std::string DataFile() { return ReadFileBytes(out_.Path("p_data.tavo")); }
  // The names in the output folder, sorted.
  std::vector<std::string> OutputFiles() { return out_.Names(); }

  TempDir top_;
  TempDir out_;
  RecordingPrompter prompter_;
  RecordingViewState view_;
  ScriptedYield yield_;
  FakeLargeDisplay display_;
  FakeClock clock_;
  LauncherState launcher_;
  RecordingProgress progress_;
  std::unique_ptr<IndexModule> module_ = NewModule(prompter_, yield_);
  IndexSettings& settings_ = module_->settings();
};

TEST_F(IndexModuleTest, WritesTheIndexTextAndDataFileOfAMixedTree) {
  top_.Write("a.txt", "The cat sat.\r\nThe cat ran away\r\n");
  top_.Write("b.htm",
             "<html><head><title>Cat\npage</title></head>\n"
             "<body>Caf&eacute; &amp; cat\n</body></html>\n");
  top_.Write("bin.dat", std::string(200, '\x01') + "text");
  top_.Write("image.png", "not really an image, but excluded");
  top_.Write("noext", "Readme text here ok\n");
  top_.Write("tiny.txt", "tiny");
  top_.Write("docs/mail.eml",
             "From: Ann\r\nSubject: Notes\r\n\r\nSee notes\r\n"
             "Content-Transfer-Encoding: base64\r\n\r\nQ2F0IHNhdCBvbiB0aGUgbWF0\r\n");
  top_.Write("docs/EXCLUDED.txt", "an excluded file that is long enough");
  top_.Write("docs/golden.txt", "excluded by the filepath old it holds");
  top_.Write("docs/old/skip.txt", "a folder that the filepath old excludes");
  top_.Write("docs/sub/x.txt", "Deep file in a subfolder\r\n");
  top_.Write("other/y.txt", "a folder that is not included at all");
  settings_.txbIncludedFolders = "docs";
  settings_.chkIncludeSubfoldersOfSubfolders = true;
  settings_.txbExcludedFiles = "docs/excluded.txt";
  settings_.txbExcludedFilepaths = "old,, ";
  settings_.txbMinimumFilesize = "20";

  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted)
      << prompter_.Transcript();
  std::string expected = Text({
      "\"a.txt\"", "\"b.htm\"", "\"noext\"", "\"docs/mail.eml\"",
      "\"docs/sub/x.txt\"", "\"End of file list\"",
      "20,\"Animals & notes\"",
      "19,\"a\"", "12,\"ann\"", "5,\"away\"", "2,\"cat\"", "16,\"deep\"",
      "17,\"file\"", "11,\"from\"", "9,\"here\"", "18,\"in\"",
      "14,\"notes\"", "10,\"ok\"", "6,\"page\"", "4,\"ran\"",
      "7,\"readme\"", "3,\"sat\"", "15,\"see\"", "20,\"subfolder\"",
      "13,\"subject\"", "8,\"text\"", "1,\"the\"",
      "101,\"End of lexicon\"",
      "\"128,-4\"",         // the
      "\"255,255,-3\"",     // cat: the most frequent word of a.txt, b.htm
      "\"128,-4\"", "\"128,-4\"", "\"128,-4\"",  // sat ran away
      "\"0,128,-3\"",       // page
      "\"-2,255,-2\"", "\"-2,255,-2\"", "\"-2,255,-2\"", "\"-2,255,-2\"",
      "\"-3,128,0\"", "\"-3,128,0\"", "\"-3,128,0\"",  // from ann subject
      "\"-3,255,0\"",       // notes
      "\"-3,128,0\"",       // see
      "\"-4,255\"", "\"-4,255\"", "\"-4,255\"", "\"-4,255\"", "\"-4,255\"",
  });
  EXPECT_EQ(Visible(IndexText()), Visible(expected));

  std::string rows =
      std::string("\x80\0\0\0\0" "\xFF\xFF\0\0\0" "\x80\0\0\0\0"
                  "\x80\0\0\0\0" "\x80\0\0\0\0" "\0\x80\0\0\0"
                  "\0\0\xFF\0\0" "\0\0\xFF\0\0" "\0\0\xFF\0\0" "\0\0\xFF\0\0"
                  "\0\0\0\x80\0" "\0\0\0\x80\0" "\0\0\0\x80\0"
                  "\0\0\0\xFF\0" "\0\0\0\x80\0"
                  "\0\0\0\0\xFF" "\0\0\0\0\xFF" "\0\0\0\0\xFF" "\0\0\0\0\xFF"
                  "\0\0\0\0\xFF",
                  100);
  EXPECT_EQ(Visible(DataFile()), Visible(rows + Trailer(expected.size())));
  EXPECT_EQ(OutputFiles(),
            (std::vector<std::string>{"p_data.tavo", "p_index.tavo",
                                      "p_settings.usri", "p_store.tavo"}));

  EXPECT_TRUE(module_->state().index_created);
  EXPECT_EQ(module_->state().file_list,
            (std::vector<std::string>{"a.txt", "b.htm", "noext",
                                      "docs/mail.eml", "docs/sub/x.txt"}));
  EXPECT_EQ(view_.Text("lblCurrentFile"),
            "Data extraction completed.   Index file is p_index.tavo.  "
            "Time = 0.0 seconds.");
  EXPECT_EQ(view_.Text("lblTotalNumFiles"),
            GetProgramText(45) + ": 5");
  EXPECT_TRUE(view_.Visible("cmdListFiles[1]", false));
  EXPECT_EQ(view_.focus(), "cmdListFiles[1]");
  EXPECT_EQ(view_.Text("cmdExtractData"), "Create index file");
  EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.Transcript();

  module_->ListIndexedFiles();
  EXPECT_EQ(display_.caption(), "5 files were indexed");
  EXPECT_EQ(display_.text(),
            GetProgramText(155) +
                "\r\n\r\na.txt\r\nb.htm\r\ndocs/mail.eml\r\n"
                "docs/sub/x.txt\r\nnoext\r\n");
}

TEST_F(IndexModuleTest, IndexesOneFileWithSpecialLettersWhenAsked) {
  top_.Write("caf\xC3\xA9.txt", "Caf\xE9 au lait, caf\xE9!\r\n");
  top_.Write("say \"hi\".txt", "a file whose name the index cannot hold");
  settings_.chkExcludeSpecialLetters = false;
  settings_.txbMinimumFilesize = "";
  settings_.txbTitle = "Caf\xC3\xA9 \xE2\x82\xAC";  // typed: UTF-8
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted);
  std::string expected = Text({
      // The path as the file system has it; the title in Windows-1252.
      "\"caf\xC3\xA9.txt\"", "\"End of file list\"", "3,\"Caf\xE9 \x80\"",
      "2,\"au\"", "1,\"caf\xE9\"", "3,\"lait\"", "101,\"End of lexicon\"",
      "\"255\"", "\"128\"", "\"128\"",
  });
  EXPECT_EQ(Visible(IndexText()), Visible(expected));
  EXPECT_EQ(Visible(DataFile()),
            Visible("\xFF\x80\x80" + Trailer(expected.size())));
  // The file with a double quote in its name is told once, not indexed.
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_NE(prompter_.boxes()[0].text.find("One file was left out"),
            std::string::npos);

  module_->ListIndexedFiles();
  EXPECT_EQ(prompter_.boxes().back().title, "List files which were indexed");
  EXPECT_EQ(prompter_.boxes().back().text,
            "Only one file was indexed:\r\ncaf\xC3\xA9.txt");
}

TEST_F(IndexModuleTest, ARunWithoutWordsStillWritesTheReservedRow) {
  top_.Write("numbers.txt", "aaa 1000 x\r\n");
  top_.Write("blank.txt", "\r\n   \r\n");
  settings_.txbMinimumFilesize = "0";
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted);
  std::string expected = Text({"\"blank.txt\"", "\"numbers.txt\"",
                               "\"End of file list\"",
                               "0,\"Animals & notes\"",
                               "101,\"End of lexicon\""});
  EXPECT_EQ(Visible(IndexText()), Visible(expected));
  EXPECT_EQ(Visible(DataFile()),
            Visible(std::string(2, '\0') + Trailer(expected.size())));
  EXPECT_EQ(settings_.txbMinimumFilesize, "");  // 0 empties the field
}

TEST_F(IndexModuleTest, AVanishedFileKeepsItsLineAndAZeroColumn) {
  top_.Write("one.txt", "first words\r\n");
  std::string second = top_.Write("two.txt", "second words\r\n");
  settings_.txbMinimumFilesize = "0";
  // Yields 1 and 2 are the counting of the two files, 3 and 4 follow the
  // counting pass: the file goes before it is read.
  yield_.At(4, [&] { std::filesystem::remove(second); });
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted);
  std::string expected = Text({
      "\"one.txt\"", "\"two.txt\"", "\"End of file list\"",
      "2,\"Animals & notes\"", "1,\"first\"", "2,\"words\"",
      "101,\"End of lexicon\"", "\"255,0\"", "\"255,0\"",
  });
  EXPECT_EQ(Visible(IndexText()), Visible(expected));
  EXPECT_EQ(Visible(DataFile()),
            Visible(std::string("\xFF\0\xFF\0", 4) + Trailer(expected.size())));
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].text,
            "One file was missing when it was to be read; the index lists it "
            "without any word.\r\n" + second);
  EXPECT_EQ(module_->state().left_out, std::vector<std::string>{second});
}

// A count of left-out files names them, up to a limit in a message box;
// the module keeps the whole list for the window to show.
TEST_F(IndexModuleTest, LeftOutFilesAreNamedAfterTheirCount) {
  top_.Write("kept.txt", "some words\r\n");
  std::vector<std::string> quoted;
  for (const char* name : {"a\"1.txt", "b\"2.txt", "c\"3.txt"}) {
    quoted.push_back(top_.Write(name, "quoted words\r\n"));
  }
  settings_.txbMinimumFilesize = "0";
  module_->state().paths_shown = 1;
  EXPECT_EQ(module_->ListFiles(), RunOutcome::kListed);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].text,
            "3 files were left out: a double quote or a line break in a path "
            "cannot be stored in the index file.\r\n" +
                quoted[0] + "\r\n... and 2 more.");
  EXPECT_EQ(module_->state().left_out, quoted);
}

// The closing status says what the rules left out, by reason, so that a
// user sees why a tree gave fewer files than it holds.
TEST_F(IndexModuleTest, TheClosingStatusCountsWhatWasLeftOutByReason) {
  const std::string words(200, 'w');
  top_.Write("kept.txt", "kept words " + words + "\r\n");
  top_.Write("small.txt", "tiny\r\n");
  top_.Write("binary.dat", std::string(300, '\x01'));
  top_.Write("picture.jpg", words);
  top_.Write("skip.txt", words);
  top_.Write("say \"hi\".txt", words);
  settings_.txbMinimumFilesize = "100";
  settings_.txbExcludedFiles = "skip.txt";
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted)
      << prompter_.boxes().size();
  EXPECT_EQ(view_.Text("lblDifferentWordsFoundSoFar"),
            "Left out: 1 not text, 1 under the minimum size, 1 of an excluded "
            "extension, 1 excluded by name or path, 1 with a path the index "
            "cannot hold.");
  // Nothing left out: nothing said.
  top_.Write("small.txt", words);
  for (const char* name : {"binary.dat", "picture.jpg", "skip.txt",
                           "say \"hi\".txt"}) {
    std::filesystem::remove(top_.Path(name));
  }
  prompter_.QueueAnswer(Answer::kYes);  // overwrite
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted);
  EXPECT_EQ(view_.Text("lblDifferentWordsFoundSoFar"), "");
}

// Issue 18: a Cancel during a run that replaces an index lost both files.
// The earlier index stays, byte for byte, until a run publishes a new one.
TEST_F(IndexModuleTest, StopDuringAnOverwriteKeepsTheEarlierFiles) {
  top_.Write("one.txt", "some words\r\nmore words\r\n");
  top_.Write("two.txt", "other words\r\n");
  settings_.txbMinimumFilesize = "0";
  out_.Write("p_index.tavo", "old index");
  out_.Write("p_data.tavo", "old data");
  // The overwrite question is answered Yes; at a yield of the extraction
  // pass the user clicks Pause and then Cancel.
  prompter_.QueueAnswer(Answer::kYes);
  yield_.At(6, [&] {
    EXPECT_TRUE(module_->state().running);
    prompter_.QueueAnswer(Answer::kCancel);
    module_->PauseRun();
  });
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kStopped);
  EXPECT_EQ(OutputFiles(),
            (std::vector<std::string>{"p_data.tavo", "p_index.tavo"}));
  EXPECT_EQ(ReadFileBytes(out_.Path("p_index.tavo")), "old index");
  EXPECT_EQ(DataFile(), "old data");
  // "Go to search module" hands over the index that is still there.
  EXPECT_EQ(module_->IndexFileToHandOver(), out_.Path("p_index.tavo"));
  EXPECT_EQ(view_.Text("lblCurrentFile"), "Data extraction stopped.  Time = 0.0 seconds.");
  EXPECT_FALSE(module_->state().index_created);
  EXPECT_FALSE(module_->state().running);
  ASSERT_EQ(prompter_.boxes().size(), 2u);
  EXPECT_EQ(prompter_.boxes()[1].title, "Paused");
  EXPECT_EQ(prompter_.boxes()[1].buttons, MessageButtons::kOkCancel);
}

TEST_F(IndexModuleTest, QuitDeletesBothFilesWithoutAMessage) {
  top_.Write("one.txt", "some words\r\n");
  settings_.txbMinimumFilesize = "0";
  yield_.At(4, [&] { launcher_.blnQuit = true; });
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kQuit);
  EXPECT_TRUE(OutputFiles().empty());
  EXPECT_TRUE(prompter_.boxes().empty());
  // Issue 18: "Go to search module" named the index that was never made.
  EXPECT_EQ(module_->IndexFileToHandOver(), "");
}

TEST_F(IndexModuleTest, KeepingTheOldIndexChangesNothing) {
  top_.Write("one.txt", "some words\r\n");
  out_.Write("p_index.tavo", "old index");
  prompter_.QueueAnswer(Answer::kNo);
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kNotOverwritten);
  EXPECT_EQ(ReadFileBytes(out_.Path("p_index.tavo")), "old index");
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].text,
            "An index file " + out_.folder() +
                "p_index.tavo exists.  Overwrite this?");
}

TEST_F(IndexModuleTest, RefusesSettingsBeforeAnythingIsCounted) {
  top_.Write("one.txt", "some words in a file\r\n");
  struct Row {
    void (*change)(IndexSettings*, const std::string& top);
    std::string title;
    std::string text;
  } rows[] = {
      {[](IndexSettings* s, const std::string&) { s->txbProjectName = "  "; },
       "Create index file", GetProgramText(28)},
      {[](IndexSettings* s, const std::string&) { s->txbProjectName = "a/b"; },
       "Project name",
       "The project name contains an inadmissible character: /"},
      {[](IndexSettings* s, const std::string&) { s->txbTitle = ""; },
       "Create index file", GetProgramText(34)},
      {[](IndexSettings* s, const std::string&) { s->txbTitle = "a \"b\""; },
       "Create index file",
       "The title must not contain a double quote character (\"), which the "
       "index file cannot store."},
      {[](IndexSettings* s, const std::string&) {
         s->txbTitle = "\xE6\x97\xA5\xE6\x9C\xAC";  // not in Windows-1252
       },
       "Create index file",
       "The title contains a character that the index file cannot store "
       "(it stores the characters of Western European languages only)."},
      {[](IndexSettings* s, const std::string&) { s->txbTopFolder = ""; },
       "Create index file", GetProgramText(35)},
      {[](IndexSettings* s, const std::string& top) {
         s->txbTopFolder = top + "missing/";
       },
       "Create index file", GetProgramText(36)},
      {[](IndexSettings* s, const std::string&) { s->txbOutputFolder = " "; },
       "Create index file", GetProgramText(37)},
      {[](IndexSettings* s, const std::string& top) {
         s->txbOutputFolder = top + "missing/";
       },
       "Create index file", GetProgramText(38)},
      {[](IndexSettings* s, const std::string&) {
         s->txbExcludedFiles = "ok.txt\r\n/etc/passwd";
       },
       GetProgramText(57), GetProgramText(56) + ":\r\n/etc/passwd"},
      {[](IndexSettings* s, const std::string&) { s->txbExcludedFiles = "\\a.txt"; },
       GetProgramText(57), GetProgramText(56) + ":\r\n\\a.txt"},
      {[](IndexSettings* s, const std::string&) { s->txbExcludedFiles = "C:a.txt"; },
       GetProgramText(57), GetProgramText(56) + ":\r\nC:a.txt"},
      {[](IndexSettings* s, const std::string&) {
         s->chkExcludeFilesInTopFolder = true;
       },
       "Create index file", "No files are included."},
  };
  for (const Row& row : rows) {
    IndexSettings saved = settings_;
    row.change(&settings_, top_.folder());
    RecordingPrompter prompter;
    std::unique_ptr<IndexModule> module = MakeModule(prompter, yield_);
    EXPECT_EQ(module->CreateIndexFile(), RunOutcome::kRefused) << row.text;
    ASSERT_EQ(prompter.boxes().size(), 1u) << row.text;
    EXPECT_EQ(prompter.boxes()[0].title, row.title);
    EXPECT_EQ(prompter.boxes()[0].text, row.text);
    EXPECT_EQ(prompter.boxes()[0].icon, MessageIcon::kWarning);
    EXPECT_TRUE(OutputFiles().empty()) << row.text;
    settings_ = saved;
  }
}

TEST_F(IndexModuleTest, TellsWhenTheSelectionHoldsNoFile) {
  top_.Write("small.txt", "tiny");
  top_.MakeDir("sub");
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kNoFiles);
  settings_.txbIncludedFolders = "sub";
  settings_.txbExcludedFiles = "sub/x.txt";
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kNoFiles);
  ASSERT_EQ(prompter_.boxes().size(), 2u);
  EXPECT_EQ(prompter_.boxes()[0].text, GetProgramText(90) + ".");
  EXPECT_EQ(prompter_.boxes()[1].text, GetProgramText(93) + ".");
  EXPECT_TRUE(OutputFiles().empty());
}

TEST_F(IndexModuleTest, StopsAtTheFileLimit) {
  for (int i = 0; i < 4; ++i) {
    top_.Write("f" + std::to_string(i) + ".txt", "words in a file\r\n");
  }
  settings_.txbMinimumFilesize = "0";
  module_->state().file_limit = 4;
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted);
  module_->state().file_limit = 3;
  RecordingPrompter prompter;
  std::unique_ptr<IndexModule> module = MakeModule(prompter, yield_);
  module->state().file_limit = 3;
  prompter.QueueAnswer(Answer::kYes);
  EXPECT_EQ(module->CreateIndexFile(), RunOutcome::kTooManyFiles);
  EXPECT_EQ(view_.Text("lblNowProcessingFile"), "Stopped at 3 files.");
  EXPECT_EQ(prompter.boxes().back().text,
            "Too many files!  No more than 3 files can be indexed.");
  // The old index was deleted only when the extraction began: it stays.
  EXPECT_EQ(OutputFiles(),
            (std::vector<std::string>{"p_data.tavo", "p_index.tavo",
                                      "p_settings.usri", "p_store.tavo"}));
}

// Every run tells its time (once only runs of five seconds or more did),
// and "Writing the index file" is gone once it has ended.
TEST_F(IndexModuleTest, TellsTheTimeOfEveryRun) {
  top_.Write("one.txt", "some words\r\n");
  settings_.txbMinimumFilesize = "0";
  struct Row {
    double start;
    double seconds;
    std::string time_text;
  } rows[] = {
      {36000, 0.3, "Time = 0.3 seconds."},
      {36000, 4.9, "Time = 4.9 seconds."},
      {36000, 75, "Time = 1 minute and 15 seconds."},
      {86398, 7, "Time = 7.0 seconds."},  // the run passes midnight
  };
  for (const Row& row : rows) {
    std::filesystem::remove(out_.Path("p_index.tavo"));
    clock_.set_now(row.start);
    ScriptedYield yield;
    yield.At(3, [&] {
      clock_.Advance(row.seconds);
      if (clock_.SecondsSinceMidnight() >= 86400) clock_.Advance(-86400);
    });
    std::unique_ptr<IndexModule> module = MakeModule(prompter_, yield);
    EXPECT_EQ(module->CreateIndexFile(), RunOutcome::kCompleted);
    EXPECT_EQ(view_.Text("lblCurrentFile"),
              "Data extraction completed.   Index file is p_index.tavo.  " +
                  row.time_text);
    EXPECT_EQ(view_.Text("lblNowProcessingFile"), "Different words found: 2");
  }
}

// An index text that cannot be compressed would be no index the Search
// Module can read: it does not take the earlier index's place, and the
// run's files go.
TEST_F(IndexModuleTest, ACompressionFailurePublishesNothing) {
  top_.Write("one.txt", "some words\r\n");
  settings_.txbMinimumFilesize = "0";
  out_.Write("p_index.tavo", "old index");
  out_.Write("p_data.tavo", "old data");
  prompter_.QueueAnswer(Answer::kYes);
  // Once the run has its names, the compression's work file is made
  // impossible to write.
  std::string blocked;
  yield_.At(4, [&] {
    for (const std::string& name : OutputFiles()) {
      std::size_t at = name.find(".part.tavo");
      if (name.rfind("p_index.", 0) == 0 && at != std::string::npos) {
        blocked = out_.MakeDir(name.substr(0, at) + ".part.ttavoc");
      }
    }
  });
  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kCompressionFailed);
  ASSERT_FALSE(blocked.empty());
  EXPECT_EQ(view_.Text("lblCurrentFile"),
            "Compression error when creating index file.  "
            "Time = 0.0 seconds.");
  std::filesystem::remove(blocked);
  EXPECT_EQ(OutputFiles(),
            (std::vector<std::string>{"p_data.tavo", "p_index.tavo"}));
  EXPECT_EQ(ReadFileBytes(out_.Path("p_index.tavo")), "old index");
  EXPECT_EQ(DataFile(), "old data");
  EXPECT_FALSE(module_->state().index_created);
}

TEST_F(IndexModuleTest, AnOutputFileThatCannotBeCreatedStopsTheRun) {
  top_.Write("one.txt", "some words\r\n");
  settings_.txbMinimumFilesize = "0";
  // The output folder can be read but not written (as a user other than
  // root, for whom permissions do not count).
  testing::AllowEveryone(top_.path());
  std::filesystem::permissions(out_.path(),
                               std::filesystem::perms::owner_all |
                                   std::filesystem::perms::others_read |
                                   std::filesystem::perms::others_exec);
  int result = testing::RunUnprivileged([&] {
    if (module_->CreateIndexFile() != RunOutcome::kStopped) return 1;
    if (prompter_.boxes().size() != 1) return 2;
    const RecordingPrompter::Box& box = prompter_.boxes()[0];
    if (box.icon != MessageIcon::kError) return 3;
    // The message names the file that cannot be created, and why.
    if (box.text.find(out_.folder() + "p_run.") == std::string::npos ||
        box.text.find("Permission denied") == std::string::npos) {
      return 4;
    }
    return 0;
  });
  if (result == -1000) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(OutputFiles().empty());
}

// Issue 18: leaving the Index Module after a Cancel waited for the blocks
// of the cancelled data file to be freed (46 s on a large tree). Neither a
// run's end nor the module's waits for a deletion, however slow.
TEST_F(IndexModuleTest, NothingWaitsForAFileToBeDeleted) {
  top_.Write("one.txt", "some words\r\n");
  settings_.txbMinimumFilesize = "0";
  // Every deletion goes through a close that holds until the test lets it
  // go.
  struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    int waiting = 0;
  };
  auto gate = std::make_shared<Gate>();
  auto deletion = std::make_shared<BackgroundDeletion>(0, [gate](int fd) {
    std::unique_lock<std::mutex> lock(gate->mutex);
    ++gate->waiting;
    gate->changed.notify_all();
    gate->changed.wait(lock, [&] { return gate->open; });
    ::close(fd);
  });
  auto module = std::make_unique<IndexModule>(
      IndexPorts{prompter_, view_, yield_, display_, clock_, launcher_},
      deletion);
  module->settings() = settings_;
  yield_.At(4, [&] {
    prompter_.QueueAnswer(Answer::kCancel);
    module->PauseRun();
  });
  EXPECT_EQ(module->CreateIndexFile(), RunOutcome::kStopped);
  module.reset();  // "Go to search module" ends the module
  EXPECT_GT(deletion->pending(), 0);
  EXPECT_TRUE(OutputFiles().empty());  // the names went at once
  {
    std::lock_guard<std::mutex> lock(gate->mutex);
    gate->open = true;
  }
  gate->changed.notify_all();
  deletion->Wait();
  EXPECT_EQ(deletion->pending(), 0);
}

TEST_F(IndexModuleTest, AFailedWriteStopsTheRunAndLeavesNothing) {
  // A file-size limit makes the data file's writes fail as a full disk
  // would; the run goes on in a child process so the limit stays there.
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "w" + std::to_string(i) + " ";
  for (int i = 0; i < 40; ++i) {
    top_.Write("f" + std::to_string(i) + ".txt", text + "\r\n");
  }
  settings_.txbMinimumFilesize = "0";
  pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    RunOutcome outcome = module_->CreateIndexFile();
    bool told = prompter_.boxes().size() == 1 &&
                prompter_.boxes()[0].icon == MessageIcon::kError &&
                prompter_.boxes()[0].text.find("File too large") !=
                    std::string::npos;
    _exit(outcome == RunOutcome::kStopped && told ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(OutputFiles().empty());
}

TEST_F(IndexModuleTest, ListsTheFilesNumberedAndThenSorted) {
  top_.Write("b.txt", "some words in b\r\n");
  top_.Write("a/z.txt", "some words in z\r\n");
  top_.Write("a/b/c.txt", "some words in c\r\n");
  // Files the rules leave out follow, each with its reason.
  top_.Write("a/logo.gif", "GIF89a");
  top_.Write("a/b/bin.dat", std::string(40, '\x02'));
  settings_.txbIncludedFolders = "a";
  settings_.chkIncludeSubfoldersOfSubfolders = true;
  settings_.txbMinimumFilesize = "0";
  settings_.txbProjectName = "";  // not needed for a listing
  EXPECT_EQ(module_->ListFiles(), RunOutcome::kListed);
  EXPECT_EQ(display_.caption(), "3 files are to be indexed");
  EXPECT_EQ(display_.text(), GetProgramText(155) +
                                 "\r\n\r\na/b/c.txt\r\na/z.txt\r\nb.txt\r\n"
                                 "\r\nFiles left out:\r\n"
                                 "a/logo.gif (of an excluded extension)\r\n"
                                 "a/b/bin.dat (not text)\r\n");
  EXPECT_EQ(display_.copy_caption(), "Copy to clipboard");
  EXPECT_EQ(module_->state().file_list,
            (std::vector<std::string>{"b.txt", "a/z.txt", "a/b/c.txt"}));
  EXPECT_TRUE(OutputFiles().empty());
  EXPECT_EQ(view_.focus(), "txbProjectName");
}

TEST_F(IndexModuleTest, AClosedListingWindowEndsTheListing) {
  for (int i = 0; i < 5; ++i) {
    top_.Write("f" + std::to_string(i) + ".txt", "some words\r\n");
  }
  settings_.txbMinimumFilesize = "0";
  yield_.At(2, [&] { display_.Hide(); });
  EXPECT_EQ(module_->ListFiles(), RunOutcome::kListed);
  EXPECT_EQ(display_.text(), "1. f0.txt\r\n2. f1.txt\r\n");
  EXPECT_TRUE(launcher_.blnQuit);
}

// The run's progress events, beside its labels: the files counted, each
// file read of the files counted, the words, and the closing status.
TEST_F(IndexModuleTest, ARunTellsItsFilesWordsAndClosingStatus) {
  top_.Write("a.txt", "The cat sat on a mat.\r\n");
  top_.Write("b.txt", "A dog ran far away\r\n");
  top_.Write("c.txt", "The cat and the dog\r\n");
  settings_.txbMinimumFilesize = "0";

  ASSERT_EQ(module_->CreateIndexFile(), RunOutcome::kCompleted)
      << prompter_.Transcript();
  const std::string top = top_.folder();
  const std::vector<std::string> expected = {
      "Counting 1",
      "Counting 2",
      "Counting 3",
      "Counted 3 files, 64 bytes",
      "FileStarted 1/3 " + top + "a.txt",
      "FileStarted 2/3 " + top + "b.txt",
      "FileStarted 3/3 " + top + "c.txt",
      "Words 11",
      "Writing 11",
      "Finished Data extraction completed.   Index file is p_index.tavo.  "
      "Time = 0.0 seconds.",
  };
  EXPECT_EQ(progress_.events(), expected);
  // The labels the window shows stay as they were.
  EXPECT_EQ(view_.Text("lblNowProcessingFile"), "Different words found: 11");
  EXPECT_EQ(view_.Text("lblCurrentFile"),
            "Data extraction completed.   Index file is p_index.tavo.  "
            "Time = 0.0 seconds.");
}

// Cancel in the pause box sets the run's stop flag; the one check after
// the file ends the reading, and the run closes as stopped.
TEST_F(IndexModuleTest, ACancelledRunClosesAsStopped) {
  top_.Write("a.txt", "The cat sat on a mat.\r\n");
  top_.Write("b.txt", "A dog ran far away\r\n");
  settings_.txbMinimumFilesize = "0";
  yield_.At(5, [this] { module_->state().stop_flag = true; });

  EXPECT_EQ(module_->CreateIndexFile(), RunOutcome::kStopped);
  ASSERT_FALSE(progress_.events().empty());
  EXPECT_EQ(progress_.events().back(),
            "Finished Data extraction stopped.  Time = 0.0 seconds.");
  for (const std::string& event : progress_.events()) {
    EXPECT_NE(event.rfind("Writing", 0), 0u) << event;
  }
}

}  // namespace
}  // namespace orvane
