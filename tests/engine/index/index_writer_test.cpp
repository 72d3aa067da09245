#include "engine/index/index_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

TEST(IndexFileWriterTest, WritesRowsOfZerosAsHolesThatReadBackAsZeros) {
  TempDir dir;
  // 32000 files and 300 words: 9.6 MB of matrix, a row spans about eight
  // blocks, and each word has three neighbouring scores.
  const std::int32_t num_files = 32000;
  const std::size_t num_words = 300;
  ScoreRows rows;
  std::string expected(num_words * num_files, '\0');
  std::mt19937 random(7);
  rows.row_start.push_back(0);
  for (std::size_t w = 0; w < num_words; ++w) {
    int first = static_cast<int>(random() % num_files);
    for (int f = first; f < num_files && f < first + 3; ++f) {
      rows.file_indexes.push_back(static_cast<std::uint16_t>(f));
      std::uint8_t score = static_cast<std::uint8_t>(1 + random() % 255);
      rows.scores.push_back(score);
      expected[w * num_files + f] = static_cast<char>(score);
    }
    rows.row_start.push_back(rows.file_indexes.size());
  }
  IndexFileWriter writer(dir.Path("p_index.tavo"), dir.Path("p_data.tavo"));
  ASSERT_TRUE(writer.Create(num_files).ok());
  writer.StartDataRows(std::move(rows));
  ASSERT_TRUE(writer.WriteCountLines().ok());
  ASSERT_TRUE(writer.FinishIndexText().ok());
  ASSERT_TRUE(writer.Compress().ok());
  ASSERT_TRUE(writer.WriteTrailer().ok());
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
  EXPECT_FALSE(std::filesystem::exists(dir.Path("p_index.part.tavo")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("p_data.part.tavo")));
}

TEST(IndexFileWriterTest, DiscardLeavesNothingBehind) {
  TempDir dir;
  {
    IndexFileWriter writer(dir.Path("p_index.tavo"), dir.Path("p_data.tavo"));
    ASSERT_TRUE(writer.Create(3).ok());
    writer.AddFileListLine("a.txt");
  }  // dropped without Commit
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(IndexFileWriterTest, DiscardWhileTheMatrixIsWrittenLeavesNothing) {
  TempDir dir;
  // 20000 words with a score in every file of 1000: the worker is still
  // writing when the run is stopped.
  const std::int32_t num_files = 1000;
  ScoreRows rows;
  rows.row_start.push_back(0);
  for (int w = 0; w < 20000; ++w) {
    for (int f = 0; f < num_files; f += 97) {
      rows.file_indexes.push_back(static_cast<std::uint16_t>(f));
      rows.scores.push_back(1);
    }
    rows.row_start.push_back(rows.file_indexes.size());
  }
  BackgroundDeletion deletion(0);
  {
    IndexFileWriter writer(dir.Path("p_index.tavo"), dir.Path("p_data.tavo"),
                           &deletion);
    ASSERT_TRUE(writer.Create(num_files).ok());
    writer.StartDataRows(std::move(rows));
    writer.Discard();
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  }
  deletion.Wait();
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace orvane
