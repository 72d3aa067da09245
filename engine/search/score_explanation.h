// Why a listed file ranks where it does: its score for each search word and
// their sum, as the results box and the HTML report show them when the
// scores are asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/search/search_state.h"

namespace orvane {

// The score of each search word in file file_index (0 for a word the file
// does not hold or the lexicon lacks), in query order.
// REQUIRES: the words' postings of the last search are read.
std::vector<std::int32_t> WordScores(const SearchState& state,
                                     std::uint32_t file_index);

// "Scores: fox 128 + dog 64 = 192" (content text) for found file
// listing_index (0-based): every search word in query order with its score
// in the file, and the sum by which a sorted list ranks it. A list ranked
// by relevance adds each word's relevance weight and their sum, by which
// it ranks: "...; relevance: fox 2.104 + dog 0.513 = 2.617".
// REQUIRES: state.found_file_indexes holds listing_index.
std::string ScoreExplanation(const SearchState& state,
                             std::size_t listing_index);

}  // namespace orvane
