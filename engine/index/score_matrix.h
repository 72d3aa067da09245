// The score matrix of a run as the classic pair's writer gathers it: the
// scores above 0 of each file as the run finishes it, in reading order, so
// that memory grows with what the files hold, not with words times files.
// While the files are read, bands of it are handed to the data file's
// writer; at the end it is turned into rows, one per word, for the count
// lines and the rest of the data file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orvane {

// The non-zero scores of the matrix, row by row: the cells of the word with
// word number n are cells row_start[n - 1] .. row_start[n] - 1, in ascending
// file order.
struct ScoreRows {
  std::vector<std::uint64_t> row_start;     // W + 1 entries
  std::vector<std::uint32_t> file_indexes;  // file number - 1 of each cell
  std::vector<std::uint8_t> scores;         // 1 to 255
};

// Non-zero scores in reading order: cell k is the score scores[k] of the
// word with word number words[k] + 1 in the file numbered files[k] + 1.
struct ScoreCells {
  std::vector<std::uint32_t> words;
  std::vector<std::uint32_t> files;
  std::vector<std::uint8_t> scores;
};

class ScoreMatrix {
 public:
  // The scores of the file with that index: its words by word index, each
  // once, with their scores. REQUIRES: files come in ascending order, each
  // once; words and scores have the same size.
  void AddFile(std::uint32_t file_index,
               std::span<const std::uint32_t> word_indexes,
               std::span<const std::uint8_t> scores);

  // The number of non-zero scores gathered so far.
  std::size_t cell_count() const { return cell_words_.size(); }
  // A copy of the scores from the first_cell-th on (0-based), in reading
  // order. REQUIRES: first_cell <= cell_count().
  ScoreCells CellsFrom(std::size_t first_cell) const;

  // Hands over the matrix row by row for words 1 to num_words and releases
  // the per-file form, which is empty afterwards.
  // REQUIRES: every word index gathered is below num_words.
  ScoreRows TakeRows(std::size_t num_words);

 private:
  // Cell k holds word cell_words_[k] (word number - 1) with score
  // cell_scores_[k]; file_ends_ gives, for each file that had words, its
  // file index and the end of its cells.
  std::vector<std::uint32_t> cell_words_;
  std::vector<std::uint8_t> cell_scores_;
  struct FileCells {
    std::uint32_t file_index;
    std::uint64_t end;
  };
  std::vector<FileCells> file_ends_;
};

}  // namespace orvane
