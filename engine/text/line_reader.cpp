#include "engine/text/line_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace orvane {

namespace {

// The description of the last failed system call, or a fallback.
std::string ErrnoText(const char* fallback) {
  return errno != 0 ? std::string(std::strerror(errno)) : std::string(fallback);
}

}  // namespace

Status LineReader::Open(const std::filesystem::path& path) {
  Close();
  errno = 0;
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    return Status::Failed(ErrnoText("The file cannot be opened"));
  }
  content_.Start(fd_);
  return Status::Ok();
}

void LineReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  begin_ = 0;
  end_ = 0;
  eof_ = false;
  bytes_consumed_ = 0;
  last_line_length_ = 0;
  error_ = Status::Ok();
}

bool LineReader::Fill() {
  begin_ = 0;
  end_ = 0;
  if (eof_ || !error_.ok() || fd_ < 0) return false;
  if (buffer_.empty()) buffer_.resize(kBufferSize);
  errno = 0;
  ssize_t got = content_.Read(buffer_.data(), buffer_.size());
  if (got < 0) {
    error_ = Status::Failed(ErrnoText("The file cannot be read"));
    return false;
  }
  end_ = static_cast<std::size_t>(got);
  if (got == 0) eof_ = true;
  return end_ > 0;
}

bool LineReader::ReadLine(std::string* line) {
  return ReadLine(line, std::numeric_limits<std::size_t>::max());
}

bool LineReader::ReadLine(std::string* line, std::size_t max_keep) {
  line->clear();
  last_line_length_ = 0;
  if (begin_ == end_ && !Fill()) return false;
  std::int64_t length = 0;
  for (;;) {
    const char* start = buffer_.data() + begin_;
    std::size_t available = end_ - begin_;
    const char* cr =
        static_cast<const char*>(std::memchr(start, '\r', available));
    std::size_t take =
        cr != nullptr ? static_cast<std::size_t>(cr - start) : available;
    if (line->size() < max_keep) {
      line->append(start, std::min(take, max_keep - line->size()));
    }
    length += static_cast<std::int64_t>(take);
    begin_ += take;
    bytes_consumed_ += static_cast<std::int64_t>(take);
    if (cr != nullptr) {
      ++begin_;
      ++bytes_consumed_;
      // The LF of a CR LF pair may be the first byte of the next buffer.
      if (begin_ == end_) Fill();
      if (begin_ < end_ && buffer_[begin_] == '\n') {
        ++begin_;
        ++bytes_consumed_;
      }
      break;
    }
    if (!Fill()) break;  // the end of the file ends the line
  }
  last_line_length_ = length;
  return error_.ok();
}

}  // namespace orvane
