#include "engine/index/lexicon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/index/score_matrix.h"

namespace orvane {
namespace {

// A store that gathers the scores handed to it into a score matrix.
class MatrixStore : public IndexStoreWriter {
 public:
  Status Begin(std::uint32_t) override { return Status::Ok(); }
  void AddFile(const IndexedFile&) override { ++files_; }
  void AddFileScores(std::span<const std::uint32_t> word_indexes,
                     std::span<const std::uint8_t> scores) override {
    matrix.AddFile(files_ - 1, word_indexes, scores);
  }
  Status WriteLexicon(std::string_view, const RunLexicon&) override {
    return Status::Ok();
  }
  Status FinishWriting() override { return Status::Ok(); }
  Status CompressIndexFile() override { return Status::Ok(); }
  Status Commit() override { return Status::Ok(); }
  void Discard() override {}

  ScoreMatrix matrix;

 private:
  std::uint32_t files_ = 0;
};

TEST(ScoreOfCountTest, ScalesToTheTopWordAndRoundsHalvesToEven) {
  struct Row {
    int count;
    int largest;
    int score;
  } rows[] = {
      {1, 3, 85},   {2, 3, 170}, {3, 3, 255},
      {1, 2, 128},  // 127.5: the even neighbour
      {1, 6, 42},   // 42.5: the even neighbour
      {5, 6, 212},  // 212.5
      {1, 1, 255},  {1, 255, 1},  {200, 255, 200},
      {1, 254, 1},  // 1.004: never below 1
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ScoreOfCount(static_cast<std::uint8_t>(row.count),
                           static_cast<std::uint8_t>(row.largest)),
              row.score)
        << row.count << "/" << row.largest;
  }
}

// The rows of the matrix as (file index, score) pairs per word number.
std::vector<std::vector<std::pair<int, int>>> Rows(const ScoreRows& rows) {
  std::vector<std::vector<std::pair<int, int>>> out;
  for (std::size_t w = 0; w + 1 < rows.row_start.size(); ++w) {
    out.emplace_back();
    for (auto c = rows.row_start[w]; c < rows.row_start[w + 1]; ++c) {
      out.back().emplace_back(rows.file_indexes[c], rows.scores[c]);
    }
  }
  return out;
}

TEST(LexiconTest, NumbersWordsByFirstAppearanceAndSortsByCharacterCode) {
  Lexicon lexicon;
  lexicon.StartPass();
  lexicon.StartFile();
  for (std::string_view w : {"beta", "alpha", "zulu", "2024", "\xE9t\xE9",
                             "alpha", "Zebra"}) {
    ASSERT_TRUE(lexicon.AddWordToLexicon(w));
  }
  EXPECT_EQ(lexicon.word_count(), 6);
  EXPECT_EQ(lexicon.word(1), "beta");
  EXPECT_EQ(lexicon.word(2), "alpha");
  EXPECT_EQ(lexicon.CountInFile("alpha"), 2);
  EXPECT_EQ(lexicon.largest_count(), 2);
  // Digits, then upper case, then lower case, then accented letters.
  EXPECT_EQ(lexicon.WordNumbersInOrder(),
            (std::vector<std::int32_t>{4, 6, 2, 1, 3, 5}));
}

// The order is made from the first eight bytes as a number, and only ties
// are compared further: words that share long beginnings, words that are
// beginnings of others and bytes above 127 must still come out as a byte
// comparison orders them.
TEST(LexiconTest, SortsWordsThatShareTheirFirstEightBytes) {
  Lexicon lexicon;
  lexicon.StartPass();
  lexicon.StartFile();
  std::mt19937 random(3);
  const std::string letters = "ab\xE9\xFF";
  std::vector<std::string> words;
  for (int i = 0; i < 3000; ++i) {
    std::string w = i % 2 ? "abababab" : "";
    int length = 1 + static_cast<int>(random() % 14);
    for (int k = 0; k < length; ++k) w += letters[random() % letters.size()];
    if (lexicon.CountInFile(w) == 0) words.push_back(w);
    ASSERT_TRUE(lexicon.AddWordToLexicon(w));
  }
  std::vector<std::string> expected = words;
  std::sort(expected.begin(), expected.end(),
            [](const std::string& a, const std::string& b) {
              return std::string_view(a) < std::string_view(b);
            });
  std::vector<std::string> sorted;
  for (std::int32_t n : lexicon.WordNumbersInOrder()) {
    sorted.emplace_back(lexicon.word(n));
  }
  EXPECT_EQ(sorted, expected);
}

TEST(LexiconTest, GathersOneColumnPerFileAndHandsRowsInFileOrder) {
  Lexicon lexicon;
  MatrixStore store;
  lexicon.StartPass();
  lexicon.StartFile();  // file 1: a a a b
  store.AddFile(IndexedFile());
  for (std::string_view w : {"a", "a", "b", "a"}) lexicon.AddWordToLexicon(w);
  lexicon.WriteFileScores(store);
  lexicon.StartFile();  // file 2: no word
  store.AddFile(IndexedFile());
  EXPECT_EQ(lexicon.largest_count(), 0);
  EXPECT_EQ(lexicon.CountInFile("a"), 0);
  lexicon.StartFile();  // file 3: c b
  store.AddFile(IndexedFile());
  for (std::string_view w : {"c", "b"}) lexicon.AddWordToLexicon(w);
  lexicon.WriteFileScores(store);
  EXPECT_EQ(lexicon.file_count(), 3);

  ScoreRows rows = store.matrix.TakeRows(3);
  EXPECT_EQ(Rows(rows), (std::vector<std::vector<std::pair<int, int>>>{
                            {{0, 255}},            // a
                            {{0, 85}, {2, 255}},   // b
                            {{2, 255}},            // c
                        }));
}

TEST(LexiconTest, CountStopsAt255) {
  Lexicon lexicon;
  lexicon.StartPass();
  lexicon.StartFile();
  for (int i = 0; i < 300; ++i) lexicon.AddWordToLexicon("many");
  for (int i = 0; i < 7; ++i) lexicon.AddWordToLexicon("few");
  EXPECT_EQ(lexicon.CountInFile("many"), 255);
  EXPECT_EQ(lexicon.largest_count(), 255);
  MatrixStore store;
  store.AddFile(IndexedFile());
  lexicon.WriteFileScores(store);
  ScoreRows rows = store.matrix.TakeRows(2);
  EXPECT_EQ(Rows(rows)[1], (std::vector<std::pair<int, int>>{{0, 7}}));
}

TEST(LexiconTest, KeepsManyWordsDistinct) {
  // Enough words to grow the hash table several times.
  Lexicon lexicon;
  lexicon.StartPass();
  lexicon.StartFile();
  for (int i = 0; i < 20000; ++i) {
    lexicon.AddWordToLexicon("w" + std::to_string(i));
  }
  for (int i = 0; i < 20000; i += 7) {
    lexicon.AddWordToLexicon("w" + std::to_string(i));
  }
  EXPECT_EQ(lexicon.word_count(), 20000);
  EXPECT_EQ(lexicon.word(12345), "w12344");
  EXPECT_EQ(lexicon.CountInFile("w14"), 2);
  EXPECT_EQ(lexicon.CountInFile("w15"), 1);
  EXPECT_EQ(lexicon.CountInFile("x15"), 0);
}

}  // namespace
}  // namespace orvane
