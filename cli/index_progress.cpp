#include "cli/index_progress.h"

#include <cstdio>

#include "engine/text/number_text.h"

namespace orvane {

namespace {

std::string Grouped(long long value) {
  std::string digits = std::to_string(value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

}  // namespace

IndexProgressLine::IndexProgressLine(StatusLine* line, bool show)
    : line_(line), show_(show), start_(std::chrono::steady_clock::now()) {}

void IndexProgressLine::Counting(std::int64_t files_counted) {
  phase_ = Phase::kCounting;
  counted_ = files_counted;
  Update();
}

void IndexProgressLine::Counted(std::int64_t files, double /*bytes*/) {
  phase_ = Phase::kReading;
  counted_ = files;
  done_ = 0;
  words_ = -1;
  Update();
}

void IndexProgressLine::FileStarted(std::int64_t number, std::int64_t total,
                                    std::string_view /*path*/) {
  phase_ = Phase::kReading;
  done_ = number - 1;
  counted_ = total;
  Update();
}

void IndexProgressLine::Words(std::int64_t different_words) {
  words_ = different_words;
  Update();
}

void IndexProgressLine::Writing(std::int64_t different_words) {
  phase_ = Phase::kWriting;
  words_ = different_words;
  Update();
}

void IndexProgressLine::Finished(std::string_view closing) {
  closing_ = std::string(closing);
}

void IndexProgressLine::Summary(std::int64_t files, double bytes,
                                std::string_view left_out) {
  summary_ = "Files indexed: " + Grouped(files) + " (" +
             FormatNumber(bytes / 1024, 0) + " KB).";
  if (!left_out.empty()) summary_ += "  " + std::string(left_out);
}

std::string IndexProgressLine::Line(long long seconds) const {
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%lld:%02lld", seconds / 60,
                seconds % 60);
  switch (phase_) {
    case Phase::kStarting:
      return std::string();
    case Phase::kCounting:
      return "Counting files to be indexed ... " + Grouped(counted_) + "  " +
             elapsed;
    case Phase::kWriting:
      return "Writing the index file: " + Grouped(words_) +
             " different words, " + elapsed;
    case Phase::kReading:
      break;
  }
  std::string line = "Indexing: " + Grouped(done_);
  if (counted_ > 0) {
    line += " of " + Grouped(counted_) + " files (" +
            std::to_string(done_ * 100 / counted_) + "%)";
  } else {
    line += " files";
  }
  if (words_ >= 0) line += ", " + Grouped(words_) + " different words";
  return line + ", " + elapsed;
}

void IndexProgressLine::Update() {
  if (!show_) return;
  auto now = std::chrono::steady_clock::now();
  auto gap = line_->terminal() ? std::chrono::milliseconds(100)
                               : std::chrono::milliseconds(1000);
  if (now - last_shown_ < gap) return;
  std::string line = Line(
      std::chrono::duration_cast<std::chrono::seconds>(now - start_).count());
  if (line.empty()) return;
  last_shown_ = now;
  line_->Show(line);
}

}  // namespace orvane
