#include "engine/index/classic_store_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>

#include "engine/common/common_values.h"
#include "engine/common/pause_points.h"
#include "engine/common/records.h"
#include "engine/format/count_line.h"
#include "engine/format/data_file_trailer.h"
#include "engine/format/file_names.h"
#include "engine/format/index_text.h"
#include "engine/text/compression.h"

namespace orvane {

namespace {

std::string Description(int error) {
  return std::generic_category().message(error);
}

void AppendNumber(std::int64_t number, std::string* out) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, number);
  out->append(digits, result.ptr);
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The project of an index file's path: its name without "_index.tavo".
std::string ProjectOf(const std::string& index_path) {
  std::string name = index_path.substr(FolderOf(index_path).size());
  if (name.size() >= kIndexFileEnding.size() &&
      name.substr(name.size() - kIndexFileEnding.size()) == kIndexFileEnding) {
    name.resize(name.size() - kIndexFileEnding.size());
  }
  return name;
}

// Makes the renames in the folder durable.
void SyncFolderOf(const std::string& path) {
  std::string folder = FolderOf(path);
  if (folder.empty()) folder = ".";
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

Status SyncFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Status::Failed(path + ": " + Description(errno));
  int result = ::fsync(fd);
  int error = errno;
  ::close(fd);
  if (result != 0) return Status::Failed(path + ": " + Description(error));
  return Status::Ok();
}

}  // namespace

ClassicStoreWriter::ClassicStoreWriter(std::string index_path,
                                       std::string data_path,
                                       BackgroundDeletion* deletion)
    : index_path_(std::move(index_path)),
      data_path_(std::move(data_path)),
      deletion_(deletion) {}

ClassicStoreWriter::~ClassicStoreWriter() {
  if (!committed_) Discard();
}

void ClassicStoreWriter::Remove(const std::string& path) {
  if (path.empty()) return;
  if (deletion_ != nullptr) {
    (void)deletion_->Delete(path, /*forcibly=*/false);
  } else {
    ::unlink(path.c_str());
  }
}

Status ClassicStoreWriter::Begin(std::uint32_t num_files) {
  num_files_ = num_files;
  files_added_ = 0;
  committed_ = false;
  begun_ = true;
  Status status = run_files_.Claim(FolderOf(index_path_), ProjectOf(index_path_),
                                   deletion_);
  const bool with_data = !data_path_.empty();
  if (status.ok()) {
    index_partial_ = run_files_.PartialPath(index_path_);
    if (with_data) {
      data_partial_ = run_files_.PartialPath(data_path_);
      status = data_.Create(data_partial_);
    }
  }
  if (status.ok()) status = index_text_.Create(index_partial_);
  if (status.ok() && with_data) {
    // Running out of memory here closes both files at once and removes
    // them, rather than leaving them open until the writer goes.
    try {
      matrix_writer_ = std::make_unique<MatrixWriter>(&data_, num_files,
                                                      data_.block_size());
    } catch (const std::bad_alloc&) {
      status = Status::Failed("There is not enough memory to write " +
                              data_partial_ + ".");
    }
  }
  if (!status.ok()) Discard();
  return status;
}

void ClassicStoreWriter::AddFile(const IndexedFile& file) {
  // The blocks of the matrix that the files finished so far complete are
  // written while the next files are read.
  if (matrix_writer_ != nullptr && matrix_writer_->writes_bands() &&
      files_added_ - band_file_ >= kBandFiles) {
    matrix_writer_->AddBand(matrix_.CellsFrom(band_cell_), files_added_);
    band_cell_ = matrix_.cell_count();
    band_file_ = files_added_;
  }
  ++files_added_;
  index_text_.Append(RecordLine().AddString(file.relative_path).Finish());
}

void ClassicStoreWriter::AddFileScores(
    std::span<const std::uint32_t> word_indexes,
    std::span<const std::uint8_t> scores) {
  if (!lines_given_) matrix_.AddFile(files_added_ - 1, word_indexes, scores);
}

Status ClassicStoreWriter::WriteLexicon(std::string_view title,
                                        const RunLexicon& lexicon) {
  // The matrix goes into the data file while the index text is written
  // and compressed.
  const auto words = static_cast<std::size_t>(lexicon.word_count());
  words_ = words;
  lines_appended_ = 0;
  if (!lines_given_) rows_of_words_ = matrix_.TakeRows(words);
  rows_ = std::max<std::uint64_t>(words, 1);
  if (matrix_writer_ != nullptr) matrix_writer_->Finish(&rows_of_words_);

  index_text_.Append(RecordLine().AddString(kEndOfFileList).Finish());
  index_text_.Append(
      RecordLine().AddNumber(lexicon.word_count()).AddString(title).Finish());
  std::string line;
  for (std::int32_t number : lexicon.WordNumbersInOrder()) {
    line.clear();
    AppendNumber(number, &line);
    line.append(",\"");
    line.append(lexicon.word(number));
    line.append("\"\r\n");
    index_text_.Append(line);
  }
  index_text_.Append(RecordLine()
                         .AddNumber(OV_common::IndexFormatNumber())
                         .AddString(kEndOfLexicon)
                         .Finish());
  return index_text_.Flush();
}

Status ClassicStoreWriter::FinishDataRows() {
  return matrix_writer_ == nullptr ? Status::Ok() : matrix_writer_->Wait();
}

void ClassicStoreWriter::BufferCountLine(const std::uint32_t* file_indexes,
                                         const std::uint8_t* scores,
                                         std::size_t cells) {
  // The lines are written into a buffer of a megabyte or more (never
  // cleared first: it only ever holds what was written into it) and handed
  // on as it fills.
  const std::size_t most = MostCountLineCharacters(cells, num_files_) + 4;
  if (line_capacity_ - line_used_ < most) {
    index_text_.Append(std::string_view(line_buffer_.get(), line_used_));
    line_used_ = 0;
    if (line_capacity_ < most) {
      line_capacity_ = std::max(most, std::size_t{1} << 20);
      line_buffer_.reset(new char[line_capacity_]);
    }
  }
  char* at = line_buffer_.get() + line_used_;
  *at++ = '"';
  at = WriteCountLine(file_indexes, scores, cells, num_files_, at);
  *at++ = '"';
  *at++ = '\r';
  *at++ = '\n';
  line_used_ = static_cast<std::size_t>(at - line_buffer_.get());
}

Status ClassicStoreWriter::FlushCountLines() {
  index_text_.Append(std::string_view(line_buffer_.get(), line_used_));
  line_buffer_.reset();
  line_capacity_ = line_used_ = 0;
  return index_text_.Flush();
}

Status ClassicStoreWriter::AppendCountLine(
    std::span<const std::uint32_t> file_indexes,
    std::span<const std::uint8_t> scores) {
  if (!lines_given_ || lines_appended_ >= words_ ||
      file_indexes.size() != scores.size()) {
    return Status::Refused("A count line was given beyond the lexicon's " +
                           std::to_string(words_) + " words.");
  }
  ++lines_appended_;
  BufferCountLine(file_indexes.data(), scores.data(), file_indexes.size());
  return Status::Ok();
}

Status ClassicStoreWriter::WriteCountLines() {
  if (lines_given_) {
    if (lines_appended_ != words_) {
      return Status::Failed("The index text has " +
                            std::to_string(lines_appended_) +
                            " count lines for " + std::to_string(words_) +
                            " words.");
    }
    return FlushCountLines();
  }
  const ScoreRows& rows = rows_of_words_;
  const std::size_t words =
      rows.row_start.empty() ? 0 : rows.row_start.size() - 1;
  for (std::size_t w = 0; w < words; ++w) {
    std::uint64_t from = rows.row_start[w];
    std::uint64_t to = rows.row_start[w + 1];
    BufferCountLine(rows.file_indexes.data() + from, rows.scores.data() + from,
                    to - from);
  }
  return FlushCountLines();
}

Status ClassicStoreWriter::FinishWriting() {
  Status status = WriteCountLines();
  // The plain text is compressed into a new file, which is the one synced.
  if (status.ok()) status = index_text_.Close(false);
  if (!status.ok()) {
    // A full disk makes both files fail; the data file's failure is the
    // one told, as it is the larger of the two.
    Status data = FinishDataRows();
    return data.ok() ? status : data;
  }
  index_text_length_ = index_text_.appended();
  if (!data_path_.empty() &&
      index_text_length_ >
      static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    Status data = FinishDataRows();
    if (!data.ok()) return data;
    return Status::Failed(
        "The index text is " + std::to_string(index_text_length_) +
        " bytes long; the data file's trailer can record at most "
        "2147483647 bytes.  Index fewer files or words.");
  }
  return Status::Ok();
}

Status ClassicStoreWriter::CompressIndexFile() {
  if (squeez::_alb() == 0) {
    return Status::Failed("The compression component could not be prepared.");
  }
  std::int32_t result =
      squeez::_cf(index_partial_, CompressionWorkPath(index_partial_), true);
  squeez::_dalb();
  if (result < 0) {
    return Status::Failed("Compression failed with code " +
                          std::to_string(result) + ".");
  }
  return Status::Ok();
}

Status ClassicStoreWriter::Commit() {
  Status status = FinishDataRows();
  const bool with_data = !data_path_.empty();
  if (status.ok() && with_data) {
    // The trailer is written after the compression, so that the data file
    // is never older than its index file.
    std::uint8_t bytes[kTrailerSize];
    EncodeTrailer(static_cast<std::int64_t>(index_text_length_), bytes);
    status = data_.WriteAt(rows_ * num_files_, bytes, sizeof bytes);
  }
  if (status.ok() && with_data) status = data_.Close(/*sync=*/false);
  if (status.ok()) status = SyncFile(index_partial_);
  PausePoint("publish");
  // The index file first: until it has its name nothing is published, and
  // a failure here leaves the earlier pair as it was.
  BackgroundDeletion own_deletion;
  BackgroundDeletion& deletion = deletion_ != nullptr ? *deletion_ : own_deletion;
  if (status.ok()) status = deletion.Replace(index_partial_, index_path_);
  if (!status.ok()) return status;
  committed_ = true;
  if (!with_data) {
    SyncFolderOf(index_path_);
    run_files_.Release();
    return Status::Ok();
  }
  // The index file's name is made durable before the earlier data file's
  // blocks begin to be freed: a file system that discards freed blocks
  // would make the folder's sync wait for that. The data file's rename is
  // not synced, as the file itself is not.
  SyncFolderOf(index_path_);
  PausePoint("between-renames");
  // The earlier data file goes first, its blocks freed behind: renaming
  // the new one over it would make a file system that allocates blocks
  // late (ext4) write the whole new file out before the rename returns.
  // Without a data file for that moment, or should the rename fail, the
  // index is whole: the Search Module builds a data file from it.
  (void)deletion.Delete(data_path_, /*forcibly=*/false);
  if (std::rename(data_partial_.c_str(), data_path_.c_str()) != 0) {
    Remove(data_partial_);
  }
  run_files_.Release();
  return Status::Ok();
}

void ClassicStoreWriter::Discard() {
  if (matrix_writer_ != nullptr) matrix_writer_->Abandon();
  index_text_.Abandon();
  data_.Abandon();
  if (begun_) {
    Remove(index_partial_);
    Remove(data_partial_);
    if (!index_partial_.empty()) Remove(CompressionWorkPath(index_partial_));
  }
  run_files_.Release();
}

}  // namespace orvane
