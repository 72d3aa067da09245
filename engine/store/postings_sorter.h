// The postings of a run, gathered file by file and handed out word by word.
// The scores of the files are buffered up to a memory budget; a full buffer
// is sorted by word and written as a run into a work file without a name
// beside the store; at the end the runs are merged (a k-way merge by word;
// the files of a word come from the runs in run order, which is file
// order). Memory grows with the lexicon and the budget, not with the
// number of files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/common/status.h"
#include "engine/store/store_entries.h"
#include "engine/files/buffered_file.h"

namespace orvane::store {

class PostingsSorter {
 public:
  // The largest word index a score may name: word numbers are signed
  // 32-bit.
  static constexpr std::uint32_t kMaxWordIndex = 2147483646;

  // spill_beside: the path beside which the work file is made, when one is
  // needed; memory_budget: the bytes the buffered scores may take.
  PostingsSorter(std::string spill_beside, std::size_t memory_budget);
  ~PostingsSorter();

  // Adds the scores of the next file (its file index is the number of
  // files added before it). Refused: a score of 0, a word index above
  // kMaxWordIndex, or a word given twice for the file; failed: the work
  // file could not be written. Nothing is added then.
  Status AddFile(std::span<const StoreScore> scores);

  // Hands each word index from 0 to word_count - 1 in turn to emit, with
  // its postings (ascending file indexes and their scores; none for a word
  // without any), and stops at emit's first failure, which it returns.
  // REQUIRES: word_count >= word_limit(); called once, after the last
  // AddFile.
  using Emit = std::function<Status(std::uint32_t word_index,
                                    std::span<const std::uint32_t> files,
                                    std::span<const std::uint8_t> scores)>;
  Status Merge(std::uint32_t word_count, const Emit& emit);

  // One more than the largest word index added; 0 before any.
  std::uint32_t word_limit() const { return word_limit_; }
  std::uint32_t file_count() const { return file_count_; }
  std::uint64_t posting_count() const { return posting_count_; }
  // The sorted runs written into the work file so far.
  std::size_t run_count() const { return runs_.size(); }

 private:
  struct Run {
    std::uint64_t offset;
    std::uint64_t length;
  };
  class RunReader;

  // Sorts the buffered scores by word (stably, so each word's files stay
  // ascending) into sorted_files_ and sorted_scores_; bucket_start_[w] is
  // where word w's postings begin.
  void SortBuffer();
  Status Spill();
  std::size_t BufferBytes() const;

  std::string spill_beside_;
  std::size_t memory_budget_;
  std::uint32_t file_count_ = 0;
  std::uint32_t word_limit_ = 0;
  std::uint64_t posting_count_ = 0;
  // Per word index: the last file that named it, plus one (0: none yet).
  std::vector<std::uint32_t> last_file_plus_one_;
  // The buffered scores in file order; file_starts_[k] is where the k-th
  // buffered file's begin, first_buffered_file_ its file index.
  std::vector<std::uint32_t> words_;
  std::vector<std::uint8_t> scores_;
  std::vector<std::uint32_t> file_starts_;
  std::uint32_t first_buffered_file_ = 0;
  std::vector<std::uint64_t> bucket_start_;
  std::vector<std::uint32_t> sorted_files_;
  std::vector<std::uint8_t> sorted_scores_;
  std::unique_ptr<BufferedFile> spill_;
  std::vector<Run> runs_;
};

}  // namespace orvane::store
