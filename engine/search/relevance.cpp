#include "engine/search/relevance.h"

#include <algorithm>
#include <cmath>

namespace orvane {

ScoreWeights PlainScoreWeights() {
  ScoreWeights weights{};
  for (std::size_t t = 0; t < weights.size(); ++t) {
    weights[t] = static_cast<std::int32_t>(t);
  }
  return weights;
}

ScoreWeights RelevanceWeights(std::uint32_t num_files,
                              std::uint32_t files_with_word) {
  const double n = files_with_word;
  const double idf =
      std::log(1.0 + (static_cast<double>(num_files) - n + 0.5) / (n + 0.5));
  constexpr double k1 = kRelevanceSaturation;
  ScoreWeights weights{};
  for (std::size_t t = 1; t < weights.size(); ++t) {
    const double score = static_cast<double>(t);
    const double weight = 1000.0 * idf * score * (k1 + 1.0) / (score + k1);
    weights[t] = std::max<std::int32_t>(
        1, static_cast<std::int32_t>(std::lround(weight)));
  }
  return weights;
}

std::string RelevanceText(std::int64_t thousandths) {
  std::string fraction = std::to_string(thousandths % 1000);
  fraction.insert(0, 3 - fraction.size(), '0');
  return std::to_string(thousandths / 1000) + "." + fraction;
}

}  // namespace orvane
