// The lines of a compressed index's plain text, read in order straight from
// the compressed file, which a second thread decompresses ahead of the
// reader. A line ends at LF, and a CR before the LF is not part of it; the
// last line may lack its line end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/text/compression_stream.h"

namespace orvane {

class IndexTextLines {
 public:
  // Opens the compressed index. Returns 0 or a squeez code (kSourceUnreadable,
  // kNotCompressedIndex, kBuffersUnavailable).
  std::int32_t Open(const std::string& index_path);

  // The next line, valid until the next call. Returns false at the end of
  // the text or on a decompression failure (then error() is negative).
  bool Next(std::string_view* line);

  // Skips plain bytes up to the given offset of the text (which must not lie
  // behind the lines already read). Returns false when the text is shorter
  // or cannot be decompressed.
  bool SkipTo(std::int64_t offset);

  std::int32_t error() const { return error_; }
  // 1-based number of the line last returned.
  std::int64_t line_number() const { return line_number_; }
  // Plain-text offset just behind the line last returned (its line end
  // included).
  std::int64_t offset() const { return offset_; }
  // The plain length recorded in the compressed file, or -1.
  std::int64_t recorded_length() const { return stream_.recorded_length(); }
  // Reads the rest of the text; returns the whole text's length, or -1 when
  // it cannot be decompressed (error() tells why).
  std::int64_t CountToEnd();

 private:
  // Appends more plain text behind the unread bytes, which are moved to the
  // buffer's front first (the buffer doubles when they fill it: a line
  // longer than the buffer); false at the end or on failure.
  bool Refill();

  squeez::ReadAheadStream stream_;
  // The plain text is decompressed into one buffer that is reused, not
  // initialised, and kept small enough to stay in the processor's cache
  // while the lines are read from it.
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;  // first unread byte of buffer_
  std::size_t end_ = 0;    // one past the last decompressed byte
  bool ended_ = false;
  std::int32_t error_ = 0;
  std::int64_t line_number_ = 0;
  std::int64_t offset_ = 0;
};

}  // namespace orvane
