#include "engine/documents/line_maker.h"

#include <algorithm>

namespace orvane {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

}  // namespace

void LineMaker::Append(std::string_view text) {
  if (pending_space_ && !text.empty()) {
    line_.push_back(' ');
    pending_space_ = false;
  }
  for (char c : text) line_.push_back(IsControl(c) && c != '\t' ? ' ' : c);
  Grew();
}

void LineMaker::AppendCollapsed(std::string_view text) {
  for (char c : text) {
    if (IsBlank(c) || IsControl(c)) {
      pending_space_ = !line_.empty();
      continue;
    }
    if (pending_space_) {
      if (line_.back() != ' ' && line_.back() != '\t') line_.push_back(' ');
      pending_space_ = false;
    }
    line_.push_back(c);
  }
  Grew();
}

void LineMaker::Tab() {
  pending_space_ = false;
  line_.push_back('\t');
}

void LineMaker::Spaces(std::size_t count) {
  pending_space_ = false;
  line_.append(std::min(count, kMaxLineBytes), ' ');
  Grew();
}

bool LineMaker::Break() {
  pending_space_ = false;
  std::size_t first = line_.find_first_not_of(" \t");
  if (first != std::string::npos && !full_) {
    std::size_t last = line_.find_last_not_of(" \t");
    std::string_view kept =
        std::string_view(line_).substr(first, last - first + 1);
    if (!sink_.Line(kept)) full_ = true;
  }
  line_.clear();
  return !full_;
}

bool LineMaker::AppendLines(std::string_view text) {
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    char c = text[at];
    if (c != '\r' && c != '\n' && c != '\f') continue;
    Append(text.substr(start, at - start));
    if (!Break()) return false;
    if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
    start = at + 1;
  }
  Append(text.substr(start));
  return !full_;
}

void LineMaker::Grew() {
  if (line_.size() > kMaxLineBytes) Break();
}

}  // namespace orvane
