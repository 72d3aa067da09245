#include "engine/index/extraction_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace orvane {

namespace {

constexpr std::size_t kBufferSize = std::size_t{256} << 10;

std::string Description(int error) {
  return std::generic_category().message(error);
}

}  // namespace

ExtractionLines::~ExtractionLines() { Close(); }

Result<ExtractionLines::OpenResult> ExtractionLines::Open(
    const std::string& path, bool split_at_lf) {
  Close();
  split_at_lf_ = split_at_lf;
  begin_ = end_ = 0;
  next_cr_ = kNotSearched;
  eof_ = skip_lf_ = after_lf_ = false;
  carry_.clear();
  carry_handed_on_ = 0;
  error_.clear();
  // O_NONBLOCK: a file replaced by a pipe since it was listed must not hang
  // the run; O_NOFOLLOW: nor may one replaced by a link be followed.
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    int e = errno;
    if (e == ENOENT || e == ENOTDIR || e == ELOOP) return OpenResult::kVanished;
    return Status::Failed(Description(e));
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return OpenResult::kVanished;
  }
  fd_ = fd;
  content_.Start(fd);
  size_at_open_ = static_cast<std::uint64_t>(st.st_size);
  read_so_far_ = 0;
  if (buffer_.empty()) buffer_.resize(kBufferSize);
  return OpenResult::kOpened;
}

void ExtractionLines::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool ExtractionLines::Fill() {
  begin_ = end_ = 0;
  next_cr_ = kNotSearched;
  if (eof_ || fd_ < 0) return false;
  while (true) {
    ssize_t got = content_.Read(buffer_.data(), buffer_.size());
    if (got > 0) {
      end_ = static_cast<std::size_t>(got);
      read_so_far_ += end_;
      // A short read that reaches the length the file had when it was
      // opened is its end; no further read is needed to find that out. A
      // UTF-16 file fills the buffer until its end.
      if (end_ < buffer_.size() &&
          (content_.utf16() || read_so_far_ >= size_at_open_)) {
        eof_ = true;
      }
      return true;
    }
    if (got == 0) {
      eof_ = true;
      return false;
    }
    if (errno == EINTR) continue;
    error_ = Description(errno);
    eof_ = true;
    return false;
  }
}

bool ExtractionLines::Next(std::string_view* line) {
  if (carry_handed_on_ > 0) {
    carry_.erase(0, carry_handed_on_);
    carry_handed_on_ = 0;
  }
  while (true) {
    if (begin_ >= end_ && !Fill()) {
      if (!error_.empty() || carry_.empty()) return false;
      *line = carry_;
      carry_handed_on_ = carry_.size();
      return true;
    }
    if (skip_lf_) {
      skip_lf_ = false;
      if (buffer_[begin_] == '\n') {
        ++begin_;
        continue;
      }
    }
    const char* from = buffer_.data() + begin_;
    std::size_t available = end_ - begin_;
    // The next CR of the block is remembered: a file with LF line ends and
    // few CRs is not searched to the end of the block for every line.
    if (next_cr_ == kNotSearched || next_cr_ < begin_) {
      const void* cr = std::memchr(from, '\r', available);
      next_cr_ = cr ? static_cast<const char*>(cr) - buffer_.data() : end_;
    }
    std::size_t stop = next_cr_ - begin_;
    if (split_at_lf_) {
      const void* lf = std::memchr(from, '\n', stop);
      if (lf) stop = static_cast<const char*>(lf) - from;
    }
    if (stop == available) {
      carry_.append(from, available);
      begin_ = end_;
      if (carry_.size() >= kMaxLineLength) {
        std::size_t space = carry_.rfind(' ');
        std::size_t cut = space == std::string::npos ? carry_.size() : space + 1;
        *line = std::string_view(carry_).substr(0, cut);
        carry_handed_on_ = cut;
        after_lf_ = false;
        return true;
      }
      continue;
    }
    char ending = from[stop];
    begin_ += stop + 1;
    if (ending == '\r') skip_lf_ = true;
    bool empty = stop == 0 && carry_.empty();
    // A line that ends in LF followed by CR leaves no empty line between
    // the two: LF splits the text between CR line ends.
    if (ending == '\r' && after_lf_ && empty) {
      after_lf_ = false;
      continue;
    }
    after_lf_ = ending == '\n';
    if (carry_.empty()) {
      *line = std::string_view(from, stop);
    } else {
      carry_.append(from, stop);
      *line = carry_;
      carry_handed_on_ = carry_.size();
    }
    return true;
  }
}

}  // namespace orvane
