// Whole searches through the Search Module's handlers over small indexes:
// the results box, the found-files label and the messages, as the window
// would show them. Every case runs over every kind of store.
#include "engine/modules/search_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "engine/common/program_texts.h"
#include "engine/report/html_report.h"
#include "engine/report/text_report.h"
#include "engine/search/found_files.h"
#include "engine/search/search_run.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

namespace fs = std::filesystem;
using SearchClick = SearchModule::SearchClick;

class SearchModuleTest : public ::testing::TestWithParam<IndexStoreKind> {
 protected:
  void SetUp() override {
    dir_.Write("top/a.txt", "The quick brown fox jumps over the lazy dog.\r\n");
    dir_.Write("top/b.txt",
               "\r\nA lazy afternoon. The dog sleeps; the fox watches.\r\n");
    dir_.Write("top/sub/c.htm",
               "<html><head><title>Fox &amp; Hound</title>\r\n"
               "<meta name=\"description\" content=\"A page\">\r\n"
               "</head><body>The fox runs far away from the hound.</body>"
               "</html>\r\n");
    dir_.Write("top/d.txt", "Nothing about animals here at all.\r\n");
    Index({"a.txt", "b.txt", "sub/c.htm", "d.txt"});
  }
  void Index(const std::vector<std::string>& files) {
    index_ = WriteIndex(dir_, "t", IndexOfTree(dir_, "top/", files), false);
    f_.module.ForgetIndex();
    f_.settings().txbIndexFile = index_;
    f_.settings().txbTopFolder = top();
    f_.settings().chkGenerateHTML = false;
  }
  std::string top() const { return dir_.folder() + "top/"; }
  SearchClick Search(const std::string& words, SearchType type) {
    f_.settings().txbSearchWords = words;
    f_.settings().cboSearchType = type;
    return f_.module.Search();
  }
  // The results-box entry of a file shown with its first text.
  std::string Plain(const std::string& relative, const std::string& first) {
    return top() + relative + "\r\n\"" + first + "\"\r\n\r\n";
  }

  TempDir dir_;
  std::string index_;
  SearchFixture f_{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(EveryStore, SearchModuleTest,
                         ::testing::ValuesIn(kEveryStore), StoreName);

const char kA[] = "The quick brown fox jumps over the lazy dog.";
const char kB[] = "A lazy afternoon. The dog sleeps; the fox watches.";

TEST_P(SearchModuleTest, AllWordsListsFilesHoldingEveryWord) {
  EXPECT_EQ(Search("fox DOG", SearchType::kAllWords), SearchClick::kSearched)
      << f_.Messages();
  EXPECT_EQ(f_.results(), Plain("a.txt", kA) + Plain("b.txt", kB));
  EXPECT_EQ(f_.view.Text("lblNumFilesFound"),
            "Number of files found with matches: 2");
  EXPECT_EQ(f_.view.Text("cmdSearch"), "Search");
  EXPECT_EQ(f_.view.Text("lblSearchableWords"),
            "There are 24 searchable words in 4 files.");
  EXPECT_TRUE(f_.prompter.boxes().empty());
}

// The title's entities are decoded for display and what looks like an
// entity is then dropped, a decoded "&" with it.
TEST_P(SearchModuleTest, AnyWordShowsHtmlTitlesDecoded) {
  ASSERT_EQ(Search("hound lazy", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.results(), Plain("a.txt", kA) + Plain("b.txt", kB) + top() +
                              "sub/c.htm\r\nFox Hound\r\n\r\n");
  // The title and description are kept as stored for the reports.
  EXPECT_EQ(f_.state().strFileTitles[2], "Fox &amp; Hound");
  EXPECT_EQ(f_.state().strFileDescriptions[2], "A page");
  EXPECT_EQ(f_.state().strFileDescriptions[0], "Not HTML file");
}

// The index records words, not their order: phrases are confirmed in the
// files, and words that occur only apart do not make the phrase.
TEST_P(SearchModuleTest, ExactPhraseIsConfirmedInTheFiles) {
  ASSERT_EQ(Search("lazy dog", SearchType::kExactPhrase), SearchClick::kSearched);
  EXPECT_EQ(f_.results(), Plain("a.txt", kA));
  ASSERT_EQ(Search("the fox", SearchType::kExactPhrase), SearchClick::kSearched);
  EXPECT_EQ(f_.results(), Plain("b.txt", kB) + top() +
                              "sub/c.htm\r\nFox Hound\r\n\r\n");
  ASSERT_EQ(Search("dog fox", SearchType::kExactPhrase), SearchClick::kSearched);
  EXPECT_EQ(f_.results(), "No file contains that phrase.\r\n");
}

TEST_P(SearchModuleTest, WordsMissingFromTheLexicon) {
  struct Row {
    const char* words;
    SearchType type;
    std::string results;
  } rows[] = {
      {"fox zebra", SearchType::kAllWords,
       "No file contains all the search words.\r\n"},
      {"zebra fox", SearchType::kExactPhrase, "No file contains that phrase.\r\n"},
      {"zebra", SearchType::kAnyWord,
       "No file contains any of the search words.\r\n"},
      {"zebra", SearchType::kAllWords, "No file contains all the search words.\r\n"},
      {"zebra hound", SearchType::kAnyWord,
       top() + "sub/c.htm\r\nFox Hound\r\n\r\n"},
      // One word is searched as "Any word" whatever the type.
      {"hound", SearchType::kExactPhrase,
       top() + "sub/c.htm\r\nFox Hound\r\n\r\n"},
      {"ho*", SearchType::kAnyWord, top() + "sub/c.htm\r\nFox Hound\r\n\r\n"},
      {"zz*", SearchType::kAnyWord,
       "No file contains any of the search words.\r\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.words);
    EXPECT_EQ(Search(r.words, r.type), SearchClick::kSearched) << f_.Messages();
    EXPECT_EQ(f_.results(), r.results);
  }
}

TEST_P(SearchModuleTest, SingleFileMode) {
  f_.settings().optSearchSingleFile = true;
  f_.settings().txbSingleFile = top() + "b.txt";
  ASSERT_EQ(Search("fox", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.results(), Plain("b.txt", kB));
  EXPECT_EQ(f_.view.Text("lblNumFilesFound"), "Found");
  ASSERT_EQ(Search("hound", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.results(), "The file does not contain any of the search words.\r\n");
  EXPECT_EQ(f_.view.Text("lblNumFilesFound"), "Not found");
  // Another letter case passes the indexed-file check but gets no file
  // number.
  f_.settings().txbSingleFile = top() + "B.TXT";
  ASSERT_EQ(Search("fox", SearchType::kAllWords), SearchClick::kSearched);
  EXPECT_EQ(f_.view.Text("lblNumFilesFound"), "Not found");
  EXPECT_EQ(f_.results(), "The file does not contain all the search words.\r\n");
  f_.settings().txbSingleFile = top() + "e.txt";
  EXPECT_EQ(Search("fox", SearchType::kAnyWord), SearchClick::kRefused);
  EXPECT_EQ(f_.prompter.boxes().back().text, GetProgramText(75));
}

TEST_P(SearchModuleTest, VanishedFilesAreNotListed) {
  fs::remove(dir_.Path("top/a.txt"));
  // The folder's time as if the file had gone before the index was made:
  // only the vanished file is told.
  fs::last_write_time(dir_.Path("top"),
                      fs::last_write_time(index_) - std::chrono::seconds(100));
  ASSERT_EQ(Search("fox dog", SearchType::kAllWords), SearchClick::kSearched);
  EXPECT_EQ(f_.results(),
            Plain("b.txt", kB) +
                "\r\n1 matching file no longer exists and is not listed.\r\n");
  EXPECT_EQ(f_.view.Text("lblNumFilesFound"),
            "Number of files found with matches: 1; 1 matching file no longer "
            "exists");
  ASSERT_EQ(Search("lazy dog", SearchType::kExactPhrase), SearchClick::kSearched);
  EXPECT_EQ(f_.results(), "No file contains that phrase.\r\n");
}

TEST_P(SearchModuleTest, TopFolderThatHoldsNoIndexedFile) {
  f_.settings().txbTopFolder = dir_.MakeDir("other") + "/";
  dir_.Write("other/sub/index.html", "fox");
  EXPECT_EQ(Search("fox", SearchType::kAnyWord), SearchClick::kRefused);
  EXPECT_EQ(f_.Messages(),
            "[Search] No indexed file occurs in the top folder or any "
            "subfolder.\r\nThere seems to be a mismatch between the top "
            "folder\r\nand the index file.\n");
  // Files named index.html prove nothing about the top folder.
  SearchSettings settings;
  settings.txbTopFolder = dir_.folder() + "other/";
  dir_.Write("other/index.html", "x");
  dir_.Write("other/sub/index.html.txt", "x");
  for (bool with_other : {false, true}) {
    IndexLayout layout;
    layout.files = {"index.html", "sub/Index.HTML"};
    if (with_other) layout.files.push_back("sub/index.html.txt");
    SearchFixture f(GetParam());
    ASSERT_TRUE(f.module.ChooseIndexFile(WriteIndex(dir_, "h", layout, false)))
        << f.Messages();
    EXPECT_EQ(CheckTopFolder(settings, &f.state()), with_other);
  }
}

// A refused search empties the results box and its count together: after
// a stem switched the type, the count of the search before stood beside an
// empty box, and "Report ->" would have reported that search.
TEST_P(SearchModuleTest, ARefusedSearchLeavesNoCountOfTheOneBefore) {
  ASSERT_EQ(Search("fox", SearchType::kAllWords), SearchClick::kSearched);
  ASSERT_EQ(f_.view.Text("lblNumFilesFound"),
            "Number of files found with matches: 3");
  EXPECT_EQ(Search("fo*", SearchType::kAllWords), SearchClick::kRefused);
  EXPECT_EQ(f_.settings().cboSearchType, SearchType::kAnyWord);
  EXPECT_EQ(f_.results(), "");
  EXPECT_EQ(f_.view.Text("lblNumFilesFound"), "");
  EXPECT_FALSE(f_.module.MakeReport());
  EXPECT_NE(f_.prompter.boxes().back().text.find("Nothing to report."),
            std::string::npos);
}

TEST_P(SearchModuleTest, ChecksBeforeTheSearch) {
  struct Row {
    const char* name;
    std::function<void(SearchSettings&)> change;
    std::string message;
  } rows[] = {
      {"no index file", [](SearchSettings& s) { s.txbIndexFile.clear(); },
       "[Index file not specified] Please select an index file\r\n" +
           GetProgramText(86) + "\n"},
      {"index file missing",
       [&](SearchSettings& s) { s.txbIndexFile = dir_.Path("x_index.tavo"); },
       "[Search] Index file not found.\n"},
      {"no top folder", [](SearchSettings& s) { s.txbTopFolder.clear(); },
       "[Top folder not specified] Please select a top folder\r\n" +
           GetProgramText(86) + "\n"},
      {"no single file",
       [](SearchSettings& s) { s.optSearchSingleFile = true; },
       "[Search] " + GetProgramText(76) + "\n"},
      {"a character no index holds",
       [](SearchSettings& s) { s.txbSearchWords = "fox \xD0\xB6"; },
       "[Search] " + GetProgramText(100) + "\n"},
      {"bad maximum",
       [](SearchSettings& s) {
         s.chkGenerateHTML = true;
         s.txbMaxNumExtracts = "12345";
       },
       "[Search] Invalid input for maximum number of extracts.\r\n"
       "Enter the maximum number of extracts to be displayed\r\n"
       "in the report or leave blank if no limit.\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    SearchFixture f(GetParam());
    f.settings().txbIndexFile = index_;
    f.settings().txbTopFolder = top();
    f.settings().chkGenerateHTML = false;
    f.settings().txbSearchWords = "fox";
    r.change(f.settings());
    EXPECT_EQ(f.module.Search(), SearchClick::kRefused);
    EXPECT_EQ(f.Messages(), r.message);
    EXPECT_FALSE(f.state().index.blnDataFileReady);
  }
}

// Equal scores under sorting: the greater relative path comes first.
TEST_P(SearchModuleTest, SortingByScoreThenPath) {
  dir_.Write("top/x1.txt", "apple apple banana");
  dir_.Write("top/x2.txt", "apple banana banana");
  dir_.Write("top/x3.txt", "apple");
  Index({"x1.txt", "x2.txt", "x3.txt"});
  f_.settings().chkSortMatches = true;
  ASSERT_EQ(Search("apple", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.state().strFilesFound,
            (std::vector<std::string>{"x3.txt", "x1.txt", "x2.txt"}));
  ASSERT_EQ(Search("apple banana", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.state().strFilesFound,
            (std::vector<std::string>{"x2.txt", "x1.txt", "x3.txt"}));
}

// By relevance a rare word weighs more than a common one: the file that
// holds the rare word once outranks the one that holds the common word
// most, which the plain sum puts first. Ticking relevance ticks the sort;
// unticking the sort unticks relevance.
TEST_P(SearchModuleTest, RelevanceRanksRareWordsFirst) {
  std::vector<std::string> files = {"common.txt", "rare.txt"};
  dir_.Write("top/common.txt", "apple");
  dir_.Write("top/rare.txt", "zebra filler filler filler");
  for (int i = 1; i <= 4; ++i) {
    files.push_back("f" + std::to_string(i) + ".txt");
    dir_.Write("top/" + files.back(), "apple filler filler");
  }
  Index(files);
  f_.settings().explain_scores = true;
  f_.module.SortMatchesClicked(true);
  ASSERT_EQ(Search("apple zebra", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.state().strFilesFound.front(), "common.txt");
  f_.module.SortByRelevanceClicked(true);
  EXPECT_TRUE(f_.settings().chkSortMatches);
  ASSERT_EQ(Search("apple zebra", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.state().strFilesFound[0], "rare.txt");
  EXPECT_EQ(f_.state().strFilesFound[1], "common.txt");
  EXPECT_NE(f_.results().find(
                top() + "rare.txt\r\n\"zebra filler filler filler\"\r\n"
                "Scores: apple 0 + zebra 85 = 85; relevance: apple 0.000 + "
                "zebra 3.342 = 3.342\r\n"),
            std::string::npos)
      << f_.results();
  EXPECT_NE(f_.results().find("Scores: apple 255 + zebra 0 = 255; relevance: "
                              "apple 0.528 + zebra 0.000 = 0.528"),
            std::string::npos);
  f_.display.Clear();
  WriteTextReport(f_.settings(), &f_.state(), f_.module.ports());
  EXPECT_NE(f_.display.text().find(
                "Results displayed in order of decreasing relevance."),
            std::string::npos);
  f_.module.SortMatchesClicked(false);
  EXPECT_FALSE(f_.settings().sort_by_relevance);
}

TEST_P(SearchModuleTest, AtMost500FilesAreListed) {
  std::vector<std::string> files;
  for (int i = 0; i < 600; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "f%03d.txt", i);
    files.push_back(name);
    dir_.Write(std::string("top/") + name, "common");
  }
  Index(files);
  ASSERT_EQ(Search("common", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.state().intNumFilesFound, 500);
  EXPECT_EQ(f_.state().strFilesFound.back(), "f499.txt");
  const std::string tail = "\r\nMaximum number of files reached (500).\r\n";
  ASSERT_GE(f_.results().size(), tail.size());
  EXPECT_EQ(f_.results().substr(f_.results().size() - tail.size()), tail);
  // With sorting the 500 are the first in index order, sorted afterwards.
  f_.settings().chkSortMatches = true;
  ASSERT_EQ(Search("common", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.state().strFilesFound.front(), "f499.txt");
  EXPECT_EQ(f_.state().strFilesFound.back(), "f000.txt");
}

// 610 files match, the best at the end of the index: f000 to f599 score
// 128 for both words, f600 to f609 score 255, and f600 to f604 hold the
// words but not as a phrase.
class ManyMatchesTest : public SearchModuleTest {
 protected:
  void SetUp() override {
    std::vector<std::string> files;
    for (int i = 0; i < 610; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "f%03d.txt", i);
      files.push_back(name);
      dir_.Write(std::string("top/") + name,
                 i < 600   ? "common ground filler filler"
                 : i < 605 ? "ground common"
                           : "common ground");
    }
    Index(files);
  }
  // f<first> down to f<last>, as listed.
  static std::vector<std::string> Down(int first, int last) {
    std::vector<std::string> names;
    for (int i = first; i >= last; --i) {
      char name[16];
      std::snprintf(name, sizeof name, "f%03d.txt", i);
      names.push_back(name);
    }
    return names;
  }
  static std::vector<std::string> Join(std::vector<std::string> a,
                                       const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }
};

INSTANTIATE_TEST_SUITE_P(EveryStore, ManyMatchesTest,
                         ::testing::ValuesIn(kEveryStore), StoreName);

TEST_P(ManyMatchesTest, SortedListsTheBestOfAllMatches) {
  struct Row {
    const char* words;
    SearchType type;
    bool sorted;
    std::vector<std::string> listed;
    int phrase_reads;
    const char* count;  // of the label and both reports
  } rows[] = {
      // Unsorted: the first 500 in index order.
      {"common", SearchType::kAnyWord, false, Down(499, 0), 0,
       "610 (500 listed)"},
      // Sorted: the ten best, then ties at the cut in index order, shown
      // with the greater path first among equal scores.
      {"common", SearchType::kAnyWord, true,
       Join(Down(609, 600), Down(489, 0)), 0, "610 (500 listed)"},
      {"common ground", SearchType::kAllWords, true,
       Join(Down(609, 600), Down(489, 0)), 0, "610 (500 listed)"},
      // The phrase is confirmed best first: the ten best are read, five
      // hold it, and the rest are read in index order until 500 hold it;
      // 105 are not read.
      {"common ground", SearchType::kExactPhrase, true,
       Join(Down(609, 605), Down(494, 0)), 505, "500 (105 more not checked)"},
      // Without sorting every candidate is read.
      {"common ground", SearchType::kExactPhrase, false,
       Down(499, 0), 610, "605 (500 listed)"},
  };
  f_.settings().html_report_path = dir_.Path("report.htm");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.words + std::string(row.sorted ? " sorted" : ""));
    f_.settings().chkSortMatches = row.sorted;
    const std::size_t history = f_.view.History("txbFiles").size();
    ASSERT_EQ(Search(row.words, row.type), SearchClick::kSearched);
    std::vector<std::string> listed = f_.state().strFilesFound;
    if (!row.sorted) std::reverse(listed.begin(), listed.end());
    EXPECT_EQ(listed, row.listed);
    EXPECT_EQ(f_.state().intNumFilesFound, 500);
    // The files read for the phrase, by the progress texts of the run.
    int reads = 0;
    const auto texts = f_.view.History("txbFiles");
    for (std::size_t i = history; i < texts.size(); ++i) {
      if (texts[i].find("for exact phrase.") != std::string::npos) ++reads;
    }
    EXPECT_EQ(reads, row.phrase_reads);
    EXPECT_EQ(f_.view.Text("lblNumFilesFound"),
              std::string("Number of files found with matches: ") + row.count);
    f_.display.Clear();
    WriteTextReport(f_.settings(), &f_.state(), f_.module.ports());
    EXPECT_NE(f_.display.text().find(std::string("Files found: ") + row.count),
              std::string::npos);
    EXPECT_NE(ReadFileBytes(WriteHtmlReport(f_.settings(), &f_.state(),
                                            f_.module.ports()))
                  .find(std::string("<b>") + row.count + "</b>"),
              std::string::npos);
  }
}

// A best file that is gone from the top folder leaves its place to the
// next best.
TEST_P(ManyMatchesTest, MissingBestFilesAreSkipped) {
  fs::remove(top() + "f609.txt");
  f_.settings().chkSortMatches = true;
  ASSERT_EQ(Search("common", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.state().strFilesFound, Join(Down(608, 600), Down(490, 0)));
}

// A click on Search before the run reads "Stop" is ignored; one on "Stop"
// ends the scoring, and the listing ends after its first file.
TEST_P(SearchModuleTest, StopAndTheSecondClick) {
  std::vector<SearchClick> clicks;
  auto click = [&] { clicks.push_back(f_.module.Search()); };
  f_.yield.At(1, click);  // while the words are looked up
  f_.yield.At(5, click);  // while the first file is scored
  ASSERT_EQ(Search("the dog", SearchType::kAllWords), SearchClick::kSearched);
  EXPECT_EQ(clicks, (std::vector<SearchClick>{SearchClick::kIgnored,
                                              SearchClick::kStopped}));
  EXPECT_EQ(f_.results(), Plain("a.txt", kA) + "Search terminated.");
  EXPECT_EQ(f_.view.Text("cmdSearch"), "Search");
}

TEST_P(SearchModuleTest, QuitEndsTheRunAtOnce) {
  f_.yield.At(1, [&] { f_.launcher.blnQuit = true; });
  EXPECT_EQ(Search("fox dog", SearchType::kAnyWord), SearchClick::kQuit);
  EXPECT_EQ(f_.state().intNumFilesFound, 0);
}

// An exception inside a handler (here from the window system's turn) ends
// the run with an error message and gives the controls back; the next
// click works again.
TEST_P(SearchModuleTest, AnExceptionBecomesAMessage) {
  f_.yield.At(3, [] { throw std::runtime_error("unexpected"); });
  EXPECT_EQ(Search("fox dog", SearchType::kAnyWord), SearchClick::kFailed);
  ASSERT_FALSE(f_.prompter.boxes().empty());
  EXPECT_EQ(f_.prompter.boxes().back().icon, MessageIcon::kError);
  EXPECT_EQ(f_.prompter.boxes().back().text, "unexpected");
  EXPECT_EQ(f_.view.Text("cmdSearch"), "Search");
  EXPECT_TRUE(f_.view.Enabled("cmdSearch"));
  EXPECT_FALSE(f_.module.busy());
  EXPECT_EQ(Search("fox", SearchType::kAnyWord), SearchClick::kSearched);
  EXPECT_EQ(f_.state().intNumFilesFound, 3);
}

TEST_P(SearchModuleTest, ValidateMaxNumExtracts) {
  struct Row {
    const char* text;
    bool ok;
    std::int16_t value;
    const char* box_after;
    const char* message;
  } rows[] = {
      {"", true, -1, "", ""},
      {"   ", true, -1, "", ""},
      {" 12 ", true, 12, "12", ""},
      {"9999", true, 9999, "9999", ""},
      {"0", false, -1, "", "The maximum number of extracts cannot be zero."},
      {"12345", false, -1, "12345", "Invalid input for maximum number"},
      {"-1", false, -1, "-1", "Invalid input for maximum number"},
      {"1.5", false, -1, "1.5", "Invalid input for maximum number"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    SearchFixture f(GetParam());
    f.settings().txbMaxNumExtracts = r.text;
    EXPECT_EQ(ValidateMaxNumExtracts(false, &f.settings(), &f.state(),
                                     f.module.ports()),
              r.ok);
    if (r.ok) {
      EXPECT_EQ(f.state().intMaxNumExtracts, r.value);
    }
    EXPECT_EQ(f.settings().txbMaxNumExtracts, r.box_after);
    std::string message = f.prompter.boxes().empty() ? "" : f.prompter.boxes()[0].text;
    EXPECT_EQ(message.substr(0, std::strlen(r.message)), r.message);
    if (!message.empty()) {
      EXPECT_EQ(f.prompter.boxes()[0].title, "Report");
    }
  }
}

TEST_P(SearchModuleTest, ReportButtonRefusals) {
  EXPECT_FALSE(f_.module.MakeReport());
  ASSERT_EQ(Search("fox", SearchType::kAnyWord), SearchClick::kSearched);
  f_.module.SearchWordsChanged("fox dog");
  EXPECT_FALSE(f_.module.MakeReport());
  ASSERT_EQ(Search("fox", SearchType::kAnyWord), SearchClick::kSearched);
  f_.module.SortMatchesClicked(true);
  EXPECT_FALSE(f_.module.MakeReport());
  EXPECT_EQ(f_.Messages(),
            "[Report ->] Nothing to report.  Either there are no matches\r\n"
            "or a search has not yet been performed.\n"
            "[Report ->] " + GetProgramText(66) + "\r\n" + GetProgramText(68) +
                "\n"
            "[Report ->] Sorting has been requested.\r\n" +
                GetProgramText(68) + "\n");
}

TEST_P(SearchModuleTest, UmlautsTypedWithADoubleQuote) {
  EXPECT_EQ(f_.module.SearchWordsChanged("Mu\"ller"), "M\xC3\xBCller");
  EXPECT_TRUE(f_.state().blnSearchWordsChanged);
}

}  // namespace
}  // namespace orvane::testing
