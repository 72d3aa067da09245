#include "engine/text/string_ops.h"

#include <gtest/gtest.h>

#include "engine/common/cp1252.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::Visible;

std::string C(std::string_view utf8) { return DisplayToContent(utf8).value(); }

TEST(StringOpsTest, HasTripleCharFindsRunsOfN) {
  struct Row {
    std::string_view text;
    int n;
    bool expected;
  } rows[] = {
      {"bookkeeper", 3, false}, {"zzz", 3, true},   {"1000", 3, true},
      {"www", 3, true},         {"100", 3, false},  {"aa", 3, false},
      {"abbb", 3, true},        {"aaab", 3, true},  {"aabb", 2, true},
      {"ab", 2, false},         {"a", 1, true},     {"", 1, false},
      {"abc", 0, false},        {"aaa", -1, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(HasTripleChar(row.text, row.n), row.expected)
        << row.text << " n=" << row.n;
  }
}

TEST(StringOpsTest, FindFirstCharOfGivesPositionAndSetPosition) {
  std::int32_t in_set = -1;
  EXPECT_EQ(FindFirstCharOf("hello world", 1, "ow", &in_set), 5);
  EXPECT_EQ(in_set, 1);
  EXPECT_EQ(FindFirstCharOf("hello world", 6, "ow", &in_set), 7);
  EXPECT_EQ(in_set, 2);
  EXPECT_EQ(FindFirstCharOf("hello world", 0, "ow"), 5);
  EXPECT_EQ(FindFirstCharOf("hello world", 1, "xyz", &in_set), 0);
  EXPECT_EQ(in_set, 0);
  EXPECT_EQ(FindFirstCharOf("hello", 6, "o"), 0);
  EXPECT_EQ(FindFirstCharOf("hello", 1, ""), 0);
}

TEST(StringOpsTest, FindFirstCharNotInSkipsTheSet) {
  EXPECT_EQ(FindFirstCharNotIn("   abc", 1, " "), 4);
  EXPECT_EQ(FindFirstCharNotIn("   abc", -5, " "), 4);
  EXPECT_EQ(FindFirstCharNotIn("ab  ", 3, " "), 0);
  EXPECT_EQ(FindFirstCharNotIn("aaa", 1, "a"), 0);
  EXPECT_EQ(FindFirstCharNotIn("", 1, ""), 0);
  EXPECT_EQ(FindFirstCharNotIn("abc", 1, ""), 1);
  // With an empty set the start itself is the answer, not position 1.
  EXPECT_EQ(FindFirstCharNotIn("abc", 3, ""), 3);
  EXPECT_EQ(FindFirstCharNotIn("abc", 4, ""), 0);
}

TEST(StringOpsTest, RemovesAndReplacesCharacters) {
  EXPECT_EQ(RemoveChars("a-b-c-d", "-", 3), "a-bcd");
  EXPECT_EQ(RemoveChars("a-b", "-", 9), "a-b");
  EXPECT_EQ(RemoveChars("a-b.c", "-.", 0), "abc");
  EXPECT_EQ(RemoveSpaces(" con tent- type "), "content-type");

  std::string text = "a,;b,";
  ReplaceCharsOf(text, ",;", "--");
  EXPECT_EQ(text, "a----b--");
  text = "abc";
  ReplaceCharsOf(text, "", "x");
  EXPECT_EQ(text, "abc");
}

TEST(StringOpsTest, StripTrailingRemovesEveryTrailingCopy) {
  std::string text = "xyabxyxy";
  StripTrailing(text, "xy");
  EXPECT_EQ(text, "xyab");
  StripTrailing(text, "");
  EXPECT_EQ(text, "xyab");
}

TEST(StringOpsTest, AddTrailingBackslashGivesFolderForm) {
  struct Row {
    std::string_view path, folder;
  } rows[] = {
      {"/home/data///", "/home/data/"},
      {"/home/data", "/home/data/"},
      {"/home/data/", "/home/data/"},
      {"data", "data/"},
      {"/", "/"},
      {"///", "/"},
      {"", ""},
  };
  for (const Row& row : rows) {
    std::string path(row.path);
    AddTrailingBackslash(path);
    EXPECT_EQ(path, row.folder) << row.path;
  }
}

TEST(StringOpsTest, NormaliseWhitespaceTurnsLineBreaksIntoSpaces) {
  struct Row {
    std::string_view text, result;
  } rows[] = {
      {"a\bb\tc\nd\fe\rf\xA0g", "ab c d e f g"},
      {"a\r\nb", "a b"},    // one space for the pair
      {"a\r\b\nb", "a b"},  // a backspace does not split the pair
      {"\r\r\n\n", "   "},
      {"\b\b", ""},
      {"\x0B\x1F", "\x0B\x1F"},  // other controls stay
  };
  for (const Row& row : rows) {
    std::string text(row.text);
    NormaliseWhitespace(text);
    EXPECT_EQ(Visible(text), Visible(row.result)) << Visible(row.text);
  }
}

TEST(StringOpsTest, ReplacesTypographicPunctuationOnly) {
  struct Row {
    std::string_view text, result;
  } rows[] = {
      {"\xE2\x80\x98x\xE2\x80\x99", "'x'"},
      {"\xE2\x80\x9CHi\xE2\x80\x9D", "\"Hi\""},
      {"a\xE2\x80\x90"
       "b\xE2\x80\x93"
       "c",
       "a-b-c"},
      {"a\xE2\x80\x94"
       "b",
       "a--b"},
      {"wait\xE2\x80\xA6", "wait..."},
      {"\xE2\x80\xA2item", " . item"},
      {"caf\xC3\xA9", "caf\xC3\xA9"},          // é in UTF-8 stays
      {"5\xE2\x82\xAC", "5\xE2\x82\xAC"},      // euro sign stays
      {"\xE2\x80\x9Elow", "\xE2\x80\x9Elow"},  // low quote is not listed
      {"\xE2\xE2\x80\x94", "\xE2--"},
      {"cut\xE2\x80", "cut\xE2\x80"},
  };
  for (const Row& row : rows) {
    std::string text(row.text);
    ReplaceUtf8Punctuation(text);
    EXPECT_EQ(Visible(text), Visible(row.result)) << Visible(row.text);
  }
}

TEST(StringOpsTest, ShortenForDisplayKeepsStartAndEnd) {
  struct Row {
    std::string_view text;
    int max;
    std::string_view result;
  } rows[] = {
      // 40 characters, max 20: 3 + "..." + the last 14.
      {"/home/anna/mails/archive/2023/letter.txt", 20, "/ho...023/letter.txt"},
      // The tail loses everything up to its first space.
      {"/home/anna/old letters/a b.txt", 20, "/ho...b.txt"},
      {"abcdefghijk", 10, "abc...hijk"},
      {"abcdefghij", 10, "abcdefghij"},
      {"abcdefghijklmnop", 9, "abcdefghijklmnop"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ShortenForDisplay(row.text, row.max), row.result) << row.text;
  }
}

TEST(StringOpsTest, RemoveDuplicateEntriesKeepsTheFirstOccurrence) {
  std::vector<std::string> list = {"a", "B", "b", "a", "", "c", C("É"), C("é")};
  std::vector<std::string> exact = list;
  RemoveDuplicateEntries(list, true);
  EXPECT_EQ(list,
            (std::vector<std::string>{"a", "B", "", "", "", "c", C("É"), ""}));
  RemoveDuplicateEntries(exact, false);
  EXPECT_EQ(exact, (std::vector<std::string>{"a", "B", "b", "", "", "c", C("É"),
                                             C("é")}));

  // Only the range counts: index 1 stays although it repeats index 0, and
  // index 5 stays although it repeats index 2.
  std::vector<std::string> ranged = {"x", "x", "y", "z", "y", "y"};
  RemoveDuplicateEntries(ranged, false, 1, 4);
  EXPECT_EQ(ranged, (std::vector<std::string>{"x", "x", "y", "z", "", "y"}));

  std::vector<std::string> none;
  RemoveDuplicateEntries(none, true);
  EXPECT_TRUE(none.empty());
}

TEST(StringOpsTest, RemoveEmptyEntriesClosesTheGaps) {
  std::vector<std::string> list = {"", "a", "", "b", ""};
  EXPECT_EQ(RemoveEmptyEntries(list), 1);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b"}));

  list = {"", "a", "", "b", ""};
  EXPECT_EQ(RemoveEmptyEntries(list, -1, -1, false), 1);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b", "", "", ""}));

  list = {"", "", ""};
  EXPECT_EQ(RemoveEmptyEntries(list), -1);
  EXPECT_EQ(list.size(), 3u);

  list = {};
  EXPECT_EQ(RemoveEmptyEntries(list), -1);

  // A range short of the end is compacted, and nothing after it is lost.
  list = {"", "a", "", "b", "", "c"};
  EXPECT_EQ(RemoveEmptyEntries(list, 0, 3, true), 1);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b", "", "", "", "c"}));

  list = {"keep", "", "x", "", "y"};
  EXPECT_EQ(RemoveEmptyEntries(list, 1, -1, true), 2);
  EXPECT_EQ(list, (std::vector<std::string>{"keep", "x", "y"}));
}

TEST(StringOpsTest, TrimsAndCollapsesSpacesOnly) {
  EXPECT_EQ(TrimSpaces("  \ta b\t  "), "\ta b\t");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimSpacesView("  \ta b\t  "), "\ta b\t");
  EXPECT_EQ(TrimSpacesView("   "), "");
  EXPECT_EQ(CollapseSpaces("  a   b\t\tc "), " a b\t\tc ");
  EXPECT_EQ(FirstWord("hello world"), "hello");
  EXPECT_EQ(FirstWord("single"), "single");
}

TEST(StringOpsTest, ReplaceAllIsOnePassAndReplaceRepeatedlyIsNot) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("a.b.c", ".", "::"), "a::b::c");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("ab", "a", "aa"), "aab");
  EXPECT_EQ(ReplaceRepeatedly("a    b", "  ", " "), "a b");
  EXPECT_EQ(ReplaceRepeatedly("x /  /  /  / y", " /  / ", " / "), "x / y");
  // A replacement holding what it replaces gets a single pass.
  EXPECT_EQ(ReplaceRepeatedly("ab", "a", "aa"), "aab");
  EXPECT_EQ(ReplaceRepeatedly("ab", "", "x"), "ab");
}

TEST(StringOpsTest, SplitTrimmedLinesDropsEmptyPieces) {
  EXPECT_EQ(SplitTrimmedLines(" one \r\n\r\ntwo\nthree\r four \r\n"),
            (std::vector<std::string>{"one", "two", "three", "four"}));
  EXPECT_TRUE(SplitTrimmedLines("").empty());
  EXPECT_TRUE(SplitTrimmedLines("\r\n  \n").empty());
  EXPECT_EQ(SplitTrimmedLines("last"), (std::vector<std::string>{"last"}));
}

}  // namespace
}  // namespace orvane
