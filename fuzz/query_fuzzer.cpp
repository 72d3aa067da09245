// The words a user types into the search box: the box's own changes, the
// character check, the asterisk rule and splitting, and the query check of
// each search type with its stems expanded against a small lexicon.
#include <algorithm>
#include <vector>

#include "engine/search/classic_store_reader.h"
#include "engine/search/query.h"
#include "fuzz/fuzz_support.h"

namespace {

const orvane::LoadedIndex& SmallIndex() {
  static const orvane::LoadedIndex index = [] {
    // In ascending character-code order, as a loaded lexicon is.
    std::vector<std::string> words = {"a",    "alpha", "alphabet", "b",
                                      "beta", "betas", "caf\xE9",  "zeta",
                                      "\xFC" "ber"};
    orvane::ClassicIndex classic;
    classic.intNumFiles = 2;
    classic.strFileList = {"one.txt", "two.txt"};
    for (std::size_t i = 0; i < words.size(); ++i) {
      orvane::SearchLexiconEntry entry;
      entry.word_offset = static_cast<std::uint32_t>(classic.lexicon_words.size());
      entry.word_length = static_cast<std::uint32_t>(words[i].size());
      entry.lngWordNumber = static_cast<std::int32_t>(words.size() - i);
      classic.lexicon.push_back(entry);
      classic.lexicon_words += words[i];
    }
    classic.lngNumWords = static_cast<std::int32_t>(words.size());
    orvane::LoadedIndex made;
    made.Use(std::make_unique<orvane::ClassicStoreReader>(std::move(classic), ""));
    made.blnDataFileReady = true;
    return made;
  }();
  return index;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane;
  fuzz::QuietSearch search;
  std::string typed = search.module.SearchWordsChanged(fuzz::AsText(data, size));
  std::optional<Content> content = CheckSearchWordCharacters(typed);
  if (!content) return 0;
  HasMisplacedAsterisk(*content);
  SplitSearchWords(*content);
  for (SearchType type : {SearchType::kAnyWord, SearchType::kAllWords,
                          SearchType::kExactPhrase}) {
    SearchSettings settings;
    settings.txbSearchWords = typed;
    settings.cboSearchType = type;
    std::vector<std::string> words;
    if (CheckQuery(&settings, SmallIndex(), search.module.ports(), "Search",
                   &words) == QueryCheck::kSearch) {
      fuzz::Require(!words.empty(), "a query ready to search has no word");
      fuzz::Require(words.size() <= static_cast<std::size_t>(kMaxSearchWords),
                    "a query holds more words than a search takes");
    }
  }
  return 0;
}
