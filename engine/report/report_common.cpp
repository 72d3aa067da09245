#include "engine/report/report_common.h"

#include "engine/search/document_texts.h"
#include "engine/text/sorting.h"
#include "engine/text/string_ops.h"

namespace orvane {

void PrepareReportExtracts(const SearchSettings& settings, SearchState* state) {
  ExtractBuilder::Options& options = state->extract_builder.options;
  options.search_words = state->strSearchWords;
  options.exact_phrase = settings.cboSearchType == SearchType::kExactPhrase;
  options.context_size = ExtractContextSize(settings);
  options.max_extracts = state->intMaxNumExtracts;
  options.extract_count_factor = 4;
  UseDocumentTexts(settings.txbIndexFile, settings.txbTopFolder, state);
}

std::optional<std::string> ExpandedWordsList(SearchState* state) {
  std::vector<std::string>& words = state->strSearchWords;
  if (words.size() > kMaxListedExpandedWords) return std::nullopt;
  if (words.size() >= 2) {
    SortAscending(words, 0, static_cast<int>(words.size()) - 1);
  }
  std::string list;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) list += ", ";
    list += TrimSpaces(words[i]);
  }
  return list;
}

std::string ExtractCountLine(std::int16_t max_extracts, std::size_t found,
                             bool* cut) {
  const auto n = static_cast<std::int64_t>(found);
  *cut = max_extracts > 0 && max_extracts < n;
  const std::string max = std::to_string(max_extracts);
  if (*cut) {
    if (4 * static_cast<std::int64_t>(max_extracts) < n) {
      return "Number of extracts: " + max + " (more than " +
             std::to_string(n - 1) + " possible)";
    }
    return "Number of extracts: " + max + " (" + std::to_string(n) +
           " possible)";
  }
  if (n > 4) return "Number of extracts: " + std::to_string(n);
  return std::string();
}

std::string CutExtractsSentence(std::int16_t max_extracts) {
  if (max_extracts == 1) {
    return "At most one extract was requested. Some occurrences are not "
           "included above";
  }
  return "A maximum of " + std::to_string(max_extracts) +
         " extracts were requested.  Some occurrences are not included above";
}

void ReplaceAllIn(std::string& text, std::string_view from,
                  std::string_view to) {
  if (text.find(from) != std::string::npos) text = ReplaceAll(text, from, to);
}

}  // namespace orvane
