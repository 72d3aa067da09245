// The lexicon of an indexing run: every distinct word met so far with its
// word number (the order of first appearance, 1 to W) and the counts of the
// words in the file being read, which become the file's scores when it is
// finished. The words are kept in a hash table; their ascending
// character-code order is made once, at the end of the run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/format/index_store.h"

namespace orvane {

// The score of a word that occurs count times in a file whose most frequent
// word occurs largest_count times: count * 255 / largest_count rounded to
// the nearest whole number, halves to the even neighbour.
// REQUIRES: 1 <= count <= largest_count <= 255.
std::uint8_t ScoreOfCount(std::uint8_t count, std::uint8_t largest_count);

class Lexicon final : public RunLexicon {
 public:
  // The largest number of words: word numbers are signed 32-bit.
  static constexpr std::int64_t kMaxWords = 2147483647;

  // Empties the lexicon for a new pass: W = 0, no file read.
  void StartPass();

  // Begins the next file (numbered from 1): every count and the largest
  // count back to 0.
  void StartFile();

  // Counts one occurrence of the word in the current file (a count stops at
  // 255), giving it the next word number when it is new. Returns false, and
  // changes nothing, when a new word would pass kMaxWords.
  // REQUIRES: the word is 1 to 60 characters; StartFile was called.
  bool AddWordToLexicon(std::string_view word);
  // The same with the word's HashWord (word_hash.h), computed beforehand
  // (on another thread, say).
  bool AddWordToLexicon(std::string_view word, std::uint32_t hash);
  // The same for count occurrences at once (count >= 1): the word's count
  // grows as by count single calls.
  bool AddWordToLexicon(std::string_view word, std::uint32_t hash,
                        std::uint32_t count);
  // Asks the processor to fetch the part of the table where a word of that
  // hash is looked for, so that a later AddWordToLexicon does not wait for
  // memory. Changes nothing.
  void Prefetch(std::uint32_t hash) const {
#if defined(__GNUC__)
    // Unconditional: a prefetch never faults, and the compiler drops one
    // that sits alone in a branch.
    __builtin_prefetch(slots_.data() + (hash & (slots_.size() - 1)));
#else
    (void)hash;
#endif
  }
  // The same for the entry of the word in the slot where the search for
  // the hash begins, once Prefetch has brought that slot in.
  void PrefetchEntry(std::uint32_t hash) const {
#if defined(__GNUC__)
    std::uint32_t held = slots_[hash & (slots_.size() - 1)].held;
    __builtin_prefetch(entries_.data() + (held != 0 ? held - 1 : 0));
#else
    (void)hash;
#endif
  }

  // The largest count in the current file; 0 when it had no word.
  std::uint8_t largest_count() const { return largest_count_; }

  // Turns the counts of the current file into its scores and hands them
  // to the store being written, as the scores of the file it added last.
  // REQUIRES: largest_count() > 0.
  void WriteFileScores(IndexStoreWriter& store);

  // W, the number of distinct words.
  std::int32_t word_count() const override {
    return static_cast<std::int32_t>(entries_.size());
  }
  // The number of files begun in this pass.
  std::int32_t file_count() const { return file_count_; }
  // REQUIRES: 1 <= word_number <= word_count().
  std::string_view word(std::int32_t word_number) const override;
  // How often the word occurs in the current file so far; 0 when it does
  // not or is not in the lexicon.
  std::uint8_t CountInFile(std::string_view word) const;

  // The word numbers in ascending character-code order of their words.
  std::vector<std::int32_t> WordNumbersInOrder() const override;

 private:
  // Slot of the word in the hash table: the slot holding it, or the empty
  // slot where it belongs.
  std::size_t FindSlot(std::string_view word, std::uint32_t hash) const;
  void Grow();

  // Words, by word number - 1: their bytes in arena_, and in the entry the
  // first eight of them, so that most comparisons stay in one cache line.
  struct Entry {
    std::uint64_t prefix;  // the first (up to) eight bytes, zero-padded
    std::uint32_t offset_low;
    std::uint16_t offset_high;
    std::uint8_t length;
    std::uint8_t count;  // in the current file
    std::uint64_t offset() const {
      return static_cast<std::uint64_t>(offset_high) << 32 | offset_low;
    }
  };
  std::string arena_;
  std::vector<Entry> entries_;
  // Hash table: a word's hash beside its word number - 1 plus 1 (0: an
  // empty slot), so that most mismatches are seen in the slot itself. Never
  // empty.
  static constexpr std::size_t kInitialSlots = std::size_t{1} << 12;
  struct Slot {
    std::uint32_t hash;
    std::uint32_t held;
  };
  std::vector<Slot> slots_ = std::vector<Slot>(kInitialSlots, Slot{0, 0});

  // Words counted in the current file, so that a new file clears only them.
  std::vector<std::uint32_t> touched_;
  std::uint8_t largest_count_ = 0;
  std::int32_t file_count_ = 0;

  // The scores of the file last finished, reused from file to file.
  std::vector<std::uint8_t> file_scores_;
};

}  // namespace orvane
