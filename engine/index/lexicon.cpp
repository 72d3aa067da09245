#include "engine/index/lexicon.h"

#include <algorithm>
#include <cstring>

#include "engine/index/word_hash.h"

namespace orvane {

namespace {

// Equality of two short byte strings of the same length, without a call.
inline bool SameBytes(const char* a, const char* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// The first eight bytes of a word, zero-padded.
inline std::uint64_t Prefix(std::string_view word) {
  std::uint64_t prefix = 0;
  if (word.size() >= 8) {
    std::memcpy(&prefix, word.data(), 8);
    return prefix;
  }
  for (std::size_t i = 0; i < word.size(); ++i) {
    prefix |= static_cast<std::uint64_t>(static_cast<unsigned char>(word[i]))
              << (8 * i);
  }
  return prefix;
}

}  // namespace

std::uint8_t ScoreOfCount(std::uint8_t count, std::uint8_t largest_count) {
  unsigned product = static_cast<unsigned>(count) * 255u;
  unsigned quotient = product / largest_count;
  unsigned twice_remainder = 2u * (product % largest_count);
  if (twice_remainder > largest_count ||
      (twice_remainder == largest_count && (quotient & 1u) != 0)) {
    ++quotient;
  }
  return static_cast<std::uint8_t>(quotient < 1 ? 1 : quotient);
}

void Lexicon::StartPass() {
  arena_.clear();
  entries_.clear();
  slots_.assign(kInitialSlots, Slot{0, 0});
  touched_.clear();
  largest_count_ = 0;
  file_count_ = 0;
}

void Lexicon::StartFile() {
  for (std::uint32_t index : touched_) entries_[index].count = 0;
  touched_.clear();
  largest_count_ = 0;
  ++file_count_;
}

std::size_t Lexicon::FindSlot(std::string_view word,
                              std::uint32_t hash) const {
  std::size_t mask = slots_.size() - 1;
  std::size_t slot = hash & mask;
  while (true) {
    const Slot& here = slots_[slot];
    if (here.held == 0) return slot;
    if (here.hash == hash) {
      const Entry& entry = entries_[here.held - 1];
      if (entry.length == word.size() && entry.prefix == Prefix(word) &&
          (word.size() <= 8 ||
           SameBytes(arena_.data() + entry.offset() + 8, word.data() + 8,
                     word.size() - 8))) {
        return slot;
      }
    }
    slot = (slot + 1) & mask;
  }
}

void Lexicon::Grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.assign(old.size() * 2, Slot{0, 0});
  std::size_t mask = slots_.size() - 1;
  for (const Slot& moved : old) {
    if (moved.held == 0) continue;
    std::size_t slot = moved.hash & mask;
    while (slots_[slot].held != 0) slot = (slot + 1) & mask;
    slots_[slot] = moved;
  }
}

bool Lexicon::AddWordToLexicon(std::string_view word) {
  return AddWordToLexicon(word, HashWord(word));
}

bool Lexicon::AddWordToLexicon(std::string_view word, std::uint32_t hash) {
  return AddWordToLexicon(word, hash, 1);
}

bool Lexicon::AddWordToLexicon(std::string_view word, std::uint32_t hash,
                               std::uint32_t count) {
  // A count stops at 255.
  const auto added = static_cast<std::uint8_t>(count < 255 ? count : 255);
  std::size_t slot = FindSlot(word, hash);
  std::uint32_t index;
  if (slots_[slot].held != 0) {
    index = slots_[slot].held - 1;
    std::uint8_t& held = entries_[index].count;
    if (held == 0) touched_.push_back(index);
    held = static_cast<std::uint8_t>(held > 255 - added ? 255 : held + added);
    if (held > largest_count_) largest_count_ = held;
    return true;
  }
  // The table holds 32-bit slot values, one above the word index.
  if (static_cast<std::int64_t>(entries_.size()) >= kMaxWords ||
      entries_.size() >= 0xFFFFFFFEu || arena_.size() >> 48 != 0) {
    return false;
  }
  index = static_cast<std::uint32_t>(entries_.size());
  std::uint64_t offset = arena_.size();
  entries_.push_back(Entry{Prefix(word), static_cast<std::uint32_t>(offset),
                           static_cast<std::uint16_t>(offset >> 32),
                           static_cast<std::uint8_t>(word.size()), added});
  arena_.append(word);
  touched_.push_back(index);
  if (largest_count_ < added) largest_count_ = added;
  slots_[slot] = Slot{hash, index + 1};
  if (entries_.size() * 2 > slots_.size()) Grow();
  return true;
}

void Lexicon::WriteFileScores(IndexStoreWriter& store) {
  file_scores_.resize(touched_.size());
  for (std::size_t i = 0; i < touched_.size(); ++i) {
    file_scores_[i] = ScoreOfCount(entries_[touched_[i]].count, largest_count_);
  }
  store.AddFileScores(touched_, file_scores_);
}

std::string_view Lexicon::word(std::int32_t word_number) const {
  std::size_t index = static_cast<std::size_t>(word_number - 1);
  const Entry& entry = entries_[index];
  return std::string_view(arena_.data() + entry.offset(), entry.length);
}

std::uint8_t Lexicon::CountInFile(std::string_view word) const {
  std::uint32_t held = slots_[FindSlot(word, HashWord(word))].held;
  return held == 0 ? 0 : entries_[held - 1].count;
}

std::vector<std::int32_t> Lexicon::WordNumbersInOrder() const {
  // The words are sorted by their first eight bytes as a big-endian number,
  // which orders them as their bytes do (a word holds no zero byte, so the
  // padding of a shorter word sorts before any letter), and only words
  // that share those eight bytes are compared further. The keys sit in one
  // array, so most comparisons touch neither the entries nor the words.
  struct Key {
    std::uint64_t head;
    std::int32_t number;
  };
  std::vector<Key> keys(entries_.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    std::uint64_t head = 0;
    std::string_view w = word(static_cast<std::int32_t>(i + 1));
    for (std::size_t k = 0; k < 8; ++k) {
      head = head << 8 |
             (k < w.size() ? static_cast<unsigned char>(w[k]) : 0u);
    }
    keys[i] = Key{head, static_cast<std::int32_t>(i + 1)};
  }
  std::sort(keys.begin(), keys.end(), [this](const Key& a, const Key& b) {
    if (a.head != b.head) return a.head < b.head;
    // string_view compares as unsigned bytes: character-code order.
    std::string_view x = word(a.number), y = word(b.number);
    return x.substr(std::min<std::size_t>(8, x.size())) <
           y.substr(std::min<std::size_t>(8, y.size()));
  });
  std::vector<std::int32_t> numbers(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) numbers[i] = keys[i].number;
  return numbers;
}

}  // namespace orvane
