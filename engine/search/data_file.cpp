#include "engine/search/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/common/records.h"
#include "engine/files/buffered_file.h"
#include "engine/format/count_line.h"
#include "engine/format/data_file_trailer.h"
#include "engine/format/file_names.h"
#include "engine/format/index_text.h"
#include "engine/format/sparse_block_writer.h"

namespace orvane {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kBlockSize = 4096;

}  // namespace

Status NextCountLine(IndexTextLines& lines, std::int32_t word_number,
                     std::string_view* line) {
  if (lines.Next(line)) return Status::Ok();
  if (lines.error() != 0) {
    return Status::Failed("The index file cannot be decompressed (code " +
                          std::to_string(lines.error()) + ").");
  }
  if (lines.line_too_long()) {
    return Status::Failed(IndexFileDamaged(lines.LineTooLongText()));
  }
  return Status::Failed(IndexFileDamaged(
      "the index text ends before the count line of word "
      "number " +
      std::to_string(word_number)));
}

Status CountLineStatus(std::string damage) {
  return damage.empty() ? Status::Ok() : Status::Failed(std::move(damage));
}

DataFileState CheckDataFile(const std::string& data_path,
                            const std::string& index_path, std::int64_t rows,
                            std::int32_t files, std::int64_t text_length) {
  std::error_code ec;
  if (!fs::is_regular_file(data_path, ec)) return DataFileState::kMissing;
  std::uintmax_t size = fs::file_size(data_path, ec);
  if (ec) return DataFileState::kStale;
  if (size == 0) {
    fs::remove(data_path, ec);
    return DataFileState::kMissing;
  }
  if (static_cast<std::int64_t>(size) != rows * files + 4) {
    return DataFileState::kStale;
  }
  auto data_time = fs::last_write_time(data_path, ec);
  if (ec) return DataFileState::kStale;
  auto index_time = fs::last_write_time(index_path, ec);
  if (ec || data_time < index_time) return DataFileState::kStale;

  int fd = ::open(data_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return DataFileState::kStale;
  std::uint8_t trailer[kTrailerSize];
  ssize_t n = ::pread(fd, trailer, kTrailerSize,
                      static_cast<off_t>(size - kTrailerSize));
  ::close(fd);
  if (n != static_cast<ssize_t>(kTrailerSize)) return DataFileState::kStale;
  return DecodeTrailer(trailer) == text_length ? DataFileState::kCurrent
                                               : DataFileState::kStale;
}

Result<std::int64_t> CountDataFileBytes(IndexTextLines& lines,
                                        const ClassicIndex& index) {
  const std::int64_t files = index.intNumFiles;
  std::int64_t blocks = 0;
  std::int64_t last_block = -1;
  for (std::int32_t r = 1; r <= index.lngNumWords; ++r) {
    std::string_view line;
    if (Status read = NextCountLine(lines, r, &line); !read.ok()) return read;
    const std::int64_t row_start = (static_cast<std::int64_t>(r) - 1) * files;
    Status walked = CountLineStatus(
        WalkCountLine(line, static_cast<std::uint32_t>(index.intNumFiles), r,
                      [&](std::uint32_t p, std::uint8_t) {
                        std::int64_t block = (row_start + p) / kBlockSize;
                        if (block != last_block) {
                          ++blocks;
                          last_block = block;
                        }
                      }));
    if (!walked.ok()) return walked;
  }
  std::int64_t trailer_block = index.DataFileRows() * files / kBlockSize;
  if (trailer_block != last_block) ++blocks;
  // A trailer that straddles two blocks.
  if ((index.DataFileRows() * files + 3) / kBlockSize != trailer_block) ++blocks;
  return blocks * kBlockSize;
}

Status CreateDataFile(IndexTextLines& lines, const ClassicIndex& index,
                      const std::string& data_path) {
  const std::string& path = data_path;
  const std::string work = DataFileWorkPath(path);
  std::error_code ec;
  fs::remove(path, ec);
  fs::remove(work, ec);
  BufferedFile file;
  Status created = file.Create(work);
  if (!created.ok()) return created;

  auto fail = [&](Status failure) {
    file.Abandon();
    fs::remove(work, ec);
    return failure;
  };
  auto write_error = [&] {
    return Status::Failed("Cannot write " + work + ": " +
                          std::strerror(file.error()));
  };

  const std::int64_t files = index.intNumFiles;
  SparseBlockWriter writer(&file, kBlockSize);
  for (std::int32_t r = 1; r <= index.lngNumWords; ++r) {
    std::string_view line;
    if (Status read = NextCountLine(lines, r, &line); !read.ok()) {
      return fail(read);
    }
    const std::uint64_t row_start =
        (static_cast<std::uint64_t>(r) - 1) * static_cast<std::uint64_t>(files);
    Status walked = CountLineStatus(
        WalkCountLine(line, static_cast<std::uint32_t>(index.intNumFiles), r,
                      [&](std::uint32_t p, std::uint8_t score) {
                        writer.Put(row_start + p, score);
                      }));
    if (!walked.ok()) return fail(walked);
    if (!writer.status().ok()) return fail(write_error());
  }
  const std::int64_t trailer_at = index.DataFileRows() * files;
  std::uint8_t trailer[kTrailerSize];
  EncodeTrailer(index.text_length, trailer);
  for (std::size_t i = 0; i < kTrailerSize; ++i) {
    writer.Put(static_cast<std::uint64_t>(trailer_at) + i, trailer[i]);
  }
  // The data file is not synced to the disk: it is derived from the index
  // file, and waiting for the disk would cost several times the rest of the
  // rebuild. A crash before the kernel has written it leaves its trailer,
  // written last, unwritten (the file reads as zeros where its blocks never
  // reached the disk), so it is found stale and rebuilt.
  if (!writer.Flush().ok() ||
      !file.Resize(static_cast<std::uint64_t>(trailer_at) + kTrailerSize)
           .ok()) {
    return fail(write_error());
  }
  if (!file.Close(/*sync=*/false).ok()) {
    fs::remove(work, ec);
    return write_error();
  }
  fs::rename(work, path, ec);
  if (ec) {
    fs::remove(work, ec);
    return Status::Failed("Cannot rename " + work + " to " + path + ".");
  }
  return Status::Ok();
}

DataFileReader::~DataFileReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool DataFileReader::Open(const std::string& data_path) {
  fd_ = ::open(data_path.c_str(), O_RDONLY | O_CLOEXEC);
  return fd_ >= 0;
}

bool DataFileReader::ReadRow(std::int32_t word_number, std::uint32_t files,
                             std::vector<std::uint8_t>* row) {
  row->resize(files);
  std::int64_t offset =
      (static_cast<std::int64_t>(word_number) - 1) * static_cast<std::int64_t>(files);
  std::size_t done = 0;
  while (done < row->size()) {
    ssize_t n = ::pread(fd_, row->data() + done, row->size() - done,
                        static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace orvane
