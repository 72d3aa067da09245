#include "engine/search/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/common/records.h"

namespace orvane {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kBlockSize = 4096;

std::string Damaged(std::string_view what) {
  return "The index file is damaged: " + std::string(what) + ".";
}

std::string SystemError(std::string_view action, const std::string& path) {
  return std::string(action) + " " + path + ": " + std::strerror(errno);
}

// The item of a count line: the text between its quotes (the whole line
// when it is not quoted, up to its first comma).
std::string_view CountLineField(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  if (i < line.size() && line[i] == '"') {
    std::size_t close = line.find('"', i + 1);
    if (close == std::string_view::npos) close = line.size();
    return line.substr(i + 1, close - i - 1);
  }
  std::size_t comma = line.find(',', i);
  if (comma == std::string_view::npos) comma = line.size();
  return line.substr(i, comma - i);
}

// Expands the count line of word_number into its scores, calling
// on_score(file_index, score) for each score above 0 in file order. Every
// line must give exactly files scores, each 0 to 255. Returns an empty text,
// or the damage found.
template <class OnScore>
std::string WalkCountLine(std::string_view line, std::int32_t files,
                          std::int32_t word_number, const OnScore& on_score) {
  std::string_view field = CountLineField(line);
  std::int64_t p = 0;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = field.find(',', start);
    std::string_view item = field.substr(
        start, comma == std::string_view::npos ? std::string_view::npos
                                               : comma - start);
    std::int64_t value = LeadingNumber(item);
    if (value < 0) {
      p += -value;
      if (p > files) break;
    } else {
      if (value > 255) {
        return Damaged("the count line of word number " +
                       std::to_string(word_number) + " holds the score " +
                       std::to_string(value));
      }
      if (p >= files) {
        p = files + 1;
        break;
      }
      if (value > 0) {
        on_score(static_cast<std::int32_t>(p),
                 static_cast<std::uint8_t>(value));
      }
      ++p;
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (p != files) {
    return Damaged("the count line of word number " +
                   std::to_string(word_number) + " holds " +
                   (p > files ? "more" : "fewer") + " than " +
                   std::to_string(files) + " scores");
  }
  return std::string();
}

// Reads the count line of word_number. False with *error set when there is
// none or the text cannot be decompressed (then lines.error() is negative).
bool NextCountLine(IndexTextLines& lines, std::int32_t word_number,
                   std::string_view* line, std::string* error) {
  if (lines.Next(line)) return true;
  if (lines.error() != 0) {
    *error = "The index file cannot be decompressed (code " +
             std::to_string(lines.error()) + ").";
  } else if (lines.line_too_long()) {
    *error = Damaged(lines.LineTooLongText());
  } else {
    *error = Damaged("the index text ends before the count line of word "
                     "number " +
                     std::to_string(word_number));
  }
  return false;
}

// Writes a file at increasing byte offsets, leaving every 4096-byte block
// that receives no byte above 0 as a hole. A window of blocks is kept in
// memory and written out in runs of consecutive blocks.
class SparseWriter {
 public:
  static constexpr std::int64_t kWindowBlocks = 256;

  explicit SparseWriter(int fd)
      : fd_(fd), window_(kWindowBlocks * kBlockSize, 0),
        dirty_(kWindowBlocks, false) {}

  // REQUIRES: offsets never decrease between calls.
  bool Put(std::int64_t offset, std::uint8_t byte) {
    if (byte == 0) return true;
    if (offset >= window_start_ + kWindowBlocks * kBlockSize) {
      if (!FlushWindow()) return false;
      window_start_ = offset - offset % kBlockSize;
    }
    std::int64_t at = offset - window_start_;
    window_[static_cast<std::size_t>(at)] = static_cast<char>(byte);
    dirty_[static_cast<std::size_t>(at / kBlockSize)] = true;
    return true;
  }

  // Writes what is left and gives the file its size.
  bool Finish(std::int64_t size) {
    if (!FlushWindow()) return false;
    return ::ftruncate(fd_, size) == 0;
  }

 private:
  bool FlushWindow() {
    std::int64_t b = 0;
    while (b < kWindowBlocks) {
      if (!dirty_[static_cast<std::size_t>(b)]) {
        ++b;
        continue;
      }
      std::int64_t first = b;
      while (b < kWindowBlocks && dirty_[static_cast<std::size_t>(b)]) ++b;
      char* data = window_.data() + first * kBlockSize;
      std::int64_t length = (b - first) * kBlockSize;
      std::int64_t offset = window_start_ + first * kBlockSize;
      while (length > 0) {
        ssize_t n = ::pwrite(fd_, data, static_cast<std::size_t>(length),
                             static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        length -= n;
        offset += n;
      }
      std::memset(window_.data() + first * kBlockSize, 0,
                  static_cast<std::size_t>((b - first) * kBlockSize));
      std::fill(dirty_.begin() + first, dirty_.begin() + b, false);
    }
    return true;
  }

  int fd_;
  std::int64_t window_start_ = 0;
  std::vector<char> window_;
  std::vector<bool> dirty_;
};

// The little-endian bytes of the trailer.
void PutTrailer(std::int64_t text_length, std::uint8_t bytes[4]) {
  auto value = static_cast<std::uint32_t>(static_cast<std::int32_t>(text_length));
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::string DataFilePathFor(std::string_view index_path) {
  std::size_t at = index_path.find(kIndexFileEnding);
  if (at == std::string_view::npos) return std::string();
  return std::string(index_path.substr(0, at)) + std::string(kDataFileEnding);
}

std::string DataFileWorkPath(const std::string& data_path) {
  return data_path + ".part";
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
  unsigned char trailer[4];
  ssize_t n = ::pread(fd, trailer, 4, static_cast<off_t>(size - 4));
  ::close(fd);
  if (n != 4) return DataFileState::kStale;
  std::int32_t stored = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(trailer[0]) |
      static_cast<std::uint32_t>(trailer[1]) << 8 |
      static_cast<std::uint32_t>(trailer[2]) << 16 |
      static_cast<std::uint32_t>(trailer[3]) << 24);
  return stored == text_length ? DataFileState::kCurrent
                               : DataFileState::kStale;
}

std::int64_t CountDataFileBytes(IndexTextLines& lines,
                                const LoadedIndex& index, std::string* error) {
  const std::int64_t files = index.intNumFiles;
  std::int64_t blocks = 0;
  std::int64_t last_block = -1;
  for (std::int32_t r = 1; r <= index.lngNumWords; ++r) {
    std::string_view line;
    if (!NextCountLine(lines, r, &line, error)) return -1;
    const std::int64_t row_start = (static_cast<std::int64_t>(r) - 1) * files;
    *error = WalkCountLine(line, index.intNumFiles, r,
                           [&](std::int32_t p, std::uint8_t) {
                             std::int64_t block = (row_start + p) / kBlockSize;
                             if (block != last_block) {
                               ++blocks;
                               last_block = block;
                             }
                           });
    if (!error->empty()) return -1;
  }
  std::int64_t trailer_block = index.DataFileRows() * files / kBlockSize;
  if (trailer_block != last_block) ++blocks;
  // A trailer that straddles two blocks.
  if ((index.DataFileRows() * files + 3) / kBlockSize != trailer_block) ++blocks;
  return blocks * kBlockSize;
}

std::string CreateDataFile(IndexTextLines& lines, const LoadedIndex& index) {
  const std::string& path = index.strDataFile;
  const std::string work = DataFileWorkPath(path);
  std::error_code ec;
  fs::remove(path, ec);
  fs::remove(work, ec);
  int fd = ::open(work.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return SystemError("Cannot create", work);

  auto fail = [&](std::string error) {
    ::close(fd);
    fs::remove(work, ec);
    return error;
  };

  const std::int64_t files = index.intNumFiles;
  SparseWriter writer(fd);
  bool write_failed = false;
  std::string error;
  for (std::int32_t r = 1; r <= index.lngNumWords; ++r) {
    std::string_view line;
    if (!NextCountLine(lines, r, &line, &error)) return fail(error);
    const std::int64_t row_start = (static_cast<std::int64_t>(r) - 1) * files;
    error = WalkCountLine(line, index.intNumFiles, r,
                          [&](std::int32_t p, std::uint8_t score) {
                            if (!writer.Put(row_start + p, score)) {
                              write_failed = true;
                            }
                          });
    if (!error.empty()) return fail(error);
    if (write_failed) return fail(SystemError("Cannot write", work));
  }
  const std::int64_t trailer_at = index.DataFileRows() * files;
  std::uint8_t trailer[4];
  PutTrailer(index.text_length, trailer);
  for (int i = 0; i < 4; ++i) {
    if (!writer.Put(trailer_at + i, trailer[i])) write_failed = true;
  }
  // The data file is not synced to the disk: it is derived from the index
  // file, and waiting for the disk would cost several times the rest of the
  // rebuild. A crash before the kernel has written it leaves its trailer,
  // written last, unwritten (the file reads as zeros where its blocks never
  // reached the disk), so it is found stale and rebuilt.
  if (write_failed || !writer.Finish(trailer_at + 4)) {
    return fail(SystemError("Cannot write", work));
  }
  if (::close(fd) != 0) {
    fs::remove(work, ec);
    return SystemError("Cannot write", work);
  }
  fs::rename(work, path, ec);
  if (ec) {
    fs::remove(work, ec);
    return "Cannot rename " + work + " to " + path + ".";
  }
  return std::string();
}

DataFileReader::~DataFileReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool DataFileReader::Open(const std::string& data_path) {
  fd_ = ::open(data_path.c_str(), O_RDONLY | O_CLOEXEC);
  return fd_ >= 0;
}

bool DataFileReader::ReadRow(std::int32_t word_number, std::int32_t files,
                             std::vector<std::uint8_t>* row) {
  row->resize(static_cast<std::size_t>(files));
  std::int64_t offset = (static_cast<std::int64_t>(word_number) - 1) * files;
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
