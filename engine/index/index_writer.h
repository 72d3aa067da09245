// Writing the two files of a project: the index text (file list, lexicon,
// count lines; then compressed as a whole) and the data file (the score
// matrix, one row of N bytes per word number, and a 32-bit trailer). Both
// are written under temporary names in the output folder and take their
// own names only when complete, so that no run, however it ends, leaves a
// half-written file under either name. The compressed index file is made
// durable before it takes its name; the data file is not synced, as it is
// derived from the index file and rebuilt from it whenever its trailer,
// size or age does not match.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/status.h"
#include "engine/files/background_deletion.h"
#include "engine/files/buffered_file.h"
#include "engine/index/lexicon.h"
#include "engine/index/matrix_writer.h"

namespace orvane {

// The two files of one run.
class IndexFileWriter {
 public:
  // deletion, when given, deletes the large files (a data file left by a
  // killed run, a discarded one) without waiting for their blocks to be
  // freed; it must outlive the writer.
  IndexFileWriter(std::string index_path, std::string data_path,
                  BackgroundDeletion* deletion = nullptr);
  // Deletes both temporary files unless Commit succeeded.
  ~IndexFileWriter();

  const std::string& index_path() const { return index_path_; }
  const std::string& data_path() const { return data_path_; }

  // Deletes what a killed run may have left, then creates both files under
  // their temporary names. Failed: the description names the file.
  Status Create(std::int32_t num_files);

  // Section 1: the file's path relative to the top folder.
  void AddFileListLine(std::string_view relative_path);
  // Sections 2 to 5: "End of file list", the word count and the title, the
  // words in ascending order with their numbers, the format number.
  // REQUIRES: the title is content without a double quote.
  Status WriteLexicon(std::string_view title, const Lexicon& lexicon);
  // While the files are read: whether the matrix is written in bands, and
  // the scores of the files before files_done that were not handed on yet
  // (Lexicon::CellsFrom). Their complete blocks go into the data file on a
  // worker thread. REQUIRES: WritesMatrixInBands(); Create succeeded.
  bool WritesMatrixInBands() const;
  void AddFinishedFiles(ScoreCells cells, std::int32_t files_done);

  // Begins writing the rest of the matrix into the data file on the worker
  // thread, so that the index text can be written and compressed
  // meanwhile. A failed write, of a band or of the rest, is returned by
  // the first of FinishIndexText (when it fails itself), WriteTrailer and
  // Commit. With no word, the data file holds one row of zeros.
  // REQUIRES: Create succeeded.
  void StartDataRows(ScoreRows rows);
  // Section 6: one count line per word number.
  // REQUIRES: StartDataRows was called.
  Status WriteCountLines();

  // Closes the index text. Its length, the trailer's value, is
  // index_text_length(). Failed: it is too long for the 32-bit trailer, or
  // a write failed.
  Status FinishIndexText();
  std::uint64_t index_text_length() const { return index_text_length_; }

  // Compresses the index text in place. Failed: the compression component
  // could not be prepared or returned a negative code.
  Status Compress();

  // Appends the trailer (the index text's length) to the data file.
  Status WriteTrailer();

  // Closes the data file and gives both files their own names, the data
  // file first.
  Status Commit();

  // Closes and deletes both temporary files; the matrix, when it is being
  // written, is abandoned at its next block.
  void Discard();

 private:
  // Waits for the worker; its result (ok when none ran).
  Status FinishDataRows();
  void Remove(const std::string& path);

  std::string index_path_;
  std::string data_path_;
  std::string index_partial_;
  std::string data_partial_;
  BackgroundDeletion* deletion_;
  BufferedFile index_text_;
  BufferedFile data_;
  std::int32_t num_files_ = 0;
  std::uint64_t rows_ = 0;
  std::uint64_t index_text_length_ = 0;
  bool committed_ = false;
  // The matrix and the worker that writes it into the data file.
  ScoreRows matrix_;
  std::unique_ptr<MatrixWriter> matrix_writer_;
};

}  // namespace orvane
