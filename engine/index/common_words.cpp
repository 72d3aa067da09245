#include "engine/index/common_words.h"

#include <algorithm>
#include <fstream>

#include "engine/text/binary_search.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

constexpr std::size_t kMaxKeyLength = 64;

std::size_t PresenceKey(std::string_view word) {
  std::size_t length = std::min(word.size(), kMaxKeyLength - 1);
  return length * 256 + static_cast<unsigned char>(word[0]);
}

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
  present_.assign(kMaxKeyLength * 256, false);
  for (const std::string& word : words_) {
    if (!word.empty()) present_[PresenceKey(word)] = true;
  }
}

bool CommonWords::IsRepeatedCommonWord(std::string_view word) {
  if (word.empty() || present_.empty() || !present_[PresenceKey(word)]) {
    return false;
  }
  std::int32_t position = 0;
  if (!FindInList(word, words_, static_cast<std::int32_t>(words_.size()), 1,
                  &position)) {
    return false;
  }
  std::size_t index = static_cast<std::size_t>(position - 1);
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
