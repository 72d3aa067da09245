#include "engine/search/index_text_lines.h"

#include <cstring>

namespace orvane {

namespace {

// Plain text is decompressed in pieces of this size: large enough that a
// refill costs little beside the lines it gives, small enough that the
// lines are still in the cache when they are read.
constexpr std::size_t kPieceSize = 256 * 1024;

}  // namespace

std::int32_t IndexTextLines::Open(const std::string& index_path) {
  error_ = stream_.Open(index_path);
  return error_;
}

bool IndexTextLines::Refill() {
  if (ended_ || error_ != 0 || line_too_long_) return false;
  const std::size_t unread = end_ - begin_;
  if (buffer_ == nullptr || unread == capacity_) {
    // The first fill, or a line that fills the whole buffer.
    if (capacity_ >= IndexTextLines::kMaxLineLength) {
      line_too_long_ = true;
      return false;
    }
    std::size_t capacity = capacity_ == 0 ? kPieceSize : 2 * capacity_;
    std::unique_ptr<char[]> bigger(new char[capacity]);
    if (unread > 0) std::memcpy(bigger.get(), buffer_.get() + begin_, unread);
    buffer_ = std::move(bigger);
    capacity_ = capacity;
  } else if (begin_ > 0 && unread > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, unread);
  }
  begin_ = 0;
  end_ = unread;
  std::int64_t n = stream_.Read(buffer_.get() + end_, capacity_ - end_);
  if (n <= 0) {
    if (n < 0) {
      error_ = static_cast<std::int32_t>(n);
    } else {
      ended_ = true;
    }
    return false;
  }
  end_ += static_cast<std::size_t>(n);
  return true;
}

bool IndexTextLines::Next(std::string_view* line) {
  std::size_t scanned = 0;  // unread bytes known to hold no line end
  while (true) {
    const char* data = buffer_.get();
    if (end_ - begin_ > scanned) {
      const void* hit = std::memchr(data + begin_ + scanned, '\n',
                                    end_ - begin_ - scanned);
      if (hit != nullptr) {
        std::size_t newline = static_cast<std::size_t>(
            static_cast<const char*>(hit) - data);
        std::size_t end = newline;
        if (end > begin_ && data[end - 1] == '\r') --end;
        *line = std::string_view(data + begin_, end - begin_);
        offset_ += static_cast<std::int64_t>(newline + 1 - begin_);
        begin_ = newline + 1;
        ++line_number_;
        return true;
      }
    }
    scanned = end_ - begin_;
    if (!Refill()) break;
  }
  if (error_ != 0 || line_too_long_ || begin_ >= end_) return false;
  // The last line, without a line end.
  const char* data = buffer_.get();
  std::size_t end = end_;
  if (data[end - 1] == '\r') --end;
  *line = std::string_view(data + begin_, end - begin_);
  offset_ += static_cast<std::int64_t>(end_ - begin_);
  begin_ = end_;
  ++line_number_;
  return true;
}

bool IndexTextLines::SkipTo(std::int64_t offset) {
  while (offset_ + static_cast<std::int64_t>(end_ - begin_) < offset) {
    offset_ += static_cast<std::int64_t>(end_ - begin_);
    begin_ = end_;
    if (!Refill()) return false;
  }
  begin_ += static_cast<std::size_t>(offset - offset_);
  offset_ = offset;
  return true;
}

std::string IndexTextLines::LineTooLongText() const {
  if (!line_too_long_) return std::string();
  return "line " + std::to_string(line_number_ + 1) +
         " is longer than any line of an index";
}

std::int64_t IndexTextLines::CountToEnd() {
  std::int64_t total = offset_ + static_cast<std::int64_t>(end_ - begin_);
  begin_ = end_;
  if (error_ != 0) return -1;
  if (ended_) return total;
  while (Refill()) {
    total += static_cast<std::int64_t>(end_ - begin_);
    begin_ = end_;
  }
  if (error_ != 0) return -1;
  offset_ = total;
  return total;
}

}  // namespace orvane
