// A store of a million files, past any classic limit, written with a
// memory budget that makes the writer spill, and read back whole.
#include <gtest/gtest.h>

#include <vector>

#include "engine/store/store_reader.h"
#include "engine/store/store_writer.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

constexpr std::uint32_t kFiles = 1000000;
constexpr std::uint32_t kWords = 60000;

// The words of file f: a few, from a fixed hash of f, common ones more often.
std::vector<StoreScore> ScoresOf(std::uint32_t f) {
  std::vector<StoreScore> scores;
  std::uint64_t h = f * 0x9E3779B97F4A7C15ull + 1;
  const std::uint32_t count = 1 + f % 6;
  for (std::uint32_t i = 0; i < count; ++i) {
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    // Word i of the file lies in the i-th sixth of the vocabulary, so no
    // word comes twice; the square favours the sixth's first words.
    std::uint64_t u = (h >> 40) % 10000;
    std::uint32_t word = i * (kWords / 6) + static_cast<std::uint32_t>(u * u / 10000 * (kWords / 6) / 10000);
    scores.push_back({word, static_cast<std::uint8_t>(1 + (h >> 8) % 255)});
  }
  return scores;
}

std::string PathOf(std::uint32_t f) {
  return "folder" + std::to_string(f % 997) + "/file" + std::to_string(f) + ".txt";
}

TEST(StoreScaleTest, WritesAndReadsBackAMillionFiles) {
  testing::TempDir dir;
  const std::string path = dir.Path("big_store.tavo");
  std::vector<std::uint64_t> count(kWords, 0);
  std::vector<std::uint64_t> sum(kWords, 0);
  {
    StoreWriter writer(path, path + ".part", StoreWriterOptions{16 << 20});
    ASSERT_TRUE(writer.Create().ok());
    for (std::uint32_t f = 0; f < kFiles; ++f) {
      std::string file_path = PathOf(f);
      StoreFileEntry file;
      file.path = file_path;
      file.size = f;
      file.title = "Not HTML file";
      std::vector<StoreScore> scores = ScoresOf(f);
      for (const StoreScore& s : scores) {
        ++count[s.word_index];
        sum[s.word_index] += std::uint64_t{f} * s.score;
      }
      ASSERT_TRUE(writer.AddFile(file, scores).ok());
    }
    std::vector<std::string> words(kWords);
    std::vector<StoreWord> lexicon;
    for (std::uint32_t w = 0; w < kWords; ++w) {
      words[w] = "w" + std::to_string(100000 + w);  // sorted as numbered
      lexicon.push_back({words[w], static_cast<std::int32_t>(w + 1)});
    }
    ASSERT_TRUE(writer.Finish("A million files", lexicon).ok());
    EXPECT_GT(writer.run_count(), 1u);
    ASSERT_TRUE(writer.Commit(StoreFingerprint{}).ok());
  }

  auto store = StoreReader::Open(path, StoreFingerprint{});
  ASSERT_TRUE(store.ok()) << store.status().message();
  ASSERT_EQ((*store)->file_count(), kFiles);
  for (std::uint32_t f = 0; f < kFiles; f += 1) {
    Result<StoreFileEntry> file = (*store)->File(f);
    ASSERT_TRUE(file.ok());
    ASSERT_EQ(file->path, PathOf(f));
    ASSERT_EQ(file->size, f);
  }
  std::uint32_t w = 0;
  for (LexiconCursor word = (*store)->WordsWithStem("w"); word.Valid(); word.Next(), ++w) {
    ASSERT_EQ(word.word_number(), static_cast<std::int32_t>(w + 1));
    std::uint64_t n = 0;
    std::uint64_t total = 0;
    for (PostingsIterator it = (*store)->Postings(word.word_number()); it.Valid(); it.Next()) {
      ++n;
      total += std::uint64_t{it.file_index()} * it.score();
    }
    ASSERT_EQ(n, count[w]) << "word " << w;
    ASSERT_EQ(total, sum[w]) << "word " << w;
  }
  EXPECT_EQ(w, kWords);
}

}  // namespace
}  // namespace orvane
