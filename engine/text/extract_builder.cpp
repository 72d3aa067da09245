#include "engine/text/extract_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "engine/text/charset.h"
#include "engine/text/entities.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Tags and control bytes of a raw block become blanks; the tag depth starts
// at 0 in every block. A CR shows as "/", so line ends stay visible.
void BlankTagsAndControls(char* block, std::size_t size) {
  int depth = 0;
  for (std::size_t i = 0; i < size; ++i) {
    auto c = static_cast<unsigned char>(block[i]);
    if (c == '<') {
      ++depth;
      block[i] = ' ';
    } else if (c == '>') {
      if (depth > 0) --depth;
      block[i] = ' ';
    } else if (depth > 0) {
      block[i] = ' ';
    } else if (c == 13) {
      block[i] = '/';
    } else if (c < 32) {
      block[i] = ' ';
    }
  }
}

// The search text of a block: entity remnants ("&" with a ";" at most five
// characters later) blanked, every character but letters and digits
// blanked, lower-cased. It has the display text's length.
std::string SearchTextOf(const std::string& display) {
  std::string text = display;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') continue;
    for (std::size_t k = 1; k <= 5 && i + k < text.size(); ++k) {
      if (text[i + k] == ';') {
        for (std::size_t j = i; j <= i + k; ++j) text[j] = ' ';
        break;
      }
    }
  }
  return LowerCaseText(BlankNonLetters(text, true));
}

// Rounds a / 2 to the nearest whole number, halves to the even neighbour.
std::int32_t HalfRoundedToEven(std::int64_t a) {
  std::int64_t low = a >= 0 ? a / 2 : -((-a + 1) / 2);
  if (a % 2 == 0) return static_cast<std::int32_t>(low);
  return static_cast<std::int32_t>(low % 2 == 0 ? low : low + 1);
}

// 1-based position of the first occurrence of what, 0 when none.
std::size_t Find1(std::string_view text, std::string_view what) {
  std::size_t at = text.find(what);
  return at == std::string_view::npos ? 0 : at + 1;
}

}  // namespace

std::int32_t FindWholeWord(std::int32_t start_position, std::string_view text,
                           std::string_view word) {
  if (word.empty()) return 0;
  if (start_position < 1) start_position = 1;
  std::size_t from = static_cast<std::size_t>(start_position - 1);
  while (from < text.size()) {
    std::size_t at = text.find(word, from);
    if (at == std::string_view::npos) return 0;
    std::size_t after = at + word.size();
    bool before_ok =
        at == 0 || !IsWordByte(static_cast<unsigned char>(text[at - 1]), false);
    bool after_ok =
        after >= text.size() ||
        !IsWordByte(static_cast<unsigned char>(text[after]), false);
    if (before_ok && after_ok) return static_cast<std::int32_t>(at + 1);
    from = at + 1;
  }
  return 0;
}

bool ExtractBuilder::BuildExtracts(const std::string& path) {
  extracts_.clear();
  largest_tenth_ = 0;
  block_position_ = 1;
  file_length_ = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    file_length_ = std::ftell(file.get());
    std::rewind(file.get());
  }
  std::setvbuf(file.get(), nullptr, _IOFBF, 1 << 16);
  char block[kExtractBlockSize];
  while (true) {
    std::size_t n = std::fread(block, 1, sizeof block, file.get());
    if (n == 0) break;
    // The unused end of a short last block would be zero bytes, which the
    // blanking turns into blanks. One blank stands for all of them: the
    // extracts are trimmed, a scan that reaches it finds nothing behind it,
    // and no block follows, so the extracts are the same.
    BlankTagsAndControls(block, n);
    std::string display(block, n);
    if (n < sizeof block) display.push_back(' ');
    ReplaceUtf8Punctuation(display);
    const auto length = static_cast<std::int64_t>(display.size());
    DecodeEntities(display);
    std::string search = SearchTextOf(display);
    if (ProcessBlock(display, search)) break;
    if (options.verify_mode && phrase_found) break;
    block_position_ += length;
    if (n < sizeof block) break;
  }
  return !std::ferror(file.get());
}

bool ExtractBuilder::LimitPassed() const {
  return options.max_extracts != -1 &&
         static_cast<std::int64_t>(extracts_.size()) >
             static_cast<std::int64_t>(options.extract_count_factor) *
                 options.max_extracts;
}

bool ExtractBuilder::ProcessBlock(const std::string& display,
                                  const std::string& search) {
  if (options.search_words.empty()) return true;
  bool stop = options.exact_phrase ? PhraseOccurrences(display, search)
                                   : WordOccurrences(display, search);
  return stop || LimitPassed();
}

bool ExtractBuilder::WordOccurrences(const std::string& display,
                                     const std::string& search) {
  const std::vector<std::string>& words = options.search_words;
  // Each word's next occurrence at or after the scan start, found again only
  // once the scan start has passed it: the scan start only grows.
  std::vector<std::int32_t> next(words.size(), -1);
  std::int32_t scan = 1;
  while (true) {
    std::int32_t best = 0;
    std::size_t best_word = 0;
    for (std::size_t w = 0; w < words.size(); ++w) {
      if (next[w] != 0 && next[w] < scan) {
        next[w] = FindWholeWord(scan, search, words[w]);
      }
      if (next[w] > 0 && (best == 0 || next[w] < best)) {
        best = next[w];
        best_word = w;
      }
    }
    if (best == 0) return false;
    std::int32_t end = 0;
    std::string extract = MakeExtract(display, best, words[best_word], &end);
    // The scan always moves past the occurrence: a one-letter word on the
    // last character of a block would otherwise be found again forever.
    scan = std::max(end, best + 1);
    int tenth = PositionTenth(block_position_ + best);
    if (StoreExtract(tenth, extract)) return true;
  }
}

bool ExtractBuilder::PhraseOccurrences(const std::string& display,
                                       const std::string& search) {
  const std::vector<std::string>& words = options.search_words;
  const std::string& first = words.front();
  const std::string& last = words.back();
  const auto text_length = static_cast<std::int32_t>(search.size());
  std::int32_t scan = 1;
  while (scan <= text_length) {
    std::int32_t p1 = FindWholeWord(scan, search, first);
    if (p1 == 0) return false;
    scan = p1;
    if (FindWholeWord(p1, search, last) == 0) return false;
    // The phrase stands at p1 when the words that follow p1 in the search
    // text are the phrase's words, one blank run between each two. This
    // finds phrases whose last word also occurs earlier in them ("to be or
    // not to be"), which a search for the last word's next occurrence would
    // miss.
    std::size_t at = static_cast<std::size_t>(p1 - 1) + first.size();
    std::size_t p2 = static_cast<std::size_t>(p1 - 1);
    bool match = true;
    for (std::size_t w = 1; w < words.size() && match; ++w) {
      std::size_t gap = at;
      while (gap < search.size() && search[gap] == ' ') ++gap;
      if (gap == at || search.compare(gap, words[w].size(), words[w]) != 0) {
        match = false;
        break;
      }
      p2 = gap;
      at = gap + words[w].size();
    }
    if (match && at < search.size() &&
        IsWordByte(static_cast<unsigned char>(search[at]), false)) {
      match = false;
    }
    if (!match) {
      scan = p1 + static_cast<std::int32_t>(first.size());
      continue;
    }
    if (options.verify_mode) {
      phrase_found = true;
      return true;
    }
    std::int32_t middle = HalfRoundedToEven(static_cast<std::int64_t>(p1) +
                                            static_cast<std::int64_t>(p2) + 1);
    std::int32_t end = 0;
    std::string extract =
        MakeExtract(display, middle, words[words.size() / 2], &end);
    scan = std::max(end, p1 + 1);
    int tenth = PositionTenth(block_position_ + p1);
    if (StoreExtract(tenth, extract)) return true;
  }
  return false;
}

std::string ExtractBuilder::MakeExtract(const std::string& display,
                                        std::int32_t position,
                                        std::string_view word,
                                        std::int32_t* end_position) {
  const auto n = static_cast<std::int32_t>(display.size());
  const int size = options.context_size;
  std::int32_t start = position;
  int passed = 0;
  while (passed < size && start > 1) {
    --start;
    if (display[static_cast<std::size_t>(start - 1)] != ' ') ++passed;
  }
  std::int32_t end = position + static_cast<std::int32_t>(word.size()) - 1;
  if (end > n) end = n;
  passed = 0;
  while (end < n && passed < size) {
    ++end;
    if (display[static_cast<std::size_t>(end - 1)] != ' ') ++passed;
  }
  *end_position = end;

  std::string extract = TrimSpaces(std::string_view(display).substr(
      static_cast<std::size_t>(start - 1),
      static_cast<std::size_t>(end - start + 1)));
  extract = ReplaceRepeatedly(extract, "  ", " ");
  extract = ReplaceRepeatedly(extract, "/ / ", "/ ");

  // Drop a word that the context limits cut in two at either end: the first
  // cut when the first blank comes before the word and in the first quarter,
  // the second when the part after the last blank (behind the word's first
  // position) is shorter than a quarter. The word's position is not taken
  // again after the first cut.
  const std::size_t w = Find1(LowerCaseText(extract), word);
  std::size_t first_blank = Find1(extract, " ");
  if (first_blank > 0 && first_blank < w &&
      4 * first_blank < extract.size()) {
    extract.erase(0, first_blank);
  }
  std::size_t last_blank = extract.rfind(' ');
  if (last_blank != std::string::npos) {
    std::size_t last_blank_position = last_blank + 1;
    std::size_t tail = extract.size() - last_blank_position;
    if (last_blank_position > w && 4 * tail < extract.size()) {
      extract.erase(last_blank);
    }
  }
  MarkSearchWords(extract);
  return "... " + extract + " ...";
}

void ExtractBuilder::MarkSearchWords(std::string& extract) const {
  const std::vector<std::string>& words = options.search_words;
  std::string lower = LowerCaseText(extract);
  for (std::size_t j = 0; j < words.size(); ++j) {
    const std::string& word = words[j];
    std::int32_t from = 1;
    while (true) {
      std::int32_t p = FindWholeWord(from, lower, word);
      if (p == 0) break;
      const auto at = static_cast<std::size_t>(p - 1);
      // The "b" of a mark inserted before.
      if (lower.compare(at, 2, "b>") == 0) {
        from = p + 1;
        continue;
      }
      bool mark = true;
      if (options.exact_phrase && j > 0) {
        std::int32_t previous = FindWholeWord(1, lower, words[j - 1]);
        mark = previous > 0 && previous < p;
      }
      if (!mark) {
        from = p + 1;
        continue;
      }
      for (std::string* text : {&extract, &lower}) {
        text->insert(at + word.size(), "</b>");
        text->insert(at, "<b>");
      }
      from = p + static_cast<std::int32_t>(word.size()) + 7;
    }
  }
}

int ExtractBuilder::PositionTenth(std::int64_t position_in_file) {
  double length = file_length_ > 0 ? static_cast<double>(file_length_) : 1.0;
  // Halves round to the even neighbour.
  double t = std::nearbyint(10.0 * static_cast<double>(position_in_file) / length);
  int tenth = t < 1 ? 1 : t > 9 ? 9 : static_cast<int>(t);
  if (tenth < largest_tenth_) {
    tenth = largest_tenth_;
  } else {
    largest_tenth_ = tenth;
  }
  return tenth;
}

bool ExtractBuilder::StoreExtract(int tenth, const std::string& extract) {
  std::string entry;
  entry.reserve(extract.size() + 3);
  entry.push_back(static_cast<char>('0' + tenth));
  entry.append("} ");
  entry.append(extract);
  if (!extracts_.empty() && extracts_.back() == entry) return false;
  extracts_.push_back(std::move(entry));
  return LimitPassed();
}

}  // namespace orvane
