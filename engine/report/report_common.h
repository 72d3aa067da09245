// What the text report and the HTML report share: the extract builder set
// up for the last search, the list of expanded search words, and the count
// line below a file's extracts with the rule of when the extracts were cut.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/search/search_settings.h"
#include "engine/search/search_state.h"

namespace orvane {

// At most this many expanded search words are listed in a report.
inline constexpr std::size_t kMaxListedExpandedWords = 20;

// Sets the extract builder's words, type, context size and limit from the
// last search, verify mode off.
void PrepareReportExtracts(const SearchSettings& settings, SearchState* state);

// For a query with stems and at most 20 actual search words: sorts
// state->strSearchWords ascending (in place, for whatever follows) and
// returns them trimmed and joined by ", ". nullopt when there are more.
std::optional<std::string> ExpandedWordsList(SearchState* state);

// The count line below a file's extracts (without its line end), or empty
// when none is written: "Number of extracts: 10 (25 possible)" when the
// limit cut the file's extracts (then *cut is set), "... (more than 40
// possible)" when the builder stopped early, "Number of extracts: 7" for
// more than four uncut extracts.
std::string ExtractCountLine(std::int16_t max_extracts, std::size_t found,
                             bool* cut);

// The tail's sentence on cut extracts, without its full stops at the end:
// for one extract "At most one extract was requested. Some occurrences are
// not included above", else "A maximum of N extracts were requested.  Some
// occurrences are not included above".
std::string CutExtractsSentence(std::int16_t max_extracts);

// ReplaceAll(text, from, to) in place, without a copy of a text that holds
// no from: most extracts hold none of the forms the reports clean them of.
void ReplaceAllIn(std::string& text, std::string_view from,
                  std::string_view to);

}  // namespace orvane
