#include "engine/search/query.h"

#include "engine/text/charset.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

// A character of a search word: a word character of indexing, a letter or
// a digit (IsWordByte with digits). Every other character separates words,
// as it does when a file is indexed.
bool IsSearchWordChar(char c) {
  return IsWordByte(static_cast<unsigned char>(c), true);
}

}  // namespace

std::optional<Content> CheckSearchWordCharacters(std::string_view typed) {
  return DisplayToContent(typed);
}

bool HasMisplacedAsterisk(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '*') continue;
    if (i == 0) return true;
    if (i + 1 == text.size()) return false;
    if (IsSearchWordChar(text[i + 1])) return true;
    if (!IsSearchWordChar(text[i - 1])) return true;
  }
  return false;
}

std::vector<std::string> SplitSearchWords(std::string_view text) {
  // Indexing lower-cases a line before it takes its words, and lower-casing
  // makes a word character of one that is none ("\x9F", Y with diaeresis,
  // becomes "\xFF"): the same order here.
  const std::string lower = LowerCaseText(text);
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < lower.size()) {
    if (!IsSearchWordChar(lower[i])) {
      ++i;
      continue;
    }
    std::size_t start = i;
    while (i < lower.size() && IsSearchWordChar(lower[i])) ++i;
    if (i < lower.size() && lower[i] == '*') ++i;
    words.push_back(lower.substr(start, i - start));
  }
  return words;
}

bool ExpandStems(std::vector<std::string>* words, const LoadedIndex& index,
                 std::string* stem_out) {
  const std::size_t m = words->size();
  for (std::size_t i = 0; i < m; ++i) {
    std::string& word = (*words)[i];
    if (word.empty() || word.back() != '*') continue;
    const std::string stem = word.substr(0, word.size() - 1);
    // The words that begin with the stem, in the lexicon's ascending order.
    const WordRange range = index.store->StemRange(stem);
    bool replaced = false;
    for (std::uint32_t at = range.first; at < range.last; ++at) {
      std::string_view candidate = index.store->WordAt(at);
      if (!replaced) {
        (*words)[i] = std::string(candidate);
        replaced = true;
        continue;
      }
      if (static_cast<std::int32_t>(words->size()) >= kMaxSearchWords) {
        *stem_out = stem + "*";
        return false;
      }
      words->push_back(std::string(candidate));
    }
    if (!replaced) (*words)[i].clear();
  }
  return true;
}

QueryCheck CheckQuery(SearchSettings* settings, const LoadedIndex& index,
                      SearchPorts& ports, std::string_view window_caption,
                      std::vector<std::string>* words) {
  words->clear();
  Content text = LowerCaseText(DisplayToContentLossy(settings->txbSearchWords));
  const bool has_stems = text.find('*') != std::string::npos;
  if (has_stems) {
    if (settings->cboSearchType != SearchType::kAnyWord) {
      ports.prompter.ShowMessage(
          MessageIcon::kInformation, window_caption,
          "Stems in search words are permitted only in 'Any word' "
          "searches.\r\nThe search type will now be changed to this type.");
      settings->cboSearchType = SearchType::kAnyWord;
      ports.view.SetText("cboSearchType",
                         SearchTypeLabel(SearchType::kAnyWord));
      return QueryCheck::kRefused;
    }
    if (HasMisplacedAsterisk(text)) {
      ports.prompter.ShowMessage(
          MessageIcon::kInformation, window_caption,
          "An asterisk can occur only at the end of a search word.");
      return QueryCheck::kRefused;
    }
  }

  *words = SplitSearchWords(text);
  if (words->empty()) {
    ports.prompter.ShowMessage(MessageIcon::kWarning, "Invalid input",
                               "No words given.");
    return QueryCheck::kRefused;
  }
  for (const std::string& word : *words) {
    if (word.size() == 2 && word.find('*') != std::string::npos) {
      ports.prompter.ShowMessage(
          MessageIcon::kWarning, "Invalid input",
          "The stem '" + ContentToDisplay(word) +
              "' is too short.\r\nA stem must have at least two letters.");
      return QueryCheck::kRefused;
    }
  }

  auto compact = [&] {
    int last = RemoveEmptyEntries(*words, 0,
                                  static_cast<int>(words->size()) - 1, false);
    words->resize(static_cast<std::size_t>(last + 1));
  };
  if (has_stems) {
    std::string stem;
    if (!ExpandStems(words, index, &stem)) {
      words->clear();
      ports.prompter.ShowMessage(
          MessageIcon::kWarning, "Invalid input",
          "The stem '" + ContentToDisplay(stem) +
              "' matches too many words.\r\nA search can use at most "
              "32,766 words.");
      return QueryCheck::kRefused;
    }
    compact();
    if (words->empty()) return QueryCheck::kNoStemMatch;
  }
  if (settings->cboSearchType != SearchType::kExactPhrase) {
    RemoveDuplicateEntries(*words, false, 0,
                           static_cast<int>(words->size()) - 1);
    compact();
  }
  return QueryCheck::kSearch;
}

}  // namespace orvane
