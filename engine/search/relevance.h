// Relevance: a second order for a sorted list of found files, beside the sum
// of the search words' scores. A word found in few files of the index tells
// more about a file than one found in most of them, and a word's tenth
// occurrence in a file adds less than its first: each word's score in a
// file is weighed by how rare the word is in the index (its inverse
// document frequency) and saturated as the score grows:
//
//   weight = idf * t * (k1 + 1) / (t + k1),
//   idf    = ln(1 + (N - n + 0.5) / (n + 0.5)),
//
// with t the word's score in the file, n the number of files that hold the
// word and N the number of files in the index (the Okapi BM25 weight,
// without a length correction: the stored score already grows more slowly
// than the length of a file). On the known-item benchmark of real trees
// this puts the wanted file far higher than the plain sum
// (bench/ranking_bench.cpp).
//
// Weights are kept in thousandths, as whole numbers, so that the relevance
// of a file is the same 32-bit sum, heap and sort key as the plain score.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace orvane {

// A word's weight for each score 0 to 255 a file can give it.
using ScoreWeights = std::array<std::int32_t, 256>;

// The saturation constant k1.
inline constexpr double kRelevanceSaturation = 1.2;

// The weights of a score as it stands: the plain sum.
ScoreWeights PlainScoreWeights();

// The relevance weights, in thousandths, of a word held by files_with_word
// of num_files files. Every score above 0 weighs at least 1, so that a
// file that holds a word never drops out of an "All words" match.
ScoreWeights RelevanceWeights(std::uint32_t num_files,
                              std::uint32_t files_with_word);

// A relevance in thousandths as the results show it: "2.104".
std::string RelevanceText(std::int64_t thousandths);

}  // namespace orvane
