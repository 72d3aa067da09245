#include "engine/report/text_report.h"

#include <gtest/gtest.h>

#include "tests/engine/report/report_fixture.h"

namespace orvane::testing {
namespace {

// The report's first characters, as many as expected holds.
std::string Head(const std::string& text, const std::string& expected) {
  return text.substr(0, expected.size());
}

// The report's last lines from the line that begins with head.
std::string From(const std::string& text, const std::string& head) {
  std::size_t at = text.find(head);
  return at == std::string::npos ? "(missing: " + head + ")" : text.substr(at);
}

TEST_P(ReportTest, TextReportLineForLine) {
  Tree({{"a.txt", "The quick brown fox jumps over the lazy dog.\r\n"},
        {"b.htm",
         "<html><head><title>Dogs &amp; &quot;Foxes&quot;</title>"
         "<meta name=\"description\" content=\"About dogs\"></head>"
         "<body><p>A dog and a fox.</p></body></html>"},
        {"c.txt", "Cats only."}});
  Search("fox dog", SearchType::kAllWords);
  EXPECT_EQ(f_.display.caption(), "Search results");
  EXPECT_TRUE(f_.display.IsVisible());
  EXPECT_EQ(f_.display.text(),
            "Search words: fox dog\r\n"
            "Search type: All words\r\n"
            "Files found: 2\r\n"
            "\r\n"
            "Not HTML file\r\n" +
                top() + "a.txt\r\n"
                "4} ... quick brown fox jumps over the lazy ...\r\n"
                "\r\n"
                "Dogs & \"Foxes\"\r\n"
                "Description: About dogs\r\n" +
                top() + "b.htm\r\n"
                "7} ... Dogs & \"Foxes\" A dog and a ...\r\n"
                "\r\n"
                "All occurrences are displayed.\r\n");
}

TEST_P(ReportTest, HeaderForOneWordAndForStems) {
  Tree({{"a.txt", "apple apricot avocado banana"}, {"b.txt", "cherry"}});
  Search("apple", SearchType::kAllWords);
  std::string expected = "Search word: apple\r\nFiles found: 1\r\n\r\n";
  EXPECT_EQ(Head(f_.display.text(), expected), expected);
  Search("banana ap*", SearchType::kAnyWord);
  expected =
      "Search words: banana ap*\r\n"
      "Expanded: apple, apricot, banana\r\n"
      "\r\n"
      "Search type: Any word\r\n"
      "Files found: 1\r\n"
      "\r\n"
      "Not HTML file\r\n";
  EXPECT_EQ(Head(f_.display.text(), expected), expected);
  // The sort leaves the words in ascending order.
  EXPECT_EQ(f_.state().strSearchWords,
            (std::vector<std::string>{"apple", "apricot", "banana"}));
}

TEST_P(ReportTest, MoreThanTwentyExpandedWordsAreOnlyCounted) {
  std::string text;
  for (int i = 0; i < 25; ++i) text += "w" + Filler(i) + " ";
  Tree({{"a.txt", text}, {"b.txt", "x"}});
  Search("wq*", SearchType::kAnyWord);
  // "Search words": one word typed, 25 searched.
  const std::string expected =
      "Search words: wq*\r\n"
      "There are more than 20 actual search words.\r\n"
      "\r\n"
      "Search type: Any word\r\n";
  EXPECT_EQ(Head(f_.display.text(), expected), expected);
}

// The count line below a file's extracts and the tail of the report.
TEST_P(ReportTest, CountLinesAndTails) {
  struct Row {
    int occurrences;
    const char* max;
    std::size_t listed;
    std::string count_line;  // "" when there is none
    std::string tail;
  } rows[] = {
      {25, "10", 10, "Number of extracts: 10 (25 possible)\r\n",
       "A maximum of 10 extracts were requested.  Some occurrences are not "
       "included above..\r\n"},
      {300, "10", 10, "Number of extracts: 10 (more than 40 possible)\r\n",
       "A maximum of 10 extracts were requested.  Some occurrences are not "
       "included above..\r\n"},
      {7, "", 7, "Number of extracts: 7\r\n", "All occurrences are displayed.\r\n"},
      {3, "", 3, "", "All occurrences are displayed.\r\n"},
      {3, "1", 1, "Number of extracts: 1 (3 possible)\r\n",
       "At most one extract was requested. Some occurrences are not included "
       "above.\r\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.occurrences) + " max " + r.max);
    Tree({{"n" + std::to_string(r.occurrences) + r.max + ".txt",
           Needles(r.occurrences)},
          {"z.txt", "nothing"}});
    f_.settings().cboSizeOfExtract = 0;
    Search("needle", SearchType::kAnyWord, r.max);
    const std::string& text = f_.display.text();
    std::size_t extracts = 0;
    for (std::size_t at = text.find("<"); at != std::string::npos;
         at = text.find("<", at + 1)) {
      ++extracts;  // the marks are removed: none may be left
    }
    EXPECT_EQ(extracts, 0u);
    std::size_t lines = 0;
    for (std::size_t at = text.find("} ... "); at != std::string::npos;
         at = text.find("} ... ", at + 1)) {
      ++lines;
    }
    EXPECT_EQ(lines, r.listed);
    EXPECT_EQ(From(text, r.count_line.empty() ? "\r\n\r\nAll" : "Number of"),
              (r.count_line.empty() ? "\r\n\r\n" : r.count_line + "\r\n") + r.tail);
  }
}

TEST_P(ReportTest, EntitiesAndDashesAreMadePlain) {
  Tree({{"a.txt", "It&#8217;s a &quot;fox&quot; &gt; dog &#151; yes"},
        {"b.txt", "none"}});
  Search("fox", SearchType::kAnyWord);
  EXPECT_NE(f_.display.text().find("... It's a \"fox\" > dog -- ..."),
            std::string::npos)
      << Visible(f_.display.text());
}

TEST_P(ReportTest, LongFilesShowANoteWhileTheyAreRead) {
  Tree({{"long.txt", Needles(1) + std::string(20000, ' ')}, {"b.txt", "x"}});
  Search("needle", SearchType::kAnyWord);
  EXPECT_EQ(f_.display.notes(), std::vector<std::string>{"Searching file ..."});
  EXPECT_FALSE(f_.display.note_shown());
}

TEST_P(ReportTest, FileVanishedBeforeTheReport) {
  Tree({{"a.txt", "fox"}, {"b.txt", "fox"}});
  f_.settings().chkGenerateHTML = false;
  Search("fox", SearchType::kAnyWord);
  std::filesystem::remove(dir_.Path("top/a.txt"));
  ASSERT_TRUE(f_.module.MakeReport()) << f_.Messages();
  EXPECT_EQ(From(f_.display.text(), "Not HTML file"),
            "Not HTML file\r\n" + top() +
                "a.txt\r\nThe file can no longer be read.\r\n\r\n"
                "Not HTML file\r\n" +
                top() + "b.txt\r\n7} ... fox ...\r\n\r\n"
                        "All occurrences are displayed.\r\n");
}

// The report asks "keep going?" after every extract and every file: the
// user's quit ends it there, without its tail. A stop left over from an
// earlier run (an unexpected failure sets it) does not end the next one.
TEST_P(ReportTest, TextReportEndsAtTheUsersQuitOnly) {
  Tree({{"a.txt", "fox"}, {"b.txt", "fox"}});
  f_.settings().chkGenerateHTML = false;
  Search("fox", SearchType::kAnyWord);
  const std::string whole = "Not HTML file\r\n" + top() +
                            "a.txt\r\n7} ... fox ...\r\n\r\n"
                            "Not HTML file\r\n" +
                            top() +
                            "b.txt\r\n7} ... fox ...\r\n\r\n"
                            "All occurrences are displayed.\r\n";

  f_.state().report_stop = true;
  ASSERT_TRUE(f_.module.MakeReport()) << f_.Messages();
  EXPECT_EQ(From(f_.display.text(), "Not HTML file"), whole);

  f_.yield.At(f_.yield.calls() + 1, [&] { f_.launcher.blnQuit = true; });
  ASSERT_TRUE(f_.module.MakeReport()) << f_.Messages();
  EXPECT_EQ(From(f_.display.text(), "Not HTML file"),
            "Not HTML file\r\n" + top() + "a.txt\r\n");
}

}  // namespace
}  // namespace orvane::testing
