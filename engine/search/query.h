// Query parsing: the check of the typed search words, their splitting into
// lower-case words, the expansion of stems (a word with a trailing asterisk)
// against the lexicon, and the rules that refuse a query or switch the
// search type. All word texts here are content (Windows-1252).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/cp1252.h"
#include "engine/search/loaded_index.h"
#include "engine/search/search_ports.h"
#include "engine/search/search_settings.h"

namespace orvane {

// At most this many search words, stems expanded.
inline constexpr std::int32_t kMaxSearchWords = 32766;

// The character check of the Search button: the typed text as content, or
// nullopt when it holds a character that Windows-1252 lacks, which no
// index can hold. Every other character is admitted: letters and digits
// make the words, the rest separates them.
std::optional<Content> CheckSearchWordCharacters(std::string_view typed);

// True when some asterisk of the text (content) is not at the end of a
// word: at the start, before a word character, or after a character that
// is none. An asterisk at the very end is accepted whatever precedes it.
bool HasMisplacedAsterisk(std::string_view text);

// The words of the text in order, as indexing takes the words of a line:
// the text lower-cased, then maximal runs of word characters (letters and
// digits, IsWordByte), each with the asterisk that immediately follows it.
// Every other character separates words: "git-commit 2.0" gives "git",
// "commit", "2" and "0".
std::vector<std::string> SplitSearchWords(std::string_view text);

// Replaces each stem of words[0 .. m-1] by the first lexicon word that
// begins with it and appends every further such word, in lexicon order; a
// stem that no word begins with becomes an empty entry. Returns false
// (with *stem the stem, asterisk included) when the words would pass
// kMaxSearchWords; words is then unusable. REQUIRES: an index is loaded.
bool ExpandStems(std::vector<std::string>* words, const LoadedIndex& index,
                 std::string* stem);

enum class QueryCheck {
  kSearch,       // the words are ready
  kRefused,      // a message was shown; the search does not run
  kNoStemMatch,  // no word is left after the stems were expanded
};

// CheckQuery: checks, splits and folds settings->txbSearchWords (display
// text that passed CheckSearchWordCharacters) into *words, expanding stems
// and removing duplicates for "Any word" and "All words". A query with
// stems under another type switches settings->cboSearchType to "Any word"
// (also through the view state) and is refused. window_caption titles the
// messages that have no title of their own.
QueryCheck CheckQuery(SearchSettings* settings, const LoadedIndex& index,
                      SearchPorts& ports, std::string_view window_caption,
                      std::vector<std::string>* words);

}  // namespace orvane
