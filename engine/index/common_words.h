// The common-word list: words such as "the" and "and" that are recorded
// only at their first occurrence in each file. The list is read from
// cwds.txt in the program's folder when the Index Module starts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class CommonWords {
 public:
  static constexpr std::size_t kMaxWords = 1000;

  // Reads the list: one entry a line, trimmed of spaces; empty lines and
  // lines beginning with "'" are skipped. Entries are taken as they stand,
  // so the file must hold lower-case words in ascending character-code
  // order. A file that cannot be read, or holds more than 1000 entries,
  // leaves the list empty. All seen flags are cleared.
  void LoadCommonWords(const std::filesystem::path& path);

  // Replaces the list (tests); the same rules on order apply.
  void SetWords(std::vector<std::string> words);

  // False when the word is not in the list. When it is, returns whether it
  // was seen before in the current file and marks it seen: a common word is
  // passed on at its first occurrence in a file and dropped afterwards.
  bool IsRepeatedCommonWord(std::string_view word);
  // The same with the word's HashWord (word_hash.h), computed beforehand.
  // Most words of a text are told apart here, without a call.
  bool IsRepeatedCommonWord(std::string_view word, std::uint32_t hash) {
    const std::uint32_t bit = hash & (kPresenceBits - 1);
    if (word.size() > longest_ || word.size() < shortest_ ||
        ((present_[bit >> 6] >> (bit & 63)) & 1) == 0) {
      return false;
    }
    return FindAndMarkSeen(word, hash);
  }

  // Marks every word unseen (at the start of each file).
  void ClearSeenFlags();

  const std::vector<std::string>& words() const { return words_; }

 private:
  static constexpr std::size_t kPresenceBits = 1 << 16;

  // IsRepeatedCommonWord for a word whose hash bit is set.
  bool FindAndMarkSeen(std::string_view word, std::uint32_t hash);

  std::vector<std::string> words_;
  std::vector<std::uint8_t> seen_;
  // Indexes of the seen entries, so that clearing costs what was seen.
  std::vector<std::uint32_t> seen_indexes_;
  // A bit for the hash of every word of the list: most words of a text are
  // known not to be in it without a search.
  std::vector<std::uint64_t> present_;
  // The lengths of the shortest and longest entry.
  std::size_t shortest_ = 0;
  std::size_t longest_ = 0;
  // For a list in strict ascending order, where a binary search finds
  // exactly the entries that are there: a hash table of entry index + 1
  // (0: empty) that finds them in one step. Empty for any other list, which
  // is searched as it stands.
  std::vector<std::uint32_t> table_;
};

}  // namespace orvane
