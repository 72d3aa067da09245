#include "cli/index_progress.h"

#include <cctype>
#include <cstdio>

namespace orvane {

namespace {

constexpr std::string_view kProcessingPrefix = "Now processing file #";

// The labels whose changes move the line on.
bool IsProgressLabel(std::string_view control) {
  return control == "lblNowProcessingFile" || control == "lblTotalNumFiles" ||
         control == "lblDifferentWordsFoundSoFar";
}

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

long long TrailingNumber(std::string_view label) {
  std::size_t end = label.size();
  while (end > 0 && !std::isdigit(static_cast<unsigned char>(label[end - 1]))) {
    if (label[end - 1] != '.' && label[end - 1] != ' ') return -1;
    --end;
  }
  long long value = 0;
  long long scale = 1;
  bool any = false;
  for (std::size_t i = end; i > 0; --i) {
    char c = label[i - 1];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      value += (c - '0') * scale;
      scale *= 10;
      any = true;
    } else if (!(c == ',' && i > 1 &&
                 std::isdigit(static_cast<unsigned char>(label[i - 2])))) {
      break;
    }
  }
  return any ? value : -1;
}

IndexProgressView::IndexProgressView(StatusLine* line, bool show)
    : line_(line), show_(show), start_(std::chrono::steady_clock::now()) {}

std::string IndexProgressView::Line() const {
  auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                     std::chrono::steady_clock::now() - start_)
                     .count();
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%lld:%02lld",
                static_cast<long long>(seconds / 60),
                static_cast<long long>(seconds % 60));
  std::string now = Text("lblNowProcessingFile");
  if (now.rfind(kProcessingPrefix, 0) != 0) {
    return now.empty() ? std::string() : now + "  " + elapsed;
  }
  long long done = TrailingNumber(now) - 1;
  long long total = TrailingNumber(Text("lblTotalNumFiles"));
  std::string line = "Indexing: " + Grouped(done < 0 ? 0 : done);
  if (total > 0) {
    line += " of " + Grouped(total) + " files (" +
            std::to_string(done * 100 / total) + "%)";
  } else {
    line += " files";
  }
  long long words = TrailingNumber(Text("lblDifferentWordsFoundSoFar"));
  if (words >= 0) line += ", " + Grouped(words) + " different words";
  return line + ", " + elapsed;
}

void IndexProgressView::SetText(std::string_view control,
                                std::string_view text) {
  ConsoleViewState::SetText(control, text);
  if (!show_ || !IsProgressLabel(control)) return;
  auto now = std::chrono::steady_clock::now();
  auto gap = line_->terminal() ? std::chrono::milliseconds(100)
                               : std::chrono::milliseconds(1000);
  if (now - last_shown_ < gap) return;
  std::string line = Line();
  if (line.empty()) return;
  last_shown_ = now;
  line_->Show(line);
}

}  // namespace orvane
