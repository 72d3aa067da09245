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
  // The longest line kept: far above any line the Index Module writes (a
  // count line of 32,766 files holds at most 131,066 bytes), so a longer
  // one is damage, and a damaged text cannot make the reader hold gigabytes.
  static constexpr std::size_t kMaxLineLength = std::size_t{16} << 20;

  // Opens the compressed index. Returns 0 or a squeez code (kSourceUnreadable,
  // kNotCompressedIndex, kBuffersUnavailable).
  std::int32_t Open(const std::string& index_path);

  // The next line, valid until the next call. Returns false at the end of
  // the text, on a decompression failure (then error() is negative) or at a
  // line longer than kMaxLineLength (then line_too_long() is true).
  bool Next(std::string_view* line);

  // Skips plain bytes up to the given offset of the text (which must not lie
  // behind the lines already read). Returns false when the text is shorter
  // or cannot be decompressed.
  bool SkipTo(std::int64_t offset);

  std::int32_t error() const { return error_; }
  // True when Next stopped at a line that, with its line end, does not fit
  // in kMaxLineLength bytes: line number line_number() + 1.
  bool line_too_long() const { return line_too_long_; }
  // What such a line is, for the message of a damaged index
  // ("line 7 is longer than any line of an index"); empty otherwise.
  std::string LineTooLongText() const;
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
  // longer than the buffer, up to kMaxLineLength); false at the end, on
  // failure or at a line too long.
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
  bool line_too_long_ = false;
  std::int32_t error_ = 0;
  std::int64_t line_number_ = 0;
  std::int64_t offset_ = 0;
};

}  // namespace orvane
