// The search run combines the words' postings, never a row of every file:
// on random indexes its scores must be those that the rows of scores of
// all files, combined file by file, give.
#include "engine/search/search_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/search/index_loading.h"
#include "engine/search/relevance.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

class SearchRunTest : public ::testing::TestWithParam<IndexStoreKind> {};

INSTANTIATE_TEST_SUITE_P(EveryStore, SearchRunTest,
                         ::testing::ValuesIn(kEveryStore), StoreName);

// The files' scores as the rows give them, file by file: "Any word" sums
// the scores of the words a file holds (sorted) or takes the first (not
// sorted); "All words" sums them when the file holds every word. Ranked by
// relevance, a sorted list sums the words' relevance weights instead, each
// word weighed by the files of the whole index that hold it.
std::vector<std::pair<std::uint32_t, std::int32_t>> DenseScores(
    const IndexLayout& layout, const std::vector<std::string>& words,
    SearchType type, bool sorted, bool relevance, std::int64_t single) {
  std::vector<std::pair<std::uint32_t, std::int32_t>> found;
  for (std::size_t k = 0; k < layout.files.size(); ++k) {
    if (single >= 0 && static_cast<std::int64_t>(k) != single) continue;
    std::int32_t score = 0;
    bool all = true;
    for (const std::string& word : words) {
      int b = 0;
      std::uint32_t holders = 0;
      for (const auto& [w, row] : layout.words) {
        if (w != word) continue;
        b = row[k];
        holders = static_cast<std::uint32_t>(
            std::count_if(row.begin(), row.end(), [](int x) { return x > 0; }));
      }
      if (b == 0) all = false;
      if (type == SearchType::kAnyWord && !sorted && score > 0) continue;
      score += sorted && relevance
                   ? RelevanceWeights(static_cast<std::uint32_t>(
                                          layout.files.size()),
                                      holders)[static_cast<std::size_t>(b)]
                   : b;
    }
    if (type == SearchType::kAllWords && !all) score = 0;
    if (score > 0) found.emplace_back(static_cast<std::uint32_t>(k), score);
  }
  return found;
}

TEST_P(SearchRunTest, ScoresAsTheRowsOfEveryFileWould) {
  std::mt19937 random(11);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    TempDir dir;
    IndexLayout layout;
    const std::size_t files = 1 + random() % 300;
    for (std::size_t k = 0; k < files; ++k) {
      layout.files.push_back("f" + std::to_string(k));
    }
    const char* vocabulary[] = {"ant", "bee", "cat", "dog", "eel", "fox"};
    for (const char* word : vocabulary) {
      // Rare words and common ones, some in no file at all.
      const unsigned density = 1 + random() % 40;
      std::vector<int> row(files, 0);
      for (int& b : row) {
        if (random() % density == 0) b = 1 + static_cast<int>(random() % 255);
      }
      layout.words.emplace_back(word, row);
    }
    SearchFixture f(GetParam());
    ASSERT_TRUE(LoadIndexFile(WriteIndex(dir, "r", layout, false),
                              &f.state().index, f.module.ports(),
                              f.state().results))
        << f.Messages();
    std::vector<std::string> words;
    for (std::size_t n = 1 + random() % 4; words.size() < n;) {
      words.push_back(vocabulary[random() % 6]);  // repeats too
    }
    const SearchType type =
        random() % 2 ? SearchType::kAnyWord : SearchType::kAllWords;
    const bool sorted = random() % 2 == 0;
    const bool relevance = random() % 2 == 0;
    const std::int64_t single =
        random() % 4 == 0 ? static_cast<std::int64_t>(random() % files) : -1;
    f.state().strSearchWords = words;
    f.settings().cboSearchType = type;
    f.settings().chkSortMatches = sorted;
    f.settings().sort_by_relevance = relevance;
    f.settings().txbTopFolder = dir.folder();
    f.settings().optSearchSingleFile = single >= 0;
    if (single >= 0) {
      f.settings().txbSingleFile = dir.folder() + layout.files[single];
    }
    ASSERT_EQ(RunSearch(f.settings(), &f.state(), f.module.ports()),
              SearchRunOutcome::kFinished);
    std::vector<std::pair<std::uint32_t, std::int32_t>> scores;
    for (const FileScore& match : f.state().intFileMatchCounts) {
      scores.emplace_back(match.file_index, match.score);
    }
    // One word is searched as "Any word" whatever the type.
    const SearchType scored = words.size() == 1 ? SearchType::kAnyWord : type;
    EXPECT_EQ(scores,
              DenseScores(layout, words, scored, sorted, relevance, single));
  }
}

// The relevance weight in thousandths: rare words weigh most, repeated
// occurrences saturate, and a word in every file still weighs above 0.
TEST(RelevanceTest, WeightsOfRareAndCommonWords) {
  struct Row {
    std::uint32_t files, holders;
    std::size_t score;
    std::int32_t weight;
  } rows[] = {
      {100, 1, 255, 9218},       // ln(1 + 99.5 / 1.5) * 255 * 2.2 / 256.2
      {100, 1, 1, 4210},         // one occurrence: the idf itself
      {100, 100, 1, 5},          // in every file
      {1000000, 1000000, 1, 1},  // rounded to 0, kept at 1
      {100, 1, 0, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RelevanceWeights(row.files, row.holders)[row.score], row.weight)
        << row.files << " " << row.holders << " " << row.score;
  }
  EXPECT_EQ(RelevanceText(3342), "3.342");
  EXPECT_EQ(RelevanceText(5), "0.005");
}

}  // namespace
}  // namespace orvane::testing
