#include "engine/index/score_matrix.h"

#include <algorithm>

namespace orvane {

void ScoreMatrix::AddFile(std::uint32_t file_index,
                          std::span<const std::uint32_t> word_indexes,
                          std::span<const std::uint8_t> scores) {
  cell_words_.insert(cell_words_.end(), word_indexes.begin(),
                     word_indexes.end());
  cell_scores_.insert(cell_scores_.end(), scores.begin(), scores.end());
  file_ends_.push_back({file_index, cell_words_.size()});
}

ScoreCells ScoreMatrix::CellsFrom(std::size_t first_cell) const {
  ScoreCells cells;
  cells.words.assign(cell_words_.begin() + first_cell, cell_words_.end());
  cells.scores.assign(cell_scores_.begin() + first_cell, cell_scores_.end());
  cells.files.resize(cells.words.size());
  // The files' cells lie one after the other; find the first file with a
  // cell at or after first_cell.
  auto file = std::upper_bound(
      file_ends_.begin(), file_ends_.end(), first_cell,
      [](std::size_t cell, const FileCells& f) { return cell < f.end; });
  std::size_t cell = first_cell;
  for (; file != file_ends_.end(); ++file) {
    for (; cell < file->end; ++cell) {
      cells.files[cell - first_cell] = file->file_index;
    }
  }
  return cells;
}

ScoreRows ScoreMatrix::TakeRows(std::size_t num_words) {
  ScoreRows rows;
  rows.row_start.assign(num_words + 1, 0);
  for (std::uint32_t index : cell_words_) ++rows.row_start[index + 1];
  for (std::size_t i = 1; i <= num_words; ++i) {
    rows.row_start[i] += rows.row_start[i - 1];
  }
  std::vector<std::uint64_t> next(rows.row_start.begin(),
                                  rows.row_start.end() - 1);
  rows.file_indexes.resize(cell_words_.size());
  rows.scores.resize(cell_words_.size());
  // Files were read in ascending order, so each row comes out in ascending
  // file order.
  std::uint64_t cell = 0;
  for (const FileCells& file : file_ends_) {
    for (; cell < file.end; ++cell) {
      std::uint64_t at = next[cell_words_[cell]]++;
      rows.file_indexes[at] = file.file_index;
      rows.scores[at] = cell_scores_[cell];
    }
  }
  std::vector<std::uint32_t>().swap(cell_words_);
  std::vector<std::uint8_t>().swap(cell_scores_);
  std::vector<FileCells>().swap(file_ends_);
  return rows;
}

}  // namespace orvane
