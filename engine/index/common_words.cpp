#include "engine/index/common_words.h"

#include <algorithm>
#include <fstream>

#include "engine/index/word_hash.h"
#include "engine/text/binary_search.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

// A power of two of at least four slots per entry.
constexpr std::size_t kTableSlots = 4096;
static_assert(kTableSlots >= 4 * CommonWords::kMaxWords);

}  // namespace

void CommonWords::LoadCommonWords(const std::filesystem::path& path) {
  std::vector<std::string> words;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    SetWords({});
    return;
  }
  std::string line;
  while (std::getline(in, line)) {
    // Lines may end in CR LF or LF; the CR is not part of the entry.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string entry = TrimSpaces(line);
    if (entry.empty() || entry[0] == '\'') continue;
    words.push_back(std::move(entry));
    if (words.size() > kMaxWords) {
      SetWords({});
      return;
    }
  }
  if (in.bad()) words.clear();
  SetWords(std::move(words));
}

void CommonWords::SetWords(std::vector<std::string> words) {
  words_ = std::move(words);
  seen_.assign(words_.size(), 0);
  seen_indexes_.clear();
  present_.assign(kPresenceBits / 64, 0);
  shortest_ = words_.empty() ? 1 : words_[0].size();
  longest_ = 0;
  for (const std::string& word : words_) {
    std::uint32_t bit = HashWord(word) & (kPresenceBits - 1);
    present_[bit >> 6] |= std::uint64_t{1} << (bit & 63);
    shortest_ = std::min(shortest_, word.size());
    longest_ = std::max(longest_, word.size());
  }
  table_.clear();
  if (!std::is_sorted(words_.begin(), words_.end(),
                      std::less_equal<std::string>())) {
    return;
  }
  table_.assign(kTableSlots, 0);
  const std::size_t mask = table_.size() - 1;
  for (std::size_t i = 0; i < words_.size(); ++i) {
    std::size_t slot = HashWord(words_[i]) & mask;
    while (table_[slot] != 0) slot = (slot + 1) & mask;
    table_[slot] = static_cast<std::uint32_t>(i + 1);
  }
}

bool CommonWords::IsRepeatedCommonWord(std::string_view word) {
  return IsRepeatedCommonWord(word, HashWord(word));
}

bool CommonWords::FindAndMarkSeen(std::string_view word, std::uint32_t hash) {
  std::size_t index = 0;
  if (!table_.empty()) {
    const std::size_t mask = table_.size() - 1;
    std::size_t slot = hash & mask;
    while (table_[slot] != 0 && words_[table_[slot] - 1] != word) {
      slot = (slot + 1) & mask;
    }
    if (table_[slot] == 0) return false;
    index = table_[slot] - 1;
  } else {
    std::int32_t position = 0;
    if (!FindInList(word, words_, static_cast<std::int32_t>(words_.size()), 1,
                    &position)) {
      return false;
    }
    index = static_cast<std::size_t>(position - 1);
  }
  bool seen = seen_[index] != 0;
  if (!seen) {
    seen_[index] = 1;
    seen_indexes_.push_back(static_cast<std::uint32_t>(index));
  }
  return seen;
}

void CommonWords::ClearSeenFlags() {
  for (std::uint32_t index : seen_indexes_) seen_[index] = 0;
  seen_indexes_.clear();
}

}  // namespace orvane
