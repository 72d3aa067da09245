#include "engine/index/classic_store_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/index/store_file_writer.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// The words w00001, w00002 ... numbered in that order, which is also their
// ascending order.
class NumberedWords : public RunLexicon {
 public:
  explicit NumberedWords(std::size_t count) {
    for (std::size_t i = 1; i <= count; ++i) {
      char word[16];
      std::snprintf(word, sizeof word, "w%05zu", i);
      words_.push_back(word);
    }
  }
  std::int32_t word_count() const override {
    return static_cast<std::int32_t>(words_.size());
  }
  std::string_view word(std::int32_t word_number) const override {
    return words_[static_cast<std::size_t>(word_number - 1)];
  }
  std::vector<std::int32_t> WordNumbersInOrder() const override {
    std::vector<std::int32_t> numbers(words_.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      numbers[i] = static_cast<std::int32_t>(i + 1);
    }
    return numbers;
  }

 private:
  std::vector<std::string> words_;
};

// Each file's scores: (word index, score) pairs.
using FileScores = std::vector<std::vector<std::pair<std::uint32_t, std::uint8_t>>>;

// Hands the files and their scores to the writer, up to the lexicon.
void AddFiles(IndexStoreWriter& writer, const FileScores& files,
              const RunLexicon& lexicon) {
  for (std::size_t f = 0; f < files.size(); ++f) {
    std::string path = "f" + std::to_string(f);
    IndexedFile file;
    file.relative_path = path;
    writer.AddFile(file);
    if (files[f].empty()) continue;
    std::vector<std::uint32_t> words;
    std::vector<std::uint8_t> scores;
    for (const auto& [word, score] : files[f]) {
      words.push_back(word);
      scores.push_back(score);
    }
    writer.AddFileScores(words, scores);
  }
  ASSERT_TRUE(writer.WriteLexicon("Title", lexicon).ok());
}

TEST(ClassicStoreWriterTest, WritesRowsOfZerosAsHolesThatReadBackAsZeros) {
  TempDir dir;
  // 32000 files and 300 words: 9.6 MB of matrix, a row spans about eight
  // blocks (so the matrix is written in bands as the files come), and each
  // word has three neighbouring scores.
  const std::uint32_t num_files = 32000;
  const std::size_t num_words = 300;
  FileScores files(num_files);
  std::string expected(num_words * num_files, '\0');
  std::mt19937 random(7);
  for (std::size_t w = 0; w < num_words; ++w) {
    std::uint32_t first = random() % num_files;
    for (std::uint32_t f = first; f < num_files && f < first + 3; ++f) {
      std::uint8_t score = static_cast<std::uint8_t>(1 + random() % 255);
      files[f].emplace_back(static_cast<std::uint32_t>(w), score);
      expected[w * num_files + f] = static_cast<char>(score);
    }
  }
  ClassicStoreWriter writer(dir.Path("p_index.tavo"), dir.Path("p_data.tavo"));
  ASSERT_TRUE(writer.Begin(num_files).ok());
  AddFiles(writer, files, NumberedWords(num_words));
  ASSERT_TRUE(writer.FinishWriting().ok());
  ASSERT_TRUE(writer.CompressIndexFile().ok());
  ASSERT_TRUE(writer.Commit().ok());

  std::string data = ReadFileBytes(dir.Path("p_data.tavo"));
  ASSERT_EQ(data.size(), expected.size() + 4);
  std::size_t mismatch = 0;
  while (mismatch < expected.size() && data[mismatch] == expected[mismatch]) {
    ++mismatch;
  }
  EXPECT_EQ(mismatch, expected.size()) << "first differing byte";
  std::uint32_t trailer = 0;
  for (int i = 3; i >= 0; --i) {
    trailer = trailer << 8 | static_cast<unsigned char>(data[expected.size() + i]);
  }
  EXPECT_EQ(trailer, writer.index_text_length());
  struct stat st;
  ASSERT_EQ(stat(dir.Path("p_data.tavo").c_str(), &st), 0);
  // Each word touches one or two blocks of its row: far less is stored
  // where the file system keeps holes.
  EXPECT_LT(static_cast<std::int64_t>(st.st_blocks) * 512,
            static_cast<std::int64_t>(data.size()) / 2)
      << "allocated " << st.st_blocks * 512;
  // Nothing of the run is left but the two files.
  EXPECT_EQ(dir.Names(),
            (std::vector<std::string>{"p_data.tavo", "p_index.tavo"}));
}

// Without a data file the count lines come from the store's merge of its
// postings, spilled in many sorted runs, instead of the matrix gathered
// beside the data file: the index text is the same, byte for byte, for
// words in many files, in one, in none, and files without words.
TEST(ClassicStoreWriterTest, CountLinesFromTheStoresMergeAreTheSame) {
  TempDir dir;
  const std::uint32_t num_files = 3000;
  const std::size_t num_words = 700;
  FileScores files(num_files);
  std::mt19937 random(11);
  for (std::uint32_t f = 0; f < num_files; ++f) {
    if (f % 97 == 5) continue;
    for (std::size_t w = 0; w < num_words - 50; ++w) {
      // Word 0 in every file, the others ever rarer; the last 50 in none.
      if (w == 0 || random() % (w * 4) == 0) {
        files[f].emplace_back(static_cast<std::uint32_t>(w),
                              static_cast<std::uint8_t>(1 + random() % 255));
      }
    }
    std::shuffle(files[f].begin(), files[f].end(), random);
  }
  const NumberedWords lexicon(num_words);
  auto write = [&](IndexStoreWriter& writer) {
    ASSERT_TRUE(writer.Begin(num_files).ok());
    AddFiles(writer, files, lexicon);
    ASSERT_TRUE(writer.FinishWriting().ok());
    ASSERT_TRUE(writer.CompressIndexFile().ok());
    ASSERT_TRUE(writer.Commit().ok());
  };
  ClassicStoreWriter classic(dir.Path("a_index.tavo"), dir.Path("a_data.tavo"));
  write(classic);
  StoreWriterOptions small;
  small.memory_budget = 16 << 10;
  StoreFileWriter store(dir.Path("b_index.tavo"), "", dir.Path("b_store.tavo"),
                        nullptr, small);
  write(store);
  const std::string index = ReadFileBytes(dir.Path("a_index.tavo"));
  EXPECT_GT(index.size(), 10000u);
  EXPECT_TRUE(index == ReadFileBytes(dir.Path("b_index.tavo")));
}

TEST(ClassicStoreWriterTest, DiscardLeavesNothingBehind) {
  TempDir dir;
  {
    ClassicStoreWriter writer(dir.Path("p_index.tavo"), dir.Path("p_data.tavo"));
    ASSERT_TRUE(writer.Begin(3).ok());
    IndexedFile file;
    file.relative_path = "a.txt";
    writer.AddFile(file);
    EXPECT_EQ(dir.Names().size(), 3u);  // the index text, the data, the lock
  }  // dropped without Commit
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(ClassicStoreWriterTest, DiscardWhileTheMatrixIsWrittenLeavesNothing) {
  TempDir dir;
  // 20000 words with a score in every 97th file of 1000: the worker is
  // still writing when the run is stopped.
  const std::uint32_t num_files = 1000;
  const std::size_t num_words = 20000;
  FileScores files(num_files);
  for (std::uint32_t f = 0; f < num_files; f += 97) {
    for (std::uint32_t w = 0; w < num_words; ++w) files[f].emplace_back(w, 1);
  }
  BackgroundDeletion deletion(0);
  {
    ClassicStoreWriter writer(dir.Path("p_index.tavo"), dir.Path("p_data.tavo"),
                              &deletion);
    ASSERT_TRUE(writer.Begin(num_files).ok());
    AddFiles(writer, files, NumberedWords(num_words));
    writer.Discard();
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  }
  deletion.Wait();
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// The earlier pair stays byte for byte until Commit, which replaces both;
// a run discarded after all its writing leaves it as it was.
TEST(ClassicStoreWriterTest, TheEarlierPairStaysUntilCommit) {
  TempDir dir;
  const std::string index = dir.Write("p_index.tavo", "earlier index");
  const std::string data = dir.Write("p_data.tavo", "earlier data");
  const FileScores files = {{{0, 255}}, {{0, 128}, {1, 255}}};
  for (bool commit : {false, true}) {
    SCOPED_TRACE(commit ? "committed" : "discarded");
    ClassicStoreWriter writer(index, data);
    ASSERT_TRUE(writer.Begin(2).ok());
    AddFiles(writer, files, NumberedWords(2));
    ASSERT_TRUE(writer.FinishWriting().ok());
    ASSERT_TRUE(writer.CompressIndexFile().ok());
    EXPECT_EQ(ReadFileBytes(index), "earlier index");
    EXPECT_EQ(ReadFileBytes(data), "earlier data");
    if (!commit) {
      writer.Discard();
      EXPECT_EQ(ReadFileBytes(index), "earlier index");
      EXPECT_EQ(ReadFileBytes(data), "earlier data");
    } else {
      ASSERT_TRUE(writer.Commit().ok());
      // Word 1 scores 255 and 128, word 2 0 and 255; then the trailer.
      const std::uint64_t length = writer.index_text_length();
      std::string trailer;
      for (int i = 0; i < 4; ++i) trailer.push_back(static_cast<char>(length >> (8 * i)));
      EXPECT_EQ(ReadFileBytes(data), std::string("\xFF\x80\0\xFF", 4) + trailer);
      EXPECT_NE(ReadFileBytes(index), "earlier index");
    }
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{"p_data.tavo", "p_index.tavo"}));
  }
}

}  // namespace
}  // namespace orvane
