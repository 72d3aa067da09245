// The progress of `orvane index` on standard error, made from the labels
// that the run sets in the Index Module's window: one line with the files
// done of the files counted, the share done, the different words found so
// far and the time since the start (while the files are counted, the
// counting label and the time). On a terminal the line is rewritten in
// place; elsewhere it is a line per update, at most one a second.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "cli/console_ports.h"
#include "cli/status_line.h"

namespace orvane {

class IndexProgressView : public ConsoleViewState {
 public:
  // line: where the progress goes; nothing is shown unless show.
  IndexProgressView(StatusLine* line, bool show);
  void SetText(std::string_view control, std::string_view text) override;
  // The progress line as it would be shown now.
  std::string Line() const;

 private:
  StatusLine* line_;
  bool show_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_shown_{};
};

// The whole number that ends a label ("Now processing file #1,234." gives
// 1234), its group separators skipped; -1 when the label ends in none.
long long TrailingNumber(std::string_view label);

}  // namespace orvane
