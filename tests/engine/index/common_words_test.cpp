#include "engine/index/common_words.h"

#include <gtest/gtest.h>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::TempDir;

TEST(CommonWordsTest, LoadsTrimmedEntriesAndSkipsCommentsAndEmptyLines) {
  TempDir dir;
  std::string path = dir.Write("cwds.txt",
                               "' common words\r\n  and \r\n\r\nthe\nzebra\n");
  CommonWords words;
  words.LoadCommonWords(path);
  EXPECT_EQ(words.words(), (std::vector<std::string>{"and", "the", "zebra"}));

  std::string many;
  for (int i = 0; i < 1001; ++i) many += "w" + std::to_string(1000 + i) + "\n";
  words.LoadCommonWords(dir.Write("many.txt", many));
  EXPECT_TRUE(words.words().empty());  // more than 1000 entries
  words.LoadCommonWords(dir.Path("missing.txt"));
  EXPECT_TRUE(words.words().empty());
}

TEST(CommonWordsTest, PassesACommonWordOncePerFile) {
  CommonWords words;
  words.SetWords({"and", "the"});
  EXPECT_FALSE(words.IsRepeatedCommonWord("the"));
  EXPECT_TRUE(words.IsRepeatedCommonWord("the"));
  EXPECT_TRUE(words.IsRepeatedCommonWord("the"));
  EXPECT_FALSE(words.IsRepeatedCommonWord("then"));
  EXPECT_FALSE(words.IsRepeatedCommonWord("and"));
  words.ClearSeenFlags();
  EXPECT_FALSE(words.IsRepeatedCommonWord("the"));
  EXPECT_FALSE(words.IsRepeatedCommonWord("The"));  // exact comparison
}

TEST(CommonWordsTest, AnUnsortedListIsSearchedAsItStands) {
  // A binary search of an unsorted list misses entries; the fast look-up
  // of sorted lists must not change what such a list does.
  CommonWords words;
  words.SetWords({"the", "and"});
  words.IsRepeatedCommonWord("and");
  EXPECT_FALSE(words.IsRepeatedCommonWord("and"));
  words.IsRepeatedCommonWord("the");
  EXPECT_FALSE(words.IsRepeatedCommonWord("the"));
}

TEST(CommonWordsTest, ShippedListIsLowerCaseSortedAndFits) {
  CommonWords words;
  words.LoadCommonWords(testing::SourceDataFolder() / "cwds.txt");
  const std::vector<std::string>& list = words.words();
  ASSERT_GT(list.size(), 100u);
  EXPECT_LE(list.size(), CommonWords::kMaxWords);
  for (std::size_t i = 0; i < list.size(); ++i) {
    for (char c : list[i]) EXPECT_TRUE(c >= 'a' && c <= 'z') << list[i];
    // Look-ups use a binary search: the order must be strict.
    if (i > 0) {
      EXPECT_LT(list[i - 1], list[i]);
    }
  }
  for (std::string_view w : {"the", "and", "a", "of", "yourselves"}) {
    words.ClearSeenFlags();
    words.IsRepeatedCommonWord(w);
    EXPECT_TRUE(words.IsRepeatedCommonWord(w)) << w;
  }
}

}  // namespace
}  // namespace orvane
