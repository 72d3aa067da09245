// The progress of `orvane index` on standard error, drawn from the run's
// progress events: one line with the files counted so far while they are
// counted; then the files done of the files counted, the share done, the
// different words found so far and the time since the start; then the
// words of the index being written. On a terminal the line is rewritten in
// place; elsewhere it is a line per update, at most one a second. The
// closing status of the run is kept for the command to print.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/status_line.h"
#include "engine/common/run_progress.h"

namespace orvane {

class IndexProgressLine : public RunProgress {
 public:
  // line: where the progress goes; nothing is shown unless show (line may
  // then be null).
  IndexProgressLine(StatusLine* line, bool show);

  void Counting(std::int64_t files_counted) override;
  void Counted(std::int64_t files, double bytes) override;
  void FileStarted(std::int64_t number, std::int64_t total,
                   std::string_view path) override;
  void Words(std::int64_t different_words) override;
  void Writing(std::int64_t different_words) override;
  void Finished(std::string_view closing) override;
  void Summary(std::int64_t files, double bytes,
               std::string_view left_out) override;

  // The progress line as it would be shown now, its time given.
  std::string Line(long long seconds) const;
  // The closing status of the run; empty until it ended with one.
  const std::string& closing() const { return closing_; }
  // "Files indexed: 1,234 (5,678 KB)." and what was left out, by reason;
  // empty unless the run made an index.
  const std::string& summary() const { return summary_; }

 private:
  enum class Phase { kStarting, kCounting, kReading, kWriting };
  // Shows the line unless one was shown within the last moment.
  void Update();

  std::string summary_;
  StatusLine* line_;
  bool show_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_shown_{};
  Phase phase_ = Phase::kStarting;
  std::int64_t counted_ = 0;  // files counted so far, or in all
  std::int64_t done_ = 0;     // files read to the end
  std::int64_t words_ = -1;   // different words; -1 while none are told
  std::string closing_;
};

}  // namespace orvane
