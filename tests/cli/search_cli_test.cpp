// `orvane search` and `orvane list` run end to end over a small index.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

class SearchCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("top/a.txt", "The quick brown fox jumps over the lazy dog.\r\n");
    dir_.Write("top/sub/c.htm",
               "<html><head><title>Fox &amp; Hound</title></head>"
               "<body>The fox runs from the hound.</body></html>");
    dir_.Write("top/d.txt", "Nothing here.");
    index_ = WriteIndex(dir_, "cli",
                        IndexOfTree(dir_, "top/", {"a.txt", "sub/c.htm", "d.txt"}),
                        false);
  }
  Outcome Orvane(const std::vector<std::string>& args) {
    std::string command = "ORVANE_OPEN=true TMPDIR=" + Quote(dir_.folder()) +
                          " " + Quote(ORVANE_PROGRAM);
    for (const std::string& a : args) command += " " + Quote(a);
    return RunShellCommand(command, dir_.Path("err.txt"));
  }
  Outcome Search(std::vector<std::string> args) {
    args.insert(args.begin(), {"search", "--index", index_, "--top", top()});
    return Orvane(args);
  }
  std::string top() const { return dir_.folder() + "top/"; }

  TempDir dir_;
  std::string index_;
};

TEST_F(SearchCliTest, ResultsBoxThenTheFoundFilesLine) {
  Outcome run = Search({"--type", "any", "hound", "lazy"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, top() + "a.txt\n\"The quick brown fox jumps over the lazy dog.\"\n\n" +
                         top() + "sub/c.htm\nFox Hound\n\n"
                                 "Number of files found with matches: 2\n");
  EXPECT_EQ(run.err, "");
}

// Under each file its score for each search word, 0 where it lacks one,
// and the sum that ranks it.
TEST_F(SearchCliTest, ExplainShowsEachWordsScoreAndTheSum) {
  Outcome run = Search({"--type", "any", "--sort", "--explain", "fox", "lazy"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, top() + "a.txt\n\"The quick brown fox jumps over the lazy dog.\"\n"
                         "Scores: fox 128 + lazy 128 = 256\n\n" +
                         top() + "sub/c.htm\nFox Hound\n"
                                 "Scores: fox 255 + lazy 0 = 255\n\n"
                                 "Number of files found with matches: 2\n");
  // The HTML report shows the same under each file.
  const std::string page = dir_.Path("report.htm");
  Outcome html = Search({"--type", "any", "--sort", "--explain", "--report",
                         "html", "--html-out", page, "--no-open", "fox", "lazy"});
  EXPECT_EQ(html.status, 0) << html.err;
  EXPECT_NE(ReadFileBytes(page).find(
                "<font size=\"-1\">Scores: fox 255 + lazy 0 = 255</font><br>"),
            std::string::npos);
}

// --sort-by relevance ranks by the words' relevance weights and explains
// them; an order it does not know is refused.
TEST_F(SearchCliTest, SortByRelevanceRanksAndExplains) {
  Outcome run = Search({"--type", "any", "--sort-by", "relevance", "--explain",
                        "fox", "lazy"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            top() + "a.txt\n\"The quick brown fox jumps over the lazy dog.\"\n"
                    "Scores: fox 128 + lazy 128 = 256; relevance: fox 1.024 + "
                    "lazy 2.138 = 3.162\n\n" +
                top() + "sub/c.htm\nFox Hound\n"
                        "Scores: fox 255 + lazy 0 = 255; relevance: fox 1.029 + "
                        "lazy 0.000 = 1.029\n\n"
                        "Number of files found with matches: 2\n");
  Outcome refused = Search({"--sort-by", "size", "fox"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("occurrence or relevance"), std::string::npos)
      << refused.err;
}

TEST_F(SearchCliTest, ExitStatusTellsWhatHappened) {
  Outcome none = Search({"zebra"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "No file contains all the search words.\n"
                      "Number of files found with matches: 0\n");
  Outcome refused = Search({"fo*"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("Stems in search words are permitted only"),
            std::string::npos);
  // "fox1" is a word of its own now, which no file holds.
  Outcome digits = Search({"fox1"});
  EXPECT_EQ(digits.status, 1);
  Outcome foreign = Search({"fox", "\xD0\xB6"});
  EXPECT_EQ(foreign.status, 2);
  Outcome bad_index = Orvane({"search", "--index", dir_.Write("x_index.tavo", "junk"),
                          "--top", top(), "fox"});
  EXPECT_EQ(bad_index.status, 2);
  EXPECT_NE(bad_index.err.find("Error when reading the index file: -3"),
            std::string::npos);
  Outcome no_flags = Orvane({"search", "fox"});
  EXPECT_EQ(no_flags.status, 2);
  EXPECT_NE(no_flags.err.find("--index is required"), std::string::npos);
}

TEST_F(SearchCliTest, TextReportIsAllOfTheOutput) {
  Outcome run = Search({"--type", "phrase", "--report", "text", "the", "fox"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, 53),
            "Search words: the fox\nSearch type: Exact phrase\nFiles");
  EXPECT_EQ(run.out.substr(run.out.size() - 31), "All occurrences are displayed.\n");
  EXPECT_EQ(run.out.find("Number of files found"), std::string::npos);
}

TEST_F(SearchCliTest, HtmlReportIsWrittenOpenedAndNamed) {
  std::string page = dir_.Path("page.htm");
  Outcome run = Search({"--report", "html", "--html-out", page, "fox"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, page + "\n");
  EXPECT_NE(ReadFileBytes(page).find("</BODY></HTML>"), std::string::npos);
}

// Every option's value is checked whatever else is asked for: a bad
// --max-extracts was let through when no report was asked for.
TEST_F(SearchCliTest, BadValuesAreRefusedNamingOptionAndValue) {
  for (const char* value : {"-1", "0", "abc", "99999", "12a"}) {
    const std::string refusal = "orvane search: bad value for --max-extracts: '" +
                                std::string(value) +
                                "' (a number from 1 to 9999)\n"
                                "Try 'orvane help search'.\n";
    for (const char* report : {"none", "text", "html"}) {
      Outcome run = Search({"--report", report, "--max-extracts", value, "fox"});
      EXPECT_EQ(run.status, 2) << value << " " << report;
      EXPECT_EQ(run.err, refusal) << report;
      EXPECT_EQ(run.out, "");
    }
  }
  EXPECT_EQ(Search({"--max-extracts", "9999", "fox"}).status, 0);
  struct Row {
    std::vector<std::string> args;
    std::string err;
  } rows[] = {
      {{"--type", "most", "fox"},
       "bad value for --type: 'most' (any, all or phrase)"},
      {{"--report", "pdf", "fox"},
       "bad value for --report: 'pdf' (none, text or html)"},
      {{"--extract-size", "10", "fox"},
       "bad value for --extract-size: '10' (1 to 9)"},
      {{"--descriptions", "yes", "fox"},
       "bad value for --descriptions: 'yes' (0 or 1)"},
      {{"--sorted", "fox"}, "unknown option '--sorted'"},
      {{"fox", "--type"}, "--type needs a value"},
  };
  for (const Row& row : rows) {
    Outcome run = Search(row.args);
    EXPECT_EQ(run.status, 2) << row.err;
    EXPECT_EQ(run.err, "orvane search: " + row.err +
                           "\nTry 'orvane help search'.\n");
  }
}

// The window's messages in the command line's words: no window title, no
// "will now be changed", the flag that does what the window's control
// would.
TEST_F(SearchCliTest, MessagesNameTheFlagsNotTheWindow) {
  Outcome stems = Search({"fo*"});
  EXPECT_EQ(stems.status, 2);
  EXPECT_EQ(stems.err,
            "orvane search: Stems in search words are permitted only in 'Any "
            "word' searches. Add --type any to search for stems.\n");
  Outcome damaged = Orvane({"search", "--index",
                            dir_.Write("y_index.tavo", "junk"), "--top", top(),
                            "fox"});
  EXPECT_EQ(damaged.status, 2);
  EXPECT_EQ(damaged.err.find("index module"), std::string::npos) << damaged.err;
  EXPECT_EQ(damaged.err.find("[Orvane"), std::string::npos) << damaged.err;
  EXPECT_EQ(damaged.err.rfind("orvane search: ", 0), 0u) << damaged.err;
}

// A report that could not be written completely left a partial page and
// no reason; a full standard output went unnoticed.
TEST_F(SearchCliTest, AReportThatCannotBeWrittenCompletelyIsToldAndRemoved) {
  std::string page = dir_.Path("page.htm");
  // A file-size limit of 1 KB makes the system refuse the page's end
  // (EFBIG), as a full disk would (ENOSPC).
  std::string command = "trap '' XFSZ; ulimit -f 1; exec " + Quote(ORVANE_PROGRAM) +
                        " search --index " + Quote(index_) + " --top " +
                        Quote(top()) + " --type any --report html --no-open"
                        " --html-out " + Quote(page) + " the fox hound";
  ASSERT_EQ(Search({"fox"}).status, 0);  // the data file is made first
  Outcome full = RunShellCommand("sh -c " + Quote(command), dir_.Path("err.txt"));
  EXPECT_EQ(full.status, 2);
  EXPECT_EQ(full.err, "orvane search: The report file " + page +
                          " could not be written completely (File too large)"
                          " and has been deleted.\n");
  EXPECT_FALSE(std::filesystem::exists(page));

  Outcome no_space = RunShellCommand(
      Quote(ORVANE_PROGRAM) + " search --index " + Quote(index_) + " --top " +
          Quote(top()) + " --report text fox >/dev/full",
      dir_.Path("err.txt"));
  EXPECT_EQ(no_space.status, 2);
  EXPECT_EQ(no_space.err,
            "orvane search: standard output could not be written completely: "
            "No space left on device\n");
}

TEST_F(SearchCliTest, SingleFile) {
  Outcome found = Search({"--single-file", top() + "sub/c.htm", "hound"});
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_EQ(found.out, top() + "sub/c.htm\nFox Hound\n\nFound\n");
  Outcome outside = Search({"--single-file", dir_.Write("elsewhere.txt", "fox"), "fox"});
  EXPECT_EQ(outside.status, 2);
  EXPECT_NE(outside.err.find("must lie in the top folder (--top)"),
            std::string::npos)
      << outside.err;
}

// Each refusal names its own cause: a file in the top folder that is not
// indexed, a file reached through a link to the top folder, a file that
// does not exist, a top folder that is a file.
TEST_F(SearchCliTest, RefusalsNameTheRightCause) {
  Outcome not_indexed =
      Search({"--single-file", dir_.Write("top/new.txt", "fox"), "fox"});
  EXPECT_EQ(not_indexed.status, 2);
  EXPECT_NE(not_indexed.err.find("This file is not in the index file."),
            std::string::npos)
      << not_indexed.err;

  std::filesystem::create_directory_symlink(dir_.Path("top"), dir_.Path("link"));
  Outcome linked = Orvane({"search", "--index", index_, "--top",
                           dir_.Path("link"), "--single-file",
                           top() + "sub/c.htm", "hound"});
  EXPECT_EQ(linked.status, 0) << linked.err;
  EXPECT_EQ(linked.out, dir_.Path("link/sub/c.htm") + "\nFox Hound\n\nFound\n");

  Outcome missing = Search({"--single-file", top() + "gone.txt", "fox"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "orvane search: the --single-file " + top() +
                             "gone.txt does not exist\n");

  Outcome file_as_top =
      Orvane({"search", "--index", index_, "--top", top() + "a.txt", "fox"});
  EXPECT_EQ(file_as_top.status, 2);
  EXPECT_EQ(file_as_top.err, "orvane search: the top folder " + top() +
                                 "a.txt is not a folder\n");
}

TEST_F(SearchCliTest, ListByFolderAndAlphabetically) {
  Outcome alphabetical = Orvane({"list", "--index", index_});
  EXPECT_EQ(alphabetical.status, 0) << alphabetical.err;
  EXPECT_EQ(alphabetical.out.substr(0, 62),
            "Alphabetical listing of the filepaths of the 3 indexed files\n\n");
  EXPECT_NE(alphabetical.out.find("\n\na.txt\nd.txt\nsub/c.htm\n\nThat's all.\n"),
            std::string::npos)
      << alphabetical.out;
  Outcome by_folder = Orvane({"list", "--index", index_, "--by-folder"});
  EXPECT_NE(by_folder.out.find("\n\na.txt\n\nsub/c.htm\n\nd.txt\n\nThat's all.\n"),
            std::string::npos)
      << by_folder.out;
  EXPECT_EQ(Orvane({"list", "--index", dir_.Path("none_index.tavo")}).status, 2);
}

// The demo indexes the sample tree that ships with the program, searches it
// with every type and leaves nothing behind.
TEST_F(SearchCliTest, DemoIndexesAndSearchesTheSampleTree) {
  Outcome demo = Orvane({"demo"});
  EXPECT_EQ(demo.status, 0) << demo.err;
  EXPECT_NE(demo.out.find("Data extraction completed."), std::string::npos);
  std::size_t phrase = demo.out.find("Search: to be or not to be (Exact phrase)");
  ASSERT_NE(phrase, std::string::npos) << demo.out;
  EXPECT_NE(demo.out.find("literature/hamlet_to_be_or_not_to_be.txt", phrase),
            std::string::npos);
  EXPECT_NE(demo.out.find("Search type: All words"), std::string::npos);
  EXPECT_NE(demo.out.find("Expanded: licences, licensable"), std::string::npos);
  // It ends with what to run next, for a folder of the user's.
  std::size_t next = demo.out.find("To index a folder of your own");
  ASSERT_NE(next, std::string::npos);
  EXPECT_NE(demo.out.find(" index --top ~/Documents --include-all --subsub", next),
            std::string::npos);
  EXPECT_NE(demo.out.find(" search --index ~/documents_index.tavo --top ~/Documents",
                          next),
            std::string::npos);
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().filename().string().rfind("orvane-demo-", 0),
              std::string::npos);
  }
}

}  // namespace
}  // namespace orvane::testing
