#include "engine/index/matrix_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

#include "engine/index/score_matrix.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// A run's scores as the lexicon gathers them: files one after the other,
// words numbered by their first file, each file's words in any order.
struct Matrix {
  std::uint32_t num_files;
  std::vector<std::vector<std::pair<std::uint32_t, std::uint8_t>>> files;
  std::size_t words = 0;

  std::string Bytes() const {
    std::string bytes(std::max<std::size_t>(words, 1) * num_files, '\0');
    for (std::size_t f = 0; f < files.size(); ++f) {
      for (auto [w, score] : files[f]) {
        bytes[w * num_files + f] = static_cast<char>(score);
      }
    }
    return bytes;
  }
  ScoreCells Cells(std::size_t from_file, std::size_t to_file) const {
    ScoreCells cells;
    for (std::size_t f = from_file; f < to_file; ++f) {
      for (auto [w, score] : files[f]) {
        cells.words.push_back(w);
        cells.files.push_back(static_cast<std::uint32_t>(f));
        cells.scores.push_back(score);
      }
    }
    return cells;
  }
  ScoreRows Rows() const {
    ScoreRows rows;
    std::vector<std::vector<std::pair<std::uint32_t, std::uint8_t>>> by_word(words);
    for (std::size_t f = 0; f < files.size(); ++f) {
      for (auto [w, score] : files[f]) {
        by_word[w].push_back({static_cast<std::uint32_t>(f), score});
      }
    }
    rows.row_start.push_back(0);
    for (const auto& row : by_word) {
      for (auto [f, score] : row) {
        rows.file_indexes.push_back(f);
        rows.scores.push_back(score);
      }
      rows.row_start.push_back(rows.file_indexes.size());
    }
    return rows;
  }
};

Matrix RandomMatrix(std::uint32_t num_files, std::uint32_t seed) {
  Matrix m{num_files, {}, 0};
  std::mt19937 random(seed);
  for (std::uint32_t f = 0; f < num_files; ++f) {
    std::vector<std::pair<std::uint32_t, std::uint8_t>> cells;
    std::vector<bool> taken(m.words + 8, false);
    // A few words met before, and now and then new ones.
    for (int k = 0; k < 2 && m.words > 0 && random() % 4 == 0; ++k) {
      std::uint32_t w = static_cast<std::uint32_t>(random() % m.words);
      if (taken[w]) continue;
      taken[w] = true;
      cells.push_back({w, static_cast<std::uint8_t>(1 + random() % 255)});
    }
    if (random() % 40 == 0 || m.words == 0) {
      cells.push_back({static_cast<std::uint32_t>(m.words++), 255});
    }
    m.files.push_back(std::move(cells));
  }
  return m;
}

// Writes the matrix with bands after the given numbers of files, then the
// rest, and returns the data file.
std::string Written(const Matrix& m, const std::vector<std::uint32_t>& bands,
                    bool* banded, std::int64_t* allocated) {
  TempDir dir;
  BufferedFile file;
  EXPECT_TRUE(file.Create(dir.Path("d.tavo")).ok());
  ScoreRows rows = m.Rows();
  {
    MatrixWriter writer(&file, m.num_files, file.block_size());
    *banded = writer.writes_bands();
    std::uint32_t from = 0;
    for (std::uint32_t done : bands) {
      writer.AddBand(m.Cells(from, done), done);
      from = done;
    }
    writer.Finish(&rows);
    EXPECT_TRUE(writer.Wait().ok());
  }
  EXPECT_TRUE(file.Close(false).ok());
  struct stat st;
  stat(dir.Path("d.tavo").c_str(), &st);
  *allocated = static_cast<std::int64_t>(st.st_blocks) * 512;
  return ReadFileBytes(dir.Path("d.tavo"));
}

TEST(MatrixWriterTest, BandsAndTheRestWriteEveryScoreOnce) {
  struct Row {
    std::uint32_t num_files;
    std::vector<std::uint32_t> bands;
  } rows[] = {
      {20000, {}},                            // no band: all at the end
      {20000, {700, 1400, 9999, 10000, 19999}},  // bands not on blocks
      {20000, {4096, 8192, 20000}},           // the last band covers all
      {16385, {1, 2, 3, 16384}},              // a row just over 4 blocks
  };
  for (const Row& row : rows) {
    Matrix m = RandomMatrix(row.num_files, row.num_files);
    bool banded = false;
    std::int64_t allocated = 0;
    std::string written = Written(m, row.bands, &banded, &allocated);
    ASSERT_TRUE(banded);
    std::string expected = m.Bytes();
    ASSERT_EQ(written.size(), expected.size());
    std::size_t mismatch = 0;
    while (mismatch < expected.size() && written[mismatch] == expected[mismatch]) {
      ++mismatch;
    }
    EXPECT_EQ(mismatch, expected.size())
        << row.num_files << " files, " << row.bands.size() << " bands";
    // Only the blocks that hold a score are stored (and a few of the file
    // system's own); the others stay holes.
    const std::size_t block = 4096;
    std::int64_t blocks_with_scores = 0;
    for (std::size_t b = 0; b * block < expected.size(); ++b) {
      std::string_view part = std::string_view(expected).substr(b * block, block);
      if (part.find_first_not_of('\0') != std::string_view::npos) ++blocks_with_scores;
    }
    EXPECT_LE(allocated, (blocks_with_scores + blocks_with_scores / 50 + 8) *
                             static_cast<std::int64_t>(block));
    EXPECT_LT(blocks_with_scores * 4096, static_cast<std::int64_t>(expected.size()));
  }
}

TEST(MatrixWriterTest, ShortRowsAreWrittenOnlyAtTheEnd) {
  TempDir dir;
  BufferedFile file;
  ASSERT_TRUE(file.Create(dir.Path("d.tavo")).ok());
  MatrixWriter writer(&file, 2404, file.block_size());
  EXPECT_FALSE(writer.writes_bands());
}

}  // namespace
}  // namespace orvane
