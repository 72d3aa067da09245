#include "engine/index/word_extraction.h"

#include <algorithm>

#include "engine/text/charset.h"
#include "engine/text/entities.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

constexpr std::string_view kBase64Marker = "content-transfer-encoding:base64";
constexpr std::size_t kMaxWordRun = 65000;

// The line, with its spaces removed, is the header that starts a base64
// part. Most lines fail the cheap tests before any copy is made.
bool StartsBase64Part(const std::string& line) {
  if (line.size() < kBase64Marker.size() || line[0] != 'c') return false;
  return RemoveSpaces(line) == kBase64Marker;
}

}  // namespace

WordExtractor::WordExtractor(CommonWords* common_words, Lexicon* lexicon)
    : common_words_(common_words), lexicon_(lexicon) {
  for (int c = 0; c < 256; ++c) {
    word_byte_[c] = IsWordByte(static_cast<unsigned char>(c), true);
    special_byte_[c] = false;
    whitespace_byte_[c] = false;
  }
  for (unsigned char c : {8, 9, 10, 12, 13, 160}) whitespace_byte_[c] = true;
  for (std::string_view table : {kSpecialLetters, kExtraSpecialLetters}) {
    for (char c : table) special_byte_[static_cast<unsigned char>(c)] = true;
  }
  SetTagMarkers("HTML");
}

void WordExtractor::StartWordExtraction() {
  lexicon_->StartPass();
  lexicon_full_ = false;
  inside_tag_ = false;
  SetTagMarkers("HTML");
}

void WordExtractor::SetTagMarkers(std::string_view type) {
  if (type == "HTML") {
    tag_start_ = "<";
    tag_end_ = ">";
  } else if (type == "C") {
    tag_start_ = "/*";
    tag_end_ = "*/";
  } else {
    tag_start_.clear();
    tag_end_.clear();
  }
}

void WordExtractor::set_exclude_special_letters(bool exclude) {
  exclude_special_letters_ = exclude;
}

void WordExtractor::StartFile() {
  // A file that ends inside an unclosed tag does not hide the start of the
  // next file.
  inside_tag_ = false;
  common_words_->ClearSeenFlags();
  lexicon_->StartFile();
}

WordExtractor::FileResult WordExtractor::ExtractFileWords(
    const std::string& path, bool split_at_lf, ExtractionObserver* observer,
    std::string* error) {
  switch (lines_.Open(path, split_at_lf, error)) {
    case ExtractionLines::OpenResult::kVanished:
      return FileResult::kVanished;
    case ExtractionLines::OpenResult::kFailed:
      return FileResult::kFailed;
    case ExtractionLines::OpenResult::kOpened:
      break;
  }
  std::string_view line;
  while (lines_.Next(&line)) {
    bool go_on = ProcessLine(line);
    if (!observer->AfterLine() || !go_on || lexicon_full_) break;
  }
  lines_.Close();
  if (!lines_.error().empty()) {
    *error = lines_.error();
    return FileResult::kFailed;
  }
  return FileResult::kRead;
}

bool WordExtractor::ProcessLine(std::string_view raw_line) {
  std::string trimmed = TrimSpaces(raw_line);
  if (trimmed.empty()) return true;
  std::string lowered = LowerCaseText(trimmed);
  if (StartsBase64Part(lowered)) return false;
  // The line buffer keeps its capacity from line to line.
  line_.assign(1, ' ');
  line_.append(lowered);
  ExtractLineWords(line_);
  return true;
}

bool WordExtractor::AtTagStart(std::string_view line, std::size_t index) const {
  return line[index] == tag_start_[0] &&
         line.compare(index, tag_start_.size(), tag_start_) == 0;
}

void WordExtractor::ExtractLineWords(std::string& line) {
  // Most lines hold none of the characters NormaliseWhitespace changes.
  if (std::any_of(line.begin(), line.end(), [this](char c) {
        return whitespace_byte_[static_cast<unsigned char>(c)];
      })) {
    NormaliseWhitespace(line);
  }
  // Every sequence these two rewrite begins with one byte; a line without
  // it is left as it is.
  if (line.find('\xE2') != std::string::npos) ReplaceUtf8Punctuation(line);
  if (line.find('&') != std::string::npos) {
    DecodeEntities(line);
    BlankUnknownEntities(line);
  }
  const std::size_t length = line.size();
  const bool markers = !tag_start_.empty();
  std::size_t i = 0;
  // The scan stops when it reaches the last character by the normal
  // advance, so a one-letter word at the end of a line is not taken unless
  // a tag skip led to it.
  while (i + 1 < length) {
    if (markers) {
      if (!inside_tag_) inside_tag_ = AtTagStart(line, i);
      bool line_done = false;
      while (inside_tag_) {
        std::size_t end = line.find(tag_end_, i);
        i = end == std::string::npos ? length : end + tag_end_.size();
        if (i >= length) {
          inside_tag_ = end == std::string::npos;
          line_done = true;
          break;
        }
        inside_tag_ = AtTagStart(line, i);
      }
      if (line_done) return;
    }
    // i may now be the last character, reached by a tag skip.
    if (!word_byte_[static_cast<unsigned char>(line[i])]) {
      ++i;
      continue;
    }
    std::size_t run = 1;
    std::size_t limit = std::min(length - i, kMaxWordRun);
    while (run < limit &&
           word_byte_[static_cast<unsigned char>(line[i + run])]) {
      ++run;
    }
    if (run <= static_cast<std::size_t>(kMaxWordLength)) {
      TakeWord(std::string_view(line).substr(i, run));
      if (lexicon_full_) return;
    }
    i += run;
  }
}

void WordExtractor::TakeWord(std::string_view word) {
  if (common_words_->IsRepeatedCommonWord(word)) return;
  if (exclude_special_letters_ &&
      std::any_of(word.begin(), word.end(), [this](char c) {
        return special_byte_[static_cast<unsigned char>(c)];
      })) {
    return;
  }
  if (HasTripleChar(word, 3)) return;
  if (!lexicon_->AddWordToLexicon(word)) lexicon_full_ = true;
}

}  // namespace orvane
