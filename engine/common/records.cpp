#include "engine/common/records.h"

#include <limits>

namespace orvane {

void RecordLine::Separate() {
  if (!line_.empty()) line_.push_back(',');
}

RecordLine& RecordLine::AddString(std::string_view text) {
  Separate();
  line_.push_back('"');
  line_.append(text);
  line_.push_back('"');
  return *this;
}

RecordLine& RecordLine::AddNumber(std::int64_t number) {
  Separate();
  line_.append(std::to_string(number));
  return *this;
}

void DelimitedReader::ConsumeSeparator() {
  while (pos_ < text_.size()) {
    char c = text_[pos_];
    if (c == ',') {
      ++pos_;
      return;
    }
    if (c == '\r') {
      ++pos_;
      if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
      return;
    }
    if (c == '\n') {
      ++pos_;
      return;
    }
    ++pos_;  // text after a closing quote: passed over
  }
}

bool DelimitedReader::NextItem(std::string* item) {
  if (AtEnd()) return false;
  while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  if (pos_ < text_.size() && text_[pos_] == '"') {
    std::size_t start = pos_ + 1;
    std::size_t close = text_.find('"', start);
    if (close == std::string_view::npos) close = text_.size();
    item->assign(text_.substr(start, close - start));
    pos_ = close < text_.size() ? close + 1 : close;
  } else {
    std::size_t end = text_.find_first_of(",\r\n", pos_);
    if (end == std::string_view::npos) end = text_.size();
    std::size_t last = end;
    while (last > pos_ && text_[last - 1] == ' ') --last;
    item->assign(text_.substr(pos_, last - pos_));
    pos_ = end;
  }
  ConsumeSeparator();
  return true;
}

std::vector<std::string> SplitRecord(std::string_view line) {
  std::vector<std::string> items;
  DelimitedReader reader(line);
  std::string item;
  while (reader.NextItem(&item)) items.push_back(item);
  return items;
}

std::int32_t LeadingNumber(std::string_view text, bool* overflow) {
  if (overflow) *overflow = false;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  std::int64_t value = 0;
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  bool clamped = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kMax + 1) {
      value = kMax + 1;
      clamped = true;
    }
  }
  if (negative) value = -value;
  if (value > kMax) {
    value = kMax;
    clamped = true;
  }
  if (overflow) *overflow = clamped;
  return static_cast<std::int32_t>(value);
}

}  // namespace orvane
