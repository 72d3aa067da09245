#include "engine/index/word_extraction.h"

#include <algorithm>
#include <cstring>

#include "engine/index/word_hash.h"
#include "engine/text/charset.h"
#include "engine/text/entities.h"
#include "engine/text/string_ops.h"
#include "engine/text/utf_decoding.h"

namespace orvane {

namespace {

constexpr std::string_view kBase64Marker = "content-transfer-encoding:base64";
constexpr std::size_t kMaxWordRun = 65000;

// Bits of the byte classes.
constexpr std::uint8_t kWordByte = 1;
constexpr std::uint8_t kSpecialByte = 2;
// What NormalisingBytes finds. Backspace, TAB, LF, form feed, CR and the
// no-break space, which NormaliseWhitespace changes:
constexpr std::uint8_t kWhitespaceByte = 4;
// The first byte of every entity.
constexpr std::uint8_t kAmpersandByte = 8;

inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// The line, with its spaces removed, is the header that starts a base64
// part; compared in place, as most lines fail at their first characters.
bool StartsBase64Part(std::string_view line) {
  if (line.size() < kBase64Marker.size() || line[0] != 'c') return false;
  std::size_t matched = 0;
  for (char c : line) {
    if (c == ' ') continue;
    if (matched == kBase64Marker.size() || c != kBase64Marker[matched]) {
      return false;
    }
    ++matched;
  }
  return matched == kBase64Marker.size();
}

// Which of kWhitespaceByte and kAmpersandByte the line holds
// (a byte below 14 counts as whitespace: a false alarm costs only a
// needless NormaliseWhitespace). Eight bytes at a time.
std::uint8_t NormalisingBytes(std::string_view line) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  // Non-zero when some byte of x is zero, or below n (n <= 128); exact as
  // to whether there is one.
  auto has_zero = [](std::uint64_t x) { return (x - kOnes) & ~x & kHigh; };
  auto has_below = [](std::uint64_t x, std::uint64_t n) {
    return (x - kOnes * n) & ~x & kHigh;
  };
  std::uint64_t whitespace = 0, ampersand = 0;
  std::size_t i = 0;
  for (; i + 8 <= line.size(); i += 8) {
    std::uint64_t x;
    std::memcpy(&x, line.data() + i, 8);
    whitespace |= has_below(x, 14) | has_zero(x ^ (kOnes * 0xA0));
    ampersand |= has_zero(x ^ (kOnes * '&'));
  }
  std::uint8_t seen = (whitespace ? kWhitespaceByte : 0) |
                      (ampersand ? kAmpersandByte : 0);
  for (; i < line.size(); ++i) {
    unsigned char c = Byte(line[i]);
    if (c < 14 || c == 0xA0) seen |= kWhitespaceByte;
    if (c == '&') seen |= kAmpersandByte;
  }
  return seen;
}

// Whether the word holds three identical characters in a row (as
// HasTripleChar(word, 3)), without a call: most words hold none, and the
// test is made for every word.
inline bool HasThreeInARow(std::string_view word) {
  const char* p = word.data();
  for (std::size_t k = 2; k < word.size(); ++k) {
    if (p[k] == p[k - 1] && p[k - 1] == p[k - 2]) return true;
  }
  return false;
}

}  // namespace

WordExtractor::WordExtractor(CommonWords* common_words, Lexicon* lexicon)
    : common_words_(common_words),
      lexicon_(lexicon),
      lexicon_sink_(lexicon),
      sink_(&lexicon_sink_) {
  SetByteClasses();
}

WordExtractor::WordExtractor(CommonWords* common_words, WordSink* sink)
    : common_words_(common_words),
      lexicon_(nullptr),
      lexicon_sink_(nullptr),
      sink_(sink) {
  SetByteClasses();
}

void WordExtractor::SetByteClasses() {
  for (int c = 0; c < 256; ++c) {
    byte_class_[c] = IsWordByte(static_cast<unsigned char>(c), true) ? kWordByte : 0;
  }
  for (std::string_view table : {kSpecialLetters, kExtraSpecialLetters}) {
    for (char c : table) byte_class_[Byte(c)] |= kSpecialByte;
  }
  SetTagMarkers("HTML");
}

void WordExtractor::StartWordExtraction() {
  if (lexicon_ != nullptr) lexicon_->StartPass();
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
  if (lexicon_ != nullptr) lexicon_->StartFile();
}

Result<WordExtractor::FileResult> WordExtractor::ExtractFileWords(
    const std::string& path, bool split_at_lf, ExtractionObserver* observer) {
  Result<ExtractionLines::OpenResult> opened = lines_.Open(path, split_at_lf);
  if (!opened.ok()) return opened.status();
  if (*opened == ExtractionLines::OpenResult::kVanished) {
    return FileResult::kVanished;
  }
  std::string_view line;
  while (lines_.Next(&line)) {
    // The lines of a UTF-16 file are decoded already (the file tells with
    // its first bytes); UTF-8 sequences are decoded line by line.
    decode_utf8_ = !lines_.utf16();
    bool go_on = ProcessLine(line);
    if (!observer->AfterLine() || !go_on || lexicon_full_) break;
  }
  lines_.Close();
  decode_utf8_ = true;
  if (!lines_.error().empty()) return Status::Failed(lines_.error());
  return FileResult::kRead;
}

void WordExtractor::ExtractContentWords(const std::vector<Content>& lines,
                                        bool decode_utf8,
                                        ExtractionObserver* observer) {
  decode_utf8_ = decode_utf8;
  for (const Content& line : lines) {
    bool go_on = ProcessLine(line);
    if (!observer->AfterLine() || !go_on || lexicon_full_) break;
  }
  decode_utf8_ = true;
}

bool WordExtractor::ProcessLine(std::string_view raw_line) {
  // UTF-8 sequences are decoded before the line is lower-cased: the
  // lower-casing would turn a lead byte such as C3 into E3 and break its
  // sequence. Most lines of most files, ASCII or Windows-1252, hold none
  // and pass untouched after one quick scan.
  if (decode_utf8_ && MayHoldUtf8(raw_line)) {
    decoded_.assign(raw_line);
    DecodeUtf8Text(decoded_);
    raw_line = decoded_;
  }
  std::string_view trimmed = TrimSpacesView(raw_line);
  if (trimmed.empty()) return true;
  // The line buffer keeps its capacity from line to line: the line is
  // lower-cased into it behind its leading space.
  line_.resize(trimmed.size() + 1);
  line_[0] = ' ';
  LowerCaseTextTo(trimmed, line_.data() + 1);
  if (StartsBase64Part(std::string_view(line_).substr(1))) return false;
  ExtractLineWords(line_);
  return true;
}

bool WordExtractor::AtTagStart(std::string_view line, std::size_t index) const {
  return line[index] == tag_start_[0] &&
         line.compare(index, tag_start_.size(), tag_start_) == 0;
}

inline void WordExtractor::TakeWord(std::string_view word,
                                    bool has_special_letter) {
  // The filters that look at the word alone go first: a word they reject
  // is rejected wherever it occurs, so whether the common-word test has
  // marked it seen makes no difference.
  if (exclude_special_letters_ && has_special_letter) {
    sink_->DropWord(word, WordDrop::kSpecialLetters);
    return;
  }
  if (HasThreeInARow(word)) {
    sink_->DropWord(word, WordDrop::kThreeInARow);
    return;
  }
  const std::uint32_t hash = HashWord(word);
  if (common_words_->IsRepeatedCommonWord(word, hash)) return;
  if (!sink_->TakeWord(word, hash)) lexicon_full_ = true;
}

void WordExtractor::ExtractLineWords(std::string& line) {
  // Most lines hold none of the bytes that the normalising steps change or
  // begin with; one pass finds out which steps have anything to do. No
  // step brings in a byte that a later step begins with.
  std::uint8_t seen = NormalisingBytes(line);
  if (seen & kWhitespaceByte) NormaliseWhitespace(line);
  if (seen & kAmpersandByte) {
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
      if (!inside_tag_ && line[i] == tag_start_[0]) {
        inside_tag_ = AtTagStart(line, i);
      }
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
    std::uint8_t classes = byte_class_[Byte(line[i])];
    if (!(classes & kWordByte)) {
      ++i;
      continue;
    }
    std::size_t run = 1;
    std::size_t limit = std::min(length - i, kMaxWordRun);
    while (run < limit) {
      std::uint8_t next = byte_class_[Byte(line[i + run])];
      if (!(next & kWordByte)) break;
      classes |= next;
      ++run;
    }
    if (run <= static_cast<std::size_t>(kMaxWordLength)) {
      TakeWord(std::string_view(line).substr(i, run),
               (classes & kSpecialByte) != 0);
      if (lexicon_full_) return;
    } else {
      sink_->DropWord(std::string_view(line).substr(i, run), WordDrop::kTooLong);
    }
    i += run;
  }
}

}  // namespace orvane
