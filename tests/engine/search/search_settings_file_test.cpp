// The Search Module's settings files: the sixteen lines byte for byte, a
// round trip of every line, and what damaged, foreign and short files give.
#include "engine/search/search_settings_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_tree.h"

namespace orvane::testing {
namespace {

SearchSettings EverySettingChanged() {
  SearchSettings s;
  s.cboSearchType = SearchType::kExactPhrase;
  s.txbMaxNumExtracts = "12";
  s.cboSizeOfExtract = 7;
  s.chkSortMatches = true;
  s.chkGenerateHTML = false;
  s.chkDisplayDescriptions = false;
  s.chkDisplayFilepaths = true;
  s.chkOnQuitDeleteDataFile = true;
  s.txbIndexFile = "/out/my project_index.tavo";
  s.txbTopFolder = "/data/tree, old/";
  s.project_title = "Letters, 1998";
  s.optHTMLReport = false;
  s.optSearchSingleFile = true;
  s.txbSingleFile = "/data/tree, old/a.txt";
  s.txbSearchWords = "fox, \"hound\" m\xC3\xBC" "de";
  return s;
}

TEST(SearchSettingsFileTest, WritesSixteenLinesAndReadsEveryOneBack) {
  TempDir dir;
  const std::string path = dir.Path("s.usrs");
  const SearchSettings saved = EverySettingChanged();
  ASSERT_TRUE(WriteSearchSettingsFile(path, saved).ok());
  EXPECT_EQ(ReadFileBytes(path),
            "\"Tavora -- Settings for Search Module\"\r\n"
            "2\r\n\"12\"\r\n7\r\n1\r\n0\r\n0\r\n1\r\n1\r\n"
            "\"/out/my project_index.tavo\"\r\n"
            "\"/data/tree, old/\"\r\n"
            "\"Letters, 1998\"\r\n"
            "0\r\n0\r\n"
            "\"/data/tree, old/a.txt\"\r\n"
            "fox, \"hound\" m\xC3\xBC" "de\r\n");

  SearchSettings loaded;
  ASSERT_EQ(ReadSearchSettingsFile(path, &loaded), SearchSettingsRead::kRead);
  EXPECT_EQ(loaded.cboSearchType, saved.cboSearchType);
  EXPECT_EQ(loaded.txbMaxNumExtracts, saved.txbMaxNumExtracts);
  EXPECT_EQ(loaded.cboSizeOfExtract, saved.cboSizeOfExtract);
  EXPECT_EQ(loaded.chkSortMatches, saved.chkSortMatches);
  EXPECT_EQ(loaded.chkGenerateHTML, saved.chkGenerateHTML);
  EXPECT_EQ(loaded.chkDisplayDescriptions, saved.chkDisplayDescriptions);
  EXPECT_EQ(loaded.chkDisplayFilepaths, saved.chkDisplayFilepaths);
  EXPECT_EQ(loaded.chkOnQuitDeleteDataFile, saved.chkOnQuitDeleteDataFile);
  EXPECT_EQ(loaded.txbIndexFile, saved.txbIndexFile);
  EXPECT_EQ(loaded.txbTopFolder, saved.txbTopFolder);
  EXPECT_EQ(loaded.project_title, saved.project_title);
  EXPECT_EQ(loaded.optHTMLReport, saved.optHTMLReport);
  EXPECT_EQ(loaded.optSearchSingleFile, saved.optSearchSingleFile);
  EXPECT_EQ(loaded.txbSingleFile, saved.txbSingleFile);
  // Search words with a comma and quotes come back whole.
  EXPECT_EQ(loaded.txbSearchWords, saved.txbSearchWords);

  // Files written with LF line ends read the same.
  std::string lf = ReadFileBytes(path);
  for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) {
    lf.erase(at, 1);
  }
  SearchSettings from_lf;
  ASSERT_EQ(ReadSearchSettingsFile(dir.Write("lf.usrs", lf), &from_lf),
            SearchSettingsRead::kRead);
  EXPECT_EQ(from_lf.txbSearchWords, saved.txbSearchWords);
  EXPECT_EQ(from_lf.txbSingleFile, saved.txbSingleFile);
}

// The option to show the scores is a seventeenth line, written only when
// set: a file of the sixteen lines loads it as off, and it comes back from
// CR LF and LF files alike.
TEST(SearchSettingsFileTest, ExplainScoresIsALineOfItsOwnWhenSet) {
  TempDir dir;
  SearchSettings saved = EverySettingChanged();
  saved.explain_scores = true;
  const std::string path = dir.Path("e.usrs");
  ASSERT_TRUE(WriteSearchSettingsFile(path, saved).ok());
  const std::string bytes = ReadFileBytes(path);
  const std::string words_line = "fox, \"hound\" m\xC3\xBC" "de\r\n";
  ASSERT_GE(bytes.size(), words_line.size() + 3);
  EXPECT_EQ(bytes.substr(bytes.size() - words_line.size() - 3),
            words_line + "1\r\n");
  std::string lf = bytes;
  for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) {
    lf.erase(at, 1);
  }
  const std::string sixteen = bytes.substr(0, bytes.size() - 3);
  struct Row {
    const char* name;
    std::string text;
    bool explain;
  } rows[] = {
      {"seventeen lines", bytes, true},
      {"seventeen lines, LF", lf, true},
      {"sixteen lines", sixteen, false},
      {"sixteen lines, no line end", sixteen.substr(0, sixteen.size() - 2),
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SearchSettings loaded;
    ASSERT_EQ(ReadSearchSettingsFile(dir.Write("r.usrs", row.text), &loaded),
              SearchSettingsRead::kRead);
    EXPECT_EQ(loaded.explain_scores, row.explain);
    EXPECT_EQ(loaded.txbSearchWords, saved.txbSearchWords);
  }
}

// Ranking by relevance is an eighteenth line, after the seventeenth that
// it then needs; the two lines come back as written, and a value that is
// no bit stops the reading there.
TEST(SearchSettingsFileTest, RelevanceIsTheEighteenthLine) {
  TempDir dir;
  const std::string words_line = "fox, \"hound\" m\xC3\xBC" "de\r\n";
  for (bool explain : {false, true}) {
    SCOPED_TRACE(explain ? "with scores" : "without scores");
    SearchSettings saved = EverySettingChanged();
    saved.explain_scores = explain;
    saved.sort_by_relevance = true;
    const std::string path = dir.Path("r.usrs");
    ASSERT_TRUE(WriteSearchSettingsFile(path, saved).ok());
    const std::string bytes = ReadFileBytes(path);
    const std::string tail =
        words_line + (explain ? "1\r\n" : "0\r\n") + "1\r\n";
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
    SearchSettings loaded;
    ASSERT_EQ(ReadSearchSettingsFile(path, &loaded), SearchSettingsRead::kRead);
    EXPECT_EQ(loaded.explain_scores, explain);
    EXPECT_TRUE(loaded.sort_by_relevance);
    SearchSettings stopped;
    EXPECT_EQ(ReadSearchSettingsFile(
                  dir.Write("s.usrs", bytes.substr(0, bytes.size() - 3) + "7\r\n"),
                  &stopped),
              SearchSettingsRead::kStopped);
    EXPECT_FALSE(stopped.sort_by_relevance);
  }
}

TEST(SearchSettingsFileTest, RefusesAQuoteInAQuotedFieldAndKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.Write("s.usrs", "old");
  SearchSettings s;
  s.txbTopFolder = "/data/\"quoted\"/";
  Status status = WriteSearchSettingsFile(path, s);
  EXPECT_EQ(status.kind(), Status::Kind::kRefused);
  EXPECT_NE(status.message().find("The top folder contains a double quote"),
            std::string::npos);
  EXPECT_EQ(ReadFileBytes(path), "old");

  Status failed = WriteSearchSettingsFile(dir.Path("no/such/folder/s.usrs"),
                                          SearchSettings());
  EXPECT_EQ(failed.kind(), Status::Kind::kFailed);
  EXPECT_EQ(failed.message().rfind("Error when attempting to save settings: ", 0),
            0u);
}

TEST(SearchSettingsFileTest, ForeignShortAndDamagedFiles) {
  TempDir dir;
  SearchSettings s;
  s.txbSearchWords = "untouched";
  // Another module's settings file, random bytes, a missing file.
  EXPECT_EQ(ReadSearchSettingsFile(
                dir.Write("i.usri", "\"Tavora -- Settings for Index Module\"\r\n"
                                    "\"proj\"\r\n"),
                &s),
            SearchSettingsRead::kForeign);
  EXPECT_EQ(ReadSearchSettingsFile(dir.Write("r.usrs", std::string("\x8f\0\xff,\"\r", 6)), &s),
            SearchSettingsRead::kForeign);
  EXPECT_EQ(ReadSearchSettingsFile(dir.Path("none.usrs"), &s),
            SearchSettingsRead::kCannotOpen);
  EXPECT_EQ(s.txbSearchWords, "untouched");

  // A short file sets what it holds and leaves the rest.
  SearchSettings short_file;
  ASSERT_EQ(ReadSearchSettingsFile(
                dir.Write("short.usrs",
                          "\"Tavora -- Settings for Search Module\"\r\n0\r\n"
                          "\"5\"\r\n"),
                &short_file),
            SearchSettingsRead::kRead);
  EXPECT_EQ(short_file.cboSearchType, SearchType::kAnyWord);
  EXPECT_EQ(short_file.txbMaxNumExtracts, "5");
  EXPECT_EQ(short_file.cboSizeOfExtract, 4);
  EXPECT_TRUE(short_file.chkGenerateHTML);

  // A size of extract no item has stops the reading there.
  SearchSettings bad;
  ASSERT_EQ(ReadSearchSettingsFile(
                dir.Write("bad.usrs",
                          "\"Tavora -- Settings for Search Module\"\r\n2\r\n"
                          "\"\"\r\n12\r\n1\r\n"),
                &bad),
            SearchSettingsRead::kStopped);
  EXPECT_EQ(bad.cboSearchType, SearchType::kExactPhrase);
  EXPECT_EQ(bad.cboSizeOfExtract, 4);
  EXPECT_FALSE(bad.chkSortMatches);
}

TEST(SearchSettingsFileTest, ProposesTheProjectNameOfTheIndexFile) {
  EXPECT_EQ(ProposedSettingsFileName("/out/letters_index.tavo"), "letters.usrs");
  EXPECT_EQ(ProposedSettingsFileName("letters_index.tavo"), "letters.usrs");
  EXPECT_EQ(ProposedSettingsFileName(""), "");
}

}  // namespace
}  // namespace orvane::testing
