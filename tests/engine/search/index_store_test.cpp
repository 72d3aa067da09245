// What every store must hand back: an index written through the store's
// writer, as an indexing run writes it, and read through its reader after
// the Search Module's load. Runs over every kind of store.
#include "engine/format/index_store.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/format/file_names.h"
#include "engine/index/lexicon.h"
#include "engine/index/store_writers.h"
#include "engine/search/index_loading.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

class IndexStoreTest : public ::testing::TestWithParam<IndexStoreKind> {
 protected:
  // Writes the files (relative path, words in order) as one run and loads
  // the index; the store's reader.
  IndexStoreReader& WriteAndLoad(
      const std::vector<std::pair<std::string, std::vector<std::string>>>& files) {
    Lexicon lexicon;
    lexicon.StartPass();
    std::unique_ptr<IndexStoreWriter> writer =
        NewIndexStoreWriter(GetParam(), dir_.folder(), "s", nullptr);
    EXPECT_TRUE(writer->Begin(static_cast<std::uint32_t>(files.size())).ok());
    for (const auto& [path, words] : files) {
      lexicon.StartFile();
      IndexedFile file;
      file.relative_path = path;
      writer->AddFile(file);
      for (const std::string& word : words) lexicon.AddWordToLexicon(word);
      if (lexicon.largest_count() > 0) lexicon.WriteFileScores(*writer);
    }
    EXPECT_TRUE(writer->WriteLexicon("Stores", lexicon).ok());
    EXPECT_TRUE(writer->FinishWriting().ok());
    EXPECT_TRUE(writer->CompressIndexFile().ok());
    EXPECT_TRUE(writer->Commit().ok());
    EXPECT_TRUE(LoadIndexFile(IndexFilePath(dir_.folder(), "s"),
                              &f_.state().index, f_.module.ports(),
                              f_.state().results))
        << f_.Messages();
    return *f_.state().index.store;
  }

  TempDir dir_;
  SearchFixture f_{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(EveryStore, IndexStoreTest,
                         ::testing::ValuesIn(kEveryStore), StoreName);

// (file index, score) pairs of a word.
std::vector<std::pair<std::uint32_t, int>> Pairs(IndexStoreReader& store,
                                                 std::int32_t word_number) {
  Postings postings;
  EXPECT_TRUE(store.ReadPostings(word_number, &postings).ok());
  std::vector<std::pair<std::uint32_t, int>> pairs;
  for (std::size_t i = 0; i < postings.size(); ++i) {
    pairs.emplace_back(postings.file_indexes[i], postings.scores[i]);
  }
  return pairs;
}

TEST_P(IndexStoreTest, HandsBackWhatTheRunWrote) {
  IndexStoreReader& store = WriteAndLoad({
      {"b/one.txt", {"pear", "apple", "pear"}},
      {"a two.txt", {}},  // a file without words keeps its number
      {"three.htm", {"apple", "plum", "apricot"}},
      {"four.txt", {"pear"}},
  });
  ASSERT_EQ(store.file_count(), 4u);
  std::vector<std::string> paths;
  for (std::uint32_t k = 0; k < store.file_count(); ++k) {
    paths.emplace_back(store.File(k).relative_path);
  }
  EXPECT_EQ(paths, (std::vector<std::string>{"b/one.txt", "a two.txt",
                                             "three.htm", "four.txt"}));
  EXPECT_EQ(store.title(), "Stores");

  // The words in ascending order, with the numbers of their first
  // appearance.
  std::map<std::string, std::int32_t> numbers;
  std::vector<std::string> words;
  for (std::uint32_t p = 0; p < store.word_count(); ++p) {
    words.emplace_back(store.WordAt(p));
    numbers[words.back()] = store.WordNumberAt(p);
  }
  EXPECT_EQ(words, (std::vector<std::string>{"apple", "apricot", "pear", "plum"}));
  EXPECT_EQ(numbers, (std::map<std::string, std::int32_t>{
                         {"pear", 1}, {"apple", 2}, {"plum", 3}, {"apricot", 4}}));

  // Postings in file order, scored against each file's most frequent word.
  EXPECT_EQ(Pairs(store, numbers["pear"]),
            (std::vector<std::pair<std::uint32_t, int>>{{0, 255}, {3, 255}}));
  EXPECT_EQ(Pairs(store, numbers["apple"]),
            (std::vector<std::pair<std::uint32_t, int>>{{0, 128}, {2, 255}}));
  EXPECT_EQ(Pairs(store, numbers["apricot"]),
            (std::vector<std::pair<std::uint32_t, int>>{{2, 255}}));
  EXPECT_TRUE(Pairs(store, 0).empty());
  EXPECT_TRUE(Pairs(store, 5).empty());
}

// The first and the last word, and the places around and between them
// where a binary search goes wrong.
TEST_P(IndexStoreTest, FindsWordsAndTheRangeOfAStem) {
  IndexStoreReader& store = WriteAndLoad({
      {"f.txt", {"bat", "batch", "bath", "cat", "zoo"}},
  });
  struct Row {
    const char* word;
    std::int32_t number;  // 0: absent
  } rows[] = {
      {"bat", 1},   {"zoo", 5},   {"cat", 4}, {"a", 0},     {"zzz", 0},
      {"bate", 0},  {"ba", 0},    {"", 0},    {"bath", 3},  {"batc", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.word);
    EXPECT_EQ(store.FindWord(row.word).value_or(0), row.number);
  }
  struct Stem {
    const char* stem;
    std::vector<std::string> words;
  } stems[] = {
      {"bat", {"bat", "batch", "bath"}},
      {"batc", {"batch"}},
      {"b", {"bat", "batch", "bath"}},
      {"zoo", {"zoo"}},
      {"zoom", {}},
      {"a", {}},
      {"d", {}},
      {"", {"bat", "batch", "bath", "cat", "zoo"}},
  };
  for (const Stem& stem : stems) {
    SCOPED_TRACE(stem.stem);
    WordRange range = store.StemRange(stem.stem);
    std::vector<std::string> words;
    for (std::uint32_t p = range.first; p < range.last; ++p) {
      words.emplace_back(store.WordAt(p));
    }
    EXPECT_EQ(words, stem.words);
  }
}

}  // namespace
}  // namespace orvane::testing
