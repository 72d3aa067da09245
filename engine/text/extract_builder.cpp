#include "engine/text/extract_builder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/common/file_descriptor.h"

#include "engine/text/charset.h"
#include "engine/text/content_file.h"
#include "engine/text/entities.h"
#include "engine/text/string_ops.h"
#include "engine/text/utf_decoding.h"

namespace orvane {

namespace {

// Eight bytes at a time: whether a word holds a byte below 32, or a given
// byte. Either answer may only be too cautious, never wrong the other way.
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;
inline bool HasByteBelow32(std::uint64_t w) {
  return ((w - 32 * kOnes) & ~w & kHighs) != 0;
}
inline bool HasByte(std::uint64_t w, unsigned char c) {
  std::uint64_t x = w ^ (c * kOnes);
  return ((x - kOnes) & ~x & kHighs) != 0;
}
inline std::uint64_t Word8(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

// Tags and control bytes of a raw block become blanks; the tag depth starts
// at 0 in every block. A CR shows as "/", so line ends stay visible. Runs of
// plain text, and the insides of tags, are passed eight bytes at a time.
void BlankTagsAndControls(char* block, std::size_t size) {
  int depth = 0;
  std::size_t i = 0;
  while (i < size) {
    if (depth == 0) {
      while (i + 8 <= size) {
        std::uint64_t w = Word8(block + i);
        if (HasByteBelow32(w) || HasByte(w, '<') || HasByte(w, '>')) break;
        i += 8;
      }
      if (i == size) break;
      auto c = static_cast<unsigned char>(block[i]);
      if (c == '<') {
        depth = 1;
        block[i] = ' ';
      } else if (c == '>') {
        block[i] = ' ';
      } else if (c == 13) {
        block[i] = '/';
      } else if (c < 32) {
        block[i] = ' ';
      }
      ++i;
    } else {
      while (i + 8 <= size) {
        std::uint64_t w = Word8(block + i);
        if (HasByte(w, '<') || HasByte(w, '>')) break;
        std::memset(block + i, ' ', 8);
        i += 8;
      }
      if (i == size) break;
      if (block[i] == '<') {
        ++depth;
      } else if (block[i] == '>') {
        --depth;
      }
      block[i] = ' ';
      ++i;
    }
  }
}

// The high bit of every byte of w (all below 128) that lies in lo..hi.
inline std::uint64_t InRange(std::uint64_t w, unsigned char lo,
                             unsigned char hi) {
  std::uint64_t at_least_lo = (w + (0x80 - lo) * kOnes) & kHighs;
  std::uint64_t above_hi = (w + (0x7F - hi) * kOnes) & kHighs;
  return at_least_lo & ~above_hi;
}

// Eight ASCII bytes of the search text at once, as the table below gives
// them: A-Z lower-cased, a-z and digits kept, every other byte a blank.
inline std::uint64_t SearchWord(std::uint64_t w) {
  std::uint64_t letters = InRange(w | (0x20 * kOnes), 'a', 'z');
  std::uint64_t digits = InRange(w, '0', '9');
  std::uint64_t keep = ((letters | digits) >> 7) * 0xFF;
  std::uint64_t lowered = w | ((letters >> 7) * 0x20);
  return (lowered & keep) | (0x20 * kOnes & ~keep);
}

// What each byte becomes in the search text: letters lower-cased, digits
// kept, every other byte a blank. Made from the text layer's own
// operations, byte by byte; the lower-casing of a whole text differs from
// that of its bytes only for the Z caron, which is no letter and blanked.
const std::array<char, 256>& SearchBytes() {
  static const std::array<char, 256> table = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; ++c) {
      std::string one(1, static_cast<char>(c));
      t[static_cast<std::size_t>(c)] = LowerCaseText(BlankNonLetters(one, true))[0];
    }
    return t;
  }();
  return table;
}

}  // namespace

std::size_t PrepareExtractBlock(char* block, std::size_t size, bool last,
                                bool decode_utf8, std::string* display,
                                std::string* search) {
  // The unused end of a short last block would be zero bytes, which the
  // blanking turns into blanks. One blank stands for all of them: the
  // extracts are trimmed, a scan that reaches it finds nothing behind it,
  // and no block follows, so the extracts are the same.
  BlankTagsAndControls(block, size);
  display->assign(block, size);
  if (last) display->push_back(' ');
  if (decode_utf8) ReplaceUtf8Punctuation(*display);
  // The block position counts the characters of the display text with its
  // punctuation made plain (a right quote is one character, not three) but
  // its other UTF-8 sequences and its entities still written out. A
  // sequence cut by the block's end stays as its bytes.
  const std::size_t plain_length = display->size();
  if (decode_utf8) DecodeUtf8Sequences(*display);
  DecodeEntities(*display);

  // The search text: entity remnants ("&" with a ";" at most five
  // characters later) blanked up to the ";", the rest byte by byte.
  const std::array<char, 256>& bytes = SearchBytes();
  const std::size_t n = display->size();
  search->resize(n);
  const char* in = display->data();
  char* out = search->data();
  std::size_t i = 0;
  while (i < n) {
    const void* amp = std::memchr(in + i, '&', n - i);
    const std::size_t stop =
        amp == nullptr ? n : static_cast<std::size_t>(static_cast<const char*>(amp) - in);
    // Eight ASCII bytes at a time, the others through the table.
    while (i + 8 <= stop) {
      std::uint64_t w = Word8(in + i);
      if ((w & kHighs) != 0) break;
      std::uint64_t folded = SearchWord(w);
      std::memcpy(out + i, &folded, 8);
      i += 8;
    }
    for (; i < stop; ++i) out[i] = bytes[static_cast<unsigned char>(in[i])];
    if (i == n) break;
    std::size_t k = 1;
    while (k <= 5 && i + k < n && in[i + k] != ';') ++k;
    if (k <= 5 && i + k < n) {
      std::memset(out + i, ' ', k + 1);
      i += k + 1;
    } else {
      out[i] = ' ';
      ++i;
    }
  }
  return plain_length;
}

namespace {

// Rounds a / 2 to the nearest whole number, halves to the even neighbour.
std::int32_t HalfRoundedToEven(std::int64_t a) {
  std::int64_t low = a >= 0 ? a / 2 : -((-a + 1) / 2);
  if (a % 2 == 0) return static_cast<std::int32_t>(low);
  return static_cast<std::int32_t>(low % 2 == 0 ? low : low + 1);
}

// ReplaceRepeatedly, without a copy of a text that holds no from.
void ReplaceRepeatedlyIn(std::string& text, std::string_view from,
                         std::string_view to) {
  if (text.find(from) != std::string::npos) {
    text = ReplaceRepeatedly(text, from, to);
  }
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
  ClearExtracts();
  largest_tenth_ = 0;
  block_position_ = 1;
  file_length_ = 0;
  page_offsets_ = nullptr;
  if (documents_ != nullptr) {
    if (std::shared_ptr<const DocumentSourceText> text =
            documents_->TextOf(path)) {
      // A document that could not be read has no text to show.
      if (!text->reason.empty()) return false;
      bool read = BuildFromText(*text);
      page_offsets_ = nullptr;
      return read;
    }
  }
  // A found file may have become a pipe since the search: it is not read
  // (a pipe without a writer would never end).
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!file.ok()) return false;
  struct stat st;
  if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // The blocks of a UTF-16 file are 4096 characters of its decoded text,
  // and the position digit counts in them; the file tells with its first
  // bytes.
  ContentFile content;
  content.Start(file.get());
  bool first_chunk = true;
  bool decode_utf8 = true;

  // The file is read in chunks of whole blocks, each filled to the end
  // unless the file ends: only the last block can be short.
  if (chunk_ == nullptr) chunk_.reset(new char[kChunkSize]);
  bool failed = false;
  bool ended = false;
  while (!ended) {
    std::size_t have = 0;
    while (have < kChunkSize) {
      ssize_t n = content.Read(chunk_.get() + have, kChunkSize - have);
      if (n <= 0) {
        failed = n < 0;
        ended = true;
        break;
      }
      have += static_cast<std::size_t>(n);
    }
    if (first_chunk && have > 0) {
      first_chunk = false;
      file_length_ = content.Length(static_cast<std::int64_t>(st.st_size));
      if (file_length_ < 0) return false;
      decode_utf8 = !content.utf16();
    }
    if (ProcessChunk(have, decode_utf8)) return !failed;
  }
  return !failed;
}

bool ExtractBuilder::ProcessChunk(std::size_t have, bool decode_utf8) {
  for (std::size_t at = 0; at < have; at += kExtractBlockSize) {
    const std::size_t n = std::min(kExtractBlockSize, have - at);
    const bool last = n < kExtractBlockSize;
    const std::size_t length = PrepareExtractBlock(
        chunk_.get() + at, n, last, decode_utf8, &display_, &search_);
    if (ProcessBlock(display_, search_)) return true;
    if (verify_mode_ && phrase_found_) return true;
    block_position_ += static_cast<std::int64_t>(length);
    if (last) return true;
  }
  return false;
}

bool ExtractBuilder::BuildFromText(const DocumentSourceText& text) {
  // The text is cut into blocks as a file's bytes are: chunk by chunk,
  // each copied, since a block is prepared in place.
  file_length_ = static_cast<std::int64_t>(text.text.size());
  page_offsets_ = &text.page_offsets;
  if (chunk_ == nullptr) chunk_.reset(new char[kChunkSize]);
  const std::string_view bytes = text.text;
  std::size_t from = 0;
  while (from < bytes.size()) {
    const std::size_t have = std::min(kChunkSize, bytes.size() - from);
    std::memcpy(chunk_.get(), bytes.data() + from, have);
    from += have;
    if (ProcessChunk(have, text.decode_utf8)) return true;
  }
  return true;
}

bool ExtractBuilder::ContainsPhrase(const std::string& path,
                                    const std::vector<std::string>& words) {
  Options saved = options;
  options.search_words = words;
  options.exact_phrase = true;
  verify_mode_ = true;
  phrase_found_ = false;
  BuildExtracts(path);
  verify_mode_ = false;
  options = std::move(saved);
  return phrase_found_;
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
  std::vector<std::int32_t>& next = next_;
  next.assign(words.size(), -1);
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
    if (StoreExtract(tenth, block_position_ + best, extract)) return true;
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
    if (verify_mode_) {
      phrase_found_ = true;
      return true;
    }
    std::int32_t middle = HalfRoundedToEven(static_cast<std::int64_t>(p1) +
                                            static_cast<std::int64_t>(p2) + 1);
    std::int32_t end = 0;
    std::string extract =
        MakeExtract(display, middle, words[words.size() / 2], &end);
    scan = std::max(end, p1 + 1);
    int tenth = PositionTenth(block_position_ + p1);
    if (StoreExtract(tenth, block_position_ + p1, extract)) return true;
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
  ReplaceRepeatedlyIn(extract, "  ", " ");
  ReplaceRepeatedlyIn(extract, "/ / ", "/ ");

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

bool ExtractBuilder::StoreExtract(int tenth, std::int64_t position,
                                  const std::string& extract) {
  std::string entry;
  entry.reserve(extract.size() + 3);
  entry.push_back(static_cast<char>('0' + tenth));
  entry.append("} ");
  entry.append(extract);
  if (!extracts_.empty() && extracts_.back() == entry) return false;
  extracts_.push_back(std::move(entry));
  if (page_offsets_ != nullptr && !page_offsets_->empty()) {
    pages_.push_back(PageAtOffset(*page_offsets_, position - 1));
  }
  return LimitPassed();
}

}  // namespace orvane
