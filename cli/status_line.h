// One line of progress on standard error. On a terminal the line is
// rewritten in place and taken away before any other output; elsewhere (a
// file, a pipe) every update is a line of its own.
#pragma once

#include <cstdio>
#include <string_view>

namespace orvane {

class StatusLine {
 public:
  // to: where the line goes; it is a terminal when isatty says so.
  explicit StatusLine(std::FILE* to = stderr);
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;
  ~StatusLine() { Clear(); }

  bool terminal() const { return terminal_; }
  // Shows text (one line, no line break) in place of the last one.
  void Show(std::string_view text);
  // Takes the line away on a terminal; elsewhere it stays as written.
  void Clear();

 private:
  std::FILE* to_;
  bool terminal_;
  bool shown_ = false;
};

}  // namespace orvane
