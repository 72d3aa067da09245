// Writing the score matrix into the data file on a worker thread. Row n of
// the matrix (word number n) holds one score byte for each of the N files;
// only the file-system blocks that hold a score are written, the others
// stay holes. A block that lies within one row is complete as soon as the
// files of its last column have been read, so with rows of several blocks
// most of the matrix is written in bands while the extraction pass goes
// on; the rest (the blocks where one row meets the next, and those of the
// last files) is written once the whole matrix is known.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/common/status.h"
#include "engine/files/buffered_file.h"
#include "engine/index/score_matrix.h"

namespace orvane {

class MatrixWriter {
 public:
  // file is not owned and must outlive the writer; block_size is its file
  // system's block size (a power of two).
  MatrixWriter(BufferedFile* file, std::uint32_t num_files,
               std::size_t block_size);
  // Abandon().
  ~MatrixWriter();
  MatrixWriter(const MatrixWriter&) = delete;
  MatrixWriter& operator=(const MatrixWriter&) = delete;

  // True when rows span enough blocks for bands to be worth writing.
  bool writes_bands() const { return writes_bands_; }

  // The scores of the files up to files_done (exclusive) not handed on
  // before, in reading order. Their complete blocks are written behind.
  // REQUIRES: writes_bands(); files_done grows from call to call.
  void AddBand(ScoreCells cells, std::uint32_t files_done);

  // The whole matrix: writes every block that no band has written, then
  // sets the data file's length to rows × N (at least one row). rows is not
  // owned and must stay as it is until Wait or Abandon returns.
  void Finish(const ScoreRows* rows);

  // Waits until everything handed on is written; the first failure of a
  // write, ok when there was none (or nothing to write).
  Status Wait();

  // Ends the writing at its next block and waits for the thread.
  void Abandon();

 private:
  struct Job {
    bool final = false;
    ScoreCells band;
    std::uint32_t files_done = 0;
    const ScoreRows* rows = nullptr;
  };

  void Post(Job job);
  void Run();
  Status WriteBand(const ScoreCells& band, std::uint32_t files_done);
  Status WriteRest(const ScoreRows& rows);
  // The block lies within one row, and its last column is below files_done.
  bool WrittenByBands(std::uint64_t block, std::uint32_t files_done) const;

  BufferedFile* file_;
  const std::uint64_t num_files_;
  const std::size_t block_size_;
  const bool writes_bands_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  bool closing_ = false;  // no job follows those queued
  bool failed_to_start_ = false;  // no thread: the jobs are done as posted
  std::thread thread_;
  std::atomic<bool> abandon_{false};
  Status status_;

  // The worker's own: the cells of blocks that a later band completes, in
  // word order, and the files the bands have covered.
  ScoreCells carry_;
  std::uint32_t banded_files_ = 0;
  std::vector<std::uint32_t> bucket_;
};

}  // namespace orvane
