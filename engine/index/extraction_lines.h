// The lines of a file as word extraction reads them. A file whose line-end
// type is "LF only" is split at LF as well as at CR and CR LF; any other
// file is split at CR and CR LF only (a lone LF stays in its line and counts
// as a space). The file is read through a large buffer; the lines are views
// into it, valid until the next call. A UTF-16 file gives the lines of its
// decoded text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/status.h"
#include "engine/text/content_file.h"

namespace orvane {

class ExtractionLines {
 public:
  // A line longer than this is handed on in pieces, each cut after its last
  // space where there is one, so that no file can make one line take
  // unbounded memory.
  static constexpr std::size_t kMaxLineLength = std::size_t{16} << 20;

  ExtractionLines() = default;
  ~ExtractionLines();
  ExtractionLines(const ExtractionLines&) = delete;
  ExtractionLines& operator=(const ExtractionLines&) = delete;

  enum class OpenResult { kOpened, kVanished };
  // Opens a regular file for reading; never blocks on a pipe and does not
  // follow a symbolic link. kVanished: the file is no longer there, or is
  // no longer a regular file. Any other failure to open it is returned,
  // with the system's description.
  Result<OpenResult> Open(const std::string& path, bool split_at_lf);
  void Close();

  // The next line, without its line end. Returns false at the end of the
  // file or on a read error (then error() is not empty).
  bool Next(std::string_view* line);
  const std::string& error() const { return error_; }
  // True when the open file is read as UTF-16: its lines are decoded.
  bool utf16() const { return content_.utf16(); }

 private:
  // Reads the next block into the empty buffer; false at the end of the
  // file or on an error.
  bool Fill();

  int fd_ = -1;
  ContentFile content_;
  bool split_at_lf_ = false;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  // Index of the next CR at or after begin_, end_ when there is none; below
  // begin_ or kNotSearched when it is to be searched again.
  static constexpr std::size_t kNotSearched = static_cast<std::size_t>(-1);
  std::size_t next_cr_ = kNotSearched;
  bool eof_ = false;
  std::uint64_t size_at_open_ = 0;
  std::uint64_t read_so_far_ = 0;
  // A CR ended the last line; an LF that follows belongs to it.
  bool skip_lf_ = false;
  // The last line ended at an LF: an empty piece between it and the next CR
  // is no line of its own.
  bool after_lf_ = false;
  // The part of a line read before the buffer was refilled; a line handed
  // on from it is dropped from it at the next call.
  std::string carry_;
  std::size_t carry_handed_on_ = 0;
  std::string error_;
};

}  // namespace orvane
