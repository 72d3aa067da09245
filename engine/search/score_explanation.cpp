#include "engine/search/score_explanation.h"

#include <algorithm>

namespace orvane {

std::vector<std::int32_t> WordScores(const SearchState& state,
                                     std::uint32_t file_index) {
  std::vector<std::int32_t> scores;
  for (const SearchWordEntry& entry : state.search_words) {
    const auto& files = entry.postings.file_indexes;
    auto at = std::lower_bound(files.begin(), files.end(), file_index);
    scores.push_back(at != files.end() && *at == file_index
                         ? entry.postings.scores[at - files.begin()]
                         : 0);
  }
  return scores;
}

std::string ScoreExplanation(const SearchState& state,
                             std::size_t listing_index) {
  const std::vector<std::int32_t> scores =
      WordScores(state, state.found_file_indexes[listing_index]);
  std::string text = "Scores:";
  std::int64_t sum = 0;
  for (std::size_t w = 0; w < scores.size(); ++w) {
    text += w == 0 ? " " : " + ";
    text += state.search_words[w].strWord + " " + std::to_string(scores[w]);
    sum += scores[w];
  }
  text += " = " + std::to_string(sum);
  if (state.ranked_by_relevance) {
    text += "; relevance:";
    std::int64_t relevance = 0;
    for (std::size_t w = 0; w < scores.size(); ++w) {
      const std::int32_t weight =
          state.word_weights[w][static_cast<std::size_t>(scores[w])];
      text += w == 0 ? " " : " + ";
      text += state.search_words[w].strWord + " " + RelevanceText(weight);
      relevance += weight;
    }
    text += " = " + RelevanceText(relevance);
  }
  return text;
}

}  // namespace orvane
