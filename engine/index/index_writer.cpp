#include "engine/index/index_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>

#include "engine/common/common_values.h"
#include "engine/common/records.h"
#include "engine/index/index_settings.h"
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

namespace {

// The most characters a count line of that many cells takes: each cell an
// item for the zeros before it (a comma, a minus sign, at most as many
// digits as N has) and its score (a comma and three digits), and the zeros
// after the last.
std::size_t MostCountLineCharacters(std::size_t cells, std::int32_t num_files) {
  std::size_t digits = std::to_string(num_files < 1 ? 1 : num_files).size();
  return (cells + 1) * (digits + 2) + cells * 4;
}

// The count line written from at on; returns its end.
// REQUIRES: room for MostCountLineCharacters(cells, num_files).
char* WriteCountLine(const std::uint16_t* file_indexes,
                     const std::uint8_t* scores, std::size_t cells,
                     std::int32_t num_files, char* at) {
  char* const begin = at;
  auto number = [&](std::uint32_t n) {
    char digits[10];
    int count = 0;
    do {
      digits[count++] = static_cast<char>('0' + n % 10);
      n /= 10;
    } while (n != 0);
    while (count > 0) *at++ = digits[--count];
  };
  auto zeros = [&](std::int32_t k) {
    if (k <= 0) return;
    if (at != begin) *at++ = ',';
    if (k == 1) {
      *at++ = '0';
    } else {
      *at++ = '-';
      number(static_cast<std::uint32_t>(k));
    }
  };
  std::int32_t next_file = 0;  // index of the first file not yet coded
  for (std::size_t c = 0; c < cells; ++c) {
    std::int32_t file = file_indexes[c];
    zeros(file - next_file);
    if (at != begin) *at++ = ',';
    number(scores[c]);
    next_file = file + 1;
  }
  zeros(num_files - next_file);
  return at;
}

}  // namespace

void AppendCountLine(const std::uint16_t* file_indexes,
                     const std::uint8_t* scores, std::size_t cells,
                     std::int32_t num_files, std::string* out) {
  const std::size_t start = out->size();
  out->resize(start + MostCountLineCharacters(cells, num_files));
  char* end = WriteCountLine(file_indexes, scores, cells, num_files,
                             out->data() + start);
  out->resize(static_cast<std::size_t>(end - out->data()));
}

std::string PartialFilePath(std::string_view final_path) {
  constexpr std::string_view kExtension = ".tavo";
  std::string_view stem = final_path;
  if (stem.size() >= kExtension.size() &&
      stem.substr(stem.size() - kExtension.size()) == kExtension) {
    stem.remove_suffix(kExtension.size());
  }
  return std::string(stem) + ".part.tavo";
}

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
    matrix_writer_ =
        std::make_unique<MatrixWriter>(&data_, num_files, data_.block_size());
  }
  if (!status.ok()) Discard();
  return status;
}

void IndexFileWriter::AddFileListLine(std::string_view relative_path) {
  index_text_.Append(RecordLine().AddString(relative_path).Finish());
}

Status IndexFileWriter::WriteLexicon(std::string_view title,
                                     const Lexicon& lexicon) {
  index_text_.Append(RecordLine().AddString("End of file list").Finish());
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
                         .AddString("End of lexicon")
                         .Finish());
  return index_text_.Flush();
}

Status IndexFileWriter::WriteScoreRows(ScoreRows rows) {
  StartDataRows(std::move(rows));
  return WriteCountLines();
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
  std::int32_t length = static_cast<std::int32_t>(index_text_length_);
  unsigned char bytes[4];
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<unsigned char>(
        (static_cast<std::uint32_t>(length) >> (8 * i)) & 0xFF);
  }
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
