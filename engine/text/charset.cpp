#include "engine/text/charset.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orvane {

namespace {

// The tables as Windows-1252 bytes. Hex escapes are greedy, so a literal
// letter that could be read as a hex digit starts a new string piece.

// ABCDEFGHIJKLMNOPQRSTUVWXYZ Š Œ Ÿ ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ ØÙÚÛÜÝÞ
constexpr std::string_view kUpperBytes =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "\x8A\x8C\x9F"
    "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
    "\xD0\xD1\xD2\xD3\xD4\xD5\xD6"
    "\xD8\xD9\xDA\xDB\xDC\xDD\xDE";

// abcdefghijklmnopqrstuvwxyz š œ ÿ àáâãäåæçèéêëìíîïðñòóôõö øùúûüýþ ß
constexpr std::string_view kLowerBytes =
    "abcdefghijklmnopqrstuvwxyz"
    "\x9A\x9C\xFF"
    "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
    "\xF0\xF1\xF2\xF3\xF4\xF5\xF6"
    "\xF8\xF9\xFA\xFB\xFC\xFD\xFE"
    "\xDF";

// Š Ÿ ÀÁÂÃÄÅ ÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ ØÙÚÛÜÝ š ÿ àáâãäå çèéêëìíîï ñòóôõö øùúûüý
// (Æ, Œ, Þ, ß and their partners are letters but not special letters; ð is
// left out of the lower-case half while Ð is in the upper-case half.)
constexpr std::string_view kSpecialBytes =
    "\x8A\x9F"
    "\xC0\xC1\xC2\xC3\xC4\xC5"
    "\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6"
    "\xD8\xD9\xDA\xDB\xDC\xDD"
    "\x9A\xFF"
    "\xE0\xE1\xE2\xE3\xE4\xE5"
    "\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
    "\xF1\xF2\xF3\xF4\xF5\xF6"
    "\xF8\xF9\xFA\xFB\xFC\xFD";

// æ ð þ
constexpr std::string_view kExtraSpecialBytes = "\xE6\xF0\xFE";

constexpr std::string_view kFoldedBytes =
    "SYAAAAAACEEEEIIIIDNOOOOOOUUUUYsyaaaaaaceeeeiiiinoooooouuuuy";

// Œ Ä Æ Ö Ü ä æ ö ü ß
constexpr std::string_view kExpandedBytes =
    "\x8C\xC4\xC6\xD6\xDC\xE4\xE6\xF6\xFC\xDF";
constexpr std::string_view kExpansionBytes = "OeAeAeOeUeaeaeoeuess";

constexpr std::string_view kDigitBytes = "0123456789";

static_assert(kUpperBytes.size() == 59 && kLowerBytes.size() == 60);
static_assert(kSpecialBytes.size() == 59 && kFoldedBytes.size() == 59);
static_assert(kExpansionBytes.size() == 2 * kExpandedBytes.size());

constexpr unsigned char kZCaron = 0x8E;       // Ž
constexpr unsigned char kZCaronSmall = 0x9E;  // ž
constexpr unsigned char kSharpS = 0xDF;       // ß

// Classes of a byte, as bits of one lookup table.
enum : unsigned char {
  kWordBit = 1,     // word character without the digits
  kDigitBit = 2,    // 0 to 9
  kLetterBit = 4,   // in one of the two letter tables
  kSpecialBit = 8,  // in the special-letter table
};

using ByteTable = std::array<unsigned char, 256>;

constexpr unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

constexpr ByteTable MakeFlags() {
  ByteTable flags{};
  for (int c = 0; c < 256; ++c) {
    bool word = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                (c >= 192 && c <= 214) || (c >= 216 && c <= 246) || c >= 248;
    if (word) flags[c] |= kWordBit;
    if (c >= '0' && c <= '9') flags[c] |= kDigitBit;
  }
  for (char c : kUpperBytes) flags[Byte(c)] |= kLetterBit;
  for (char c : kLowerBytes) flags[Byte(c)] |= kLetterBit;
  for (char c : kSpecialBytes) flags[Byte(c)] |= kSpecialBit;
  return flags;
}

constexpr ByteTable Identity() {
  ByteTable table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  return table;
}

// Each letter of `from` maps to the letter at the same place in `to`.
constexpr ByteTable MakeMapping(std::string_view from, std::string_view to) {
  ByteTable table = Identity();
  for (std::size_t i = 0; i < from.size() && i < to.size(); ++i) {
    table[Byte(from[i])] = Byte(to[i]);
  }
  return table;
}

constexpr ByteTable kFlags = MakeFlags();
// The lower-case table has one letter more than the upper-case one (ß), so
// the mapping stops at the end of the shorter table and ß stays ß.
constexpr ByteTable kToLower = MakeMapping(kUpperBytes, kLowerBytes);
constexpr ByteTable kToUpper = MakeMapping(kLowerBytes, kUpperBytes);
constexpr ByteTable kFold = MakeMapping(kSpecialBytes, kFoldedBytes);

static_assert(kToUpper[kSharpS] == kSharpS);
static_assert(kToLower[0xC9] == 0xE9 && kToUpper[0xFF] == 0x9F);

// Index + 1 into kExpandedBytes, 0 for a byte that is not expanded.
constexpr ByteTable MakeExpansionIndex() {
  ByteTable table{};
  for (std::size_t i = 0; i < kExpandedBytes.size(); ++i) {
    table[Byte(kExpandedBytes[i])] = static_cast<unsigned char>(i + 1);
  }
  return table;
}
constexpr ByteTable kExpansionIndex = MakeExpansionIndex();

constexpr ByteTable kIdentity = Identity();

// Expands each letter of the expansion table into its two letters and maps
// every other byte through `others`.
std::string ExpandThenMap(std::string_view text, const ByteTable& others) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    unsigned char expansion = kExpansionIndex[Byte(c)];
    if (expansion == 0) {
      out.push_back(static_cast<char>(others[Byte(c)]));
    } else {
      out.append(kExpansionBytes.substr(2 * (expansion - 1), 2));
    }
  }
  return out;
}

inline unsigned char At(std::string_view text, std::size_t index) {
  return static_cast<unsigned char>(text[index]);
}

bool InExtra(unsigned char c, std::string_view extra) {
  return !extra.empty() &&
         extra.find(static_cast<char>(c)) != std::string_view::npos;
}

// Eight bytes of ASCII text with the case of the letters from ascii_first
// to ascii_first + 25 flipped: the table's mapping of every byte below 128.
inline std::uint64_t FlipAsciiCase(std::uint64_t x, unsigned char ascii_first) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  // A byte below 128 plus these stays below 256, so no carry crosses into
  // the next byte; its high bit then tells "at least first" and "past last".
  std::uint64_t from = x + kOnes * static_cast<unsigned char>(0x80 - ascii_first);
  std::uint64_t past = x + kOnes * static_cast<unsigned char>(0x80 - ascii_first - 26);
  return x ^ (((from & ~past) & kHigh) >> 2);
}

// Maps every byte through the letter table `table`, whose mapping of the
// bytes below 128 flips the case of ascii_first to ascii_first + 25 alone.
// A text without special letters gets the code page's ordinary case
// mapping instead, which differs from the table only in also turning
// plain_from into plain_to (Ž and ž): so the text is mapped once, and those
// few bytes are set afterwards.
void MapCaseTo(std::string_view text, const ByteTable& table,
               unsigned char ascii_first, unsigned char plain_from,
               unsigned char plain_to, char* out) {
  const std::size_t size = text.size();
  unsigned char seen = 0;
  bool has_plain_from = false;
  std::size_t i = 0;
  // Runs of ASCII go eight bytes at a time: they hold no special letter
  // and no plain_from, so only their letters change.
  for (; i + 8 <= size; i += 8) {
    std::uint64_t x;
    std::memcpy(&x, text.data() + i, 8);
    if ((x & 0x8080808080808080ull) == 0) {
      x = FlipAsciiCase(x, ascii_first);
      std::memcpy(out + i, &x, 8);
      continue;
    }
    for (std::size_t k = i; k < i + 8; ++k) {
      unsigned char c = At(text, k);
      seen |= kFlags[c];
      has_plain_from |= c == plain_from;
      out[k] = static_cast<char>(table[c]);
    }
  }
  for (; i < size; ++i) {
    unsigned char c = At(text, i);
    seen |= kFlags[c];
    has_plain_from |= c == plain_from;
    out[i] = static_cast<char>(table[c]);
  }
  if (has_plain_from && !(seen & kSpecialBit)) {
    for (std::size_t i = 0; i < size; ++i) {
      if (Byte(out[i]) == plain_from) out[i] = static_cast<char>(plain_to);
    }
  }
}

std::string MapCase(std::string_view text, const ByteTable& table,
                    unsigned char ascii_first, unsigned char plain_from,
                    unsigned char plain_to) {
  std::string out(text.size(), '\0');
  MapCaseTo(text, table, ascii_first, plain_from, plain_to, out.data());
  return out;
}

}  // namespace

const std::string_view kUpperCaseLetters = kUpperBytes;
const std::string_view kLowerCaseLetters = kLowerBytes;
const std::string_view kSpecialLetters = kSpecialBytes;
const std::string_view kExtraSpecialLetters = kExtraSpecialBytes;
const std::string_view kFoldedLetters = kFoldedBytes;
const std::string_view kExpandedLetters = kExpandedBytes;
const std::string_view kExpansions = kExpansionBytes;
const std::string_view kDigits = kDigitBytes;

bool IsWordByte(unsigned char c, bool digits_allowed, std::string_view extra) {
  unsigned char flags = kFlags[c];
  if (flags & kWordBit) return true;
  if (digits_allowed && (flags & kDigitBit)) return true;
  return InExtra(c, extra);
}

bool IsWordChar(std::string_view ch, bool digits_allowed,
                std::string_view extra) {
  return !ch.empty() && IsWordByte(At(ch, 0), digits_allowed, extra);
}

std::int32_t WordCharRunLength(std::string_view text,
                               std::int32_t start_position, bool digits_allowed,
                               std::string_view extra) {
  constexpr std::int32_t kMaxRun = 65000;
  std::size_t index = start_position > 1 ? start_position - 1 : 0;
  std::int32_t run = 0;
  unsigned char mask = kWordBit | (digits_allowed ? kDigitBit : 0);
  while (index < text.size() && run < kMaxRun) {
    unsigned char c = At(text, index);
    if (!(kFlags[c] & mask) && !InExtra(c, extra)) break;
    ++run;
    ++index;
  }
  return run;
}

std::string LowerCaseText(std::string_view text) {
  // The ordinary lower-casing of the code page equals the table on every
  // letter but Ž, which only it turns into ž.
  return MapCase(text, kToLower, 'A', kZCaron, kZCaronSmall);
}

void LowerCaseTextTo(std::string_view text, char* out) {
  MapCaseTo(text, kToLower, 'A', kZCaron, kZCaronSmall, out);
}

std::string UpperCaseText(std::string_view text) {
  return MapCase(text, kToUpper, 'a', kZCaronSmall, kZCaron);
}

bool HasNoSpecialLetters(std::string_view text) {
  for (char c : text) {
    if (kFlags[Byte(c)] & kSpecialBit) return false;
  }
  return true;
}

std::string FoldAccents(std::string_view text) {
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    out[i] = static_cast<char>(kFold[At(text, i)]);
  }
  return out;
}

std::string ExpandUmlauts(std::string_view text) {
  return ExpandThenMap(text, kIdentity);
}

std::string FoldForComparison(std::string_view text) {
  // The expansions are plain ASCII, which folding leaves alone, so one pass
  // that expands or else folds each byte gives FoldAccents(ExpandUmlauts()).
  return ExpandThenMap(text, kFold);
}

bool IsInList(std::string_view text, const std::vector<std::string>& list,
              std::int32_t first_index, std::int32_t count, bool sorted,
              bool case_sensitive) {
  if (text.empty() || count <= 0) return false;
  std::size_t begin = first_index > 0 ? first_index : 0;
  std::size_t end = std::min(list.size(), begin + count);
  auto sort_key = [case_sensitive](std::string_view s) {
    std::string folded = FoldForComparison(s);
    return case_sensitive ? folded : LowerCaseText(folded);
  };
  const std::string lower_text = case_sensitive ? "" : LowerCaseText(text);
  const std::string text_key = sorted ? sort_key(text) : "";
  for (std::size_t i = begin; i < end; ++i) {
    const std::string& entry = list[i];
    if (entry == text) return true;
    if (!case_sensitive && LowerCaseText(entry) == lower_text) return true;
    if (sorted && sort_key(entry) > text_key) return false;
  }
  return false;
}

std::string BlankNonLetters(std::string_view text, bool keep_digits) {
  unsigned char mask = kLetterBit | (keep_digits ? kDigitBit : 0);
  std::string out(text.size(), ' ');
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kFlags[At(text, i)] & mask) out[i] = text[i];
  }
  return out;
}

bool HasOnlyLetters(std::string_view text, std::string_view extra_allowed) {
  for (char c : text) {
    if (!(kFlags[Byte(c)] & kLetterBit) && !InExtra(Byte(c), extra_allowed)) {
      return false;
    }
  }
  return true;
}

std::string TypeUmlauts(std::string_view text) {
  // a" o" u" A" O" U" -> ä ö ü Ä Ö Ü. No replacement can form a new pair, so
  // one pass gives the same as replacing the six pairs one after the other.
  constexpr std::string_view kBase = "aouAOU";
  constexpr std::string_view kUmlaut = "\xE4\xF6\xFC\xC4\xD6\xDC";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::size_t k = kBase.find(text[i]);
    if (k != std::string_view::npos && i + 1 < text.size() &&
        text[i + 1] == '"') {
      out.push_back(kUmlaut[k]);
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace orvane
