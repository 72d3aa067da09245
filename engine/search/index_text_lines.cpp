#include "engine/search/index_text_lines.h"

#include <cstring>
#include <vector>

namespace orvane {

namespace {

// Plain text is decompressed in pieces of this size; a lexicon of hundreds
// of thousands of words then costs a few hundred refills.
constexpr std::size_t kPieceSize = 1 << 20;

}  // namespace

std::int32_t IndexTextLines::Open(const std::string& index_path) {
  error_ = stream_.Open(index_path);
  return error_;
}

bool IndexTextLines::Refill() {
  if (ended_ || error_ != 0) return false;
  buffer_.erase(0, begin_);
  begin_ = 0;
  std::size_t old_size = buffer_.size();
  buffer_.resize(old_size + kPieceSize);
  std::int64_t n = stream_.Read(buffer_.data() + old_size, kPieceSize);
  if (n <= 0) {
    buffer_.resize(old_size);
    if (n < 0) {
      error_ = static_cast<std::int32_t>(n);
    } else {
      ended_ = true;
    }
    return false;
  }
  buffer_.resize(old_size + static_cast<std::size_t>(n));
  return true;
}

bool IndexTextLines::Next(std::string_view* line) {
  std::size_t search_from = begin_;
  while (true) {
    const char* data = buffer_.data();
    const void* hit =
        std::memchr(data + search_from, '\n', buffer_.size() - search_from);
    if (hit != nullptr) {
      std::size_t newline = static_cast<const char*>(hit) - data;
      std::size_t end = newline;
      if (end > begin_ && data[end - 1] == '\r') --end;
      *line = std::string_view(data + begin_, end - begin_);
      offset_ += static_cast<std::int64_t>(newline + 1 - begin_);
      begin_ = newline + 1;
      ++line_number_;
      return true;
    }
    std::size_t scanned = buffer_.size() - begin_;
    if (!Refill()) break;
    search_from = scanned;
  }
  if (error_ != 0 || begin_ >= buffer_.size()) return false;
  // The last line, without a line end.
  std::size_t end = buffer_.size();
  if (buffer_[end - 1] == '\r') --end;
  *line = std::string_view(buffer_.data() + begin_, end - begin_);
  offset_ += static_cast<std::int64_t>(buffer_.size() - begin_);
  begin_ = buffer_.size();
  ++line_number_;
  return true;
}

bool IndexTextLines::SkipTo(std::int64_t offset) {
  while (offset_ + static_cast<std::int64_t>(buffer_.size() - begin_) <
         offset) {
    offset_ += static_cast<std::int64_t>(buffer_.size() - begin_);
    begin_ = buffer_.size();
    if (!Refill()) return false;
  }
  begin_ += static_cast<std::size_t>(offset - offset_);
  offset_ = offset;
  return true;
}

std::int64_t IndexTextLines::CountToEnd() {
  std::int64_t total =
      offset_ + static_cast<std::int64_t>(buffer_.size() - begin_);
  begin_ = buffer_.size();
  if (error_ != 0) return -1;
  if (ended_) return total;
  std::vector<char> scratch(kPieceSize);
  while (true) {
    std::int64_t n = stream_.Read(scratch.data(), scratch.size());
    if (n < 0) {
      error_ = static_cast<std::int32_t>(n);
      return -1;
    }
    if (n == 0) break;
    total += n;
  }
  ended_ = true;
  offset_ = total;
  return total;
}

}  // namespace orvane
