// Writing the classic pair of a project: the index text (file list,
// lexicon, count lines; then compressed as a whole) and the data file (the
// score matrix, one row of N bytes per word number, and a 32-bit trailer).
// Both are written under the run's own temporary names in the output
// folder (RunFiles) and take their own names only when complete, each
// replacing the earlier file whole, so that no run, however it ends, leaves
// a half-written file under either name or loses the earlier index. The
// compressed index file is made durable before it takes its name; the
// data file is not synced, as it is derived from the index file and
// rebuilt from it whenever its trailer, size or age does not match.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/status.h"
#include "engine/files/background_deletion.h"
#include "engine/files/buffered_file.h"
#include "engine/format/index_store.h"
#include "engine/format/run_files.h"
#include "engine/index/matrix_writer.h"
#include "engine/index/score_matrix.h"

namespace orvane {

class ClassicStoreWriter final : public IndexStoreWriter {
 public:
  // Files between two bands of the matrix handed to the data file while
  // the files are read.
  static constexpr std::uint32_t kBandFiles = 4096;

  // deletion, when given, frees the blocks of large files (a discarded
  // data file, the one replaced, what a killed run left) behind; it must
  // outlive the writer. An empty data_path writes the index file alone.
  ClassicStoreWriter(std::string index_path, std::string data_path,
                     BackgroundDeletion* deletion = nullptr);
  // Discard(), unless Commit succeeded.
  ~ClassicStoreWriter() override;

  const std::string& index_path() const { return index_path_; }
  const std::string& data_path() const { return data_path_; }
  // The run's temporary names; empty before Begin.
  const std::string& index_partial() const { return index_partial_; }
  const std::string& data_partial() const { return data_partial_; }
  // The name under which the run writes another file of the project
  // (final_path), claimed with the run's own. REQUIRES: Begin succeeded.
  std::string PartialPath(std::string_view final_path) const {
    return run_files_.PartialPath(final_path);
  }
  // The length of the plain index text (the trailer's value), known once
  // FinishWriting succeeded.
  std::uint64_t index_text_length() const { return index_text_length_; }

  // The count lines then come one word at a time through AppendCountLine
  // (from the store's merge of its postings) instead of from a matrix
  // gathered here, so that memory grows with the lexicon, not with the
  // files. Only without a data file, whose matrix needs the scores.
  // REQUIRES: called before Begin, with an empty data_path.
  void TakeCountLinesOneByOne() { lines_given_ = data_path_.empty(); }
  // The count line of the next word number (from 1, each in turn): its
  // files' indexes ascending and their scores. REQUIRES: after
  // WriteLexicon, before FinishWriting.
  Status AppendCountLine(std::span<const std::uint32_t> file_indexes,
                         std::span<const std::uint8_t> scores);

  // Removes what ended runs of the project left, claims the run's names
  // and creates both files under them.
  Status Begin(std::uint32_t num_files) override;
  // Section 1: the file's path relative to the top folder. Hands the
  // matrix of every kBandFiles files finished to the data file's worker
  // thread, when rows span enough blocks for that to pay.
  void AddFile(const IndexedFile& file) override;
  void AddFileScores(std::span<const std::uint32_t> word_indexes,
                     std::span<const std::uint8_t> scores) override;
  // Sections 2 to 5: "End of file list", the word count and the title,
  // the words in ascending order with their numbers, the format number.
  // The rest of the matrix goes into the data file on the worker thread
  // meanwhile; with no word, the data file holds one row of zeros.
  Status WriteLexicon(std::string_view title,
                      const RunLexicon& lexicon) override;
  // Section 6, one count line per word number (unless AppendCountLine gave
  // them), and the end of the index text. Failed: the count lines given
  // were not one per word; a write failed (the data file's failure is the one told
  // when both fail, as it is the larger of the two), or the text is too
  // long for the data file's 32-bit trailer.
  Status FinishWriting() override;
  Status CompressIndexFile() override;
  // Waits for the matrix, appends the trailer, makes the index file
  // durable and renames it over the earlier one (from then on the new
  // index is published), then puts the data file in the earlier one's
  // place. Should the process end in between, the earlier data file
  // beside the new index is older than it and records another length, or
  // there is none: either way the Search Module builds it again.
  Status Commit() override;
  void Discard() override;

 private:
  // Waits for the worker; its result (ok when none ran).
  Status FinishDataRows();
  Status WriteCountLines();
  // Adds a count line to the buffer of lines, which goes into the index
  // text as it fills; FlushCountLines hands on the rest.
  void BufferCountLine(const std::uint32_t* file_indexes,
                       const std::uint8_t* scores, std::size_t cells);
  Status FlushCountLines();
  void Remove(const std::string& path);

  std::string index_path_;
  std::string data_path_;
  BackgroundDeletion* deletion_;
  RunFiles run_files_;
  std::string index_partial_;
  std::string data_partial_;
  BufferedFile index_text_;
  BufferedFile data_;
  std::uint32_t num_files_ = 0;
  std::uint32_t files_added_ = 0;
  std::uint64_t rows_ = 0;
  std::uint64_t index_text_length_ = 0;
  bool begun_ = false;
  bool committed_ = false;
  // The matrix as the files finish, the part of it already handed to the
  // worker, its rows at the end, and the worker that writes it into the
  // data file.
  ScoreMatrix matrix_;
  std::size_t band_cell_ = 0;
  std::uint32_t band_file_ = 0;
  ScoreRows rows_of_words_;
  std::unique_ptr<MatrixWriter> matrix_writer_;
  // The count lines given one by one, and the words they are due for.
  bool lines_given_ = false;
  std::uint64_t lines_appended_ = 0;
  std::uint64_t words_ = 0;
  std::unique_ptr<char[]> line_buffer_;
  std::size_t line_capacity_ = 0;
  std::size_t line_used_ = 0;
};

}  // namespace orvane
