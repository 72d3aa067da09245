// Reading a file as lines of text, as the program reads files everywhere: a
// line ends at CR or at a CR LF pair (a lone LF is part of the line), and the
// file ends when no bytes remain. The file is read through a large buffer,
// as content characters (a UTF-16 file decoded, see ContentFile).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/common/status.h"
#include "engine/text/content_file.h"

namespace orvane {

class LineReader {
 public:
  // Bytes read from the file at a time.
  static constexpr std::size_t kBufferSize = 256 * 1024;

  LineReader() = default;
  ~LineReader() { Close(); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Opens the file for reading. Failed: the file cannot be opened (the
  // message is the failure's description).
  Status Open(const std::filesystem::path& path);
  void Close();
  bool is_open() const { return fd_ >= 0; }
  // True when the open file is read as UTF-16.
  bool utf16() const { return content_.utf16(); }

  // Reads the next line into *line (without its line end). Returns false at
  // the end of the file or on a read error (then error() is not ok). A CR
  // that ends the file ends its last line; it does not start another one.
  bool ReadLine(std::string* line);
  // The same, keeping at most max_keep characters of the line in *line; the
  // rest of the line is read and skipped. For callers that look only at the
  // start of each line and must not hold a huge one (a file without CR is
  // one line) in memory.
  bool ReadLine(std::string* line, std::size_t max_keep);
  // Length of the line last read, whole, without its line end.
  std::int64_t last_line_length() const { return last_line_length_; }

  // Characters of the file consumed so far, line ends included.
  std::int64_t bytes_consumed() const { return bytes_consumed_; }
  const Status& error() const { return error_; }

 private:
  // Refills the buffer; false when no bytes remain.
  bool Fill();

  int fd_ = -1;
  ContentFile content_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  std::int64_t bytes_consumed_ = 0;
  std::int64_t last_line_length_ = 0;
  Status error_;
};

}  // namespace orvane
