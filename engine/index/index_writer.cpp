#include "engine/index/index_writer.h"

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

void RemoveIfThere(const std::string& path) {
  if (!path.empty()) ::unlink(path.c_str());
}

// Makes the renames in the folder durable.
void SyncFolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  if (folder.empty()) folder = "/";
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

IndexFileWriter::IndexFileWriter(std::string index_path, std::string data_path,
                                 BackgroundDeletion* deletion)
    : index_path_(std::move(index_path)),
      data_path_(std::move(data_path)),
      index_partial_(PartialFilePath(index_path_)),
      data_partial_(PartialFilePath(data_path_)),
      deletion_(deletion) {}

IndexFileWriter::~IndexFileWriter() {
  if (!committed_) Discard();
}

void IndexFileWriter::Remove(const std::string& path) {
  if (deletion_ != nullptr) {
    (void)deletion_->Delete(path, /*forcibly=*/false);
  } else {
    RemoveIfThere(path);
  }
}

Status IndexFileWriter::Create(std::int32_t num_files) {
  num_files_ = num_files;
  committed_ = false;
  Remove(index_partial_);
  Remove(data_partial_);
  Remove(CompressionWorkPath(index_path_));
  Status status = data_.Create(data_partial_);
  if (status.ok()) status = index_text_.Create(index_partial_);
  if (status.ok()) {
    // Running out of memory here closes both files at once and removes
    // them, rather than leaving them open until the writer goes.
    try {
      matrix_writer_ =
          std::make_unique<MatrixWriter>(&data_, num_files, data_.block_size());
    } catch (const std::bad_alloc&) {
      status = Status::Failed("There is not enough memory to write " +
                              data_partial_ + ".");
    }
  }
  if (!status.ok()) Discard();
  return status;
}

void IndexFileWriter::AddFileListLine(std::string_view relative_path) {
  index_text_.Append(RecordLine().AddString(relative_path).Finish());
}

Status IndexFileWriter::WriteLexicon(std::string_view title,
                                     const Lexicon& lexicon) {
  index_text_.Append(RecordLine().AddString(kEndOfFileList).Finish());
  index_text_.Append(RecordLine()
                         .AddNumber(lexicon.word_count())
                         .AddString(title)
                         .Finish());
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

bool IndexFileWriter::WritesMatrixInBands() const {
  return matrix_writer_ != nullptr && matrix_writer_->writes_bands();
}

void IndexFileWriter::AddFinishedFiles(ScoreCells cells,
                                       std::int32_t files_done) {
  matrix_writer_->AddBand(std::move(cells), files_done);
}

void IndexFileWriter::StartDataRows(ScoreRows rows) {
  matrix_ = std::move(rows);
  const std::size_t words =
      matrix_.row_start.empty() ? 0 : matrix_.row_start.size() - 1;
  rows_ = std::max<std::uint64_t>(words, 1);
  if (matrix_writer_ != nullptr) matrix_writer_->Finish(&matrix_);
}

Status IndexFileWriter::FinishDataRows() {
  return matrix_writer_ == nullptr ? Status::Ok() : matrix_writer_->Wait();
}

Status IndexFileWriter::WriteCountLines() {
  const ScoreRows& rows = matrix_;
  const std::size_t words = rows.row_start.empty() ? 0 : rows.row_start.size() - 1;
  // The lines are written into a buffer of a megabyte or more (never
  // cleared first: it only ever holds what was written into it) and handed
  // on as it fills.
  std::size_t capacity = std::size_t{1} << 20;
  std::unique_ptr<char[]> buffer(new char[capacity]);
  std::size_t used = 0;
  for (std::size_t w = 0; w < words; ++w) {
    std::uint64_t from = rows.row_start[w];
    std::uint64_t to = rows.row_start[w + 1];
    std::size_t most = MostCountLineCharacters(to - from, num_files_) + 4;
    if (capacity - used < most) {
      index_text_.Append(std::string_view(buffer.get(), used));
      used = 0;
      if (capacity < most) {
        capacity = most;
        buffer.reset(new char[capacity]);
      }
    }
    char* at = buffer.get() + used;
    *at++ = '"';
    at = WriteCountLine(rows.file_indexes.data() + from,
                        rows.scores.data() + from, to - from, num_files_, at);
    *at++ = '"';
    *at++ = '\r';
    *at++ = '\n';
    used = static_cast<std::size_t>(at - buffer.get());
  }
  index_text_.Append(std::string_view(buffer.get(), used));
  Status status = index_text_.Flush();
  if (status.ok()) return status;
  // A full disk makes both files fail; the data file's failure is the one
  // told, as it is the larger of the two.
  Status data = FinishDataRows();
  return data.ok() ? status : data;
}

Status IndexFileWriter::FinishIndexText() {
  // The plain text is compressed into a new file, which is the one synced.
  Status status = index_text_.Close(false);
  if (!status.ok()) {
    Status data = FinishDataRows();
    return data.ok() ? status : data;
  }
  index_text_length_ = index_text_.appended();
  if (index_text_length_ >
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

Status IndexFileWriter::Compress() {
  if (squeez::_alb() == 0) {
    return Status::Failed("The compression component could not be prepared.");
  }
  std::int32_t result =
      squeez::_cf(index_partial_, CompressionWorkPath(index_path_), true);
  squeez::_dalb();
  if (result < 0) {
    return Status::Failed("Compression failed with code " +
                          std::to_string(result) + ".");
  }
  return Status::Ok();
}

Status IndexFileWriter::WriteTrailer() {
  Status rows = FinishDataRows();
  if (!rows.ok()) return rows;
  std::uint8_t bytes[kTrailerSize];
  EncodeTrailer(static_cast<std::int64_t>(index_text_length_), bytes);
  return data_.WriteAt(rows_ * static_cast<std::uint64_t>(num_files_), bytes,
                       sizeof bytes);
}

Status IndexFileWriter::Commit() {
  Status status = FinishDataRows();
  if (status.ok()) status = data_.Close(/*sync=*/false);
  if (status.ok()) status = SyncFile(index_partial_);
  if (status.ok() && std::rename(data_partial_.c_str(), data_path_.c_str()) != 0) {
    status = Status::Failed("Cannot rename " + data_partial_ + ": " +
                            Description(errno));
  }
  if (status.ok() &&
      std::rename(index_partial_.c_str(), index_path_.c_str()) != 0) {
    status = Status::Failed("Cannot rename " + index_partial_ + ": " +
                            Description(errno));
    Remove(data_path_);
  }
  if (!status.ok()) return status;
  committed_ = true;
  SyncFolderOf(index_path_);
  return status;
}

void IndexFileWriter::Discard() {
  if (matrix_writer_ != nullptr) matrix_writer_->Abandon();
  index_text_.Abandon();
  data_.Abandon();
  Remove(index_partial_);
  Remove(data_partial_);
  Remove(CompressionWorkPath(index_path_));
}

}  // namespace orvane
